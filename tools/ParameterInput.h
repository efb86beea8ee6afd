#pragma once

#include <QJsonValue>
#include <string>

#include "host/core/Properties.h"

namespace Korvanta {
namespace tools {

// Writes `key` into `record` with the value parsed from text, in the type that the algorithm's current
// configuration holds for that key: numbers, "true"/"false", comma-separated lists, and for an
// enumeration (an int with a "values" attribute) also a name from that list. Throws
// std::invalid_argument for an unknown or read-only key and for text that is not a value of the type.
void setParameterFromText(Properties& record, const Properties& configuration, const std::string& key,
                          const std::string& text);

// The same for a JSON value: a number, a boolean, a string or an array of numbers.
void setParameterFromJson(Properties& record, const Properties& configuration, const std::string& key,
                          const QJsonValue& value);

}  // namespace tools
}  // namespace Korvanta
