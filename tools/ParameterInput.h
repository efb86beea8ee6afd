#pragma once

#include <string>
#include <vector>

#include "host/core/Properties.h"

namespace Korvanta {
namespace tools {

// A parameter's value as the user gave it: command-line text, or a JSON value (a number as its text, a
// string, a boolean, or an array of numbers and strings).
struct ParameterValue {
    enum class Form { Text, JsonNumber, JsonString, JsonBoolean, JsonArray };
    Form form = Form::Text;
    std::string text;                   // Text, JsonNumber, JsonString; "true" or "false" for JsonBoolean
    std::vector<ParameterValue> items;  // JsonArray: its entries, each a JsonNumber or JsonString

    // The value as written, for messages: 'text' on the command line, JSON text otherwise.
    std::string shown() const;
};

// Writes `key` into `record` with the value read in the type that the algorithm's configuration holds for
// that key, each number once and exactly from its text: a number, or a string or text that holds one,
// for int, float and double keys (floating ones also "NaN", "Infinity", "-Infinity"), for an
// enumeration (an int with a "values" attribute) also a name from that list, true or false for a bool,
// a list of non-negative integers (comma-separated on the command line). Throws std::invalid_argument
// naming the key and quoting the value for an unknown or read-only key and for a value that is not one
// of the type.
void setParameter(Properties& record, const Properties& configuration, const std::string& key,
                  const ParameterValue& value);

}  // namespace tools
}  // namespace Korvanta
