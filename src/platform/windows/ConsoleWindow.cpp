// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/ConsoleWindow.h"

#include <windows.h>

namespace kx::win {

namespace {

bool isModifier(WORD key)
{
    switch (key) {
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU:
    case VK_LWIN:
    case VK_RWIN:
    case VK_CAPITAL:
    case VK_NUMLOCK:
    case VK_SCROLL:
        return true;
    default:
        return false;
    }
}

} // namespace

bool consoleClosesWithProgram()
{
    // The program itself is one of the console's processes; a command prompt would be another.
    // A console without a window would wait for a key that nobody can press.
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1 && GetConsoleWindow() != nullptr;
}

void waitForKey()
{
    // The console's own input, wherever the standard input was sent.
    const HANDLE input =
        CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE)
        return;
    INPUT_RECORD record{};
    DWORD read = 0;
    while (ReadConsoleInputW(input, &record, 1, &read) && read == 1) {
        if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
            !isModifier(record.Event.KeyEvent.wVirtualKeyCode))
            break;
    }
    CloseHandle(input);
}

} // namespace kx::win
