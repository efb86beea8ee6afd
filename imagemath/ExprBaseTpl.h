#pragma once

namespace Korvanta {
namespace ImageMath {

// Empty base over the expression class itself, through which an assignment recovers the static
// type of the tree it is given.
template <class D>
class ExprBaseTpl {
public:
    const D& derived() const { return static_cast<const D&>(*this); }
    D& derived() { return static_cast<D&>(*this); }
};

}  // namespace ImageMath
}  // namespace Korvanta
