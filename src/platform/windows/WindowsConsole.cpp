// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WindowsConsole.h"

namespace kx {

bool WindowsConsole::isTerminal(std::FILE* /*stream*/)
{
    return false;
}

PathFacts WindowsConsole::examinePath(const std::string& /*path*/)
{
    return {};
}

std::unique_ptr<StopSignals> WindowsConsole::catchStopSignals(void (* /*request*/)() noexcept)
{
    return nullptr;
}

StopSignal WindowsConsole::stopSignal()
{
    return StopSignal::None;
}

void WindowsConsole::clearStopSignal() {}

std::unique_ptr<Console> createConsole()
{
    return std::make_unique<WindowsConsole>();
}

} // namespace kx
