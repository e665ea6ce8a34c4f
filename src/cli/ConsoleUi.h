// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/ProgressLine.h"
#include "engine/UserInterface.h"

#include <cstdio>

namespace kx {

/**
 * The engine's user for headless runs: output lines go to standard output in order; failures,
 * warnings and message boxes to standard error; questions get the answer given on the command
 * line.
 */
class ConsoleUi : public UserInterface
{
public:
    explicit ConsoleUi(bool answerYes);

    /** Whether status lines are printed (the status command wants them, a run does not). */
    void setPrintStatus(bool on) { m_printStatus = on; }
    /** The line that shows the run's progress, taken away before each printed line; none
     *  when null. */
    void setProgressLine(ProgressLine* line) { m_progressLine = line; }

    void addLine(const std::string& line) override;
    void failure(const std::string& line) override;
    void clearLines() override {}
    void progress(int) override {}
    void showProgress(bool) override {}
    void progressTotalKnown(bool) override {}
    void runCounts(const RunResult& soFar) override;
    void progressBytes(std::int64_t done, std::int64_t total) override;
    /** Nobody is there to answer: the shortage is printed and nothing is copied. */
    bool askCopyWhatFits(const std::string& caption, const std::string& shortage,
                         const std::string& question) override;
    void status(const std::string& text) override;
    bool askYesNo(const std::string& caption, const std::string& question) override;
    bool askText(const std::string& caption, const std::string& prompt,
                 std::string& answer) override;
    void showTimed(const std::string& text, int seconds) override;
    void warn(const std::string& text) override;
    void inform(const std::string& text) override;
    void busy(bool) override {}

private:
    void eraseProgress();
    // A line on the stream, with the progress line taken away first.
    void print(std::FILE* stream, const std::string& line);

    bool m_answerYes;
    bool m_printStatus = false;
    ProgressLine* m_progressLine = nullptr;
};

} // namespace kx
