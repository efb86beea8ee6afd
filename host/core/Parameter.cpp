#include "host/core/Parameter.h"

namespace Korvanta {

ParameterBase::~ParameterBase() = default;

std::string ParameterBase::attribute(const std::string& name) const {
    auto it = m_attributes.find(name);
    return it == m_attributes.end() ? std::string() : it->second;
}

}  // namespace Korvanta
