// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/ActivityLog.h"

#include "engine/EngineTexts.h"
#include "engine/UserInterface.h"
#include "support/FileDate.h"
#include "support/TextHelpers.h"

namespace kx {

ActivityLog::ActivityLog(DataStore& store, Clock& clock) : m_store(store), m_clock(clock) {}

void ActivityLog::writeLog(const std::string& line)
{
    if (m_silent)
        return;
    // A line that cannot be written is lost, never the file work around it. The user hears of
    // it once a run: a line for every lost line would bury what the run did.
    // The worker writes the run's lines while the window writes its click lines: one writer at
    // a time keeps each line whole and the failure told once.
    std::unique_lock lock(m_mutex);
    const Result<void> written = m_store.appendDataFile(kCurrent, line + "\r\n");
    if (written || m_failureTold || !m_ui)
        return;
    m_failureTold = true;
    UserInterface* ui = m_ui;
    const Language language = languageOf(m_languageCode);
    lock.unlock();
    // Told outside the lock: the user interface may write a line of its own.
    ui->failure(inLanguage(language, text::theActivityLog) + currentLogPath() +
                inLanguage(language, text::cannotBeWritten) + written.error().message);
}

void ActivityLog::rotate(const std::string& languageCode)
{
    // Each step passes over a missing or locked file.
    m_store.removeDataFile(kOldest);
    m_store.renameDataFile(kPrevious, kOldest);
    m_store.renameDataFile(kCurrent, kPrevious);
    resume(languageCode);
}

void ActivityLog::resume(const std::string& languageCode)
{
    {
        std::lock_guard lock(m_mutex);
        m_failureTold = false;
    }
    writeLog(inLanguage(languageOf(languageCode), text::logDate) +
             m_clock.formatDateTime(now(m_clock)));
}

std::string ActivityLog::currentLogPath() const
{
    return m_store.dataFolder() + kCurrent;
}

void ActivityLog::reportFailuresTo(UserInterface* ui, const std::string& languageCode)
{
    std::lock_guard lock(m_mutex);
    m_ui = ui;
    m_languageCode = languageCode;
}

} // namespace kx
