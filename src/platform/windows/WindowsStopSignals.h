// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/StopSignals.h"

namespace kx {

/**
 * The console's control events caught for as long as the object lives: Ctrl+C and Ctrl+Break
 * as an interrupt, closing the console (and logging off or shutting down, which the system tells
 * only programs that load no user32: the shell's recycle bin loads it here) as a request to end.
 * The system runs the handler on a thread of its own; after a close it ends the process once the
 * handler returns, so the handler waits a while for the run to stop and the program to end.
 */
class WindowsStopSignals : public StopSignals
{
public:
    explicit WindowsStopSignals(void (*request)() noexcept);
    ~WindowsStopSignals() override;

    /** Calls `callback` at once when a stop came before, else on the handler's thread when one
     *  comes: this system has no event loop to wake. */
    void onSignal(std::function<void()> callback) override;

    enum Caught
    {
        None = 0,
        Interrupt = 1,
        Terminate = 2,
    };
    /** The last stop caught since clear(). */
    static Caught caught();
    static void clear();

private:
    void (*m_previousRequest)() noexcept;
};

} // namespace kx
