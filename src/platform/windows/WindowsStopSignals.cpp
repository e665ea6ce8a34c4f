// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WindowsStopSignals.h"

#include <windows.h>

#include <atomic>
#include <mutex>

namespace kx {

namespace {

std::atomic<int> g_caught{WindowsStopSignals::None};
std::atomic<void (*)() noexcept> g_request{nullptr};

std::mutex g_callbackMutex;
std::function<void()> g_callback;

// After a close, a logoff or a shutdown the system ends the process once the handler returns,
// and at the latest some five seconds later: the handler waits nearly that long, so that the
// run can stop at its next file and the program end with its own exit status meanwhile.
constexpr DWORD kEndWait = 4500;

BOOL WINAPI controlEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        g_caught.store(WindowsStopSignals::Interrupt);
        break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        g_caught.store(WindowsStopSignals::Terminate);
        break;
    default:
        return FALSE;
    }
    if (const auto request = g_request.load())
        request();
    {
        std::lock_guard lock(g_callbackMutex);
        if (g_callback)
            g_callback();
    }
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        Sleep(kEndWait);
    return TRUE;
}

} // namespace

WindowsStopSignals::WindowsStopSignals(void (*request)() noexcept)
    : m_previousRequest(g_request.exchange(request))
{
    SetConsoleCtrlHandler(controlEvent, TRUE);
}

WindowsStopSignals::~WindowsStopSignals()
{
    SetConsoleCtrlHandler(controlEvent, FALSE);
    {
        std::lock_guard lock(g_callbackMutex);
        g_callback = nullptr;
    }
    g_request.store(m_previousRequest);
}

void WindowsStopSignals::onSignal(std::function<void()> callback)
{
    if (g_caught.load() != None) {
        callback();
        return;
    }
    std::lock_guard lock(g_callbackMutex);
    g_callback = std::move(callback);
}

WindowsStopSignals::Caught WindowsStopSignals::caught()
{
    return Caught(g_caught.load());
}

void WindowsStopSignals::clear()
{
    g_caught.store(None);
}

} // namespace kx
