// The expression that compute assigns for each mode and right-hand element type.
#include "host/image/PixelTypeUtils.h"
#include "imagemath/SetAssignment.h"
#include "plugin/ModeDispatch.h"
#include "plugin/OperandValidation.h"
#include "plugin/SetAssignments.h"
#include "plugin/SetLeaf.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"

namespace Korvanta {

void assignWithoutSecondSet(SharedImageArithmeticAlgorithm::Mode mode, SharedImageSet& destination,
                            SharedImageSet& first, float rightHandSide,
                            const std::vector<unsigned long>& channelIndices) {
    using namespace ImageMath::internal;
    UntypedSetLeaf target = setLeaf(destination);
    const UntypedSetLeaf left = setLeaf(first);
    withBinaryOperator<ImageMath::ImgOps::divide>(mode, [&](auto op) {
        const ImageMath::Scalar<float> scalar(rightHandSide);
        target = BinaryOpTpl<decltype(op), UntypedSetLeaf, ImageMath::Scalar<float>>(left, scalar, op);
    });
    withUnaryOperator(mode, [&](auto op) { target = UnaryOpTpl<decltype(op), UntypedSetLeaf>(left, op); });
    if (mode == SharedImageArithmeticAlgorithm::UnaryChannelSwizzle)
        target = ChannelSwizzleViewTpl<UntypedSetLeaf>(left, channelIndices);
}

void SharedImageArithmeticAlgorithm::assign(SharedImageSet& destination) {
    const Mode mode = m_mode.value();
    if (m_second) {
        Utils::visitElementType(rightHandPixelType(*m_second), [&](auto tag) {
            assignImageOperation<typename decltype(tag)::type>(mode, destination, m_first, *m_second);
        });
        return;
    }
    assignWithoutSecondSet(mode, destination, m_first, m_rightHandSide.value(), m_channelIndices.value());
}

}  // namespace Korvanta
