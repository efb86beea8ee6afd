#include "tools/ParameterInput.h"

#include <QJsonArray>
#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "host/core/String.h"

namespace Korvanta {
namespace tools {

namespace {

std::string attribute(const Properties& configuration, const std::string& key, const std::string& name) {
    for (const auto& a : configuration.paramAttributes(key))
        if (a.name == name)
            return a.value;
    return "";
}

[[noreturn]] void reject(const std::string& key, const std::string& text, const char* expected) {
    throw std::invalid_argument("Parameter '" + key + "': '" + text + "' is not " + expected);
}

// Parses the whole text with the C conversion function; anything left over or a range error rejects it.
template <class T, class Convert>
T parseNumber(const std::string& key, const std::string& text, const char* expected, Convert convert) {
    if (text.empty())
        reject(key, text, expected);
    char* end = nullptr;
    errno = 0;
    const auto value = convert(text.c_str(), &end);
    if (*end != '\0' || errno == ERANGE)
        reject(key, text, expected);
    return value;
}

int parseInt(const std::string& key, const std::string& text, const std::string& names) {
    const std::vector<std::string> choices = String::split(names, ", ", String::SkipEmptyParts);
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (choices[i] == text)
            return static_cast<int>(i);
    const long value = parseNumber<long>(key, text, "an integer or a name",
                                         [](const char* s, char** end) { return std::strtol(s, end, 10); });
    if (value < INT32_MIN || value > INT32_MAX)
        reject(key, text, "a 32-bit integer");
    return static_cast<int>(value);
}

std::vector<unsigned long> parseList(const std::string& key, const std::string& text) {
    std::vector<unsigned long> list;
    for (const std::string& item : String::split(text, ",", String::SkipEmptyParts)) {
        if (item.find_first_not_of("0123456789") != std::string::npos)
            reject(key, text, "a comma-separated list of non-negative integers");
        list.push_back(
            parseNumber<unsigned long>(key, item, "a list of non-negative integers",
                                       [](const char* s, char** end) { return std::strtoul(s, end, 10); }));
    }
    return list;
}

}  // namespace

void setParameterFromText(Properties& record, const Properties& configuration, const std::string& key,
                          const std::string& text) {
    const Properties::Value* current = configuration.value(key);
    if (!current)
        throw std::invalid_argument("Unknown parameter '" + key + "'");
    if (attribute(configuration, key, "read-only") == "true")
        throw std::invalid_argument("Parameter '" + key + "' is read-only");
    std::visit(
        [&](const auto& held) {
            using T = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<T, int>) {
                record.setParam(key, parseInt(key, text, attribute(configuration, key, "values")));
            } else if constexpr (std::is_same_v<T, bool>) {
                if (text != "true" && text != "false" && text != "1" && text != "0")
                    reject(key, text, "true or false");
                record.setParam(key, text == "true" || text == "1");
            } else if constexpr (std::is_same_v<T, float>) {
                record.setParam(key, parseNumber<float>(key, text, "a number", [](const char* s, char** end) {
                                    return std::strtof(s, end);
                                }));
            } else if constexpr (std::is_same_v<T, double>) {
                record.setParam(
                    key, parseNumber<double>(key, text, "a number",
                                             [](const char* s, char** end) { return std::strtod(s, end); }));
            } else if constexpr (std::is_same_v<T, std::string>) {
                record.setParam(key, text);
            } else {
                record.setParam(key, parseList(key, text));
            }
        },
        *current);
}

void setParameterFromJson(Properties& record, const Properties& configuration, const std::string& key,
                          const QJsonValue& value) {
    std::string text;
    if (value.isBool()) {
        text = value.toBool() ? "true" : "false";
    } else if (value.isDouble()) {
        text = QString::number(value.toDouble(), 'g', 17).toStdString();
    } else if (value.isString()) {
        text = value.toString().toStdString();
    } else if (value.isArray()) {
        for (const QJsonValue& item : value.toArray())
            text += (text.empty() ? "" : ",") + QString::number(item.toDouble(-1), 'g', 17).toStdString();
    } else {
        throw std::invalid_argument("Parameter '" + key + "' has no usable JSON value");
    }
    setParameterFromText(record, configuration, key, text);
}

}  // namespace tools
}  // namespace Korvanta
