// The host tool: stands in for the host application. It loads the plug-in library, builds image sets,
// configures and runs the arithmetic algorithm, and reports or writes the result.
#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/core/PluginLoader.h"
#include "host/core/Progress.h"
#include "tools/AlgorithmRun.h"
#include "tools/DemoImages.h"
#include "tools/ImageSetJson.h"
#include "tools/ImageStatistics.h"
#include "tools/ParameterInput.h"

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
  "shift": 0, "scale": 1, "values": [1, 2]}], "selection": [0]}; NaN, the infinities and negative
  zero are the strings "NaN", "Infinity", "-Infinity" and "-0".

The plug-in is --plugin, else $KORVANTA_PLUGIN, else the one built with this tool.
)";

std::pair<std::string, std::string> splitKeyValue(const std::string& argument) {
    const std::size_t equals = argument.find('=');
    if (equals == std::string::npos || equals == 0)
        throw std::invalid_argument("Expected KEY=VALUE, not '" + argument + "'");
    return {argument.substr(0, equals), argument.substr(equals + 1)};
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
    if (second == "one")
        secondImages.count = 1;
    else
        secondImages.count = firstImages.count;

    std::cout << "Plug-in " << plugin.pluginId() << " loaded from " << plugin.path() << "\n";
    std::cout << "First set: " << firstImages.summary() << "\n";
    std::unique_ptr<SharedImageSet> first = firstImages.make();
    std::unique_ptr<SharedImageSet> secondSet;
    if (second != "none") {
        std::cout << "Second set: " << secondImages.summary() << "\n";
        secondSet = secondImages.make();
    }
    std::vector<ImageStatistics> before;
    for (int i = 0; i < first->size(); ++i)
        before.push_back(statisticsOf(*first->get(i)));

    ConsoleProgress progress(std::cout);
    AlgorithmRun run = runArithmetic(
        plugin, *first, secondSet.get(),
        [&](Properties& record, const Properties& configuration) {
            for (const auto& [key, value] : parameters)
                setParameterFromText(record, configuration, key, value);
        },
        &progress);
    std::cout << "evalString: " << run.evalString << "\n";
    std::cout << "Computed in " << run.seconds * 1000.0 << " ms, status " << run.status << "\n";
    for (int i = 0; i < run.result->size(); ++i)
        std::cout << "image " << i << ": " << describe(before[static_cast<std::size_t>(i)]) << "  ->  "
                  << describe(statisticsOf(*run.result->get(i))) << "\n";
    return 0;
}

QByteArray readInput(const std::string& path) {
    QFile file;
    const bool opened = path.empty() || path == "-" ? file.open(stdin, QIODevice::ReadOnly)
                                                    : (file.setFileName(QString::fromStdString(path)),
                                                       file.open(QIODevice::ReadOnly));
    if (!opened)
        throw std::invalid_argument("Cannot read '" + path + "'");
    return file.readAll();
}

int runScript(const PluginLoader& plugin, const std::string& path) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(readInput(path), &parseError);
    if (!document.isObject())
        throw std::invalid_argument("The script is no JSON object: " +
                                    parseError.errorString().toStdString());
    const QJsonObject script = document.object();
    std::unique_ptr<SharedImageSet> first = imageSetFromJson(script.value("first").toObject());
    std::unique_ptr<SharedImageSet> second;
    if (script.contains("second"))
        second = imageSetFromJson(script.value("second").toObject());
    const QJsonObject parameters = script.value("parameters").toObject();

    ConsoleProgress progress(std::cerr);
    AlgorithmRun run = runArithmetic(
        plugin, *first, second.get(),
        [&](Properties& record, const Properties& configuration) {
            for (auto it = parameters.begin(); it != parameters.end(); ++it)
                setParameterFromJson(record, configuration, it.key().toStdString(), it.value());
        },
        &progress);
    std::cerr << "Computed in " << run.seconds * 1000.0 << " ms\n";
    QJsonObject result = imageSetToJson(*run.result);
    result.insert("status", run.status);
    result.insert("evalString", QString::fromStdString(run.evalString));
    std::cout << QJsonDocument(result).toJson(QJsonDocument::Compact).toStdString() << "\n";
    return 0;
}

int run(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string pluginPath =
        std::getenv("KORVANTA_PLUGIN") ? std::getenv("KORVANTA_PLUGIN") : KORVANTA_DEFAULT_PLUGIN;
    if (arguments.size() >= 2 && arguments[0] == "--plugin") {
        pluginPath = arguments[1];
        arguments.erase(arguments.begin(), arguments.begin() + 2);
    }
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h" ||
        (arguments[0] != "demo" && arguments[0] != "script")) {
        std::cout << usage;
        return arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h" ? 0 : 2;
    }
    const std::string command = arguments[0];
    arguments.erase(arguments.begin());
    try {
        PluginLoader plugin(pluginPath);
        if (command == "demo")
            return runDemo(plugin, arguments);
        if (arguments.size() > 1)
            throw std::invalid_argument("script takes one file");
        return runScript(plugin, arguments.empty() ? "-" : arguments[0]);
    } catch (const PluginLoadError& e) {
        std::cerr << "error: " << e.what() << "\n";
        return 3;
    } catch (const std::invalid_argument& e) {
        std::cerr << "error: " << e.what() << "\n";
        if (command == "script")
            std::cout << QJsonDocument(QJsonObject{{"error", QString::fromStdString(e.what())}})
                             .toJson(QJsonDocument::Compact)
                             .toStdString()
                      << "\n";
        return 1;
    }
}

}  // namespace
}  // namespace tools
}  // namespace Korvanta

int main(int argc, char** argv) {
    return Korvanta::tools::run(argc, argv);
}
