#pragma once

#include <string>
#include <vector>

#include "host/core/Properties.h"

namespace Korvanta {

class ParameterBase;

// Something set up from a parameter record through its registered parameters.
class Configurable {
public:
    Configurable() = default;
    Configurable(const Configurable&) = delete;
    Configurable& operator=(const Configurable&) = delete;

    // Every registered parameter reads its value from the record; nothing for a null record.
    virtual void configure(const Properties* properties);
    // Every registered parameter writes itself into the record; nothing for a null record.
    virtual void configuration(Properties* properties) const;
    // Every registered parameter takes its default.
    virtual void configureDefaults();
    virtual ~Configurable();

    // Registers the parameter (this object becomes its owner); registering it twice keeps one entry.
    void registerParameter(ParameterBase* parameter);
    void unregisterParameter(ParameterBase* parameter);
    const std::vector<ParameterBase*>& parameters() const { return m_parameters; }
    ParameterBase* parameter(const std::string& name) const;

private:
    std::vector<ParameterBase*> m_parameters;
};

}  // namespace Korvanta
