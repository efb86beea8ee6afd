#include "plugin/OperandValidation.h"

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "host/image/MemImage.h"
#include "host/image/PixelTypeUtils.h"
#include "host/image/SharedImage.h"
#include "imagemath/ImageExtents.h"
#include "imagemath/PixelTypeCodes.h"
#include "imagemath/typed/OperandChecks.h"
#include "plugin/ModeExpressions.h"

namespace Korvanta {

namespace {

using Mode = SharedImageArithmeticAlgorithm::Mode;

// Half-float images are held in float memory, so both codes name one element type.
PixelType elementTypeOf(PixelType type) {
    return type == PixelType::HFloat ? PixelType::Float : type;
}

bool holdsElementType(const MemImage& memory, PixelType type) {
    bool holds = false;
    Utils::visitElementType(type, [&](auto tag) {
        using T = typename decltype(tag)::type;
        holds = dynamic_cast<const TypedImage<T>*>(&memory) != nullptr;
    });
    return holds;
}

[[noreturn]] void fail(const std::string& text) {
    throw std::invalid_argument(text);
}

std::string imageName(int index, const char* setName) {
    return "Image " + std::to_string(index) + " of the " + setName;
}

// The memory an image will be computed in, as its CPU memory or, for an image held only on the GPU, as
// the descriptor that the memory brought down from its GPU copy will have (the host keeps the two
// alike); an image with neither is refused. The typed buffer is known only for CPU memory.
struct ComputedMemory {
    ImageDescriptor descriptor;
    const MemImage* cpu;
};

ComputedMemory computedMemory(const SharedImageSet& set, int index, const char* setName) {
    const std::optional<ImageDescriptor> memory = computedMemoryDescriptor(set.get(index));
    if (!memory)
        fail(imageName(index, setName) + " has neither CPU memory nor a GPU copy");
    return {*memory, set.get(index)->mem()};
}

// A destination image is computed in the element type of its memory, whatever the image names: the memory
// only has to hold the element type it names itself.
ImageDescriptor destinationMemory(const SharedImageSet& first, int index) {
    const ComputedMemory memory = computedMemory(first, index, "first set");
    const PixelType type = memory.descriptor.pixelType;
    if (memory.cpu && !holdsElementType(*memory.cpu, type))
        fail(imageName(index, "first set") + " has memory of the pixel type " +
             ImageMath::pixelTypeCode(type) + ", which that memory does not hold");
    return memory.descriptor;
}

// The right-hand kernel is chosen by the pixel type the images name, so their memory must hold it.
ImageDescriptor rightHandMemory(const SharedImageSet& second, int index) {
    const ComputedMemory memory = computedMemory(second, index, "second set");
    const PixelType type = second.get(index)->descriptor().pixelType;
    if (elementTypeOf(memory.descriptor.pixelType) != elementTypeOf(type) ||
        (memory.cpu && !holdsElementType(*memory.cpu, type)))
        fail(imageName(index, "second set") + " has the pixel type " + ImageMath::pixelTypeCode(type) +
             ", which its memory does not hold");
    return memory.descriptor;
}

}  // namespace

std::optional<ImageDescriptor> computedMemoryDescriptor(SharedImage* image) {
    if (!image)
        return std::nullopt;
    if (const MemImage* memory = image->mem())
        return memory->descriptor();
    if (image->hasGl())
        return image->descriptor();
    return std::nullopt;
}

PixelType rightHandPixelType(const SharedImageSet& second) {
    const SharedImage* image = second.get(-1);
    if (!image)
        fail("The second image set holds no images");
    const PixelType type = image->descriptor().pixelType;
    if (!ImageMath::isKnownPixelType(type))
        fail("SharedImage does not have a valid MemImage type!");
    return type;
}

void validateOperands(const SharedImageSet& first, const SharedImageSet* second, Mode mode,
                      const std::vector<unsigned long>& channelIndices) {
    const PixelType rightType = second ? rightHandPixelType(*second) : PixelType::Float;
    if (!hasOperation(mode, second != nullptr))
        return;
    const int count = first.size();
    if (count == 0)
        fail("The first image set holds no images");
    if (second && second->size() != 1 && second->size() != count)
        fail("The second image set holds " + std::to_string(second->size()) + " images; expected 1 or " +
             std::to_string(count));
    const Selection selection = first.selection();
    for (int i = 0; i < count; ++i) {
        if (!selection.isSelected(i, Selection::EmptyMeansAll))
            continue;
        const ImageDescriptor destination = destinationMemory(first, i);
        if (!second && mode == SharedImageArithmeticAlgorithm::UnaryChannelSwizzle) {
            const std::string image = "image " + std::to_string(i);
            ImageMath::internal::requireSwizzleIndices(channelIndices, destination.channels,
                                                       destination.channels, image, image);
        }
        if (!second)
            continue;
        const int j = second->size() == 1 ? 0 : i;
        const ImageDescriptor right = rightHandMemory(*second, j);
        if (elementTypeOf(right.pixelType) != elementTypeOf(rightType))
            fail("Image " + std::to_string(j) + " of the second set has the pixel type " +
                 ImageMath::pixelTypeCode(right.pixelType) + " but the set's default image has " +
                 ImageMath::pixelTypeCode(rightType));
        if (!ImageMath::sameExtents(destination, right))
            fail("Image " + std::to_string(j) + " of the second set is " + ImageMath::extentsText(right) +
                 " but image " + std::to_string(i) + " of the first set is " +
                 ImageMath::extentsText(destination));
    }
}

}  // namespace Korvanta
