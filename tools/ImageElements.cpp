#include "tools/ImageElements.h"

#include <stdexcept>
#include <vector>

#include "host/image/PixelTypeUtils.h"

namespace Korvanta {
namespace tools {

namespace {

template <class T>
class TypedElements final : public ImageElements {
public:
    TypedElements(std::int64_t expected, MemoryBudget& budget, const std::string& where)
        : m_budget(budget),
          m_where(where),
          m_more(budget, "Holding the values of " + where + " until its size is known") {
        m_reserved = static_cast<std::uint64_t>(expected) * sizeof(T);
        m_budget.reserve(m_reserved, where);
        m_first.reserve(static_cast<std::size_t>(expected));
    }
    ~TypedElements() override { m_budget.release(m_reserved); }

    NumberProblem add(const JsonScalar& value) override {
        T element{};
        const NumberProblem problem = readNumber(value, element);
        if (problem != NumberProblem::None)
            return problem;
        if (m_first.size() < m_first.capacity())
            m_first.push_back(element);
        else
            *m_more.append(1) = element;
        return NumberProblem::None;
    }

    std::int64_t size() const override { return static_cast<std::int64_t>(m_first.size() + m_more.size()); }

    std::shared_ptr<MemImage> take(const ImageDescriptor& descriptor) override {
        if (m_more.size() > 0 || m_first.capacity() != m_first.size()) {
            // Not as many elements as expected when "values" began (a key after it changed the image's
            // size): one buffer of the image's size, made from the parts.
            const std::uint64_t bytes = static_cast<std::uint64_t>(size()) * sizeof(T);
            m_budget.reserve(bytes, m_where);
            std::vector<T> joined;
            joined.reserve(static_cast<std::size_t>(size()));
            joined.insert(joined.end(), m_first.begin(), m_first.end());
            std::vector<T>().swap(m_first);
            m_budget.release(m_reserved);
            m_more.drain([&](const T* elements, std::size_t count) {
                joined.insert(joined.end(), elements, elements + count);
            });
            m_first = std::move(joined);
        }
        // The image's memory stays counted.
        m_reserved = 0;
        return std::make_shared<TypedImage<T>>(descriptor, std::move(m_first));
    }

private:
    MemoryBudget& m_budget;
    std::string m_where;
    std::uint64_t m_reserved = 0;  // of m_first
    std::vector<T> m_first;
    ChunkedBuffer<T> m_more;
};

}  // namespace

std::unique_ptr<ImageElements> ImageElements::create(const ImageDescriptor& expected, MemoryBudget& budget,
                                                     const std::string& where) {
    imageBytes(expected, where);  // refuses a count beyond 64 bits
    std::unique_ptr<ImageElements> elements;
    const bool known = Utils::visitElementType(expected.pixelType, [&](auto tag) {
        using T = typename decltype(tag)::type;
        elements = std::make_unique<TypedElements<T>>(expected.elementCount(), budget, where);
    });
    if (!known)
        throw std::logic_error("ImageElements::create: a pixel type without an element type");
    return elements;
}

}  // namespace tools
}  // namespace Korvanta
