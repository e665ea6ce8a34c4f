#include "engine/ActivityLog.h"

#include "support/FileDate.h"
#include "support/TextHelpers.h"

namespace kx {

ActivityLog::ActivityLog(Platform& platform) : m_platform(platform) {}

void ActivityLog::WriteLog(const std::string& line)
{
    // A line that cannot be written is lost, never the file work around it.
    m_platform.appendDataFile(kCurrent, line + "\r\n");
}

void ActivityLog::Rotate(const std::string& languageCode)
{
    // Each step passes over a missing or locked file.
    m_platform.removeDataFile(kOldest);
    m_platform.renameDataFile(kPrevious, kOldest);
    m_platform.renameDataFile(kCurrent, kPrevious);
    WriteLog(nlEn(languageCode, "Datum: ", "Date: ") + m_platform.formatDateTime(Now(m_platform)));
}

std::string ActivityLog::currentLogPath() const
{
    return m_platform.dataFolder() + kCurrent;
}

} // namespace kx
