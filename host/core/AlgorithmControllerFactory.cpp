#include "host/core/AlgorithmControllerFactory.h"

namespace Korvanta {

AlgorithmControllerFactory::AlgorithmControllerFactory(std::string name) : m_name(std::move(name)) {}

AlgorithmControllerFactory::~AlgorithmControllerFactory() = default;

std::vector<std::string> AlgorithmControllerFactory::compatibleDataControllers(const DataList&) const {
    return {};
}

}  // namespace Korvanta
