#pragma once

#include <cstdint>

#include "host/gl/ExprInterface.h"
#include "host/image/ImageDescriptor.h"
#include "host/image/PixelTypeUtils.h"
#include "imagemath/DeviceStrategy.h"
#include "imagemath/ExprBaseTpl.h"
#include "imagemath/ScalarGl.h"

namespace Korvanta {
namespace ImageMath {

template <class V>
class Scalar;

// A constant right-hand operand. The CPU uses its value as it is (never shifted or scaled); the GPU
// reads it as a float uniform. The same object serves at every level: conversions copy it whole,
// GL name included.
template <>
class Scalar<float>
    : public ExprBaseTpl<Scalar<float>>, public ExprInterface, public internal::ScalarGl<Scalar<float>> {
public:
    using value_type = float;

    explicit Scalar(float value) : m_value(value) {}
    Scalar(const Scalar&) = default;
    Scalar& operator=(const Scalar&) = default;

    const float& value() const { return m_value; }

    // A single float element.
    ImageDescriptor imgDesc() const override {
        ImageDescriptor descriptor;
        descriptor.pixelType = Utils::imageTypeId<float>();
        descriptor.width = descriptor.height = descriptor.slices = descriptor.channels = 1;
        descriptor.spacing = {1.0, 1.0, 1.0};
        descriptor.isMetric = false;
        descriptor.shift = 0.0;
        descriptor.scale = 1.0;
        return descriptor;
    }
    std::int32_t numImgs() const override { return 0; }
    std::int32_t deviceStrategy() const override { return internal::kGpuWhenResident; }

    Scalar convertToSharedImgExpr(unsigned long /*i*/) const { return *this; }

    template <class U>
    Scalar convertToMemImgExpr() const noexcept {
        return *this;
    }

private:
    float m_value;
};

}  // namespace ImageMath
}  // namespace Korvanta
