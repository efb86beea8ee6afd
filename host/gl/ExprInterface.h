#pragma once

#include <cstdint>

#include "host/image/ImageDescriptor.h"

namespace Korvanta {
namespace ImageMath {

// The node side of every expression: what image a node produces, how many images it stands for and
// where it may be evaluated (see DeviceStrategy.h).
class ExprInterface {
public:
    virtual ~ExprInterface() = default;
    virtual ImageDescriptor imgDesc() const = 0;
    virtual std::int32_t numImgs() const = 0;
    virtual std::int32_t deviceStrategy() const = 0;
};

}  // namespace ImageMath
}  // namespace Korvanta
