#pragma once

#include <optional>
#include <vector>

#include "host/image/ImageDescriptor.h"
#include "host/image/PixelType.h"
#include "host/image/SharedImage.h"
#include "host/image/SharedImageSet.h"
#include "plugin/SharedImageArithmeticAlgorithm.h"

namespace Korvanta {

// The descriptor of the memory an image is computed in: that of its CPU memory or, for an image held only
// on the GPU, the image's own, which the memory brought down from the GPU copy will have; none for a
// missing image or one with neither.
std::optional<ImageDescriptor> computedMemoryDescriptor(SharedImage* image);

// The pixel type of the right-hand set's default image, which selects the right-hand element type for
// every image of that set. Throws std::invalid_argument for a type without an element type.
PixelType rightHandPixelType(const SharedImageSet& second);

// Throws std::invalid_argument, naming the image and the problem, when the operands of the mode cannot be
// computed: an empty set, a second set whose image count is neither 1 nor the first set's, an image with
// neither CPU memory nor a GPU copy, memory that does not hold the element type it names, a right-hand
// image whose memory does not hold the element type the image names (a first-set image is computed in its
// memory's element type; an image held only on the GPU, in that of its GPU copy),
// operand extents or channel counts that differ from the destination's, right-hand images of different
// element types, or a swizzle list that does not name a source channel for every channel. Only selected
// images are examined; a mode without an expression needs nothing beyond a valid right-hand pixel type.
void validateOperands(const SharedImageSet& first, const SharedImageSet* second,
                      SharedImageArithmeticAlgorithm::Mode mode,
                      const std::vector<unsigned long>& channelIndices);

}  // namespace Korvanta
