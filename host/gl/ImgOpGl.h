#pragma once

#include <string>

// What the GL side of an operator node needs of its operator: the GLSL fragment over the operands' texts.
namespace Korvanta {
namespace ImageMath {
namespace ImgOps {

class BinaryImgOpGl {
public:
    virtual ~BinaryImgOpGl() = default;
    virtual std::string evalString(const std::string& a, const std::string& b) const = 0;
};

class UnaryImgOpGl {
public:
    virtual ~UnaryImgOpGl() = default;
    virtual std::string evalString(const std::string& x) const = 0;
};

}  // namespace ImgOps
}  // namespace ImageMath
}  // namespace Korvanta
