// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WindowsStopSignals.h"

#include <windows.h>

#include <atomic>
#include <mutex>

namespace kx {

namespace {

std::atomic<int> g_caught{WindowsStopSignals::None};
std::atomic<void (*)() noexcept> g_request{nullptr};
std::atomic<int> g_holders{0};

std::mutex g_callbackMutex;
std::function<void()> g_callback;

// Set while an object catches the events, reset while a run is going on: the handler of a
// close waits for it so that the run can end before the system ends the process.
HANDLE runEnded()
{
    static const HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    return event;
}

// The system allows about five seconds after a close; a bounded wait keeps it from hanging on.
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
        WaitForSingleObject(runEnded(), kEndWait);
    return TRUE;
}

} // namespace

WindowsStopSignals::WindowsStopSignals(void (*request)() noexcept)
    : m_previousRequest(g_request.exchange(request))
{
    if (g_holders.fetch_add(1) == 0)
        ResetEvent(runEnded());
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
    if (g_holders.fetch_sub(1) == 1)
        SetEvent(runEnded());
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
