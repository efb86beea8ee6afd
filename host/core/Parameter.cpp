#include "host/core/Parameter.h"

#include "host/core/Configurable.h"

namespace Korvanta {

ParameterBase::~ParameterBase() = default;

std::string ParameterBase::attribute(const std::string& name) const {
    auto it = m_attributes.find(name);
    return it == m_attributes.end() ? std::string() : it->second;
}

void ParameterBase::logDeprecatedName(const std::string& usedName) const {
    Log::write(Log::Warning, "Core.Parameter", [&] {
        return "Using deprecated parameter name '" + usedName + "'. Please use: '" + m_name + "' instead.";
    });
}

std::vector<PropertiesDetail::Attribute> ParameterBase::attributeList() const {
    std::vector<PropertiesDetail::Attribute> list;
    for (const auto& [name, text] : m_attributes)
        list.push_back({name, text});
    return list;
}

void ParameterBase::unregisterFromOwner() noexcept {
    if (m_owner)
        m_owner->unregisterParameter(this);
}

}  // namespace Korvanta
