#include "host/image/Selection.h"

#include <algorithm>

namespace Korvanta {

Selection::Selection(std::vector<int> indices) : m_indices(std::move(indices)) {
    std::sort(m_indices.begin(), m_indices.end());
    m_indices.erase(std::unique(m_indices.begin(), m_indices.end()), m_indices.end());
}

bool Selection::isSelected(int index, NonePolicy policy) const {
    if (index < 0) {
        return false;
    }
    if (!m_indices.empty()) {
        return std::binary_search(m_indices.begin(), m_indices.end(), index);
    }
    switch (policy) {
        case EmptyMeansAll:
            return true;
        case EmptyMeansFirst:
            return index == 0;
        case EmptyMeansNone:
            break;
    }
    return false;
}

}  // namespace Korvanta
