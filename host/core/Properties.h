#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace Korvanta {

namespace PropertiesDetail {

// How a host shows a parameter; 0 means no particular type.
enum ParamType : int { NoParamType = 0, EnumerationParamType = 8 };

struct Attribute {
    std::string name;
    std::string value;
};

inline bool operator==(const Attribute& a, const Attribute& b) {
    return a.name == b.name && a.value == b.value;
}

}  // namespace PropertiesDetail

// The host's parameter record: typed values under keys, each with an optional default, a type code and
// text attributes. Keys keep the order in which they were first written.
class Properties {
public:
    using Value = std::variant<int, bool, float, double, std::string, std::vector<unsigned long>>;

    // The operations with a value type T exist for the types of Value; they are compiled into the host's
    // library, as the record's own layout stays the host's.

    // True, with `out` filled, when the key holds a value of exactly the type T.
    template <class T>
    bool param(const std::string& key, T& out) const;
    // The same for the default written with the value.
    template <class T>
    bool paramDefault(const std::string& key, T& out) const;

    // Writes the value; a default written earlier is kept.
    template <class T>
    void setParam(const std::string& key, const T& value);
    template <class T>
    void setParam(const std::string& key, const T& value, const T& defaultValue);
    void setParam(const std::string& key, const char* value) { setParam(key, std::string(value)); }

    void setParamType(const std::string& key, PropertiesDetail::ParamType type);
    PropertiesDetail::ParamType paramType(const std::string& key) const;

    void setParamAttributes(const std::string& key, std::vector<PropertiesDetail::Attribute> attributes);
    std::vector<PropertiesDetail::Attribute> paramAttributes(const std::string& key) const;

    bool hasParam(const std::string& key) const { return find(key) && find(key)->value.has_value(); }
    void removeParam(const std::string& key);
    std::vector<std::string> keys() const;
    // The value of any type, or null; for code that handles every type, such as serialisation.
    const Value* value(const std::string& key) const;
    // A record that holds the default of each key as its value; keys without a default are left out.
    Properties defaults() const;

private:
    struct Entry {
        std::string key;
        std::optional<Value> value;
        std::optional<Value> defaultValue;
        PropertiesDetail::ParamType type = PropertiesDetail::NoParamType;
        std::vector<PropertiesDetail::Attribute> attributes;
    };

    const Entry* find(const std::string& key) const;
    Entry& entry(const std::string& key);

    std::vector<Entry> m_entries;
};

}  // namespace Korvanta
