#pragma once

#include <functional>
#include <string>

#include "host/gl/GlExprInterface.h"
#include "host/gl/TaggingIndex.h"

// The host's GPU operations of image leaves. The leaf mix-in (a template over each leaf type) keeps
// its name and flag and calls these for everything that is the host's business.
namespace Korvanta {
namespace ImageMath {
namespace internal {

// The leaf's GLSL text: its name, after naming the whole tree when `tag` is set.
std::string leafEvalString(const GlExprInterface& leaf, bool tag, const std::string& glName);

// Names a leaf "<prefix>image<n>", n counting the distinct images of one walk; a leaf whose image
// was named before in the walk takes that name and does not declare it again.
void tagLeaf(const TaggingIndex& image, TagMap& tags, TypeCounterMap& counters, const std::string& prefix,
             std::string& glName, bool& defining);

// Declares the image's sampler, once per image of a walk.
void appendLeafUniform(std::string& out, const std::string& glName, bool defining);

// Textures are bound by the host when it draws; a leaf sets no program arguments of its own.
bool setLeafArguments(GL::Program& program, const std::string& glName, bool defining);

// Offers an expression to the host's GPU evaluation with `target` as destination; true when the
// host evaluated it. Without a GPU the hook declines everything.
bool assignGl(GlExprInterface& target, const GlExprInterface& expr);

// Replaces the GPU evaluation process-wide (tests stand in for a GPU with it); an empty hook
// restores the default, which declines. Returns the previous hook.
using AssignGlHook = std::function<bool(GlExprInterface& target, const GlExprInterface& expr)>;
AssignGlHook setAssignGlHook(AssignGlHook hook);

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
