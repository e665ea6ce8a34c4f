// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/UserInterface.h"

#include <QObject>

#include <atomic>

namespace kx {

/**
 * The engine's user interface on the worker thread. What only shows (output lines, progress, the
 * status line, the cursor) goes to the window's user interface through queued calls and the
 * worker goes on; a question waits on the worker until the GUI thread has answered it.
 * The object lives in the GUI thread: it is the receiver of those calls.
 */
class WorkerUserInterface : public QObject, public UserInterface
{
    Q_OBJECT

public:
    /** `gui` is the window's user interface, called on this object's thread only. */
    explicit WorkerUserInterface(UserInterface& gui, QObject* parent = nullptr);

    /** From now on nothing reaches the window, and a question is answered No (or cancelled)
     *  without being shown: the runner is being torn down with its window. */
    void detach() { m_detached = true; }
    /** A new run: the next progress position is posted whatever it is. */
    void restart() { m_lastProgress = -1; }

    void addLine(const std::string& line) override;
    void failure(const std::string& line) override;
    void clearLines() override;
    void progress(int position) override;
    void showProgress(bool shown) override;
    void progressTotalKnown(bool known) override;
    void progressBytes(std::int64_t done, std::int64_t total) override;
    bool askCopyWhatFits(const std::string& caption, const std::string& shortage,
                         const std::string& question) override;
    void runCounts(const RunResult& soFar) override;
    void status(const std::string& text) override;
    bool askYesNo(const std::string& caption, const std::string& question) override;
    bool askText(const std::string& caption, const std::string& prompt,
                 std::string& answer) override;
    void showTimed(const std::string& text, int seconds) override;
    void warn(const std::string& text) override;
    void inform(const std::string& text) override;
    void busy(bool on) override;

private:
    template <typename Call> void post(Call call);
    template <typename Call> void waitFor(Call call);

    UserInterface& m_gui;
    std::atomic<bool> m_detached{false};
    std::atomic<int> m_lastProgress{-1};
};

} // namespace kx
