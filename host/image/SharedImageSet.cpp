#include "host/image/SharedImageSet.h"

#include <stdexcept>
#include <string>

namespace Korvanta {

void SharedImageSet::setModality(Modality modality) {
    if (!isModality(modality)) {
        throw std::invalid_argument(
            "SharedImageSet::setModality: " + std::to_string(static_cast<int>(modality)) +
            " is no modality (" + std::to_string(NoModality) + " to " + std::to_string(MRI) + ")");
    }
    m_modality = modality;
}

int SharedImageSet::size() const {
    return static_cast<int>(m_images.size());
}

void SharedImageSet::add(std::shared_ptr<SharedImage> image) {
    if (!image) {
        throw std::invalid_argument("SharedImageSet::add: empty image pointer");
    }
    m_images.push_back(std::move(image));
}

std::shared_ptr<SharedImage> SharedImageSet::getShared(int index) const {
    const int position = index == -1 ? 0 : index;
    if (position < 0 || position >= size()) {
        return nullptr;
    }
    return m_images[static_cast<std::size_t>(position)];
}

SharedImage* SharedImageSet::get(int index) const {
    return getShared(index).get();
}

MemImage* SharedImageSet::img(int index) const {
    SharedImage* image = get(index);
    return image ? image->mem() : nullptr;
}

std::unique_ptr<SharedImageSet> SharedImageSet::clone(int /*flags*/) const {
    auto copy = std::make_unique<SharedImageSet>();
    for (const auto& image : m_images) {
        copy->add(image->clone());
    }
    copy->setSelection(m_selection);
    copy->setModality(m_modality);
    return copy;
}

}  // namespace Korvanta
