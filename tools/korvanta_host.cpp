// The host tool: stands in for the host application. It loads the plug-in library, builds image sets,
// configures and runs the arithmetic algorithm, and reports or writes the result.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/core/PluginLoader.h"
#include "host/core/Progress.h"
#include "tools/AlgorithmRun.h"
#include "tools/DemoArguments.h"
#include "tools/DemoImages.h"
#include "tools/ImageStatistics.h"
#include "tools/JsonOutput.h"
#include "tools/MemoryBudget.h"
#include "tools/ParameterInput.h"
#include "tools/QuotedText.h"
#include "tools/ResultOutput.h"
#include "tools/RunSetup.h"
#include "tools/ScriptInput.h"

namespace Korvanta {
namespace tools {
namespace {

const char* const usage = R"(Usage:
  korvanta-host [--plugin PATH] demo [KEY=VALUE ...]
  korvanta-host [--plugin PATH] script [FILE]     (no FILE or "-": standard input)

demo computes on generated images and prints "evalString", the time taken and per-image statistics.
  Images:    type=uint16 size=256x256x64 channels=1 count=4 shift=0 scale=1
             fill=ramp|random|constant value=1 (with fill=constant) seed=1 (with fill=random)
  Second set: second=none|set|one (as many images as the first, or one), and second.KEY=VALUE for its
             images (defaults: type, size, channels, shift and scale of the first set; fill=random seed=2)
  Algorithm: mode=BinaryMult (a name or 0 to 7) rightHandSide=2.5 channelIndices=0,1,2,3 inPlace=false
  A key given twice and a setting that has no effect are refused: rightHandSide takes a binary mode,
  channelIndices UnaryChannelSwizzle, and neither a second set.

script reads {"parameters": {...}, "first": SET, "second": SET} and writes
  {"status": 0, "evalString": "...", "images": [...]} with every element value of the result, where
  SET is {"images": [{"pixelType": "uint8", "width": 2, "height": 1, "slices": 1, "channels": 1,
  "shift": 0, "scale": 1, "values": [1, 2]}], "selection": [0], "modality": 0}, keys in any order. A
  number may also be a string that holds one in JSON's form ("0.5"); NaN and the infinities are the
  strings "NaN", "Infinity" and "-Infinity". Unknown keys, keys given twice and numbers that are not
  exactly a value of their type are refused.

The plug-in is --plugin, else $KORVANTA_PLUGIN (when not empty), else the one installed beside this tool.
Exit status: 0 done, 1 refused input, 2 wrong usage, 3 plug-in not loaded, 4 failed (out of memory, a
thread not started, output not written).
)";

enum ExitStatus { done = 0, refusedInput = 1, wrongUsage = 2, pluginNotLoaded = 3, failed = 4 };

// Wrong command-line usage, answered with the usage text.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A mode without an operation computes nothing and still succeeds, which the user should not miss.
void noteWhenNothingComputed(const AlgorithmRun& run, const Properties& record, bool withSecond) {
    if (!run.evalString.empty())
        return;
    int mode = 0;
    record.param("mode", mode);
    const bool onlyWithSecond = withSecond && mode >= 5 && mode <= 7;
    std::cerr << "note: mode " << mode << " has no operation" << (onlyWithSecond ? " with a second set" : "")
              << ": nothing was computed, and the result is the first set as it was\n";
}

// Whether the value of "inPlace" asks to compute in place, read as the algorithm reads its boolean, so
// that the memory of the result is known before the plug-in is loaded. A value the algorithm refuses
// counts as false here, and is refused with the other parameters.
bool asksInPlace(const ParameterValue& value) {
    Properties configuration, record;
    configuration.setParam("inPlace", false);
    bool inPlace = false;
    try {
        setParameter(record, configuration, "inPlace", value);
    } catch (const std::invalid_argument&) {
    }
    record.param("inPlace", inPlace);
    return inPlace;
}

int runDemo(const std::string& pluginPath, const std::vector<std::string>& arguments) {
    const DemoRequest request = readDemoArguments(arguments);
    const DemoImages& firstImages = request.first;
    const DemoImages& secondImages = request.second;
    const bool withSecond = request.withSecond;

    // Everything is checked, and the memory of the run counted, before the first image is made; the
    // memory before the plug-in is loaded, which starts the OpenMP runtime with the threads that fit.
    MemoryBudget budget;
    const std::uint64_t firstBytes = firstImages.check("");
    const std::uint64_t secondBytes = withSecond ? secondImages.check("second.") : 0;
    budget.reserve(firstBytes, "The first set", firstImages.count);
    budget.reserve(secondBytes, "The second set", secondImages.count);
    const auto inPlace = request.parameters.find("inPlace");
    if (inPlace == request.parameters.end() ||
        !asksInPlace({ParameterValue::Form::Text, inPlace->second, {}}))
        budget.reserve(firstBytes, "The result (a copy of the first set, as inPlace is false)",
                       firstImages.count);
    reserveRunThreads(budget, static_cast<std::uint64_t>(firstImages.count));
    const std::unique_ptr<PluginLoader> plugin = loadPlugin(pluginPath, budget);

    const std::unique_ptr<SharedImageSet> firstProbe = firstImages.makeProbe();
    const std::unique_ptr<SharedImageSet> secondProbe = withSecond ? secondImages.makeProbe() : nullptr;
    const Properties record = parameterRecord(
        *plugin, *firstProbe, secondProbe.get(), [&](Properties& record, const Properties& configuration) {
            for (const auto& [key, value] : request.parameters)
                setParameter(record, configuration, key, {ParameterValue::Form::Text, value, {}});
        });
    int mode = 0;
    record.param("mode", mode);
    requireParameterEffect(request, mode);
    // The algorithm's own checks of the images, on one-element images of the same types and channels.
    computeArithmetic(*plugin, *firstProbe, secondProbe.get(), record, nullptr, failed);

    std::cout << "Plug-in " << plugin->pluginId() << " loaded from " << plugin->path() << "\n";
    std::cout << "First set: " << firstImages.summary() << "\n";
    std::unique_ptr<SharedImageSet> first = firstImages.make();
    std::unique_ptr<SharedImageSet> secondSet;
    if (withSecond) {
        std::cout << "Second set: " << secondImages.summary() << "\n";
        secondSet = secondImages.make();
    }
    std::vector<ImageStatistics> before;
    for (int i = 0; i < first->size(); ++i)
        before.push_back(statisticsOf(*first->get(i)));

    ConsoleProgress progress(std::cout);
    AlgorithmRun run = computeArithmetic(*plugin, *first, secondSet.get(), record, &progress, failed);
    std::cout << "evalString: " << run.evalString << "\n";
    std::cout << "Computed in " << run.seconds * 1000.0 << " ms, status " << run.status << "\n";
    noteWhenNothingComputed(run, record, withSecond);
    for (int i = 0; i < run.result->size(); ++i)
        std::cout << "image " << i << ": " << describe(before[static_cast<std::size_t>(i)]) << "  ->  "
                  << describe(statisticsOf(*run.result->get(i))) << "\n";
    return done;
}

// What a copy of the set costs (its images were counted in the budget, so the sum fits).
std::uint64_t copyBytes(const SharedImageSet& set) {
    std::uint64_t bytes = 0;
    for (int i = 0; i < set.size(); ++i) {
        bytes += imageBookkeepingBytes;
        if (const MemImage* memory = set.img(i))
            bytes += imageBytes(memory->descriptor(), "");
    }
    return bytes;
}

// The algorithm pairs the images of the sets by their index and leaves the second set's selection
// unused, which a script that gives one should hear.
void noteUnusedSelection(const SharedImageSet* second) {
    if (second && !second->selection().empty())
        std::cerr << "note: the \"selection\" of \"second\" is not used: each selected image of \"first\" "
                     "takes the image of \"second\" at its own index, or its only image\n";
}

int runScript(const std::string& pluginPath, const std::string& path) {
    const bool standardInput = path == "-";
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        standardInput ? stdin : std::fopen(path.c_str(), "rb"),
        standardInput ? [](std::FILE*) { return 0; } : &std::fclose);
    if (!file)
        throw std::invalid_argument("Cannot open " + quoted(path, '\'') + ": " + std::strerror(errno));
    struct stat status {};
    if (fstat(fileno(file.get()), &status) == 0 && S_ISDIR(status.st_mode))
        throw std::invalid_argument(quoted(path, '\'') + " is a directory, not a script");
    MemoryBudget budget;
    const Script script =
        readScript(fileReader(file.get(), standardInput ? "standard input" : quoted(path, '\'')), budget);
    file.reset();
    const auto inPlace = std::find_if(script.parameters.begin(), script.parameters.end(),
                                      [](const auto& parameter) { return parameter.first == "inPlace"; });
    if (inPlace == script.parameters.end() || !asksInPlace(inPlace->second))
        budget.reserve(copyBytes(*script.first), "The result (a copy of \"first\", as \"inPlace\" is false)");
    reserveRunThreads(budget, static_cast<std::uint64_t>(script.first->size()));
    const std::unique_ptr<PluginLoader> plugin = loadPlugin(pluginPath, budget);

    const Properties record = parameterRecord(*plugin, *script.first, script.second.get(),
                                              [&](Properties& record, const Properties& configuration) {
                                                  for (const auto& [key, value] : script.parameters)
                                                      setParameter(record, configuration, key, value);
                                              });
    JsonOutput out(fileDescriptorSink(STDOUT_FILENO));
    ConsoleProgress progress(std::cerr);
    const AlgorithmRun run =
        computeArithmetic(*plugin, *script.first, script.second.get(), record, &progress, failed);
    std::cerr << "Computed in " << run.seconds * 1000.0 << " ms\n";
    noteWhenNothingComputed(run, record, script.second != nullptr);
    noteUnusedSelection(script.second.get());
    writeResult(out, run);
    out.flush();
    return done;
}

// Output that could not be written is a failure, also when the loss shows only at the end.
void finishOutput() {
    std::cout.flush();
    if (!std::cout)
        throw std::runtime_error("Cannot write the output to standard output");
    if (close(STDOUT_FILENO) != 0)
        throw std::runtime_error(std::string("Cannot write the output: ") + std::strerror(errno));
}

int runCommand(const std::string& pluginPath, const std::string& command,
               const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments)
        if (argument.size() > 1 && argument[0] == '-')
            throw UsageError("The option " + quoted(argument, '\'') + " must come before the command" +
                             (command == "script"
                                  ? " (write " + quoted("./" + argument, '\'') + " for a file of that name)"
                                  : ""));
    if (command == "script" && arguments.size() > 1)
        throw UsageError("script takes one file");
    if (fcntl(STDOUT_FILENO, F_GETFD) == -1)
        throw std::runtime_error("Standard output is closed");
    const int status = command == "demo" ? runDemo(pluginPath, arguments)
                                         : runScript(pluginPath, arguments.empty() ? "-" : arguments[0]);
    finishOutput();
    return status;
}

// The plug-in installed beside the tool, found from the tool's own place as the host application finds
// its plug-ins (the build tree has the installed layout).
std::string installedPlugin() {
    std::string self(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", self.data(), self.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= self.size())
        return KORVANTA_PLUGIN_FROM_TOOL_DIR;
    self.resize(static_cast<std::size_t>(length));
    return self.substr(0, self.rfind('/') + 1) + KORVANTA_PLUGIN_FROM_TOOL_DIR;
}

// Says why the tool stopped, every byte of the message readable (the loader's and the system's texts
// quote paths as they are), and returns the exit status.
int ended(const std::string& message, ExitStatus status) {
    std::cerr << "error: " << escaped(message, 0) << "\n";
    if (status == wrongUsage)
        std::cerr << "\n" << usage;
    return status;
}

int run(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    shareMallocArenaUnderAddressLimit();
    try {
        const char* environment = std::getenv("KORVANTA_PLUGIN");
        std::string pluginPath = environment && *environment ? environment : installedPlugin();
        // The options, before the command; help needs nothing else, whatever follows it.
        while (!arguments.empty() && arguments[0].size() > 1 && arguments[0][0] == '-') {
            if (arguments[0] == "--help" || arguments[0] == "-h") {
                std::cout << usage;
                finishOutput();
                return done;
            }
            if (arguments[0] != "--plugin")
                throw UsageError("Unknown option " + quoted(arguments[0], '\''));
            if (arguments.size() < 2 || arguments[1].empty())
                throw UsageError("--plugin takes the path of the plug-in library");
            if (arguments[1] == "demo" || arguments[1] == "script")
                throw UsageError("--plugin takes the path of the plug-in library, not " +
                                 quoted(arguments[1], '\'') + " (write ./" + arguments[1] +
                                 " for a file of that name)");
            pluginPath = arguments[1];
            arguments.erase(arguments.begin(), arguments.begin() + 2);
        }
        if (arguments.empty())
            throw UsageError("No command given");
        if (arguments[0] != "demo" && arguments[0] != "script")
            throw UsageError("Unknown command " + quoted(arguments[0], '\''));
        return runCommand(pluginPath, arguments[0], {arguments.begin() + 1, arguments.end()});
    } catch (const UsageError& e) {
        return ended(e.what(), wrongUsage);
    } catch (const PluginLoadError& e) {
        return ended(e.what(), pluginNotLoaded);
    } catch (const std::invalid_argument& e) {
        return ended(e.what(), refusedInput);
    } catch (const std::bad_alloc&) {
        return ended("out of memory", failed);
    } catch (const std::exception& e) {
        return ended(e.what(), failed);
    } catch (...) {
        return ended("an unknown failure", failed);
    }
}

}  // namespace
}  // namespace tools
}  // namespace Korvanta

int main(int argc, char** argv) {
    return Korvanta::tools::run(argc, argv);
}
