#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/image/MemImage.h"
#include "tools/ChunkedBuffer.h"
#include "tools/JsonScalar.h"
#include "tools/MemoryBudget.h"

namespace Korvanta {
namespace tools {

// The elements of an image as they are read, in its element type, before the image is made. As many as
// the image is expected to hold go into one buffer that becomes the image's memory as it is; any more
// (when a key after "values" enlarges the image) go into chunks, joined with that buffer at the end.
// Memory is counted in the budget as it is taken.
class ImageElements {
public:
    virtual ~ImageElements() = default;

    // Expects the element count of `expected`, whose pixel type must have an element type; throws
    // std::invalid_argument naming `where` when the budget cannot have the memory.
    static std::unique_ptr<ImageElements> create(const ImageDescriptor& expected, MemoryBudget& budget,
                                                 const std::string& where);

    // Reads one element and appends it; on a problem nothing is appended.
    virtual NumberProblem add(const JsonScalar& value) = 0;
    virtual std::int64_t size() const = 0;
    // The memory of an image of `descriptor`, whose element count must be size().
    virtual std::shared_ptr<MemImage> take(const ImageDescriptor& descriptor) = 0;
};

}  // namespace tools
}  // namespace Korvanta
