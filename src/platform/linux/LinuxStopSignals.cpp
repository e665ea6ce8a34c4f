// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/LinuxStopSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace kx {

namespace {

// Set in the handler: lock-free atomics only, and write(), which is safe there.
std::atomic<int> g_signal{0};
std::atomic<void (*)() noexcept> g_request{nullptr};
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<void (*)() noexcept>::is_always_lock_free);

// One pipe for the process's life: a byte on it ends a wait for the signal. Both ends are
// non-blocking, so that a full pipe never holds the handler up.
int g_wakePipe[2] = {-1, -1};

void openWakePipe()
{
    if (g_wakePipe[0] < 0 && ::pipe2(g_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        g_wakePipe[0] = -1;
        g_wakePipe[1] = -1;
    }
}

void drainWakePipe()
{
    char bytes[64];
    while (g_wakePipe[0] >= 0 && ::read(g_wakePipe[0], bytes, sizeof bytes) > 0) {
    }
}

extern "C" void stopSignalCaught(int signal)
{
    g_signal.store(signal);
    if (const auto request = g_request.load())
        request();
    if (g_wakePipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(g_wakePipe[1], &byte, 1);
    }
}

} // namespace

LinuxStopSignals::LinuxStopSignals(void (*request)() noexcept)
    : m_previousRequest(g_request.exchange(request))
{
    openWakePipe();
    m_int = std::signal(SIGINT, stopSignalCaught);
    m_term = std::signal(SIGTERM, stopSignalCaught);
}

LinuxStopSignals::~LinuxStopSignals()
{
    delete m_notifier;
    std::signal(SIGINT, m_int);
    std::signal(SIGTERM, m_term);
    g_request.store(m_previousRequest);
}

void LinuxStopSignals::onSignal(std::function<void()> callback)
{
    m_callback = std::move(callback);
    if (m_notifier == nullptr && g_wakePipe[0] >= 0) {
        m_notifier = new QSocketNotifier(g_wakePipe[0], QSocketNotifier::Read);
        QObject::connect(m_notifier, &QSocketNotifier::activated, [this] {
            drainWakePipe();
            if (g_signal.load() != 0 && m_callback)
                m_callback();
        });
    }
}

int LinuxStopSignals::signalCaught()
{
    return g_signal.load();
}

void LinuxStopSignals::clear()
{
    g_signal.store(0);
    drainWakePipe();
}

} // namespace kx
