// The "evalString" parameter and the change handlers that keep it and the visibility of the operand
// parameters in step with the mode.
#include <string>
#include <vector>

#include "imagemath/Expressions.h"
#include "plugin/ModeDispatch.h"
#include "plugin/SetLeaf.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"

namespace Korvanta {

namespace {

using SetLeaf = UntypedSetLeaf;
using Mode = SharedImageArithmeticAlgorithm::Mode;

// The GLSL text of the expression that compute evaluates for these settings, with the right-hand set
// taken untyped; empty when the mode has no expression.
std::string updateEvalString(Mode mode, SharedImageSet& first, SharedImageSet* second, float rightHandSide,
                             const std::vector<unsigned long>& channelIndices) {
    using namespace ImageMath::internal;
    std::string text;
    const SetLeaf left = setLeaf(first);
    if (second) {
        withBinaryOperator<ImageMath::ImgOps::divideIfNotZero>(mode, [&](auto op) {
            text = BinaryOpTpl<decltype(op), SetLeaf, SetLeaf>(left, setLeaf(*second), op).evalString(true);
        });
        return text;
    }
    withBinaryOperator<ImageMath::ImgOps::divide>(mode, [&](auto op) {
        const ImageMath::Scalar<float> scalar(rightHandSide);
        text =
            BinaryOpTpl<decltype(op), SetLeaf, ImageMath::Scalar<float>>(left, scalar, op).evalString(true);
    });
    withUnaryOperator(mode,
                      [&](auto op) { text = UnaryOpTpl<decltype(op), SetLeaf>(left, op).evalString(true); });
    if (mode == SharedImageArithmeticAlgorithm::UnaryChannelSwizzle)
        text = ChannelSwizzleViewTpl<SetLeaf>(left, channelIndices).evalString(true);
    return text;
}

}  // namespace

void SharedImageArithmeticAlgorithm::updateEvalString() {
    m_evalString.setValue(Korvanta::updateEvalString(m_mode.value(), m_first, m_second,
                                                     m_rightHandSide.value(), m_channelIndices.value()));
}

void SharedImageArithmeticAlgorithm::onModeChanged() {
    updateEvalString();
    m_rightHandSide.setAttribute("hidden", "true");
    m_channelIndices.setAttribute("hidden", "true");
    const auto mode = static_cast<unsigned int>(m_mode.value());
    if (mode == UnaryChannelSwizzle)
        m_channelIndices.setAttribute("hidden", "false");
    else if (mode < UnaryMinus && !m_second)
        m_rightHandSide.setAttribute("hidden", "false");
}

void SharedImageArithmeticAlgorithm::onRightHandSideChanged() {
    updateEvalString();
}

void SharedImageArithmeticAlgorithm::onChannelIndicesChanged() {
    updateEvalString();
}

}  // namespace Korvanta
