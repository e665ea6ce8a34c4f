// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Console.h"

namespace kx {

/** The console on Windows: Ctrl+C and Ctrl+Break stop a run as SIGINT does on Linux, closing the
 *  console window as SIGTERM does. */
class WindowsConsole : public Console
{
public:
    bool isTerminal(std::FILE* stream) override;
    PathFacts examinePath(const std::string& path) override;
    std::unique_ptr<StopSignals> catchStopSignals(void (*request)() noexcept) override;
    StopSignal stopSignal() override;
    void clearStopSignal() override;
};

} // namespace kx
