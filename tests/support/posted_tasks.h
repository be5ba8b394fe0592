#pragma once

#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace marlume::testing {

// Tasks handed to the user-interface thread from another thread, run when the test says so,
// as the event loop would run them.
class PostedTasks final {
public:
    [[nodiscard]] std::function<void(std::function<void()>)> poster()
    {
        return [this](std::function<void()> task) {
            const std::scoped_lock lock(m_mutex);
            m_tasks.push_back(std::move(task));
        };
    }

    // Returns how many ran.
    std::size_t runAll()
    {
        std::vector<std::function<void()>> tasks;
        {
            const std::scoped_lock lock(m_mutex);
            tasks.swap(m_tasks);
        }
        for (const auto& task : tasks)
            task();
        return tasks.size();
    }

private:
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_tasks;
};

} // namespace marlume::testing
