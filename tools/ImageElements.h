#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/image/MemImage.h"
#include "tools/JsonScalar.h"
#include "tools/MemoryBudget.h"

namespace Korvanta {
namespace tools {

// The elements of an image as they are read, in its element type, into the buffer that becomes the
// image's memory as it is. The memory is counted in the budget when the buffer is made.
class ImageElements {
public:
    virtual ~ImageElements() = default;

    // Room for the elements of `image`, whose pixel type must have an element type; throws
    // std::invalid_argument naming `where` when their count does not fit 64 bits or the budget cannot
    // have the memory.
    static std::unique_ptr<ImageElements> create(const ImageDescriptor& image, MemoryBudget& budget,
                                                 const std::string& where);

    // Reads one element and appends it, within the room made; on a problem nothing is appended.
    virtual NumberProblem add(const JsonScalar& value) = 0;
    // The memory of the image, once every element is read.
    virtual std::shared_ptr<MemImage> take(const ImageDescriptor& image) = 0;
};

}  // namespace tools
}  // namespace Korvanta
