#include "tools/ParameterInput.h"

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "host/core/String.h"
#include "tools/NumberText.h"
#include "tools/QuotedText.h"

namespace Korvanta {
namespace tools {

namespace {

using Form = ParameterValue::Form;

// The algorithm's modes in order. With a second set its "values" attribute offers the first five only,
// and the others are refused as not allowed there rather than as unknown names.
const char* const allModeNames[] = {"BinaryAdd", "BinaryMinus", "BinaryMult", "BinaryDivide",
                                    "BinaryPow", "UnaryMinus",  "UnaryAbs",   "UnaryChannelSwizzle"};

std::string attribute(const Properties& configuration, const std::string& key, const std::string& name) {
    for (const auto& a : configuration.paramAttributes(key))
        if (a.name == name)
            return a.value;
    return "";
}

[[noreturn]] void reject(const std::string& key, const std::string& problem) {
    throw std::invalid_argument("Parameter \"" + key + "\": " + problem);
}

[[noreturn]] void rejectValue(const std::string& key, const ParameterValue& value,
                              const std::string& expected) {
    reject(key, value.shown() + " is not " + expected);
}

bool holdsText(const ParameterValue& value) {
    return value.form == Form::Text || value.form == Form::JsonNumber || value.form == Form::JsonString;
}

template <class T>
T number(const std::string& key, const ParameterValue& value, const char* typeName) {
    T result{};
    if (!holdsText(value))
        rejectValue(key, value, "a number");
    const NumberProblem problem = readNumber(value.text, result);
    if (problem != NumberProblem::None)
        reject(key, describeNumberProblem(problem, value.shown(), typeName));
    return result;
}

int enumeration(const std::string& key, const ParameterValue& value, const std::string& names) {
    const std::vector<std::string> choices = String::split(names, ", ", String::SkipEmptyParts);
    if (value.form == Form::Text || value.form == Form::JsonString) {
        const auto chosen = std::find(choices.begin(), choices.end(), value.text);
        if (chosen != choices.end())
            return static_cast<int>(chosen - choices.begin());
        if (key == "mode" &&
            std::find(std::begin(allModeNames), std::end(allModeNames), value.text) != std::end(allModeNames))
            reject(key, value.shown() + " is not allowed with a second set (" + names + ", or a number)");
    }
    if (!holdsText(value))
        rejectValue(key, value, "one of " + names + " or a number");
    int result = 0;
    const NumberProblem problem = readNumber(value.text, result);
    if (problem == NumberProblem::NotANumber)
        rejectValue(key, value, "one of " + names + " or a number");
    if (problem != NumberProblem::None)
        reject(key, describeNumberProblem(problem, value.shown(), "int32"));
    return result;
}

std::vector<unsigned long> list(const std::string& key, const ParameterValue& value) {
    std::vector<ParameterValue> items = value.items;
    if (value.form == Form::Text) {
        items.clear();
        if (!value.text.empty())
            for (const std::string& item : String::split(value.text, ",", String::NoSplitFlags))
                items.push_back({Form::Text, item, {}});
    } else if (value.form != Form::JsonArray) {
        rejectValue(key, value, "an array of non-negative integers");
    }
    std::vector<unsigned long> result(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const NumberProblem problem = readNumber(items[i].text, result[i]);
        const bool tooLarge = problem == NumberProblem::OutOfRange && items[i].text[0] != '-';
        if (problem != NumberProblem::None)
            reject(key, "entry " + std::to_string(i) + ", " + items[i].shown() + ", is " +
                            (tooLarge ? "beyond the largest index, " + std::to_string(ULONG_MAX)
                                      : "not a non-negative integer"));
    }
    return result;
}

bool boolean(const std::string& key, const ParameterValue& value) {
    const bool text = value.form == Form::Text || value.form == Form::JsonBoolean;
    if (text && (value.text == "true" || value.text == "false"))
        return value.text == "true";
    if (value.form == Form::Text && (value.text == "1" || value.text == "0"))
        return value.text == "1";
    rejectValue(key, value, "true or false");
}

}  // namespace

std::string ParameterValue::shown() const {
    switch (form) {
        case Form::Text:
            return quoted(text, '\'');
        case Form::JsonString:
            return quoted(text);
        case Form::JsonArray: {
            // Entries until the text is about as long as a quoted text may be.
            std::string joined;
            for (std::size_t i = 0; i < items.size(); ++i) {
                if (joined.size() > 80) {
                    joined += ", ... (" + std::to_string(items.size()) + " entries)";
                    break;
                }
                joined += (i ? "," : "") + items[i].shown();
            }
            return "[" + joined + "]";
        }
        default:
            return quoted(text, 0);
    }
}

void setParameter(Properties& record, const Properties& configuration, const std::string& key,
                  const ParameterValue& value) {
    const Properties::Value* current = configuration.value(key);
    if (!current) {
        std::string known;
        for (const std::string& name : configuration.keys())
            if (attribute(configuration, name, "read-only") != "true")
                known += (known.empty() ? "" : ", ") + name;
        throw std::invalid_argument(value.form == Form::Text
                                        ? "Unknown setting " + quoted(key, '\'') +
                                              ": not an image setting, nor one of the parameters " + known
                                        : "Unknown key " + quoted(key) +
                                              " in \"parameters\" (the parameters are " + known + ")");
    }
    if (attribute(configuration, key, "read-only") == "true")
        reject(key, "it is read-only");
    std::visit(
        [&](const auto& held) {
            using T = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<T, int>) {
                const std::string names = attribute(configuration, key, "values");
                record.setParam(
                    key, names.empty() ? number<int>(key, value, "int32") : enumeration(key, value, names));
            } else if constexpr (std::is_same_v<T, bool>) {
                record.setParam(key, boolean(key, value));
            } else if constexpr (std::is_same_v<T, float>) {
                record.setParam(key, number<float>(key, value, "float"));
            } else if constexpr (std::is_same_v<T, double>) {
                record.setParam(key, number<double>(key, value, "double"));
            } else if constexpr (std::is_same_v<T, std::string>) {
                if (value.form != Form::Text && value.form != Form::JsonString)
                    rejectValue(key, value, "a string");
                record.setParam(key, value.text);
            } else {
                record.setParam(key, list(key, value));
            }
        },
        *current);
}

}  // namespace tools
}  // namespace Korvanta
