// SPDX-License-Identifier: GPL-3.0-or-later
#include "worker/OperationRunner.h"

#include "worker/WorkerUserInterface.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <exception>
#include <utility>

namespace kx {

OperationRunner::OperationRunner(EngineContext& base, UserInterface& gui, QObject* parent)
    : QObject(parent), m_base(base), m_ui(new WorkerUserInterface(gui, this))
{
}

OperationRunner::~OperationRunner()
{
    if (!m_thread)
        return;
    // The window is going: the run ends at its next file boundary, and a question it asks on
    // the way is answered here, without a window, since this thread no longer runs its loop.
    m_stop.request();
    m_ui->detach();
    while (!m_thread->wait(10))
        QCoreApplication::sendPostedEvents(m_ui, QEvent::MetaCall);
}

bool OperationRunner::start(Operation operation, std::unique_ptr<OperationLock> held)
{
    if (m_thread)
        return false;
    m_held = std::move(held);
    m_stop.clear();
    m_ui->restart();
    // Copied here, on the GUI thread: the worker works on its own, and the window takes them
    // back once the run has ended.
    m_outcome = RunOutcome{.target = m_base.target, .media = m_base.media, .drive = {}};
    m_ctx = std::make_unique<EngineContext>(EngineContext{.platform = m_base.platform,
                                                          .target = m_outcome.target,
                                                          .media = m_outcome.media,
                                                          .ui = *m_ui,
                                                          .log = m_base.log,
                                                          .facts = m_base.facts,
                                                          .stop = &m_stop});
    EngineContext* ctx = m_ctx.get();
    DriveFindings* found = &m_outcome.drive;
    WorkerUserInterface* ui = m_ui;
    m_thread.reset(QThread::create([operation = std::move(operation), ctx, found, ui] {
        // An operation that throws ends the run, not the program.
        try {
            *found = operation(*ctx);
        } catch (const std::exception& e) {
            ui->failure(e.what());
        }
    }));
    m_thread->setObjectName(QStringLiteral("OperationRunner"));
    // Queued: the lines the operation sent are shown before the run counts as finished.
    connect(m_thread.get(), &QThread::finished, this, &OperationRunner::threadFinished,
            Qt::QueuedConnection);
    m_thread->start();
    emit started();
    return true;
}

void OperationRunner::stop()
{
    if (m_thread)
        m_stop.request();
}

void OperationRunner::stopThen(std::function<void()> whenEnded)
{
    if (!m_thread)
        return;
    m_whenEnded = std::move(whenEnded);
    m_stop.request();
}

void OperationRunner::threadFinished()
{
    if (!m_thread)
        return;
    m_thread->wait();
    m_thread.reset();
    m_ctx.reset();
    m_held.reset();
    emit finished();
    if (m_whenEnded)
        std::exchange(m_whenEnded, {})();
}

} // namespace kx
