// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/NetworkWait.h"

#include <QEventLoop>

namespace kx {

NetworkWait::NetworkWait(std::chrono::milliseconds stallTimeOut)
{
    m_stallTimer.setSingleShot(true);
    m_stallTimer.setInterval(stallTimeOut);
    QObject::connect(&m_stallTimer, &QTimer::timeout, &m_stallTimer, [this] {
        m_stalled = true;
        wake();
    });
}

void NetworkWait::start()
{
    m_cancelled = false;
    m_stalled = false;
    m_stallTimer.start();
}

void NetworkWait::stop()
{
    m_stallTimer.stop();
}

void NetworkWait::progress()
{
    if (m_stallTimer.isActive())
        m_stallTimer.start();
}

void NetworkWait::wake()
{
    m_woken = true;
    if (m_loop)
        m_loop->quit();
}

void NetworkWait::cancel()
{
    m_cancelled = true;
    wake();
}

bool NetworkWait::until(const std::function<bool()>& done)
{
    // Signals only arrive while the loop runs, so none is missed between the check and the wait.
    while (!m_cancelled && !m_stalled && !done()) {
        QEventLoop loop;
        m_loop = &loop;
        m_woken = false;
        loop.exec();
        m_loop = nullptr;
        // Only an exit of the application's event loops ends ours without a wake. The exit
        // stands until the application has left its own loop, and every loop started before
        // then returns at once: waiting on would spin for ever, and the program could never be
        // quit while a server keeps us waiting.
        if (!m_woken)
            m_cancelled = true;
    }
    return !m_cancelled && !m_stalled;
}

} // namespace kx
