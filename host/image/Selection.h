#pragma once

#include <vector>

namespace Korvanta {

// Which images of a set an operation applies to.
class Selection {
public:
    // What an empty selection means.
    enum NonePolicy { EmptyMeansNone = 0, EmptyMeansFirst = 1, EmptyMeansAll = 2 };

    Selection() = default;
    explicit Selection(std::vector<int> indices);

    bool isSelected(int index, NonePolicy policy) const;
    const std::vector<int>& indices() const { return m_indices; }
    bool empty() const { return m_indices.empty(); }

private:
    std::vector<int> m_indices;
};

}  // namespace Korvanta
