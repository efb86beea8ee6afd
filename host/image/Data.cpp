#include "host/image/Data.h"

#include "host/image/SharedImageSet.h"

namespace Korvanta {

std::vector<SharedImageSet*> DataList::getImages(int kind, int modality) const {
    std::vector<SharedImageSet*> sets;
    for (Data* data : m_items) {
        auto* set = dynamic_cast<SharedImageSet*>(data);
        if (set == nullptr || (kind != 0 && set->kind() != kind) ||
            (modality != 0 && set->modality() != modality)) {
            continue;
        }
        sets.push_back(set);
    }
    return sets;
}

void OwningDataList::add(std::unique_ptr<Data> data) {
    if (data) {
        m_items.push_back(std::move(data));
    }
}

std::unique_ptr<Data> OwningDataList::take(int i) {
    std::unique_ptr<Data> data = std::move(m_items.at(static_cast<std::size_t>(i)));
    m_items.erase(m_items.begin() + i);
    return data;
}

}  // namespace Korvanta
