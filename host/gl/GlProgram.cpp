#include "host/gl/GlProgram.h"

namespace Korvanta {
namespace GL {

template <>
void Program::setArgument<float>(const std::string& name, float value) {
    m_floatArguments[name] = value;
}

}  // namespace GL
}  // namespace Korvanta
