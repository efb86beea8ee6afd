#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace Korvanta {

// Where long operations report what they are doing. Tasks nest; each is identified by the number that
// beginTask returns.
class Progress {
public:
    virtual ~Progress() = default;

    // steps 0 means the task's length is unknown.
    virtual int beginTask(int steps, const std::string& text) = 0;
    virtual void updateTask(int task, int step) = 0;
    virtual void endTask(int task) = 0;

    // A task that lasts as long as this object; a null progress makes every call a no-op.
    class Task {
    public:
        Task(Progress* progress, int steps, const std::string& text);
        ~Task();
        Task(const Task&) = delete;
        Task& operator=(const Task&) = delete;

        void setStep(int step);

    private:
        Progress* m_progress;
        int m_id = -1;
    };
};

// Progress written as lines of text, for command-line tools.
class ConsoleProgress : public Progress {
public:
    explicit ConsoleProgress(std::ostream& out);

    int beginTask(int steps, const std::string& text) override;
    void updateTask(int task, int step) override;
    void endTask(int task) override;

private:
    struct TaskState {
        int id;
        int steps;
        std::string text;
    };
    const TaskState* find(int task) const;

    std::ostream& m_out;
    std::vector<TaskState> m_tasks;
    int m_nextId = 0;
};

}  // namespace Korvanta
