// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/RunResult.h"

#include <cstdint>
#include <string>

namespace kx {

/**
 * How the engine talks to its user. The main window forwards these to its widgets, the command
 * line prints them, and the tests record them with scripted answers. Every call is abstract: each
 * user says what it does with each one, if only that it has no use for it.
 */
class UserInterface
{
public:
    virtual ~UserInterface() = default;

    /** Adds a line to the text area. */
    virtual void addLine(const std::string& line) = 0;
    /** Adds a line about something that failed (a copy, a folder, the log): the text area in
     *  the window, standard error on the command line. */
    virtual void failure(const std::string& line) = 0;
    virtual void clearLines() = 0;
    /** Progress bar position, 0..100. */
    virtual void progress(int position) = 0;
    virtual void showProgress(bool shown) = 0;
    /** Whether the run knows the total its bar measures against; without one the bar can only
     *  show that the run works. */
    virtual void progressTotalKnown(bool known) = 0;
    /** The bytes a run has copied of the total it found it would copy, after each copy; for a
     *  display of its own. */
    virtual void progressBytes(std::int64_t done, std::int64_t total) = 0;
    /** The target cannot hold all that a run would copy (`shortage` says how much is needed
     *  and how much is free): true to copy what fits and pass over the rest. */
    virtual bool askCopyWhatFits(const std::string& caption, const std::string& shortage,
                                 const std::string& question) = 0;
    /** The counts of a run so far (backup files met, files copied and their bytes), after each
     *  file; for a display of its own. */
    virtual void runCounts(const RunResult& soFar) = 0;
    /** The backup-drive status line. */
    virtual void status(const std::string& text) = 0;
    /** The program's yes/no question; true for Yes. */
    virtual bool askYesNo(const std::string& caption, const std::string& question) = 0;
    /** The program's text-input question; false when cancelled. */
    virtual bool askText(const std::string& caption, const std::string& prompt,
                         std::string& answer) = 0;
    /** A message that closes by itself after `seconds`. */
    virtual void showTimed(const std::string& text, int seconds) = 0;
    /** A modal warning box with one OK button. */
    virtual void warn(const std::string& text) = 0;
    /** A modal information box with one OK button. */
    virtual void inform(const std::string& text) = 0;
    /** hourglass (true) or normal cursor. */
    virtual void busy(bool on) = 0;
};

/** The copy-what-fits question as one yes/no question: the shortage, an empty line, the
 *  question; for a user without a question of its own for it. */
inline std::string copyWhatFitsQuestion(const std::string& shortage, const std::string& question)
{
    return shortage + "\r\r" + question;
}

} // namespace kx
