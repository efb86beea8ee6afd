#pragma once

#include <string>
#include <type_traits>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "host/gl/GlExprInterface.h"
#include "host/gl/LeafGl.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

// GL side of every leaf D. D provides storage() (the set, image or memory the leaf stands for) and
// befriends this mix-in, which writes its sampling settings. A copy of a leaf is a new leaf: it is
// unnamed until the next tagging walk.
template <class D>
class ArrayGl : public GlExprInterface {
public:
    std::string evalString(bool tag) const override { return leafEvalString(*this, tag, m_glName); }

    void tagAndAssignNames(TagMap& tags, TypeCounterMap& counters, const std::string& prefix) const override {
        tagLeaf(taggingIndex(), tags, counters, prefix, m_glName, m_definingInstance);
    }

    void getUniformDefinitionList(std::string& out, const std::vector<int>& /*indices*/,
                                  const std::string& /*text*/) const override {
        appendLeafUniform(out, m_glName, m_definingInstance);
    }

    void getVariableDefinitionList(std::string& /*out*/, const std::vector<int>& /*indices*/,
                                   const std::string& /*text*/) const override {}

    bool setArguments(GL::Program& program, const std::vector<int>& /*indices*/,
                      const std::string& /*prefix*/) const override {
        return setLeafArguments(program, m_glName, m_definingInstance);
    }

    std::vector<GlExprInterface*> children() override { return {}; }
    std::vector<const GlExprInterface*> children() const override { return {}; }

    bool setMagFilter(MagFilter filter) override { return update(leaf().m_settings.magFilter, filter); }
    bool setWrap(Wrap wrap) override { return update(leaf().m_settings.wrap, wrap); }

    // Offers `expr` to the host's GPU evaluation with this leaf's image as destination.
    bool assignGl(const GlExprInterface& expr) { return internal::assignGl(*this, expr); }

    const std::string& glName() const { return m_glName; }
    bool isDefiningInstance() const { return m_definingInstance; }

protected:
    ArrayGl() = default;
    ArrayGl(const ArrayGl& /*other*/) : GlExprInterface() {}
    ArrayGl& operator=(const ArrayGl&) = delete;

private:
    D& leaf() { return static_cast<D&>(*this); }
    const D& leaf() const { return static_cast<const D&>(*this); }

    // Leaves over one storage object share a name, whatever their level or element type.
    TaggingIndex taggingIndex() const {
        using Storage = std::remove_pointer_t<decltype(leaf().storage())>;
        return TaggingIndex{static_cast<const void*>(leaf().storage()), std::type_index(typeid(Storage))};
    }

    template <class V>
    static bool update(V& field, V value) {
        if (field == value) {
            return false;
        }
        field = value;
        return true;
    }

    mutable std::string m_glName = "uninitialized";
    mutable bool m_definingInstance = false;  // declares the image's sampler in this walk
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
