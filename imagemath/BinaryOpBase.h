#pragma once

#include <optional>
#include <vector>

#include "host/gl/ExprInterface.h"
#include "host/gl/GlExprInterface.h"
#include "host/gl/ImgOpGl.h"
#include "host/image/PixelType.h"
#include "host/image/PixelTypeUtils.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// Role base of two-operand nodes: the operands' GL sides and the operator, for the GL side and the
// conversions, and the pixel type the node reports for its result.
class BinaryOpBase : public ExprInterface {
public:
    PixelType resultPixelType() const { return m_resultPixelType; }

    // Both operands' descriptors combined by the host, with the node's result pixel type.
    ImageDescriptor imgDesc() const override {
        const std::vector<ImageDescriptor> operands{lhs().exprInterface().imgDesc(),
                                                    rhs().exprInterface().imgDesc()};
        ImageDescriptor combined = combineImageDescriptors(operands, false, std::nullopt);
        combined.pixelType = m_resultPixelType;
        return combined;
    }

    virtual GlExprInterface& lhs() = 0;
    virtual const GlExprInterface& lhs() const = 0;
    virtual GlExprInterface& rhs() = 0;
    virtual const GlExprInterface& rhs() const = 0;
    virtual const ImgOps::BinaryImgOpGl& op() const = 0;

protected:
    explicit BinaryOpBase(PixelType resultPixelType) : m_resultPixelType(resultPixelType) {}

private:
    PixelType m_resultPixelType;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
