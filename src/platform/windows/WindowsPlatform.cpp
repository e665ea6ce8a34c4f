// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WindowsPlatform.h"

#include "platform/windows/DriveTimeRules.h"
#include "platform/windows/TempNames.h"
#include "platform/windows/UserFolders.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsPaths.h"

#include <windows.h>

#include <cmath>

namespace kx {

namespace {

char lowerLetter(char letter)
{
    return letter >= 'A' && letter <= 'Z' ? char(letter - 'A' + 'a') : letter;
}

bool isLetter(char letter)
{
    return letter >= 'a' && letter <= 'z';
}

std::wstring rootOf(char letter)
{
    return std::wstring{wchar_t(L'A' + (lowerLetter(letter) - 'a')), L':', L'\\'};
}

// An empty drive (a card reader without a card) would otherwise ask the user to insert a disk
// in a dialog of the system's own; this way the call fails with ERROR_NOT_READY instead.
class NoCriticalErrorDialogs
{
public:
    NoCriticalErrorDialogs() { SetThreadErrorMode(SEM_FAILCRITICALERRORS, &m_previous); }
    ~NoCriticalErrorDialogs() { SetThreadErrorMode(m_previous, nullptr); }
    NoCriticalErrorDialogs(const NoCriticalErrorDialogs&) = delete;
    NoCriticalErrorDialogs& operator=(const NoCriticalErrorDialogs&) = delete;

private:
    DWORD m_previous = 0;
};

struct VolumeFacts
{
    std::string label;
    std::string fileSystem;
};

Result<VolumeFacts> volumeFacts(char letter)
{
    if (!win::driveExists(letter))
        return win::errorOf(ERROR_INVALID_DRIVE);
    wchar_t label[MAX_PATH + 1] = {};
    wchar_t fileSystem[MAX_PATH + 1] = {};
    NoCriticalErrorDialogs noDialogs;
    if (!GetVolumeInformationW(rootOf(letter).c_str(), label, MAX_PATH + 1, nullptr, nullptr,
                               nullptr, fileSystem, MAX_PATH + 1))
        return win::lastError();
    // A drive whose root cannot be reached holds no medium, whatever is known of its volume
    // (wine answers for a drive whose folder is gone).
    if (GetFileAttributesW(rootOf(letter).c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return win::errorOf(error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                                ? ERROR_NOT_READY
                                : error);
    }
    return VolumeFacts{win::fromWide(label), win::fromWide(fileSystem)};
}

// The drive path of a full Windows path on a drive letter (`C:\Users\anna` → `c:\Users\anna`);
// empty for any other path.
std::string drivePathOfFull(const std::wstring& full)
{
    if (full.size() < 2 || full[1] != L':')
        return std::string();
    std::string path = win::fromWide(full);
    path[0] = lowerLetter(path[0]);
    if (!isLetter(path[0]))
        return std::string();
    if (path.size() == 2)
        return path + "\\";
    if (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

// --- Time ---------------------------------------------------------------------------------

// Seconds from 1 January 1601, where FILETIME counts from, to 1 January 1970.
constexpr std::int64_t kEpochDifference = 11644473600;

// Days since 1 January 1970 of a date of the proleptic Gregorian calendar; month and day may
// lie outside their ranges and carry over.
std::int64_t daysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day)
{
    year += (month - 1) >= 0 ? (month - 1) / 12 : -((12 - month) / 12);
    month = ((month - 1) % 12 + 12) % 12 + 1;
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(std::int64_t days, int& year, int& month, int& day)
{
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    day = int(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = int(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = int(yearOfEra + era * 400 + (month <= 2));
}

// Seconds since 1970 of a broken-down time read as UTC; fields outside their ranges carry over.
std::int64_t secondsOf(const LocalTime& time)
{
    return daysFromCivil(time.year, time.month, time.day) * 86400 + std::int64_t(time.hour) * 3600 +
           std::int64_t(time.minute) * 60 + time.second;
}

SYSTEMTIME systemTimeOf(std::int64_t seconds, int milliseconds = 0)
{
    const std::int64_t days = (seconds >= 0 ? seconds : seconds - 86399) / 86400;
    const std::int64_t inDay = seconds - days * 86400;
    int year = 0;
    int month = 0;
    int day = 0;
    civilFromDays(days, year, month, day);
    SYSTEMTIME st{};
    st.wYear = WORD(year);
    st.wMonth = WORD(month);
    st.wDay = WORD(day);
    st.wDayOfWeek = WORD(((days % 7) + 11) % 7); // 1 January 1970 was a Thursday
    st.wHour = WORD(inDay / 3600);
    st.wMinute = WORD(inDay / 60 % 60);
    st.wSecond = WORD(inDay % 60);
    st.wMilliseconds = WORD(milliseconds);
    return st;
}

std::int64_t secondsOf(const SYSTEMTIME& st)
{
    return secondsOf(LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond});
}

// The range SYSTEMTIME and the zone conversions accept.
bool convertible(std::int64_t seconds)
{
    return seconds >= -kEpochDifference && seconds < 253402300800; // 1601 up to 9999
}

TransitionRecord transitionOf(const SYSTEMTIME& st)
{
    return TransitionRecord{st.wYear, st.wMonth,  st.wDayOfWeek, st.wDay,
                            st.wHour, st.wMinute, st.wSecond};
}

// The user's short date picture with its year in four digits: two-digit years read as a day or
// a month in many short forms ("12/11/26"). Quoted text stays as it is.
std::wstring fourDigitYearPicture()
{
    wchar_t buffer[100] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SSHORTDATE, buffer, 100) == 0)
        return std::wstring();
    const std::wstring picture = buffer;
    std::wstring result;
    bool quoted = false;
    for (std::size_t i = 0; i < picture.size();) {
        const wchar_t c = picture[i];
        if (c == L'\'') {
            quoted = !quoted;
            result += c;
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c)
            ++run;
        if (!quoted && c == L'y' && run == 2)
            result += L"yyyy";
        else
            result.append(picture, i, run);
        i += run;
    }
    return result;
}

std::string dateTimeText(double dateTime, bool fourDigitYear)
{
    if (!std::isfinite(dateTime))
        return std::string();
    double whole = 0;
    const double fraction = std::modf(dateTime, &whole);
    std::int64_t ms = std::llround(std::fabs(fraction) * 86400000.0);
    if (ms >= 86400000)
        ms = 86399999;
    // Days since 30 December 1899, 25569 days before 1970.
    const double days = whole - 25569;
    if (days < double(-kEpochDifference / 86400) || days > 2932896.0)
        return std::string();
    const SYSTEMTIME st = systemTimeOf(std::int64_t(days) * 86400 + ms / 1000, int(ms % 1000));

    const std::wstring picture = fourDigitYear ? fourDigitYearPicture() : std::wstring();
    wchar_t date[100] = {};
    if (GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, picture.empty() ? DATE_SHORTDATE : 0, &st,
                        picture.empty() ? nullptr : picture.c_str(), date, 100, nullptr) == 0)
        return std::string();
    std::string text = win::fromWide(date);
    // Midnight precisely shows the date alone.
    if (ms != 0) {
        wchar_t time[100] = {};
        if (GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &st, nullptr, time, 100) != 0)
            text += " " + win::fromWide(time);
    }
    return text;
}

// Whether the user may make a folder in `folder`, found by making one and removing it again:
// the folder's security settings are too many to judge otherwise. The probe bears the name of
// the program's temporary files, so that no listing shows it meanwhile.
bool canMakeFolderIn(const std::wstring& folder)
{
    const std::wstring probe = folder + win::tempName();
    if (!CreateDirectoryW(probe.c_str(), nullptr))
        return false;
    RemoveDirectoryW(probe.c_str());
    return true;
}

char systemDrive()
{
    wchar_t folder[MAX_PATH + 1] = {};
    const UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH + 1);
    if (length < 2 || length > MAX_PATH || folder[1] != L':')
        return 0;
    return lowerLetter(char(folder[0]));
}

} // namespace

WindowsPlatform::WindowsPlatform() = default;
WindowsPlatform::~WindowsPlatform() = default;

// --- Drives -----------------------------------------------------------------------------------

std::vector<char> WindowsPlatform::driveLetters()
{
    std::vector<char> letters;
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((drives & (1u << i)) != 0)
            letters.push_back(char('a' + i));
    }
    return letters;
}

DriveType WindowsPlatform::driveType(char letter)
{
    if (!win::driveExists(letter))
        return DriveType::None;
    switch (GetDriveTypeW(rootOf(letter).c_str())) {
    case DRIVE_REMOVABLE:
        return DriveType::Removable;
    case DRIVE_FIXED:
        return DriveType::Fixed;
    case DRIVE_REMOTE:
        return DriveType::Remote;
    case DRIVE_CDROM:
        return DriveType::CdRom;
    case DRIVE_RAMDISK:
        return DriveType::RamDisk;
    default:
        return DriveType::None;
    }
}

Result<std::string> WindowsPlatform::volumeLabel(char letter)
{
    Result<VolumeFacts> facts = volumeFacts(letter);
    if (!facts)
        return facts.error();
    return std::move(facts.value().label);
}

std::string WindowsPlatform::fileSystemName(char letter)
{
    Result<VolumeFacts> facts = volumeFacts(letter);
    return facts ? facts.value().fileSystem : std::string();
}

std::int64_t WindowsPlatform::freeSpace(char letter)
{
    ULARGE_INTEGER available{};
    NoCriticalErrorDialogs noDialogs;
    if (!win::driveExists(letter) ||
        !GetDiskFreeSpaceExW(rootOf(letter).c_str(), &available, nullptr, nullptr))
        return -1;
    return std::int64_t(available.QuadPart);
}

std::int64_t WindowsPlatform::totalSpace(char letter)
{
    ULARGE_INTEGER total{};
    NoCriticalErrorDialogs noDialogs;
    if (!win::driveExists(letter) ||
        !GetDiskFreeSpaceExW(rootOf(letter).c_str(), nullptr, &total, nullptr))
        return -1;
    return std::int64_t(total.QuadPart);
}

bool WindowsPlatform::setVolumeLabel(char letter, const std::string& label)
{
    NoCriticalErrorDialogs noDialogs;
    return win::driveExists(letter) &&
           SetVolumeLabelW(rootOf(letter).c_str(), win::toWide(label).c_str());
}

Result<void> WindowsPlatform::flushDrive(char letter)
{
    if (!win::driveExists(letter))
        return win::errorOf(ERROR_INVALID_DRIVE);
    NoCriticalErrorDialogs noDialogs;
    const std::wstring volume = std::wstring(L"\\\\.\\") + rootOf(letter).substr(0, 2);
    const HANDLE handle =
        CreateFileW(volume.c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD error = ERROR_SUCCESS;
    if (handle == INVALID_HANDLE_VALUE) {
        error = GetLastError();
    } else {
        if (!FlushFileBuffers(handle))
            error = GetLastError();
        CloseHandle(handle);
        if (error == ERROR_SUCCESS)
            return {};
    }
    // Only an administrator may open a volume, a network drive has none to open, and some file
    // systems cannot flush one. Every file was already flushed by itself and every rename
    // written through, so what is left is whether the medium is still there to have taken them.
    if (error != ERROR_ACCESS_DENIED && error != ERROR_INVALID_FUNCTION &&
        error != ERROR_NOT_SUPPORTED && error != ERROR_INVALID_PARAMETER &&
        error != ERROR_FILE_NOT_FOUND)
        return win::errorOf(error);
    Result<VolumeFacts> facts = volumeFacts(letter);
    if (!facts)
        return facts.error();
    return {};
}

std::string WindowsPlatform::unfitForBackup(char letter)
{
    // Drives do not nest on Windows, so no other drive is a part of the system's own.
    const char drive = lowerLetter(letter);
    if (isLetter(drive) && drive == systemDrive())
        return std::string(1, drive) + ": holds Windows itself: a backup there would lie on the " +
               "disk it is meant to outlive";
    return std::string();
}

std::string WindowsPlatform::nativePath(const std::string& drivePath)
{
    // A drive path is a Windows path already.
    if (drivePath.size() < 2 || drivePath[1] != ':' || !win::driveExists(drivePath[0]))
        return std::string();
    return drivePath;
}

void WindowsPlatform::reloadDrives()
{
    // Nothing is kept: the system is asked afresh each time.
}

std::string WindowsPlatform::temporaryArea(char letter)
{
    const char drive = lowerLetter(letter);
    if (!win::driveExists(drive))
        return std::string();
    // On the drive of the user's temporary folder the area is a folder in it, since a user may
    // not write in the root of the system's drive.
    wchar_t temp[MAX_PATH + 2] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 2, temp);
    if (length > 0 && length <= MAX_PATH + 1) {
        std::wstring area = temp;
        if (area.back() != L'\\')
            area += L'\\';
        area += L"Kopierix\\";
        CreateDirectoryW(area.c_str(), nullptr);
        const std::string path = drivePathOfFull(win::finalPath(area));
        if (!path.empty() && path[0] == drive && canMakeFolderIn(area))
            return path.back() == '\\' ? path : path + "\\";
    }
    if (!canMakeFolderIn(rootOf(drive)))
        return std::string();
    return std::string(1, drive) + ":\\";
}

bool WindowsPlatform::namesIgnoreCase(char /*letter*/)
{
    // Windows opens a file by any case of its name, on every file system it reads.
    return true;
}

bool WindowsPlatform::mediaTimesFollowDaylightSaving(char letter)
{
    return win::driveTimeRules(fileSystemName(letter)).localTime;
}

bool WindowsPlatform::keepsExactTimes(char letter)
{
    return win::driveTimeRules(fileSystemName(letter)).exactTimes;
}

bool WindowsPlatform::wantsAutorunFile()
{
    return true;
}

std::string WindowsPlatform::homeFolder()
{
    const std::wstring profile = win::profileFolder();
    return profile.empty() ? std::string() : drivePathOf(win::fromWide(profile));
}

std::string WindowsPlatform::drivePathOf(const std::string& nativePath)
{
    if (nativePath.empty())
        return std::string();
    return drivePathOfFull(win::finalPath(win::toWide(nativePath)));
}

Result<char> WindowsPlatform::driveForFolder(const std::string& nativeFolder)
{
    const std::wstring folder = win::finalPath(win::toWide(nativeFolder));
    if (folder.empty())
        return win::errorOf(ERROR_PATH_NOT_FOUND);
    const DWORD attributes = GetFileAttributesW(win::longPath(win::fromWide(folder)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return win::lastError();
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return win::errorOf(ERROR_DIRECTORY);
    const std::string path = drivePathOfFull(folder);
    if (path.size() == 3)
        return path[0];
    return SystemError{errors::kUnfitForBackup,
                       "Windows gives drive letters to drives alone, not to folders: choose the "
                       "root of a drive, such as E:\\, or its letter"};
}

// --- Clock ------------------------------------------------------------------------------------

std::int64_t WindowsPlatform::now()
{
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    std::int64_t seconds = 0;
    std::int32_t ticks = 0;
    win::fromFileTime(win::combine(ft.dwHighDateTime, ft.dwLowDateTime), seconds, ticks);
    return seconds;
}

LocalTime WindowsPlatform::toLocal(std::int64_t utcSeconds)
{
    LocalTime local;
    if (!convertible(utcSeconds))
        return local;
    const SYSTEMTIME utc = systemTimeOf(utcSeconds);
    SYSTEMTIME st{};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &st))
        return local;
    return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::int64_t WindowsPlatform::fromLocal(const LocalTime& local)
{
    // Normalised first, as the C library's mktime does: the 32nd of a month is the next one's
    // 1st.
    const std::int64_t asUtc = secondsOf(local);
    if (!convertible(asUtc))
        return -1;
    const SYSTEMTIME st = systemTimeOf(asUtc);
    SYSTEMTIME utc{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &st, &utc))
        return -1;
    return secondsOf(utc);
}

TimeZoneRecords WindowsPlatform::timeZone(int year)
{
    if (year <= 0)
        year = toLocal(now()).year;
    TIME_ZONE_INFORMATION zone{};
    TimeZoneRecords records;
    if (year < 1601 || year > 30827 || !GetTimeZoneInformationForYear(USHORT(year), nullptr, &zone))
        return records;
    records.bias = int(zone.Bias);
    records.standardBias = int(zone.StandardBias);
    records.daylightBias = int(zone.DaylightBias);
    records.standardDate = transitionOf(zone.StandardDate);
    records.daylightDate = transitionOf(zone.DaylightDate);
    if (zone.DaylightDate.wMonth == 0 || zone.StandardDate.wMonth == 0) {
        records.daylightDate = TransitionRecord{};
        records.standardDate = TransitionRecord{};
        records.daylightBias = 0;
    }
    return records;
}

std::string WindowsPlatform::formatDateTime(double dateTime)
{
    return dateTimeText(dateTime, false);
}

std::string WindowsPlatform::formatWindowDateTime(double dateTime)
{
    return dateTimeText(dateTime, true);
}

// --- Locale -----------------------------------------------------------------------------------

std::string WindowsPlatform::localeName()
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
    if (GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH) == 0)
        return "en_US";
    // "nl-BE" as the program names locales: "nl_BE".
    std::string locale = win::fromWide(name);
    for (char& c : locale) {
        if (c == '-')
            c = '_';
    }
    return locale;
}

char WindowsPlatform::decimalSeparator()
{
    wchar_t separator[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) == 0 ||
        separator[0] == L'\0' || separator[0] > 0x7F)
        return '.';
    return char(separator[0]);
}

std::string WindowsPlatform::computerName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &length))
        return std::string();
    return win::fromWide(name, length);
}

std::unique_ptr<Platform> createPlatform()
{
    return std::make_unique<WindowsPlatform>();
}

bool displayAvailable()
{
    // The windows are not built for Windows yet: the program is its command line.
    return false;
}

} // namespace kx
