#pragma once

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "host/core/Configurable.h"
#include "host/core/Log.h"
#include "host/core/Properties.h"
#include "host/core/Signal.h"

namespace Korvanta {

// A named setting of a Configurable that reads itself from and writes itself to a parameter record.
class ParameterBase {
public:
    explicit ParameterBase(const std::string& name) : m_name(name) {}
    ParameterBase(const ParameterBase&) = delete;
    ParameterBase& operator=(const ParameterBase&) = delete;
    virtual ~ParameterBase();

    virtual void configure(const Properties* properties) = 0;
    virtual void configuration(Properties* properties) const = 0;
    virtual const std::string& name() const { return m_name; }

    void setAttribute(const std::string& name, const std::string& text) { m_attributes[name] = text; }
    // The attribute's text, empty when it is not set.
    std::string attribute(const std::string& name) const;
    const std::map<std::string, std::string>& attributes() const { return m_attributes; }

    // Older keys still accepted when reading, in order of preference.
    void addDeprecatedName(const std::string& name) { m_deprecatedNames.push_back(name); }
    const std::vector<std::string>& deprecatedNames() const { return m_deprecatedNames; }

    Configurable* owner() const { return m_owner; }

    // Fired when the value changes; not fired when a configured value equals the held one.
    SignalImpl<false> signalValueChanged;

private:
    friend class Configurable;
    Configurable* m_owner = nullptr;
    std::string m_name;
    std::vector<std::string> m_deprecatedNames;
    std::map<std::string, std::string> m_attributes;
};

namespace ParameterDetail {

// The record holds enumerations as int and every other value as its own type.
template <class T, class = void>
struct RecordType {
    using type = T;
};
template <class T>
struct RecordType<T, std::enable_if_t<std::is_enum<T>::value>> {
    using type = int;
};

// Floating-point values count as changed when their bits differ, so NaN equals itself and 0 differs
// from -0.
template <class T>
bool differ(const T& a, const T& b) {
    if constexpr (std::is_floating_point<T>::value)
        return std::memcmp(&a, &b, sizeof(T)) != 0;
    else
        return !(a == b);
}

}  // namespace ParameterDetail

template <class T>
class Parameter : public ParameterBase {
public:
    using RecordType = typename ParameterDetail::RecordType<T>::type;

    // The value and the default both start as `value`.
    Parameter(const std::string& name, T value)
        : ParameterBase(name), m_value(value), m_default(std::move(value)) {}
    // Unregisters while the object is still whole.
    ~Parameter() override {
        if (Configurable* configurable = owner())
            configurable->unregisterParameter(this);
    }

    const T& value() const { return m_value; }
    // Replaces the value and fires the change signal when it differs from the held one.
    void setValue(T value) {
        const bool changed = ParameterDetail::differ(m_value, value);
        m_value = std::move(value);
        if (changed)
            signalValueChanged.emitSignal();
    }

    const std::optional<T>& defaultValue() const { return m_default; }
    void setDefaultValue(std::optional<T> value) { m_default = std::move(value); }

    PropertiesDetail::ParamType typeCode() const { return m_type; }
    void setTypeCode(PropertiesDetail::ParamType type) { m_type = type; }

    void configure(const Properties* properties) override {
        if (!properties)
            return;
        RecordType read{};
        if (properties->param(name(), read)) {
            setValue(static_cast<T>(read));
            return;
        }
        for (const std::string& oldName : deprecatedNames()) {
            if (properties->param(oldName, read)) {
                setValue(static_cast<T>(read));
                Log::write(Log::Warning, "Core.Parameter", [&] {
                    return "Using deprecated parameter name '" + oldName + "'. Please use: '" + name() +
                           "' instead.";
                });
                return;
            }
        }
    }

    void configuration(Properties* properties) const override {
        if (!properties)
            return;
        if (m_default)
            properties->setParam(name(), static_cast<RecordType>(m_value),
                                 static_cast<RecordType>(*m_default));
        else
            properties->setParam(name(), static_cast<RecordType>(m_value));
        if (m_type != PropertiesDetail::NoParamType)
            properties->setParamType(name(), m_type);
        std::vector<PropertiesDetail::Attribute> list;
        for (const auto& [attribute, text] : attributes())
            list.push_back({attribute, text});
        properties->setParamAttributes(name(), std::move(list));
    }

private:
    T m_value;
    std::optional<T> m_default;
    PropertiesDetail::ParamType m_type = PropertiesDetail::NoParamType;
};

}  // namespace Korvanta
