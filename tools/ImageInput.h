#pragma once

#include <cstdint>
#include <memory>
#include <optional>
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
// Each key's value is checked where it comes. What depends on several keys is decided once they are all
// known, the same in every key order, in this order: "values" in an image without CPU memory (at once for
// "memory": false; for a pixel type that holds none once "memory" is given or the image ends); then,
// once the pixel type, the four extents and "memory" are known (at the end of the image for those it
// lacks), the memory the image needs, the first entry of "values" that is wrong (one beyond the element
// count, or one that is not a value of the type) and values too few. When the pixel type and the four
// extents come before "values", its entries go straight into the image's memory as they are read, and a
// wrong one is noted until it is certain; otherwise they are held as PendingValues until those keys are
// known, and beyond the element count not at all once the extents tell it.
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
    bool hasElementType() const;
    // Refuses what is certain to be wrong with the keys given so far, or with all (`atEnd`).
    void decide(bool atEnd);
    void startElements();
    // Stores an entry, or notes it as the first that is wrong.
    void addElement(const JsonScalar& value, std::int64_t index);
    void readHeldValues();
    std::string holdsMore() const;

    std::string m_where;
    MemoryBudget& m_budget;
    std::string m_key;
    unsigned m_given = 0;
    bool m_memoryKey = true;  // "memory"
    bool m_valuesEnded = false;
    bool m_decided = false;                    // the values, against the pixel type and extents
    std::optional<std::string> m_memoryFault;  // the budget's refusal of the image's memory
    std::optional<std::string> m_fault;        // the first entry that is wrong
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
