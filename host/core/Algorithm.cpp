#include "host/core/Algorithm.h"

#include <algorithm>

namespace Korvanta {

bool Algorithm::survivesDataDeletion(const Data* data) const {
    const auto& items = m_factoryInfo.data.items();
    return std::find(items.begin(), items.end(), data) == items.end();
}

IoAlgorithm::~IoAlgorithm() = default;

}  // namespace Korvanta
