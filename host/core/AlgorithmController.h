#pragma once

#include <QString>

namespace Korvanta {

class Algorithm;

// What a host shows for a running algorithm. The controller does not own the algorithm.
class AlgorithmController {
public:
    explicit AlgorithmController(Algorithm* algorithm) : m_algorithm(algorithm) {}
    AlgorithmController(const AlgorithmController&) = delete;
    AlgorithmController& operator=(const AlgorithmController&) = delete;
    virtual ~AlgorithmController();

    Algorithm* algorithm() const { return m_algorithm; }

private:
    Algorithm* m_algorithm;
};

// The host's generic controller: the algorithm's parameters under a title.
class DefaultAlgorithmController : public AlgorithmController {
public:
    DefaultAlgorithmController(Algorithm* algorithm, const QString& title, bool showComputeButton,
                               bool computeOnChange);
    ~DefaultAlgorithmController() override;

    const QString& title() const { return m_title; }
    bool showComputeButton() const { return m_showComputeButton; }
    bool computeOnChange() const { return m_computeOnChange; }

private:
    QString m_title;
    bool m_showComputeButton;
    bool m_computeOnChange;
};

}  // namespace Korvanta
