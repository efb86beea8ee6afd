// The expression that compute assigns for each mode and right-hand element type.
#include "host/image/PixelTypeUtils.h"
#include "imagemath/SetAssignment.h"
#include "plugin/ModeExpressions.h"
#include "plugin/OperandValidation.h"
#include "plugin/SetAssignments.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"

namespace Korvanta {

void assignWithoutSecondSet(SharedImageArithmeticAlgorithm::Mode mode, SharedImageSet& destination,
                            SharedImageSet& first, float rightHandSide,
                            const std::vector<unsigned long>& channelIndices) {
    UntypedSetLeaf target = setLeaf(destination);
    withExpression(mode, setLeaf(first), ImageMath::Scalar<float>(rightHandSide), channelIndices,
                   [&](const auto& expr) { target = expr; });
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
