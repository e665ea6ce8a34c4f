// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/UserInterface.h"

#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace kx::test {

/** Records what the engine tells its user and answers its questions from a script. */
class RecordingUi : public UserInterface
{
public:
    std::vector<std::string> outputLines;
    std::vector<std::string> warnings;
    std::vector<std::string> informations;
    std::vector<std::string> timed;
    std::vector<std::string> questions;
    std::vector<std::string> statusLines;
    std::vector<int> positions;
    std::deque<bool> yesNoAnswers;       // empty: answers No
    std::deque<std::string> textAnswers; // empty: cancels
    /** Each call of progressBytes: the bytes copied and the run's total. */
    std::vector<std::pair<std::int64_t, std::int64_t>> byteProgress;
    /** The shown's length when the run first told its byte total; -1 before. */
    long linesAtByteTotal = -1;
    /** Each call of runCounts: the run's counts so far. */
    std::vector<RunResult> counts;
    bool progressShown = false;
    bool isBusy = false;

    void addLine(const std::string& line) override { outputLines.push_back(line); }
    void failure(const std::string& line) override { outputLines.push_back(line); }
    void clearLines() override { outputLines.clear(); }
    void progress(int position) override { positions.push_back(position); }
    void showProgress(bool shown) override { progressShown = shown; }
    void progressTotalKnown(bool) override {}
    void progressBytes(std::int64_t done, std::int64_t total) override
    {
        if (byteProgress.empty())
            linesAtByteTotal = static_cast<long>(outputLines.size());
        byteProgress.emplace_back(done, total);
    }
    bool askCopyWhatFits(const std::string& caption, const std::string& shortage,
                         const std::string& question) override
    {
        return askYesNo(caption, copyWhatFitsQuestion(shortage, question));
    }
    void runCounts(const RunResult& soFar) override { counts.push_back(soFar); }
    void status(const std::string& text) override { statusLines.push_back(text); }
    bool askYesNo(const std::string&, const std::string& question) override
    {
        questions.push_back(question);
        if (yesNoAnswers.empty())
            return false;
        bool answer = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return answer;
    }
    bool askText(const std::string&, const std::string& prompt, std::string& answer) override
    {
        questions.push_back(prompt);
        if (textAnswers.empty())
            return false;
        answer = textAnswers.front();
        textAnswers.pop_front();
        return true;
    }
    void showTimed(const std::string& text, int) override { timed.push_back(text); }
    void warn(const std::string& text) override { warnings.push_back(text); }
    void inform(const std::string& text) override { informations.push_back(text); }
    void busy(bool on) override { isBusy = on; }
};

} // namespace kx::test
