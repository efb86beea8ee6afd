#include "host/gl/GlExprInterface.h"

#include "host/gl/ExprInterface.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

bool GlExprInterface::setMagFilter(MagFilter filter) {
    bool changed = false;
    for (GlExprInterface* child : children()) {
        changed = child->setMagFilter(filter) || changed;
    }
    return changed;
}

bool GlExprInterface::setWrap(Wrap wrap) {
    bool changed = false;
    for (GlExprInterface* child : children()) {
        changed = child->setWrap(wrap) || changed;
    }
    return changed;
}

const ExprInterface& GlExprInterface::exprInterface() const {
    return dynamic_cast<const ExprInterface&>(*this);
}

ExprInterface& GlExprInterface::exprInterface() {
    return dynamic_cast<ExprInterface&>(*this);
}

namespace {
void tagLeaves(const GlExprInterface& node, TagMap& tags, TypeCounterMap& counters,
               const std::string& prefix) {
    const std::vector<const GlExprInterface*> children = node.children();
    if (children.empty()) {
        node.tagAndAssignNames(tags, counters, prefix);
        return;
    }
    for (const GlExprInterface* child : children) {
        tagLeaves(*child, tags, counters, prefix);
    }
}
}  // namespace

void tagAndAssignNamesHelper(const GlExprInterface& root, const std::string& prefix) {
    TagMap tags;
    TypeCounterMap counters;
    tagLeaves(root, tags, counters, prefix);
}

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
