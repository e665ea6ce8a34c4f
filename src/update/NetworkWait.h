// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>

#include <chrono>
#include <functional>

class QEventLoop;

namespace kx {

/** How long a request may go without a new byte before it is given up. */
inline constexpr std::chrono::milliseconds kStallTimeOut{30000};

/**
 * The wait of a network request on the user-interface thread: a nested event loop, so the
 * windows stay alive while a name look-up, a connection or a reply is pending.
 *
 * A wait never lasts for ever. It ends when its condition holds, when it is cancelled, when no
 * progress was reported for the stall time-out, or when the application (or the thread) exits
 * its event loops. After a cancel, a stall or an exit every later wait ends at once, until the
 * next start().
 */
class NetworkWait
{
public:
    explicit NetworkWait(std::chrono::milliseconds stallTimeOut = kStallTimeOut);
    NetworkWait(const NetworkWait&) = delete;
    NetworkWait& operator=(const NetworkWait&) = delete;

    /** A new request: clears a cancel or a stall and starts the stall timer. */
    void start();
    /** The request is over: the stall timer stops. */
    void stop();
    /** New bytes arrived: the stall timer starts over. */
    void progress();
    /** Makes the running wait look at its condition again; connect the source's signals here. */
    void wake();
    /** Ends the running wait and every later one (from a handler run while it waits). */
    void cancel();

    /** Waits until `done` holds; false when the wait was cancelled, stalled or exited. */
    bool until(const std::function<bool()>& done);

    /** cancelled, or the event loops were exited. */
    bool cancelled() const { return m_cancelled; }
    bool stalled() const { return m_stalled; }

private:
    QTimer m_stallTimer;
    QEventLoop* m_loop = nullptr;
    bool m_woken = false;
    bool m_cancelled = false;
    bool m_stalled = false;
};

} // namespace kx
