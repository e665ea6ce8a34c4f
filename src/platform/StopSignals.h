// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace kx {

/** The stop signals caught, for as long as this object lives (Console::catchStopSignals). */
class StopSignals
{
public:
    StopSignals() = default;
    virtual ~StopSignals() = default;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    /** Calls `callback` from the event loop of this thread once a stop signal has come, or at
     *  once when one came before: for a wait that must end with the signal. */
    virtual void onSignal(std::function<void()> callback) = 0;
};

} // namespace kx
