#pragma once

#include <string>
#include <vector>

#include "host/image/Data.h"

namespace Korvanta {

class Algorithm;
class AlgorithmController;

// Creates the controllers of one library's algorithms.
class AlgorithmControllerFactory {
public:
    explicit AlgorithmControllerFactory(std::string name);
    AlgorithmControllerFactory(const AlgorithmControllerFactory&) = delete;
    AlgorithmControllerFactory& operator=(const AlgorithmControllerFactory&) = delete;
    virtual ~AlgorithmControllerFactory();

    // A new controller for the algorithm (the caller owns it), or null when this factory has none.
    virtual AlgorithmController* create(Algorithm* algorithm) const = 0;
    // The ids of controllers for data rather than algorithms; none by default.
    virtual std::vector<std::string> compatibleDataControllers(const DataList& data) const;

    const std::string& name() const { return m_name; }

private:
    std::string m_name;
};

}  // namespace Korvanta
