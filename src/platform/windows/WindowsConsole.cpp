// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WindowsConsole.h"

#include "platform/windows/UserFolders.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsStopSignals.h"

#include <windows.h>

#include <io.h>

namespace kx {

bool WindowsConsole::isTerminal(std::FILE* stream)
{
    // A console answers for its mode; a pipe, a file or the NUL device does not.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

PathFacts WindowsConsole::examinePath(const std::string& path)
{
    PathFacts facts;
    const std::wstring final = win::finalPath(win::toWide(path));
    if (final.empty())
        return facts;
    const DWORD attributes = GetFileAttributesW(win::longPath(win::fromWide(final)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return facts;
    facts.exists = true;
    facts.isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.isFile = !facts.isFolder && (attributes & FILE_ATTRIBUTE_DEVICE) == 0;
    // The root of the drive Windows runs from holds the whole system, the program included.
    const auto upper = [](wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - 32) : c; };
    wchar_t windows[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH + 1);
    facts.isSystemRoot = length >= 3 && length <= MAX_PATH && final.size() == 3 &&
                         final.compare(1, 2, L":\\") == 0 && upper(final[0]) == upper(windows[0]);
    return facts;
}

std::unique_ptr<StopSignals> WindowsConsole::catchStopSignals(void (*request)() noexcept)
{
    return std::make_unique<WindowsStopSignals>(request);
}

StopSignal WindowsConsole::stopSignal()
{
    switch (WindowsStopSignals::caught()) {
    case WindowsStopSignals::Interrupt:
        return StopSignal::Interrupt;
    case WindowsStopSignals::Terminate:
        return StopSignal::Terminate;
    default:
        return StopSignal::None;
    }
}

void WindowsConsole::clearStopSignal()
{
    WindowsStopSignals::clear();
}

std::unique_ptr<Console> createConsole()
{
    return std::make_unique<WindowsConsole>();
}

} // namespace kx
