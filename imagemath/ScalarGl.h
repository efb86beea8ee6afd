#pragma once

#include <cctype>
#include <optional>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

#include "host/gl/GlExprInterface.h"
#include "host/gl/GlProgram.h"

namespace Korvanta {
namespace ImageMath {
namespace internal {

template <class V>
struct GlslType;
template <>
struct GlslType<float> {
    static constexpr const char* name = "float";
};

// The run-time name of V without white space, as it appears in generated uniform names.
template <class V>
std::string compactTypeName() {
    std::string name;
    for (const char c : std::string(typeid(V).name())) {
        if (!std::isspace(static_cast<unsigned char>(c))) {
            name += c;
        }
    }
    return name;
}

// GL side of a constant operand D: a uniform named "<prefix>scalar<type><n>", declared and set by
// the scalar that was tagged first under its value's address in a walk. D provides value_type and
// value() (a reference to its value field). Copies keep name, prefix and flag.
template <class D>
class ScalarGl : public GlExprInterface {
public:
    std::string evalString(bool tag) const override {
        if (tag) {
            tagAndAssignNamesHelper(*this, "");
        }
        return m_glName;
    }

    void tagAndAssignNames(TagMap& tags, TypeCounterMap& counters, const std::string& prefix) const override {
        const TaggingIndex key{&scalar().value(), std::nullopt};
        m_namePrefix = prefix;
        const auto found = tags.find(key);
        if (found != tags.end()) {
            m_glName = *static_cast<const std::string*>(found->second);
            m_definingInstance = false;
            return;
        }
        m_definingInstance = true;
        int& counter = counters[std::type_index(typeid(D))];
        m_glName = prefix + "scalar" + compactTypeName<typename D::value_type>() + std::to_string(counter);
        ++counter;
        tags.emplace(key, &m_glName);
    }

    void getUniformDefinitionList(std::string& out, const std::vector<int>& /*indices*/,
                                  const std::string& /*text*/) const override {
        if (m_definingInstance) {
            out += std::string("uniform ") + GlslType<typename D::value_type>::name + " " + m_glName + ";\n";
        }
    }

    void getVariableDefinitionList(std::string& /*out*/, const std::vector<int>& /*indices*/,
                                   const std::string& /*text*/) const override {}

    bool setArguments(GL::Program& program, const std::vector<int>& /*indices*/,
                      const std::string& prefix) const override {
        if (!m_definingInstance) {
            return false;
        }
        program.setArgument<typename D::value_type>(argumentName(prefix), scalar().value());
        return true;
    }

    std::vector<GlExprInterface*> children() override { return {}; }
    std::vector<const GlExprInterface*> children() const override { return {}; }

    const std::string& glName() const { return m_glName; }
    const std::string& namePrefix() const { return m_namePrefix; }
    bool isDefiningInstance() const { return m_definingInstance; }

private:
    const D& scalar() const { return static_cast<const D&>(*this); }

    // The name under another prefix: the prefix of the tagging is replaced where it leads the name,
    // and nowhere else (the prefix may occur again inside the name).
    std::string argumentName(const std::string& prefix) const {
        if (m_glName.compare(0, m_namePrefix.size(), m_namePrefix) != 0) {
            return m_glName;
        }
        return prefix + m_glName.substr(m_namePrefix.size());
    }

    mutable std::string m_glName = "uninitialized";
    mutable std::string m_namePrefix;
    mutable bool m_definingInstance = false;
};

}  // namespace internal
}  // namespace ImageMath
}  // namespace Korvanta
