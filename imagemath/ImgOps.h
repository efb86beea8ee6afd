#pragma once

#include <string>
#include <string_view>

#include "host/gl/ImgOpGl.h"

// Operator functors. Each is stateless: its type selects the CPU kernel, its evalString gives the GLSL
// fragment of the operation over the operands' texts.
namespace Korvanta {
namespace ImageMath {
namespace ImgOps {

namespace detail {
// Concatenates the pieces into one string reserved to their total length plus a margin.
template <class... Pieces>
std::string concat(std::size_t margin, const Pieces&... pieces) {
    std::string text;
    text.reserve((std::string_view(pieces).size() + ... + margin));
    (text.append(pieces), ...);
    return text;
}
}  // namespace detail

class add : public BinaryImgOpGl {
public:
    std::string evalString(const std::string& a, const std::string& b) const override {
        return detail::concat(5, "(", a, ")+(", b, ")");
    }
};

class minus : public BinaryImgOpGl {
public:
    std::string evalString(const std::string& a, const std::string& b) const override {
        return detail::concat(5, "(", a, ")-(", b, ")");
    }
};

class mult : public BinaryImgOpGl {
public:
    std::string evalString(const std::string& a, const std::string& b) const override {
        return detail::concat(5, "(", a, ")*(", b, ")");
    }
};

class divide : public BinaryImgOpGl {
public:
    std::string evalString(const std::string& a, const std::string& b) const override {
        return detail::concat(5, "(", a, ")/(", b, ")");
    }
};

// Zero wherever the divisor is zero (on the GPU: where the whole divisor vector has length 0).
class divideIfNotZero : public BinaryImgOpGl {
public:
    std::string evalString(const std::string& a, const std::string& b) const override {
        return detail::concat(100, "(float(length(", b, ") != 0.0) * (", a, "))/(", b, " + float(length(", b,
                              ") == 0.0))");
    }
};

class pow : public BinaryImgOpGl {
public:
    std::string evalString(const std::string& a, const std::string& b) const override {
        return detail::concat(20, "pow((", a, "), (", b, "))");
    }
};

class unaryMinus : public UnaryImgOpGl {
public:
    std::string evalString(const std::string& x) const override { return detail::concat(3, "-(", x, ")"); }
};

class abs : public UnaryImgOpGl {
public:
    std::string evalString(const std::string& x) const override { return detail::concat(5, "abs(", x, ")"); }
};

}  // namespace ImgOps
}  // namespace ImageMath
}  // namespace Korvanta
