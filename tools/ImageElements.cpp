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
    // The count follows from the bytes, not from the descriptor's signed element count: a one-byte type
    // can have more elements than that holds, and the budget, not that count, is to refuse them.
    TypedElements(std::uint64_t bytes, MemoryBudget& budget, const std::string& where)
        : m_budget(budget), m_reserved(bytes) {
        m_budget.reserve(m_reserved, where);
        m_elements.reserve(static_cast<std::size_t>(bytes / sizeof(T)));
    }
    ~TypedElements() override { m_budget.release(m_reserved); }

    NumberProblem add(const JsonScalar& value) override {
        T element{};
        const NumberProblem problem = readNumber(value, element);
        if (problem == NumberProblem::None)
            m_elements.push_back(element);
        return problem;
    }

    std::shared_ptr<MemImage> take(const ImageDescriptor& image) override {
        m_reserved = 0;  // the image's memory stays counted
        return std::make_shared<TypedImage<T>>(image, std::move(m_elements));
    }

private:
    MemoryBudget& m_budget;
    std::uint64_t m_reserved;
    std::vector<T> m_elements;
};

}  // namespace

std::unique_ptr<ImageElements> ImageElements::create(const ImageDescriptor& image, MemoryBudget& budget,
                                                     const std::string& where) {
    const std::uint64_t bytes = imageBytes(image, where);  // refuses a count beyond 64 bits
    std::unique_ptr<ImageElements> elements;
    const bool known = Utils::visitElementType(image.pixelType, [&](auto tag) {
        using T = typename decltype(tag)::type;
        elements = std::make_unique<TypedElements<T>>(bytes, budget, where);
    });
    if (!known)
        throw std::logic_error("ImageElements::create: a pixel type without an element type");
    return elements;
}

}  // namespace tools
}  // namespace Korvanta
