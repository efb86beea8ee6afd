// The expression that compute assigns for each mode and right-hand element type.
#include "host/image/PixelTypeUtils.h"
#include "imagemath/SetAssignment.h"
#include "plugin/ModeDispatch.h"
#include "plugin/OperandValidation.h"
#include "plugin/SetLeaf.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"

namespace Korvanta {

void SharedImageArithmeticAlgorithm::assign(SharedImageSet& destination) {
    using namespace ImageMath::internal;
    UntypedSetLeaf target = setLeaf(destination);
    const UntypedSetLeaf left = setLeaf(m_first);
    const Mode mode = m_mode.value();
    if (m_second) {
        Utils::visitElementType(rightHandPixelType(*m_second), [&](auto tag) {
            using Right = ImageMath::Array<SharedImageSet, typename decltype(tag)::type, false>;
            const Right right = setLeaf<typename decltype(tag)::type>(*m_second);
            withBinaryOperator<ImageMath::ImgOps::divideIfNotZero>(mode, [&](auto op) {
                target = BinaryOpTpl<decltype(op), UntypedSetLeaf, Right>(left, right, op);
            });
        });
        return;
    }
    withBinaryOperator<ImageMath::ImgOps::divide>(mode, [&](auto op) {
        const ImageMath::Scalar<float> scalar(m_rightHandSide.value());
        target = BinaryOpTpl<decltype(op), UntypedSetLeaf, ImageMath::Scalar<float>>(left, scalar, op);
    });
    withUnaryOperator(mode, [&](auto op) { target = UnaryOpTpl<decltype(op), UntypedSetLeaf>(left, op); });
    if (mode == UnaryChannelSwizzle)
        target = ChannelSwizzleViewTpl<UntypedSetLeaf>(left, m_channelIndices.value());
}

}  // namespace Korvanta
