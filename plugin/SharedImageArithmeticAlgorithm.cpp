#include "plugin/SharedImageArithmeticAlgorithm.h"

#include <optional>

#include "host/core/Progress.h"
#include "imagemath/ImageExtents.h"
#include "plugin/OperandValidation.h"

namespace Korvanta {

namespace {

const char* const binaryModeNames = "BinaryAdd, BinaryMinus, BinaryMult, BinaryDivide, BinaryPow";
const char* const allModeNames =
    "BinaryAdd, BinaryMinus, BinaryMult, BinaryDivide, BinaryPow, UnaryMinus, UnaryAbs, UnaryChannelSwizzle";

bool compatibleImages(SharedImage* image, SharedImage* other) {
    const std::optional<ImageDescriptor> a = computedMemoryDescriptor(image),
                                         b = computedMemoryDescriptor(other);
    return a && b && ImageMath::sameExtents(*a, *b);
}

}  // namespace

SharedImageArithmeticAlgorithm::SharedImageArithmeticAlgorithm(SharedImageSet& first, SharedImageSet* second)
    : m_first(first), m_second(second) {
    for (ParameterBase* parameter : std::initializer_list<ParameterBase*>{
             &m_evalString, &m_inPlace, &m_mode, &m_rightHandSide, &m_channelIndices})
        registerParameter(parameter);
    m_mode.setTypeCode(PropertiesDetail::EnumerationParamType);
    m_mode.setAttribute("values", m_second ? binaryModeNames : allModeNames);
    m_evalString.setAttribute("read-only", "true");
    m_mode.signalValueChanged.connect([this] { onModeChanged(); });
    m_rightHandSide.signalValueChanged.connect([this] { onRightHandSideChanged(); });
    m_channelIndices.signalValueChanged.connect([this] { onChannelIndicesChanged(); });
    m_mode.signalValueChanged.emitSignal();
}

SharedImageArithmeticAlgorithm::~SharedImageArithmeticAlgorithm() = default;

bool SharedImageArithmeticAlgorithm::createCompatible(const DataList& data, Algorithm** algorithm) {
    const std::vector<SharedImageSet*> sets = data.getImages(0, 0);
    if (sets.empty() || sets.size() > 2)
        return false;
    SharedImageSet* first = sets[0];
    SharedImageSet* second = sets.size() == 2 ? sets[1] : nullptr;
    if (first->size() == 0 || (second && second->size() == 0))
        return false;
    if (second) {
        const bool broadcast = second->size() == 1;
        if (!broadcast && second->size() != first->size())
            return false;
        for (int i = 0; i < first->size(); ++i)
            if (!compatibleImages(first->get(i), second->get(broadcast ? -1 : i)))
                return false;
    }
    if (algorithm)
        *algorithm = new SharedImageArithmeticAlgorithm(*first, second);
    return true;
}

void SharedImageArithmeticAlgorithm::configure(const Properties* properties) {
    if (!properties)
        return;
    Configurable::configure(properties);
    signalParametersChanged.emitSignal();
}

void SharedImageArithmeticAlgorithm::configuration(Properties* properties) const {
    if (properties)
        Configurable::configuration(properties);
}

void SharedImageArithmeticAlgorithm::compute() {
    setStatus(Failed);
    // Whatever an earlier compute left belongs to other settings: a compute that fails leaves nothing.
    m_output.reset();
    Progress::Task task(progress(), 0, "Performing arithmetic operation...");
    validateOperands(m_first, m_second, m_mode.value(), m_channelIndices.value());
    std::unique_ptr<SharedImageSet> output;
    SharedImageSet* destination = &m_first;
    if (!m_inPlace.value()) {
        output = m_first.clone(SharedImageSet::CloneDefault);
        output->setModality(m_first.modality());
        destination = output.get();
    }
    assign(*destination);
    m_output = std::move(output);
    setStatus(Success);
    signalOutputChanged.emitSignal();
}

OwningDataList SharedImageArithmeticAlgorithm::takeOutput() {
    OwningDataList list;
    list.add(std::move(m_output));
    return list;
}

}  // namespace Korvanta
