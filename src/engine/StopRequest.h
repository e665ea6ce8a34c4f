// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

namespace kx {

/**
 * A user's request to stop the running operation. Set from any thread (the window's Stop, a
 * signal handler); the operation reads it at each file boundary and ends there, leaving every
 * copy whole.
 */
class StopRequest
{
public:
    void request() noexcept { m_requested.store(true, std::memory_order_relaxed); }
    void clear() noexcept { m_requested.store(false, std::memory_order_relaxed); }
    bool requested() const noexcept { return m_requested.load(std::memory_order_relaxed); }
    /** The flag itself, for a copy loop below the engine that reads it between chunks. */
    const std::atomic<bool>& flag() const noexcept { return m_requested; }

private:
    std::atomic<bool> m_requested{false};
};

} // namespace kx
