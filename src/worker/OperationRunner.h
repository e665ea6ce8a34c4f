// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "engine/StopRequest.h"

#include <QObject>

#include <functional>
#include <memory>

class QThread;

namespace kx {

class WorkerUserInterface;

/**
 * Runs one engine operation at a time on a worker thread, so that the windows repaint, move and
 * answer the user while it works. The operation gets a context of its own: the application's
 * collaborators, a user interface that reaches the window through queued calls (its questions
 * wait on the worker until the GUI thread has answered), and this runner's stop request.
 *
 *     runner.start([](EngineContext& ctx) { makeBackups(ctx); });
 *     ...
 *     runner.stop(); // the operation ends at its next file boundary; finished() follows
 *
 * Create and use it on the GUI thread.
 */
class OperationRunner : public QObject
{
    Q_OBJECT

public:
    using Operation = std::function<void(EngineContext&)>;

    /** `base` gives the collaborators of every run; `gui` is the window's user interface. */
    OperationRunner(EngineContext& base, UserInterface& gui, QObject* parent = nullptr);
    /** A run still working is stopped and waited for; its questions are answered No. */
    ~OperationRunner() override;

    /** Starts `operation` on the worker; false, doing nothing, while another one runs. */
    bool start(Operation operation);
    /** Asks the running operation to stop at its next file boundary. */
    void stop();
    /** From start() until finished() has been emitted. */
    bool isRunning() const { return m_thread != nullptr; }
    /** The running operation has been asked to stop. */
    bool stopRequested() const { return m_stop.requested(); }

signals:
    void started();
    /** The operation has returned, and every line it sent has reached the window. */
    void finished();

private:
    void threadFinished();

    EngineContext& m_base;
    WorkerUserInterface* m_ui;
    StopRequest m_stop;
    std::unique_ptr<EngineContext> m_ctx;
    std::unique_ptr<QThread> m_thread;
};

} // namespace kx
