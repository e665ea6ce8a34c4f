// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace kx::test {

/**
 * Bounds a test function that cannot bound every wait itself (a run that walks in a circle, a
 * destructor that joins a thread that never ends, a nested event loop that is never left):
 * should it outlast its limit, the test program ends at once with the function's name, instead
 * of hanging until the suite's own limit says nothing but "timeout".
 *
 *     void init() { m_watchdog.emplace(QTest::currentTestFunction(), QTest::currentDataTag()); }
 *     void cleanup() { m_watchdog.reset(); }
 */
class Watchdog
{
public:
    explicit Watchdog(const char* function, const char* dataTag = nullptr,
                      std::chrono::seconds limit = std::chrono::seconds(30))
        : m_step(std::string(function ? function : "?") +
                 (dataTag && *dataTag ? "(" + std::string(dataTag) + ")" : std::string())),
          m_thread([this, limit] {
              std::unique_lock lock(m_mutex);
              if (!m_ended.wait_for(lock, limit, [this] { return m_done; }))
                  qFatal("%s has not ended within %lld s: it hangs", m_step.c_str(),
                         static_cast<long long>(limit.count()));
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_ended.notify_one();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::string m_step;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
    std::thread m_thread;
};

} // namespace kx::test
