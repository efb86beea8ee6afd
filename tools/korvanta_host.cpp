// The host tool: stands in for the host application. It loads the plug-in library, builds image sets,
// configures and runs the arithmetic algorithm, and reports or writes the result.
#include <fcntl.h>
#include <unistd.h>

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
#include "tools/DemoImages.h"
#include "tools/ImageStatistics.h"
#include "tools/JsonOutput.h"
#include "tools/MemoryBudget.h"
#include "tools/ParameterInput.h"
#include "tools/ResultOutput.h"
#include "tools/ScriptInput.h"

namespace Korvanta {
namespace tools {
namespace {

const char* const usage = R"(Usage:
  korvanta-host [--plugin PATH] demo [KEY=VALUE ...]
  korvanta-host [--plugin PATH] script [FILE]     (no FILE or "-": standard input)

demo computes on generated images and prints "evalString", the time taken and per-image statistics.
  Images:    type=uint16 size=256x256x64 channels=1 count=4 shift=0 scale=1
             fill=ramp|random|constant value=1 seed=1
  Second set: second=none|set|one (as many images as the first, or one), and second.KEY=VALUE for its
             images (defaults: those of the first set with a random fill)
  Algorithm: mode=BinaryMult (a name or 0 to 7) rightHandSide=2.5 channelIndices=2,1,0 inPlace=false

script reads {"parameters": {...}, "first": SET, "second": SET} and writes
  {"status": 0, "evalString": "...", "images": [...]} with every element value of the result, where
  SET is {"images": [{"pixelType": "uint8", "width": 2, "height": 1, "slices": 1, "channels": 1,
  "shift": 0, "scale": 1, "values": [1, 2]}], "selection": [0], "modality": 0}; "values" comes last in
  its image; NaN, the infinities and negative zero are also the strings "NaN", "Infinity", "-Infinity"
  and "-0". Unknown keys, keys given twice and numbers that are not exactly a value of their type are
  refused.

The plug-in is --plugin, else $KORVANTA_PLUGIN (when not empty), else the one installed beside this tool.
Exit status: 0 done, 1 refused input, 2 wrong usage, 3 plug-in not loaded, 4 failed (out of memory,
output not written).
)";

enum ExitStatus { done = 0, refusedInput = 1, wrongUsage = 2, pluginNotLoaded = 3, failed = 4 };

// Wrong command-line usage, answered with the usage text.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::pair<std::string, std::string> splitKeyValue(const std::string& argument) {
    const std::size_t equals = argument.find('=');
    if (equals == std::string::npos || equals == 0)
        throw std::invalid_argument("Expected KEY=VALUE, not '" + argument + "'");
    return {argument.substr(0, equals), argument.substr(equals + 1)};
}

// A mode without an operation computes nothing and still succeeds, which the user should not miss.
void noteWhenNothingComputed(const AlgorithmRun& run, const Properties& record, bool withSecond) {
    if (!run.evalString.empty())
        return;
    int mode = 0;
    record.param("mode", mode);
    std::cerr << "note: mode " << mode << " has no operation" << (withSecond ? " with a second set" : "")
              << ": nothing was computed, and the result is the first set as it was\n";
}

int runDemo(const PluginLoader& plugin, const std::vector<std::string>& arguments) {
    DemoImages firstImages, secondImages;
    secondImages.fill = "random";
    secondImages.seed = 2;
    std::string second = "none";
    std::map<std::string, std::string> parameters = {{"mode", "BinaryMult"}, {"rightHandSide", "2.5"}};
    std::vector<std::pair<std::string, std::string>> secondSettings;
    for (const std::string& argument : arguments) {
        const auto [key, value] = splitKeyValue(argument);
        if (key == "second")
            second = value;
        else if (key.rfind("second.", 0) == 0)
            secondSettings.emplace_back(key.substr(7), value);
        else if (firstImages.set(key, value))
            secondImages.set(key, value);
        else
            parameters[key] = value;
    }
    for (const auto& [key, value] : secondSettings)
        if (!secondImages.set(key, value))
            throw std::invalid_argument("Unknown image setting 'second." + key + "'");
    if (second != "none" && second != "set" && second != "one")
        throw std::invalid_argument("'second' takes none, set or one, not '" + second + "'");
    const bool withSecond = second != "none";
    secondImages.count = second == "one" ? 1 : firstImages.count;

    // Everything is checked before the first image is made.
    const std::uint64_t firstBytes = firstImages.check("");
    const std::uint64_t secondBytes = withSecond ? secondImages.check("second.") : 0;
    if (withSecond &&
        (firstImages.width != secondImages.width || firstImages.height != secondImages.height ||
         firstImages.slices != secondImages.slices || firstImages.channels != secondImages.channels))
        throw std::invalid_argument(
            "The images of the two sets must match in size and channels, but the first "
            "set's are " +
            std::to_string(firstImages.width) + "x" + std::to_string(firstImages.height) + "x" +
            std::to_string(firstImages.slices) + " with " + std::to_string(firstImages.channels) +
            " channel(s) and the second set's " + std::to_string(secondImages.width) + "x" +
            std::to_string(secondImages.height) + "x" + std::to_string(secondImages.slices) + " with " +
            std::to_string(secondImages.channels));
    const std::unique_ptr<SharedImageSet> firstProbe = firstImages.makeProbe();
    const std::unique_ptr<SharedImageSet> secondProbe = withSecond ? secondImages.makeProbe() : nullptr;
    const Properties record = parameterRecord(
        plugin, *firstProbe, secondProbe.get(), [&](Properties& record, const Properties& configuration) {
            for (const auto& [key, value] : parameters)
                setParameter(record, configuration, key, {ParameterValue::Form::Text, value, {}});
        });
    bool inPlace = false;
    record.param("inPlace", inPlace);
    MemoryBudget budget;
    budget.reserve(firstBytes, "The first set");
    budget.reserve(secondBytes, "The second set");
    if (!inPlace)
        budget.reserve(firstBytes, "The result (a copy of the first set, as inPlace is false)");

    std::cout << "Plug-in " << plugin.pluginId() << " loaded from " << plugin.path() << "\n";
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
    AlgorithmRun run = runArithmetic(plugin, *first, secondSet.get(), record, &progress);
    std::cout << "evalString: " << run.evalString << "\n";
    std::cout << "Computed in " << run.seconds * 1000.0 << " ms, status " << run.status << "\n";
    noteWhenNothingComputed(run, record, withSecond);
    for (int i = 0; i < run.result->size(); ++i)
        std::cout << "image " << i << ": " << describe(before[static_cast<std::size_t>(i)]) << "  ->  "
                  << describe(statisticsOf(*run.result->get(i))) << "\n";
    return done;
}

std::uint64_t memoryBytes(const SharedImageSet& set) {
    std::uint64_t bytes = 0;
    for (int i = 0; i < set.size(); ++i)
        if (const MemImage* memory = set.img(i))
            bytes += imageBytes(memory->descriptor(), "");
    return bytes;
}

int runScript(const PluginLoader& plugin, const std::string& path) {
    const bool standardInput = path == "-";
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        standardInput ? stdin : std::fopen(path.c_str(), "rb"),
        standardInput ? [](std::FILE*) { return 0; } : &std::fclose);
    if (!file)
        throw std::invalid_argument("Cannot open '" + path + "': " + std::strerror(errno));
    MemoryBudget budget;
    const Script script =
        readScript(fileReader(file.get(), standardInput ? "standard input" : "'" + path + "'"), budget);
    file.reset();

    const Properties record = parameterRecord(plugin, *script.first, script.second.get(),
                                              [&](Properties& record, const Properties& configuration) {
                                                  for (const auto& [key, value] : script.parameters)
                                                      setParameter(record, configuration, key, value);
                                              });
    bool inPlace = false;
    record.param("inPlace", inPlace);
    if (!inPlace)
        budget.reserve(memoryBytes(*script.first),
                       "The result (a copy of \"first\", as \"inPlace\" is false)");

    ConsoleProgress progress(std::cerr);
    const AlgorithmRun run = runArithmetic(plugin, *script.first, script.second.get(), record, &progress);
    std::cerr << "Computed in " << run.seconds * 1000.0 << " ms\n";
    noteWhenNothingComputed(run, record, script.second != nullptr);
    JsonOutput out(fileDescriptorSink(STDOUT_FILENO));
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
    if (command == "script" && arguments.size() > 1)
        throw UsageError("script takes one file");
    if (fcntl(STDOUT_FILENO, F_GETFD) == -1)
        throw std::runtime_error("Standard output is closed");
    PluginLoader plugin(pluginPath);
    const int status = command == "demo" ? runDemo(plugin, arguments)
                                         : runScript(plugin, arguments.empty() ? "-" : arguments[0]);
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

int run(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::cout << usage;
        return done;
    }
    try {
        const char* environment = std::getenv("KORVANTA_PLUGIN");
        std::string pluginPath = environment && *environment ? environment : installedPlugin();
        if (!arguments.empty() && arguments[0] == "--plugin") {
            if (arguments.size() < 2 || arguments[1] == "demo" || arguments[1] == "script" ||
                arguments[1].empty())
                throw UsageError("--plugin takes the path of the plug-in library" +
                                 (arguments.size() < 2 ? std::string()
                                                       : ", not '" + arguments[1] + "' (write ./" +
                                                             arguments[1] + " for a file of that name)"));
            pluginPath = arguments[1];
            arguments.erase(arguments.begin(), arguments.begin() + 2);
        }
        if (arguments.empty())
            throw UsageError("No command given");
        if (arguments[0] != "demo" && arguments[0] != "script")
            throw UsageError("Unknown command '" + arguments[0] + "'");
        return runCommand(pluginPath, arguments[0], {arguments.begin() + 1, arguments.end()});
    } catch (const UsageError& e) {
        std::cerr << "error: " << e.what() << "\n\n" << usage;
        return wrongUsage;
    } catch (const PluginLoadError& e) {
        std::cerr << "error: " << e.what() << "\n";
        return pluginNotLoaded;
    } catch (const std::invalid_argument& e) {
        std::cerr << "error: " << e.what() << "\n";
        return refusedInput;
    } catch (const std::bad_alloc&) {
        std::cerr << "error: out of memory\n";
        return failed;
    } catch (const std::exception& e) {
        std::cerr << "error: " << e.what() << "\n";
        return failed;
    } catch (...) {
        std::cerr << "error: an unknown failure\n";
        return failed;
    }
}

}  // namespace
}  // namespace tools
}  // namespace Korvanta

int main(int argc, char** argv) {
    return Korvanta::tools::run(argc, argv);
}
