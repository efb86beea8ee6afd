#pragma once

#include <map>
#include <string>

namespace Korvanta {
namespace GL {

// A shader program as far as expressions see it: uniforms are set by name. There is no GPU here,
// so the program records the values it was given.
class Program {
public:
    template <class T>
    void setArgument(const std::string& name, T value);

    const std::map<std::string, float>& floatArguments() const { return m_floatArguments; }

private:
    std::map<std::string, float> m_floatArguments;
};

template <>
void Program::setArgument<float>(const std::string& name, float value);

}  // namespace GL
}  // namespace Korvanta
