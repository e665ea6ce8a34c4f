// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Console.h"

namespace kx {

/** The console on Linux: terminals through isatty, paths through QtCore, SIGINT and SIGTERM. */
class LinuxConsole : public Console
{
public:
    bool isTerminal(std::FILE* stream) override;
    PathFacts examinePath(const std::string& path) override;
    std::unique_ptr<StopSignals> catchStopSignals(void (*request)() noexcept) override;
    StopSignal stopSignal() override;
    void clearStopSignal() override;
};

} // namespace kx
