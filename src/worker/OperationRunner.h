// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/EngineContext.h"
#include "engine/StopRequest.h"
#include "platform/OperationLock.h"
#include "worker/DriveFindings.h"
#include "worker/RunOutcome.h"

#include <QObject>

#include <functional>
#include <memory>

class QThread;

namespace kx {

class WorkerUserInterface;

/**
 * Runs one engine operation at a time on a worker thread, so that the windows repaint, move and
 * answer the user while it works. The operation gets a context of its own: the application's
 * collaborators, copies of the backup target and the media's records taken when it starts, a
 * user interface that reaches the window through queued calls (its questions wait on the worker
 * until the GUI thread has answered), and this runner's stop request. The worker writes nothing
 * the window owns: once the run has ended, the window takes what it left from outcome().
 *
 *     runner.start([](EngineContext& ctx) { return DriveFindings{makeBackups(ctx).noDisk}; });
 *     ...
 *     runner.stop(); // the operation ends at its next file boundary; finished() follows
 *     ...
 *     apply(runner.outcome()); // on finished()
 *
 * Create and use it on the GUI thread.
 */
class OperationRunner : public QObject
{
    Q_OBJECT

public:
    /** An operation returns what it found of the backup drive. */
    using Operation = std::function<DriveFindings(EngineContext&)>;

    /** `base` gives the collaborators of every run, and the target and the records a run
     *  starts from; `gui` is the window's user interface. */
    OperationRunner(EngineContext& base, UserInterface& gui, QObject* parent = nullptr);
    /** A run still working is stopped and waited for; its questions are answered No, and what
     *  it leaves is dropped. */
    ~OperationRunner() override;

    /** Starts `operation` on the worker; false, doing nothing, while another one runs. `held`,
     *  the operation lock taken for it, is let go when the operation has returned. */
    bool start(Operation operation, std::unique_ptr<OperationLock> held = nullptr);
    /** Asks the running operation to stop at its next file boundary. */
    void stop();
    /** Stops the running operation, and calls `whenEnded` once it has ended (after finished()):
     *  how a window closes that was asked to close during a run. */
    void stopThen(std::function<void()> whenEnded);
    /** A stopThen() waits for the run to end. */
    bool endAwaited() const { return bool(m_whenEnded); }
    /** From start() until finished() has been emitted. */
    bool isRunning() const { return m_thread != nullptr; }
    /** The running operation has been asked to stop. */
    bool stopRequested() const { return m_stop.requested(); }
    /** What the last run left: its target, its records and its findings. Read it on
     *  finished(), before the next start(). */
    const RunOutcome& outcome() const { return m_outcome; }

signals:
    void started();
    /** The operation has returned, and every line it sent has reached the window. */
    void finished();

private:
    void threadFinished();

    EngineContext& m_base;
    WorkerUserInterface* m_ui;
    StopRequest m_stop;
    /** The run's own target and records while it works, what it left once it has ended. */
    RunOutcome m_outcome;
    std::unique_ptr<EngineContext> m_ctx;
    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<OperationLock> m_held;
    std::function<void()> m_whenEnded;
};

} // namespace kx
