#include "host/core/AlgorithmController.h"

namespace Korvanta {

AlgorithmController::~AlgorithmController() = default;

DefaultAlgorithmController::DefaultAlgorithmController(Algorithm* algorithm, const QString& title,
                                                       bool showComputeButton, bool computeOnChange)
    : AlgorithmController(algorithm),
      m_title(title),
      m_showComputeButton(showComputeButton),
      m_computeOnChange(computeOnChange) {}

DefaultAlgorithmController::~DefaultAlgorithmController() = default;

}  // namespace Korvanta
