// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Files.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kx {

/**
 * Compares pairs of files on helper threads, several at once, and hands each result back on the
 * calling thread in the order the pairs were given: the device and both cores stay busy while
 * whatever follows from a result (a line, a count, a copy) keeps the order of a plain walk. An
 * entry without a pair keeps its place in that order too. A bounded number of entries is in
 * flight, whatever the size of the medium.
 */
class ComparisonPool
{
public:
    /** What follows from an entry, on the calling thread; `found` is null for an entry without
     *  a pair. */
    using Done = std::function<void(const FileComparison* found)>;

    ComparisonPool(Files& files, std::size_t threads, std::size_t inFlight);
    ~ComparisonPool();
    ComparisonPool(const ComparisonPool&) = delete;
    ComparisonPool& operator=(const ComparisonPool&) = delete;

    /** Queues the comparison of `first` with `second`. Hands on the results that are due first,
     *  and waits for the oldest entry while too many are in flight. */
    void compare(std::string first, std::string second, Done done);
    /** Queues an entry without a pair: `done` is called in its turn. */
    void then(Done done);
    /** Hands on every result still due, waiting for each. */
    void finish();

private:
    struct Entry
    {
        std::string first;
        std::string second;
        Done done;
        bool pair = false;
        bool ready = false;
        FileComparison found;
    };

    void add(std::unique_ptr<Entry> entry);
    void work();
    // Hands on the entries at the front that are ready; with `wait`, waits for the first one.
    void handOn(bool wait);

    Files& m_files;
    std::size_t m_inFlight;
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_ready;
    std::deque<std::unique_ptr<Entry>> m_entries; // in the order given
    std::deque<Entry*> m_waiting;                 // pairs no helper has taken yet
    bool m_closing = false;
    // Who sleeps: a wake-up is a system call, made only for someone who waits.
    std::size_t m_idleHelpers = 0;
    bool m_handingOnWaits = false;
    std::vector<std::thread> m_threads;
};

} // namespace kx
