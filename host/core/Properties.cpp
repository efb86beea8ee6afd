#include "host/core/Properties.h"

#include <algorithm>

namespace Korvanta {

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
