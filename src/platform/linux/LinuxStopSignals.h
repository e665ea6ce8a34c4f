// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/StopSignals.h"

class QSocketNotifier;

namespace kx {

/**
 * SIGINT and SIGTERM caught for as long as the object lives; the handlers before are put back
 * at its end, so that scopes nest. A caught signal is kept until clear(), and a byte on a pipe
 * wakes the event loop of whoever waits for it.
 */
class LinuxStopSignals : public StopSignals
{
public:
    explicit LinuxStopSignals(void (*request)() noexcept);
    ~LinuxStopSignals() override;

    void onSignal(std::function<void()> callback) override;

    /** The number of the last stop signal caught since clear(), 0 for none. */
    static int signalCaught();
    static void clear();

private:
    void (*m_previousRequest)() noexcept;
    void (*m_int)(int);
    void (*m_term)(int);
    QSocketNotifier* m_notifier = nullptr;
    std::function<void()> m_callback;
};

} // namespace kx
