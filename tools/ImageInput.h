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
// types also "NaN", "Infinity", "-Infinity"). "memory": false, or a pixel type without an element type,
// makes an image without CPU memory, which has no values.
//
// Each key's value is checked where it comes, and so is "values" against "memory": false or such a pixel
// type, whichever comes second. What depends on the pixel type and all four extents together is checked
// once they are known, at the end of the image for those it lacks, and then the same whatever the order
// of the keys: first the memory the image needs, then its values, of which the first entry that is wrong
// decides (one beyond the image's element count, or one that is not a value of its type), and then
// values too few. When the pixel type and the four extents come before "values", the values go straight
// into the image's memory as they are read; otherwise they are held as PendingValues until they are
// known, those beyond the element count not at all once the extents tell it.
//
// Every method throws std::invalid_argument naming the image (`where`, such as "image 0 of \"first\"") and
// the key or element, quoting what the user wrote.
class ImageInput {
public:
    ImageInput(std::string where, MemoryBudget& budget) : m_where(std::move(where)), m_budget(budget) {}

    // A key begins; its value follows: a scalar, or for "values" an array, whose elements follow.
    void key(const std::string& key);
    void scalar(const JsonScalar& value);
    void beginValues();
    void element(const JsonScalar& value);
    void endValues();
    // Refuses a value of the wrong kind for the current key (an array or object where it takes a
    // scalar), with `shown` as what was found ("an array").
    [[noreturn]] void notScalar(const std::string& shown) const;
    // The image, once every key has been read.
    std::shared_ptr<SharedImage> finish();

    const std::string& where() const { return m_where; }
    // Where the next element goes, for messages about what the parser found there.
    std::string elementPlace() const;

private:
    enum Given : unsigned {
        pixelType = 1,
        width = 2,
        height = 4,
        slices = 8,
        channels = 16,
        memory = 32,
        values = 64
    };
    static constexpr unsigned extents = width | height | slices | channels;

    [[noreturn]] void fail(const std::string& place, const std::string& problem) const;
    std::string keyPlace() const;
    bool given(unsigned keys) const { return (m_given & keys) == keys; }
    // Refuses "values" in an image without CPU memory once both are known.
    void requireMemoryForValues() const;
    // Checks the values held once the pixel type and the extents are known.
    void checkWhenKnown();
    void checkValues();
    void startElements();
    void addElement(const JsonScalar& value);
    [[noreturn]] void failHoldsMore() const;

    std::string m_where;
    MemoryBudget& m_budget;
    std::string m_key;
    unsigned m_given = 0;
    bool m_memoryKey = true;  // "memory"
    bool m_valuesEnded = false;
    ImageDescriptor m_descriptor = makeImageDescriptor(PixelType::UByte, 1, 1, 1, 1);
    PixelType m_elementType = PixelType::UByte;  // of the memory, for messages (float for half)
    std::int64_t m_count = 0;                    // of elements, once they are known
    std::int64_t m_next = 0;                     // values read
    std::int64_t m_heldAtMost = INT64_MAX;       // values worth holding, once the extents are known
    std::unique_ptr<ImageElements> m_elements;   // once the pixel type and extents are known
    std::unique_ptr<PendingValues> m_pending;    // values read before them
};

}  // namespace tools
}  // namespace Korvanta
