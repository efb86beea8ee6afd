#include "host/core/Properties.h"

#include <algorithm>

namespace Korvanta {

namespace {

template <class T>
bool read(const std::optional<Properties::Value>& stored, T& out) {
    if (!stored || !std::holds_alternative<T>(*stored))
        return false;
    out = std::get<T>(*stored);
    return true;
}

}  // namespace

template <class T>
bool Properties::param(const std::string& key, T& out) const {
    const Entry* e = find(key);
    return e && read(e->value, out);
}

template <class T>
bool Properties::paramDefault(const std::string& key, T& out) const {
    const Entry* e = find(key);
    return e && read(e->defaultValue, out);
}

template <class T>
void Properties::setParam(const std::string& key, const T& value) {
    entry(key).value = Value(value);
}

template <class T>
void Properties::setParam(const std::string& key, const T& value, const T& defaultValue) {
    Entry& e = entry(key);
    e.value = Value(value);
    e.defaultValue = Value(defaultValue);
}

// Every value type of the record.
#define KORVANTA_PROPERTIES_VALUE_TYPE(T)                                    \
    template bool Properties::param<T>(const std::string&, T&) const;        \
    template bool Properties::paramDefault<T>(const std::string&, T&) const; \
    template void Properties::setParam<T>(const std::string&, const T&);     \
    template void Properties::setParam<T>(const std::string&, const T&, const T&);
KORVANTA_PROPERTIES_VALUE_TYPE(int)
KORVANTA_PROPERTIES_VALUE_TYPE(bool)
KORVANTA_PROPERTIES_VALUE_TYPE(float)
KORVANTA_PROPERTIES_VALUE_TYPE(double)
KORVANTA_PROPERTIES_VALUE_TYPE(std::string)
KORVANTA_PROPERTIES_VALUE_TYPE(std::vector<unsigned long>)
#undef KORVANTA_PROPERTIES_VALUE_TYPE

void Properties::setParamType(const std::string& key, PropertiesDetail::ParamType type) {
    entry(key).type = type;
}

void Properties::setParamAttributes(const std::string& key,
                                    std::vector<PropertiesDetail::Attribute> attributes) {
    entry(key).attributes = std::move(attributes);
}

const Properties::Entry* Properties::find(const std::string& key) const {
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.key == key; });
    return it == m_entries.end() ? nullptr : &*it;
}

Properties::Entry& Properties::entry(const std::string& key) {
    if (const Entry* existing = find(key))
        return const_cast<Entry&>(*existing);
    m_entries.push_back(Entry{key, std::nullopt, std::nullopt, PropertiesDetail::NoParamType, {}});
    return m_entries.back();
}

PropertiesDetail::ParamType Properties::paramType(const std::string& key) const {
    const Entry* e = find(key);
    return e ? e->type : PropertiesDetail::NoParamType;
}

std::vector<PropertiesDetail::Attribute> Properties::paramAttributes(const std::string& key) const {
    const Entry* e = find(key);
    return e ? e->attributes : std::vector<PropertiesDetail::Attribute>{};
}

void Properties::removeParam(const std::string& key) {
    m_entries.erase(
        std::remove_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.key == key; }),
        m_entries.end());
}

std::vector<std::string> Properties::keys() const {
    std::vector<std::string> keys;
    for (const Entry& e : m_entries)
        if (e.value)
            keys.push_back(e.key);
    return keys;
}

const Properties::Value* Properties::value(const std::string& key) const {
    const Entry* e = find(key);
    return e && e->value ? &*e->value : nullptr;
}

Properties Properties::defaults() const {
    Properties record;
    for (const Entry& e : m_entries)
        if (e.defaultValue)
            record.entry(e.key).value = e.defaultValue;
    return record;
}

}  // namespace Korvanta
