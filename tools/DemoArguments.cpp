#include "tools/DemoArguments.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include "tools/ImageExtents.h"
#include "tools/QuotedText.h"

namespace Korvanta {
namespace tools {

namespace {

// The image settings that both sets take from the first set's arguments.
const char* const sharedSettings[] = {"type", "size", "channels", "count", "shift", "scale"};

[[noreturn]] void refuse(const std::string& message) {
    throw std::invalid_argument(message);
}

std::string shown(const std::string& text) {
    return quoted(text, '\'');
}

// Refuses "value" and "seed" where the set's fill does not use them.
void requireEffect(const std::map<std::string, std::string>& given, const DemoImages& images,
                   const std::string& prefix) {
    if (given.count(prefix + "value") && images.fill != "constant")
        refuse(shown(prefix + "value") + " has no effect without " + prefix + "fill=constant");
    if (given.count(prefix + "seed") && images.fill != "random")
        refuse(shown(prefix + "seed") + " has no effect without " + prefix + "fill=random" +
               (prefix.empty() ? "" : " (the second set's fill is random unless second.fill is given)"));
}

}  // namespace

DemoRequest readDemoArguments(const std::vector<std::string>& arguments) {
    DemoRequest request;
    request.second.fill = "random";
    request.second.seed = 2;
    std::map<std::string, std::string> given;
    std::vector<std::pair<std::string, std::string>> inOrder;
    for (const std::string& argument : arguments) {
        const std::size_t equals = argument.find('=');
        if (equals == std::string::npos || equals == 0)
            refuse("Expected KEY=VALUE, not " + shown(argument));
        const std::string key = argument.substr(0, equals);
        if (!given.emplace(key, argument.substr(equals + 1)).second)
            refuse(shown(key) + " is given twice");
        inOrder.emplace_back(key, argument.substr(equals + 1));
    }

    std::string second = "none";
    request.parameters = {{"mode", "BinaryMult"}, {"rightHandSide", "2.5"}};
    for (const auto& [key, value] : inOrder) {
        if (key == "second") {
            second = value;
        } else if (key.rfind("second.", 0) == 0) {
            continue;  // below, once the first set's settings are known
        } else if (std::find(std::begin(sharedSettings), std::end(sharedSettings), key) !=
                   std::end(sharedSettings)) {
            request.first.set(key, value);
            request.second.set(key, value);
        } else if (!request.first.set(key, value)) {
            request.parameters[key] = value;
            request.givenParameters.insert(key);
        }
    }
    if (second != "none" && second != "set" && second != "one")
        refuse("'second' takes none, set or one, not " + shown(second));
    request.withSecond = second != "none";
    for (const auto& [key, value] : inOrder) {
        if (key.rfind("second.", 0) != 0)
            continue;
        const std::string setting = key.substr(7);
        if (!request.withSecond)
            refuse(shown(key) + " has no effect without a second set (second=set or second=one)");
        if (setting == "count")
            refuse(shown(key) +
                   " has no effect: the second set holds one image (second=one) or as many as the first "
                   "(second=set)");
        if (!request.second.set(setting, value, "second."))
            refuse("Unknown image setting " + shown(key));
    }
    if (request.withSecond && !sameExtents(request.first.descriptor(), request.second.descriptor()))
        refuse("The images of the two sets must match in size and channels, but the first set's are " +
               extentsText(request.first.descriptor()) + " and the second set's " +
               extentsText(request.second.descriptor()));
    requireEffect(given, request.first, "");
    if (request.withSecond)
        requireEffect(given, request.second, "second.");
    request.second.count = second == "one" ? 1 : request.first.count;
    return request;
}

void requireParameterEffect(const DemoRequest& request, int mode) {
    const auto unused = [&](const char* key, const std::string& why) {
        if (request.givenParameters.count(key))
            refuse(shown(key) + " has no effect " + why);
    };
    if (request.withSecond) {
        unused("rightHandSide", "with a second set, whose images are the right-hand side");
        unused("channelIndices", "with a second set");
    }
    const std::string withMode = "with mode=" + request.parameters.at("mode");
    if (mode < 0 || mode > 4)
        unused("rightHandSide", withMode + ": only the binary modes (0 to 4) use it");
    if (mode != 7)
        unused("channelIndices", withMode + ": only UnaryChannelSwizzle (7) uses it");
}

}  // namespace tools
}  // namespace Korvanta
