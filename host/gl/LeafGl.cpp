#include "host/gl/LeafGl.h"

#include <typeindex>
#include <typeinfo>
#include <utility>

#include "host/core/NeverDestroyed.h"
#include "host/core/ProcessWideHook.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

namespace {
// Every leaf of a walk draws from one counter, whatever its level or element type.
struct LeafNameCounter {};

ProcessWideHook<AssignGlHook>& gpuHook() {
    static NeverDestroyed<ProcessWideHook<AssignGlHook>> hook;
    return hook.get();
}
}  // namespace

std::string leafEvalString(const GlExprInterface& leaf, bool tag, const std::string& glName) {
    if (tag) {
        tagAndAssignNamesHelper(leaf, "");
    }
    return glName;
}

void tagLeaf(const TaggingIndex& image, TagMap& tags, TypeCounterMap& counters, const std::string& prefix,
             std::string& glName, bool& defining) {
    const auto found = tags.find(image);
    if (found != tags.end()) {
        glName = *static_cast<const std::string*>(found->second);
        defining = false;
        return;
    }
    int& counter = counters[std::type_index(typeid(LeafNameCounter))];
    glName = prefix + "image" + std::to_string(counter);
    ++counter;
    defining = true;
    tags.emplace(image, &glName);
}

void appendLeafUniform(std::string& out, const std::string& glName, bool defining) {
    if (defining) {
        out += "uniform sampler3D " + glName + ";\n";
    }
}

bool setLeafArguments(GL::Program& /*program*/, const std::string& /*glName*/, bool /*defining*/) {
    return false;
}

bool assignGl(GlExprInterface& target, const GlExprInterface& expr) {
    const AssignGlHook hook = gpuHook().current();
    return hook ? hook(target, expr) : false;
}

AssignGlHook setAssignGlHook(AssignGlHook hook) {
    return gpuHook().exchange(std::move(hook));
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
