// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"
#include "platform/DataStore.h"

#include <mutex>
#include <string>

namespace kx {

class UserInterface;

/**
 * The activity log: Kopierix.log for this run, Kopierix!.log and Kopierix!!.log for the two
 * before it, in the program's data folder. Each line is appended and the file closed at once,
 * so an editor can open it at any moment. A line that cannot be written is dropped: the log
 * never stops the file work. The first such line of a run is told to the user, once. Any thread
 * may write to it.
 */
class ActivityLog
{
public:
    ActivityLog(DataStore& store, Clock& clock);

    /** Appends one line ended by CR LF. */
    void writeLog(const std::string& line);
    /** At start: drops the oldest log, shifts the others, and starts this run's log with the date
     *  line ("Datum: " or "Date: " and the present moment). */
    void rotate(const std::string& languageCode);
    /** At start, beside a run that goes on: the current log stays, and this run's lines follow
     *  its own date line there. */
    void resume(const std::string& languageCode);
    /** From now on this log keeps no line: for a pass that must not be heard. */
    void silence() { m_silent = true; }
    /** The native path of this run's log, for the viewer. */
    std::string currentLogPath() const;
    /** Where a log that cannot be written is told: `ui`'s failure line, in the given language;
     *  null keeps it silent. */
    void reportFailuresTo(UserInterface* ui, const std::string& languageCode);

    static constexpr const char* kCurrent = "Kopierix.log";
    static constexpr const char* kPrevious = "Kopierix!.log";
    static constexpr const char* kOldest = "Kopierix!!.log";

private:
    DataStore& m_store;
    Clock& m_clock;
    /** Guards the lines' order and what follows: the worker and the GUI thread both write. */
    std::mutex m_mutex;
    UserInterface* m_ui = nullptr;
    std::string m_languageCode;
    bool m_failureTold = false;
    bool m_silent = false;
};

} // namespace kx
