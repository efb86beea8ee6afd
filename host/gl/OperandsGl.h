#pragma once

#include <string>
#include <vector>

#include "host/gl/GlExprInterface.h"

// The host's inner nodes (two-operand nodes and channel views) have nothing of their own in a shader:
// what it names, declares and sets for them is what their operands (children(), in order) name, declare
// and set. Their GL sides hand these operations on through the functions here.
namespace Korvanta {
namespace ImageMath {
namespace internal {

void tagOperands(const GlExprInterface& node, TagMap& tags, TypeCounterMap& counters,
                 const std::string& prefix);
void appendOperandUniforms(const GlExprInterface& node, std::string& out, const std::vector<int>& indices,
                           const std::string& text);
void appendOperandVariables(const GlExprInterface& node, std::string& out, const std::vector<int>& indices,
                            const std::string& text);
// True when any operand set an argument.
bool setOperandArguments(const GlExprInterface& node, GL::Program& program, const std::vector<int>& indices,
                         const std::string& prefix);

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
