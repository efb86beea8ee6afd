// The "evalString" parameter and the change handlers that keep it and the visibility of the operand
// parameters in step with the mode.
#include <string>
#include <vector>

#include "plugin/ModeExpressions.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"

namespace Korvanta {

namespace {

// The GLSL text of the expression that compute evaluates for these settings, with the right-hand set
// taken untyped; empty when the mode has no expression.
std::string updateEvalString(SharedImageArithmeticAlgorithm::Mode mode, SharedImageSet& first,
                             SharedImageSet* second, float rightHandSide,
                             const std::vector<unsigned long>& channelIndices) {
    std::string text;
    const auto textOf = [&](const auto& expr) { text = expr.evalString(true); };
    if (second)
        withExpression(mode, setLeaf(first), setLeaf(*second), channelIndices, textOf);
    else
        withExpression(mode, setLeaf(first), ImageMath::Scalar<float>(rightHandSide), channelIndices, textOf);
    return text;
}

}  // namespace

void SharedImageArithmeticAlgorithm::refreshEvalString() {
    m_evalString.setValue(updateEvalString(m_mode.value(), m_first, m_second, m_rightHandSide.value(),
                                           m_channelIndices.value()));
}

void SharedImageArithmeticAlgorithm::onModeChanged() {
    refreshEvalString();
    m_rightHandSide.setAttribute("hidden", "true");
    m_channelIndices.setAttribute("hidden", "true");
    const auto mode = static_cast<unsigned int>(m_mode.value());
    if (mode == UnaryChannelSwizzle)
        m_channelIndices.setAttribute("hidden", "false");
    else if (mode < UnaryMinus && !m_second)
        m_rightHandSide.setAttribute("hidden", "false");
}

void SharedImageArithmeticAlgorithm::onRightHandSideChanged() {
    refreshEvalString();
}

void SharedImageArithmeticAlgorithm::onChannelIndicesChanged() {
    refreshEvalString();
}

}  // namespace Korvanta
