#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

#include "host/image/SharedImage.h"
#include "imagemath/ExpressionLeaves.h"
#include "imagemath/ImageLookup.h"
#include "imagemath/WrittenImages.h"

// A set assigned in place may be its own operand at other indices: one of its images on the right of
// every image ("subtract frame 0 from every frame"), or its images in another order. The image written at
// one index would then be read by the tasks of others, while it is written or after: the result would
// depend on their order. So every operand image that the assignment writes at another index is copied
// before anything is written, and every expression reads the copy instead. An operand that is the
// destination image of its own index needs no copy: the kernels read each element before writing it.
namespace Korvanta {
namespace ImageMath {
namespace internal {

class OperandSnapshots {
public:
    // Copies, now, every image that a leaf of the Set-level expression reads at one of the written indices
    // and that another index writes: the same image, or one whose CPU memory overlaps that image's. Without
    // such an image this costs a look-up per leaf and index.
    template <class SetExpr>
    OperandSnapshots(const std::vector<WrittenImage>& written, const SetExpr& expr) {
        recordWrites(written);
        auto copyIfWrittenElsewhere = [&](const auto& setLeaf) {
            for (const WrittenImage& destination : written) {
                SharedImage* operand =
                    broadcastImage(setLeaf.storage(), static_cast<unsigned long>(destination.index));
                if (operand && !copyOf(operand) && writtenElsewhere(*operand, destination.index)) {
                    m_copies.emplace(operand, operand->clone());
                }
            }
        };
        forEachLeaf(expr, copyIfWrittenElsewhere);
    }

    OperandSnapshots(const OperandSnapshots&) = delete;
    OperandSnapshots& operator=(const OperandSnapshots&) = delete;

    // The image-level expression for index i, with every leaf over a copied image reading the copy.
    template <class SetExpr>
    auto imageExpression(const SetExpr& expr, int i) const {
        if (m_copies.empty()) {
            return expr.convertToSharedImgExpr(static_cast<unsigned long>(i));
        }
        return withLeavesReplaced(expr.convertToSharedImgExpr(static_cast<unsigned long>(i)),
                                  [this](const auto& leaf) {
                                      using Leaf = std::decay_t<decltype(leaf)>;
                                      SharedImage* copy = copyOf(leaf.storage());
                                      return copy ? Leaf(copy, leaf.settings()) : Leaf(leaf);
                                  });
    }

private:
    struct WrittenBytes {
        ElementBytes bytes;
        int index;
        std::uintptr_t reach;  // the largest end of the ranges up to this one, in order of their start
    };

    void recordWrites(const std::vector<WrittenImage>& written) {
        for (const WrittenImage& destination : written) {
            if (!destination.image) {
                continue;
            }
            m_writers.emplace(destination.image, destination.index);
            const ElementBytes bytes = elementBytesOf(*destination.image);
            if (!bytes.empty()) {
                m_bytes.push_back(WrittenBytes{bytes, destination.index, 0});
            }
        }
        std::sort(m_bytes.begin(), m_bytes.end(),
                  [](const WrittenBytes& a, const WrittenBytes& b) { return a.bytes.begin < b.bytes.begin; });
        std::uintptr_t reach = 0;
        for (WrittenBytes& entry : m_bytes) {
            reach = std::max(reach, entry.bytes.end);
            entry.reach = reach;
        }
    }

    // Whether an index other than i writes the operand, or memory that it shares with the operand; at
    // index i itself, memory shared otherwise than element for element counts too.
    bool writtenElsewhere(SharedImage& operand, int i) const {
        const auto writers = m_writers.equal_range(&operand);
        for (auto writer = writers.first; writer != writers.second; ++writer) {
            if (writer->second != i) {
                return true;
            }
        }
        const ElementBytes bytes = elementBytesOf(operand);
        if (bytes.empty()) {
            return false;
        }
        // Ranges starting at or after the operand's end cannot overlap it; of the others, walk back while
        // some range that far back still reaches past the operand's start.
        auto after = std::lower_bound(
            m_bytes.begin(), m_bytes.end(), bytes.end,
            [](const WrittenBytes& entry, std::uintptr_t end) { return entry.bytes.begin < end; });
        while (after != m_bytes.begin() && std::prev(after)->reach > bytes.begin) {
            --after;
            if (after->bytes.overlaps(bytes) && (after->index != i || after->bytes != bytes)) {
                return true;
            }
        }
        return false;
    }

    SharedImage* copyOf(const SharedImage* image) const {
        const auto copy = m_copies.find(image);
        return copy == m_copies.end() ? nullptr : copy->second.get();
    }

    std::multimap<const SharedImage*, int> m_writers;
    std::vector<WrittenBytes> m_bytes;
    std::map<const SharedImage*, std::unique_ptr<SharedImage>> m_copies;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
