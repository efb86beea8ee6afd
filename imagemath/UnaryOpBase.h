#pragma once

#include "host/gl/ExprInterface.h"
#include "host/gl/GlExprInterface.h"
#include "host/gl/ImgOpGl.h"
#include "host/image/PixelType.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// Role base of one-operand operator nodes.
class UnaryOpBase : public ExprInterface {
public:
    PixelType resultPixelType() const { return m_resultPixelType; }

    // The operand's descriptor with the node's result pixel type.
    ImageDescriptor imgDesc() const override {
        ImageDescriptor descriptor = operand().exprInterface().imgDesc();
        descriptor.pixelType = m_resultPixelType;
        return descriptor;
    }

    virtual const GlExprInterface& operand() const = 0;
    virtual GlExprInterface& operand() = 0;
    virtual const ImgOps::UnaryImgOpGl& op() const = 0;

protected:
    explicit UnaryOpBase(PixelType resultPixelType) : m_resultPixelType(resultPixelType) {}

private:
    PixelType m_resultPixelType;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
