#include "host/core/Configurable.h"

#include <algorithm>

#include "host/core/Parameter.h"

namespace Korvanta {

void Configurable::configure(const Properties* properties) {
    if (!properties)
        return;
    for (ParameterBase* parameter : m_parameters)
        parameter->configure(properties);
}

void Configurable::configuration(Properties* properties) const {
    if (!properties)
        return;
    for (const ParameterBase* parameter : m_parameters)
        parameter->configuration(properties);
}

void Configurable::configureDefaults() {
    // Each parameter writes its default beside its value and reads itself back from the defaults, so no
    // parameter needs an operation of its own for this.
    Properties written;
    Configurable::configuration(&written);
    const Properties defaults = written.defaults();
    Configurable::configure(&defaults);
}

Configurable::~Configurable() {
    // Parameters that outlive their owner must not call back into it.
    for (ParameterBase* parameter : m_parameters)
        parameter->m_owner = nullptr;
}

void Configurable::registerParameter(ParameterBase* parameter) {
    if (!parameter)
        return;
    if (parameter->m_owner && parameter->m_owner != this)
        parameter->m_owner->unregisterParameter(parameter);
    if (std::find(m_parameters.begin(), m_parameters.end(), parameter) == m_parameters.end())
        m_parameters.push_back(parameter);
    parameter->m_owner = this;
}

void Configurable::unregisterParameter(ParameterBase* parameter) {
    m_parameters.erase(std::remove(m_parameters.begin(), m_parameters.end(), parameter), m_parameters.end());
    if (parameter && parameter->m_owner == this)
        parameter->m_owner = nullptr;
}

ParameterBase* Configurable::parameter(const std::string& name) const {
    auto it = std::find_if(m_parameters.begin(), m_parameters.end(),
                           [&](const ParameterBase* p) { return p->name() == name; });
    return it == m_parameters.end() ? nullptr : *it;
}

}  // namespace Korvanta
