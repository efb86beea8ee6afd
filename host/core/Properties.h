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

    // True, with `out` filled, when the key holds a value of exactly the type T.
    template <class T>
    bool param(const std::string& key, T& out) const {
        return read(find(key) ? find(key)->value : std::nullopt, out);
    }
    // The same for the default written with the value.
    template <class T>
    bool paramDefault(const std::string& key, T& out) const {
        return read(find(key) ? find(key)->defaultValue : std::nullopt, out);
    }

    // Writes the value; a default written earlier is kept.
    template <class T>
    void setParam(const std::string& key, const T& value) {
        entry(key).value = Value(value);
    }
    template <class T>
    void setParam(const std::string& key, const T& value, const T& defaultValue) {
        Entry& e = entry(key);
        e.value = Value(value);
        e.defaultValue = Value(defaultValue);
    }
    void setParam(const std::string& key, const char* value) { setParam(key, std::string(value)); }

    void setParamType(const std::string& key, PropertiesDetail::ParamType type) { entry(key).type = type; }
    PropertiesDetail::ParamType paramType(const std::string& key) const;

    void setParamAttributes(const std::string& key, std::vector<PropertiesDetail::Attribute> attributes) {
        entry(key).attributes = std::move(attributes);
    }
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

    template <class T>
    static bool read(const std::optional<Value>& stored, T& out) {
        if (!stored || !std::holds_alternative<T>(*stored))
            return false;
        out = std::get<T>(*stored);
        return true;
    }

    const Entry* find(const std::string& key) const;
    Entry& entry(const std::string& key);

    std::vector<Entry> m_entries;
};

}  // namespace Korvanta
