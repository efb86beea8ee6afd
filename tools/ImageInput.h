#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/image/SharedImage.h"
#include "tools/ImageElements.h"
#include "tools/JsonScalar.h"
#include "tools/MemoryBudget.h"
#include "tools/PendingValues.h"

namespace Korvanta {
namespace tools {

// One image of a script, built from its keys as they are read, in any order:
//   {"pixelType": "uint16", "width": 2, "height": 2, "slices": 1, "channels": 1, "shift": 0, "scale": 1,
//    "values": [...], "memory": true}
// Every key is optional but "pixelType"; extents default to 1, shift to 0, scale to 1, values to zero.
// "values" holds the interleaved elements, each a number or a string that holds one (for floating
// types also "NaN", "Infinity", "-Infinity"). In the order above they go straight into the image's
// memory, so that reading needs no more memory than the image; when "pixelType" comes later they are
// held as read, and when an extent comes later those beyond the expected count are held in chunks, until
// the image is complete. "memory": false, or a pixel type without an element type, makes an image
// without CPU memory, which has no values. Every method throws std::invalid_argument naming the image
// (`where`, such as "image 0 of \"first\"") and the key or element, quoting what the user wrote.
class ImageInput {
public:
    ImageInput(std::string where, MemoryBudget& budget) : m_where(std::move(where)), m_budget(budget) {}

    // A key begins; its value follows: a scalar, or for "values" an array, whose elements follow.
    void key(const std::string& key);
    void scalar(const JsonScalar& value);
    void beginValues();
    void element(const JsonScalar& value);
    // Refuses a value of the wrong kind for the current key (an array or object where it takes a
    // scalar), with `shown` as what was found ("an array").
    [[noreturn]] void notScalar(const std::string& shown) const;
    // The image, once every key has been read.
    std::shared_ptr<SharedImage> finish();

    const std::string& where() const { return m_where; }
    // Where the next element goes, for messages about what the parser found there.
    std::string elementPlace() const;

private:
    [[noreturn]] void fail(const std::string& place, const std::string& problem) const;
    std::string keyPlace() const;
    // Whether the image has CPU memory, as far as the keys so far tell.
    bool hasMemory() const;
    void refuseValuesWithoutMemory() const;
    void startElements(const ImageDescriptor& expected);
    void addElement(const JsonScalar& value);
    // The memory of the image, made from the values read.
    std::shared_ptr<MemImage> takeElements();

    std::string m_where;
    MemoryBudget& m_budget;
    std::string m_key;
    bool m_hasPixelType = false;
    bool m_memoryKey = true;  // "memory"
    bool m_hasValues = false;
    ImageDescriptor m_descriptor = makeImageDescriptor(PixelType::UByte, 1, 1, 1, 1);
    PixelType m_elementType = PixelType::UByte;  // of the memory, for messages (float for half)
    std::int64_t m_next = 0;                     // values read
    std::unique_ptr<ImageElements> m_elements;   // once the pixel type is known
    std::unique_ptr<PendingValues> m_pending;    // values read before it
};

}  // namespace tools
}  // namespace Korvanta
