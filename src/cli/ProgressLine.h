// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/CommandLineTexts.h"
#include "engine/RunResult.h"
#include "support/Language.h"

#include <chrono>
#include <cstdio>

namespace kx {

// One line on a terminal that tells how far a run has come: the files met, the files copied,
// their bytes and the time so far; once the run knows the bytes it will copy, the bytes copied
// of that total and the time left. It is drawn over itself, at most ten times a second, and
// taken away before any other line is printed, so that the run's own lines stay as they are.
class ProgressLine
{
public:
    // Shown only on a terminal: a log file or a pipe gets none of it.
    ProgressLine(Language language, std::FILE* stream, bool shown);

    void update(const RunResult& soFar);
    // The bytes copied of the total the run will copy; the line is drawn at its next update.
    void setBytes(std::int64_t done, std::int64_t total);
    // The words of the line, for a run that does something else than copy: the form for many
    // files and the one for a single file, each with the four numbers.
    void setWords(const Text& many, const Text& one)
    {
        m_many = &many;
        m_one = &one;
    }
    // Takes the line away, if it is there.
    void erase();

private:
    Language m_language;
    std::FILE* m_stream;
    bool m_shown;
    bool m_drawn = false;
    bool m_everDrawn = false;
    const Text* m_many = &cliText::progressLine;
    const Text* m_one = &cliText::progressLineOneFile;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastDraw;
    std::int64_t m_bytesDone = 0;
    std::int64_t m_bytesTotal = 0;
    // When the copying began: the time left follows its pace, not that of the counting before.
    std::chrono::steady_clock::time_point m_copyStart;
};

} // namespace kx
