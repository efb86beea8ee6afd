#include "host/core/Progress.h"

#include <algorithm>
#include <ostream>

namespace Korvanta {

Progress::Task::Task(Progress* progress, int steps, const std::string& text) : m_progress(progress) {
    if (m_progress)
        m_id = m_progress->beginTask(steps, text);
}

Progress::Task::~Task() {
    if (!m_progress)
        return;
    try {
        m_progress->endTask(m_id);
    } catch (...) {
        // A failing progress display must not end the program while an operation unwinds.
    }
}

void Progress::Task::setStep(int step) {
    if (m_progress)
        m_progress->updateTask(m_id, step);
}

ConsoleProgress::ConsoleProgress(std::ostream& out) : m_out(out) {}

int ConsoleProgress::beginTask(int steps, const std::string& text) {
    m_tasks.push_back({m_nextId, steps, text});
    m_out << text << std::endl;
    return m_nextId++;
}

void ConsoleProgress::updateTask(int task, int step) {
    const TaskState* state = find(task);
    if (!state)
        return;
    m_out << state->text << " " << step;
    if (state->steps > 0)
        m_out << "/" << state->steps;
    m_out << std::endl;
}

void ConsoleProgress::endTask(int task) {
    const TaskState* state = find(task);
    if (!state)
        return;
    m_out << state->text << " done" << std::endl;
    m_tasks.erase(m_tasks.begin() + (state - m_tasks.data()));
}

const ConsoleProgress::TaskState* ConsoleProgress::find(int task) const {
    auto it = std::find_if(m_tasks.begin(), m_tasks.end(), [&](const TaskState& s) { return s.id == task; });
    return it == m_tasks.end() ? nullptr : &*it;
}

}  // namespace Korvanta
