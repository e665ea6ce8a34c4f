// SPDX-License-Identifier: GPL-3.0-or-later
#include "worker/WorkerUserInterface.h"

#include <QMetaObject>
#include <QThread>

namespace kx {

WorkerUserInterface::WorkerUserInterface(UserInterface& gui, QObject* parent)
    : QObject(parent), m_gui(gui)
{
}

// Posted in the order the engine calls: a question waits behind the output lines before it.
template <typename Call> void WorkerUserInterface::post(Call call)
{
    const auto guarded = [this, call = std::move(call)] {
        if (!m_detached)
            call();
    };
    if (QThread::currentThread() == thread())
        guarded();
    else
        QMetaObject::invokeMethod(this, guarded, Qt::QueuedConnection);
}

template <typename Call> void WorkerUserInterface::waitFor(Call call)
{
    if (QThread::currentThread() == thread())
        call();
    else
        QMetaObject::invokeMethod(this, std::move(call), Qt::BlockingQueuedConnection);
}

void WorkerUserInterface::addLine(const std::string& line)
{
    post([this, line] { m_gui.addLine(line); });
}

void WorkerUserInterface::failure(const std::string& line)
{
    post([this, line] { m_gui.failure(line); });
}

void WorkerUserInterface::clearLines()
{
    post([this] { m_gui.clearLines(); });
}

void WorkerUserInterface::progress(int position)
{
    // The walk reports after every file; the bar moves only a hundred times a run, and a call
    // for each file would keep the GUI thread busy with positions it already shows.
    if (m_lastProgress.exchange(position) == position)
        return;
    post([this, position] { m_gui.progress(position); });
}

void WorkerUserInterface::showProgress(bool shown)
{
    post([this, shown] { m_gui.showProgress(shown); });
}

void WorkerUserInterface::progressTotalKnown(bool known)
{
    post([this, known] { m_gui.progressTotalKnown(known); });
}

void WorkerUserInterface::progressBytes(std::int64_t done, std::int64_t total)
{
    post([this, done, total] { m_gui.progressBytes(done, total); });
}

void WorkerUserInterface::runCounts(const RunResult& soFar)
{
    post([this, soFar] { m_gui.runCounts(soFar); });
}

void WorkerUserInterface::status(const std::string& text)
{
    post([this, text] { m_gui.status(text); });
}

void WorkerUserInterface::busy(bool on)
{
    post([this, on] { m_gui.busy(on); });
}

bool WorkerUserInterface::askYesNo(const std::string& caption, const std::string& question)
{
    bool yes = false;
    waitFor([&] {
        if (!m_detached)
            yes = m_gui.askYesNo(caption, question);
    });
    return yes;
}

bool WorkerUserInterface::askCopyWhatFits(const std::string& caption, const std::string& shortage,
                                          const std::string& question)
{
    bool yes = false;
    waitFor([&] {
        if (!m_detached)
            yes = m_gui.askCopyWhatFits(caption, shortage, question);
    });
    return yes;
}

bool WorkerUserInterface::askText(const std::string& caption, const std::string& prompt,
                                  std::string& answer)
{
    bool ok = false;
    waitFor([&] {
        if (!m_detached)
            ok = m_gui.askText(caption, prompt, answer);
    });
    return ok;
}

// The messages wait too: the engine goes on only once the user has seen them, as it does on
// the GUI thread.
void WorkerUserInterface::showTimed(const std::string& text, int seconds)
{
    waitFor([&] {
        if (!m_detached)
            m_gui.showTimed(text, seconds);
    });
}

void WorkerUserInterface::warn(const std::string& text)
{
    waitFor([&] {
        if (!m_detached)
            m_gui.warn(text);
    });
}

void WorkerUserInterface::inform(const std::string& text)
{
    waitFor([&] {
        if (!m_detached)
            m_gui.inform(text);
    });
}

} // namespace kx
