// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/FileCopy.h"

#include "support/DriveQueries.h"

#include <cmath>

namespace kx {

namespace {

// A copy on a FAT medium may be up to two seconds off its source; three seconds of tolerance keep
// such a copy from looking older than its source.
constexpr std::int64_t kCopyToleranceSeconds = 3;
constexpr DateTime kSecondsPerDay = 86400;
constexpr std::int32_t kTicksPerSecond = 10'000'000;

char driveLetterOf(const std::string& path)
{
    if (path.empty())
        return '\0';
    const char c = path.front();
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// A medium keeps times at its own resolution (whole seconds on ext2 with small inodes or HFS+,
// microseconds on UDF), and a copy's fraction shows it by its trailing zeros. The source is
// compared at that resolution: its finer fraction would make it look newer than its copy for ever.
FileTime atResolutionOf(FileTime t, std::int32_t copyTicks)
{
    std::int32_t unit = 1;
    while (unit < kTicksPerSecond && copyTicks % (unit * 10) == 0)
        unit *= 10;
    t.ticks -= t.ticks % unit;
    return t;
}

} // namespace

FileCopy::FileCopy(Platform& platform, const DaylightWindow& dst) : m_platform(platform), m_dst(dst)
{
}

FileCopy::DriveClass FileCopy::driveClass(char letter)
{
    const bool cacheable = letter >= 'a' && letter <= 'z';
    if (cacheable && m_driveClasses[letter - 'a'] != DriveClass::Unknown)
        return m_driveClasses[letter - 'a'];

    DriveClass result = DriveClass::Other;
    const DriveType type = driveTypeOf(m_platform, letter);
    if (type == DriveType::Fixed)
        result = DriveClass::Fixed;
    // A disc written in packets keeps its times as a fixed disk does, and so does any medium
    // whose times the system does not show shifted.
    else if (type != DriveType::Remote && fileSystemName(m_platform, letter) != "INCDFS" &&
             m_platform.mediaTimesFollowDaylightSaving(letter))
        result = DriveClass::Correctable;

    if (cacheable)
        m_driveClasses[letter - 'a'] = result;
    return result;
}

bool FileCopy::isFixed(char letter)
{
    return driveClass(letter) == DriveClass::Fixed;
}

bool FileCopy::isCorrectable(char letter)
{
    return driveClass(letter) == DriveClass::Correctable;
}

bool FileCopy::exactTimes(char letter)
{
    const bool cacheable = letter >= 'a' && letter <= 'z';
    if (cacheable && m_exactTimes[letter - 'a'] != Answer::Unknown)
        return m_exactTimes[letter - 'a'] == Answer::Yes;
    const bool exact = m_platform.keepsExactTimes(letter);
    if (cacheable)
        m_exactTimes[letter - 'a'] = exact ? Answer::Yes : Answer::No;
    return exact;
}

bool FileCopy::copyFileTo(const std::string& source, const std::string& dest, bool failIfExists)
{
    m_lastError = SystemError{};
    const std::size_t lastSeparator = dest.rfind('\\');
    if (lastSeparator != std::string::npos) {
        std::string folder = dest.substr(0, lastSeparator);
        // A root ("e:") always exists when its medium is there; the copy reports it otherwise.
        if (!folder.empty() && folder.back() != ':') {
            if (const Result<void> made = m_platform.makeDirs(folder); !made) {
                m_lastError = made.error();
                return false;
            }
        }
    }
    if (failIfExists) {
        FileInfo info;
        if (m_platform.fileInfo(dest, info)) {
            m_lastError = SystemError{80, "The file exists"};
            return false;
        }
    }
    if (const Result<void> copied = m_platform.copyFile(source, dest); !copied) {
        m_lastError = copied.error();
        return false;
    }
    return true;
}

bool FileCopy::copyIfNewer(const std::string& source, const std::string& dest)
{
    // A copy that was not needed is no failure: callers tell the two apart by the code.
    m_lastError = SystemError{};
    FileInfo sourceInfo;
    // A source that has vanished since the listing is never copied.
    if (!m_platform.fileInfo(source, sourceInfo) || sourceInfo.isDir)
        return false;
    FileInfo destInfo;
    const bool destThere = m_platform.fileInfo(dest, destInfo);
    if (!needsCopy(source, sourceInfo, dest, destThere ? &destInfo : nullptr))
        return false;
    if (const Result<void> copied = m_platform.copyFile(source, dest); !copied) {
        m_lastError = copied.error();
        return false;
    }
    return true;
}

bool FileCopy::needsCopy(const std::string& source, const FileInfo& sourceInfo,
                         const std::string& dest, const FileInfo* destInfo)
{
    if (destInfo == nullptr || destInfo->isDir)
        return true;
    const char from = driveLetterOf(source);
    const char to = driveLetterOf(dest);
    // While daylight saving is in force, a copy on a correctable medium and its original on a
    // fixed disk differ by the offset; compare them as if they did not. Outside daylight saving
    // the shift is 0 and the drive classes need not be asked.
    std::int64_t offset = 0;
    if (m_dst.dstShift != 0) {
        const std::int64_t shift = std::llround(m_dst.dstShift * kSecondsPerDay);
        if (isFixed(from) && isCorrectable(to))
            offset += shift;
        if (isFixed(to) && isCorrectable(from))
            offset -= shift;
    }
    const FileTime sourceTime = fileTimeOf(sourceInfo);
    const FileTime destAge = plusSeconds(fileTimeOf(*destInfo), offset);
    if (exactTimes(from) && exactTimes(to))
        return destAge < atResolutionOf(sourceTime, destAge.ticks);

    // A FAT-family medium holds dates from 1980 to 2107 only and keeps its first or last date for
    // a time outside them (a reproducible build's 1970, say), so a source dated there cannot be
    // told from its copy by time: an edit that keeps such a date would never be copied, and a
    // plain comparison of the two would copy the file on every run. Such a source counts as
    // changed when its copy's time does not lie at that same end (the source was moved there
    // since its copy was made) or when the two sizes differ.
    const FatRange range = fatRangeOf(sourceTime.seconds);
    if (range != FatRange::Inside)
        return fatRangeOf(destAge.seconds) != range || destInfo->size != sourceInfo.size;
    return plusSeconds(destAge, kCopyToleranceSeconds) < sourceTime;
}

void FileCopy::correctCopiedFileTime(const std::string& source, const std::string& dest,
                                     FileDate sourceDate)
{
    if (inDaylightSaving(m_dst, sourceDate) == m_dst.dstNow)
        return;

    const char from = driveLetterOf(source);
    const char to = driveLetterOf(dest);
    const std::int64_t offset = std::llround(m_dst.dstShift * kSecondsPerDay);
    std::int64_t shift = 0;
    if (isFixed(from) && isCorrectable(to))
        shift = -offset;
    if (isFixed(to) && isCorrectable(from))
        shift = offset;
    if (shift == 0)
        return;

    // A copy that cannot be written to (read-only file, write-protected medium) keeps its time.
    FileInfo info;
    if (!m_platform.fileInfo(dest, info) || info.isDir || info.isReadOnly)
        return;
    // The copy's own time moves, to the 100 ns: on a medium that keeps exact times a copy that
    // lost its odd second or its fraction here would look older than its source ever after.
    const FileTime corrected = plusSeconds(fileTimeOf(info), shift);
    (void)m_platform.setModificationTime(dest, corrected.seconds, corrected.ticks);
}

std::int64_t FileCopy::fileSizeOf(const std::string& path)
{
    FileInfo info;
    if (!m_platform.fileInfo(path, info))
        return -1;
    return info.isDir ? 0 : info.size;
}

bool FileCopy::makeAndEnterDir(const std::string& dir)
{
    m_lastError = SystemError{};
    std::string folder = dir;
    // "e:\" is a root and keeps its separator; any other folder is named without it.
    if (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();

    if (const Result<void> made = m_platform.makeDirs(folder); !made)
        m_lastError = made.error();
    FileInfo info;
    if (m_platform.fileInfo(folder, info) && info.isDir) {
        if (const Result<void> entered = m_platform.setCurrentDirectory(folder); !entered)
            m_lastError = entered.error();
    }
    return m_platform.currentDirectory() + "\\" == dir;
}

int FileCopy::deleteToRecycleBin(const std::string& path)
{
    if (path.empty())
        return -1;
    const Result<void> trashed = m_platform.moveToTrash(path);
    if (trashed)
        return 0;
    // A failure must never read as success, even when the system gave no code.
    return trashed.error().code != 0 ? trashed.error().code : 1;
}

} // namespace kx
