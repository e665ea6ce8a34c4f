// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ComparisonPool.h"

#include <algorithm>

namespace {
// Idle helpers are woken for a few pairs at once, or when the caller waits for a result.
constexpr std::size_t kWakeFor = 8;
} // namespace

namespace kx {

ComparisonPool::ComparisonPool(Files& files, std::size_t threads, std::size_t inFlight)
    : m_files(files), m_inFlight(inFlight > 0 ? inFlight : 1)
{
    for (std::size_t i = 0; i < std::max<std::size_t>(threads, 1); ++i)
        m_threads.emplace_back([this] { work(); });
}

ComparisonPool::~ComparisonPool()
{
    {
        std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_work.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

void ComparisonPool::work()
{
    for (;;) {
        Entry* entry = nullptr;
        {
            std::unique_lock lock(m_mutex);
            ++m_idleHelpers;
            m_work.wait(lock, [&] { return !m_waiting.empty() || m_closing; });
            --m_idleHelpers;
            if (m_waiting.empty())
                return;
            entry = m_waiting.front();
            m_waiting.pop_front();
        }
        FileComparison found = m_files.compareFiles(entry->first, entry->second);
        bool wake = false;
        {
            std::lock_guard lock(m_mutex);
            entry->found = std::move(found);
            entry->ready = true;
            // The caller waits for the oldest entry alone: the others it takes along.
            wake = m_handingOnWaits && m_entries.front().get() == entry;
        }
        if (wake)
            m_ready.notify_one();
    }
}

void ComparisonPool::add(std::unique_ptr<Entry> entry)
{
    handOn(false);
    while (m_entries.size() >= m_inFlight)
        handOn(true);
    bool wake = false;
    {
        std::lock_guard lock(m_mutex);
        if (entry->pair)
            m_waiting.push_back(entry.get());
        wake = m_idleHelpers > 0 && m_waiting.size() == kWakeFor;
        m_entries.push_back(std::move(entry));
    }
    if (wake)
        m_work.notify_all();
}

void ComparisonPool::compare(std::string first, std::string second, Done done)
{
    auto entry = std::make_unique<Entry>();
    entry->first = std::move(first);
    entry->second = std::move(second);
    entry->done = std::move(done);
    entry->pair = true;
    add(std::move(entry));
}

void ComparisonPool::then(Done done)
{
    auto entry = std::make_unique<Entry>();
    entry->done = std::move(done);
    entry->ready = true;
    add(std::move(entry));
}

void ComparisonPool::handOn(bool wait)
{
    for (;;) {
        std::unique_ptr<Entry> entry;
        {
            std::unique_lock lock(m_mutex);
            if (m_entries.empty())
                return;
            if (wait && !m_entries.front()->ready) {
                // Nothing waits that a helper has not been told of.
                if (m_idleHelpers > 0 && !m_waiting.empty())
                    m_work.notify_all();
                m_handingOnWaits = true;
                m_ready.wait(lock, [&] { return m_entries.front()->ready; });
                m_handingOnWaits = false;
            }
            if (!m_entries.front()->ready)
                return;
            entry = std::move(m_entries.front());
            m_entries.pop_front();
        }
        // Outside the lock: what follows may take its time (a copy), and the helpers go on.
        entry->done(entry->pair ? &entry->found : nullptr);
        wait = false;
    }
}

void ComparisonPool::finish()
{
    while (!m_entries.empty())
        handOn(true);
}

} // namespace kx
