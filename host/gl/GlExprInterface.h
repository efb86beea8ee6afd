#pragma once

#include <string>
#include <vector>

#include "host/gl/GlProgram.h"
#include "host/gl/TaggingIndex.h"
#include "host/gl/TextureSettings.h"

namespace Korvanta {
namespace ImageMath {

class ExprInterface;

namespace internal {

// The GPU side of every expression node: GLSL text, naming of the quantities a shader reads, their
// declarations and values. A node is one object with this side and its ExprInterface side.
class GlExprInterface {
public:
    virtual ~GlExprInterface() = default;

    // The node's GLSL expression; with `tag` the whole tree below is named first.
    virtual std::string evalString(bool tag) const = 0;
    virtual void tagAndAssignNames(TagMap& tags, TypeCounterMap& counters,
                                   const std::string& prefix) const = 0;
    virtual void getUniformDefinitionList(std::string& out, const std::vector<int>& indices,
                                          const std::string& text) const = 0;
    virtual void getVariableDefinitionList(std::string& out, const std::vector<int>& indices,
                                           const std::string& text) const = 0;
    virtual bool setArguments(GL::Program& program, const std::vector<int>& indices,
                              const std::string& prefix) const = 0;
    virtual std::vector<GlExprInterface*> children() = 0;
    virtual std::vector<const GlExprInterface*> children() const = 0;
    // Inner nodes hand the settings on to their operands; true when any operand changed.
    virtual bool setMagFilter(MagFilter filter);
    virtual bool setWrap(Wrap wrap);

    // The node side of the same node.
    const ExprInterface& exprInterface() const;
    ExprInterface& exprInterface();
};

// Names every leaf and scalar of the tree under `root` in one walk (fresh maps, operands left to
// right), so equal quantities share a name and each distinct one is declared once.
void tagAndAssignNamesHelper(const GlExprInterface& root, const std::string& prefix);

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
