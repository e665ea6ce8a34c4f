// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows platform's drives, clock, locale, settings, data folder, lock and console, run
// under wine in the time zone Europe/Amsterdam and the locale nl_BE (see CMakeLists.txt).
#include "platform/OperationLock.h"
#include "platform/OperationRun.h"
#include "platform/Platform.h"
#include "platform/SystemError.h"
#include "platform/windows/DriveTimeRules.h"
#include "platform/windows/WindowsConsole.h"

#include <windows.h>

#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

using namespace kx;

namespace {

std::int64_t utc(int year, int month, int day, int hour, int minute = 0)
{
    SYSTEMTIME st{};
    st.wYear = WORD(year);
    st.wMonth = WORD(month);
    st.wDay = WORD(day);
    st.wHour = WORD(hour);
    st.wMinute = WORD(minute);
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    const std::int64_t ticks =
        std::int64_t((std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
    return ticks / 10000000 - 11644473600;
}

bool sameTime(const LocalTime& a, const LocalTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

void clearSettings()
{
    const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kopierix");
    REQUIRE((status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND));
}

} // namespace

TEST_CASE("a drive's file system decides how it keeps its times")
{
    struct Row
    {
        const char* name;
        bool localTime;
        bool exactTimes;
    };
    const Row rows[] = {
        {"FAT", true, false},    {"FAT32", true, false}, {"fat16", true, false},
        {"exFAT", false, false}, {"NTFS", false, true},  {"ReFS", false, true},
        {"UDF", false, false},   {"", false, false},
    };
    for (const Row& row : rows) {
        CAPTURE(row.name);
        const win::DriveTimeRules rules = win::driveTimeRules(row.name);
        CHECK(rules.localTime == row.localTime);
        CHECK(rules.exactTimes == row.exactTimes);
    }
}

TEST_CASE("every setting reads back as written, by any ident")
{
    clearSettings();
    const auto platform = createPlatform();
    const std::vector<std::string> idents = {
        "BackUp Drive",
        "",
        "e-[backup1]",
        "100%",
        "a%41b", // an escape's own form stays text
        "with\\backslash/slash",
        "\xC3\x9Cn\xC3\xAF"
        "c\xC3\xB8"
        "d\xC3\xA9 \xE2\x82\xAC"
        "uro \xF0\x9F\x98\x80",
        "raw \xFF\xFE bytes",
        std::string("nul\0inside", 10),
        "lone \xED\xA0\x80 surrogate",
    };
    {
        const auto store = platform->openSettings();
        for (std::size_t i = 0; i < idents.size(); ++i)
            store->writeString("Last BackUp", idents[i], "value " + std::to_string(i));
        CHECK(store->sync());
    }
    const auto store = platform->openSettings();
    for (std::size_t i = 0; i < idents.size(); ++i) {
        CAPTURE(i);
        CHECK(store->contains("Last BackUp", idents[i]));
        CHECK(store->readString("Last BackUp", idents[i], "") == "value " + std::to_string(i));
    }
    std::vector<std::string> listed = store->idents("Last BackUp");
    std::vector<std::string> expected = idents;
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    CHECK(listed == expected);

    store->remove("Last BackUp", "100%");
    store->remove("Last BackUp", "never written");
    CHECK_FALSE(store->contains("Last BackUp", "100%"));
    CHECK(store->idents("Last BackUp").size() == idents.size() - 1);
    CHECK(store->idents("No Such Section").empty());
    CHECK(store->sync());
}

TEST_CASE("settings keep their types, and a value of another type reads as the default")
{
    clearSettings();
    const auto platform = createPlatform();
    {
        const auto store = platform->openSettings();
        store->writeInteger("Total Size", "big", std::int64_t(5) << 40);
        store->writeInteger("Total Size", "negative", -7);
        store->writeFlag("Defaults", "flag", true);
        store->writeDate("Last BackUp", "date", 46000.123456789);
        store->writeString("Defaults", "text", "\xC3\xA9t\xC3\xA9\r\nline two");
        CHECK(store->sync());
    }
    const auto store = platform->openSettings();
    CHECK(store->readInteger("Total Size", "big", 0) == (std::int64_t(5) << 40));
    CHECK(store->readInteger("Total Size", "negative", 0) == -7);
    CHECK(store->readFlag("Defaults", "flag", false));
    CHECK(store->readDate("Last BackUp", "date") == 46000.123456789);
    CHECK(store->readString("Defaults", "text", "") == "\xC3\xA9t\xC3\xA9\r\nline two");

    CHECK(store->readInteger("Defaults", "text", 42) == 42);
    CHECK(store->readFlag("Defaults", "text", true));
    CHECK(store->readString("Total Size", "big", "fallback") == "fallback");
    CHECK(store->readDate("Defaults", "text") == 0.0);
    CHECK(store->readDate("Total Size", "big") == 0.0);
    CHECK(store->readInteger("Last BackUp", "date", 3) == 3);
    CHECK(store->readInteger("Defaults", "missing", 9) == 9);

    // What the program wrote before its sizes had 64 bits: a DWORD, signed.
    HKEY key = nullptr;
    REQUIRE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Kopierix\\Total Size", 0, KEY_SET_VALUE,
                          &key) == ERROR_SUCCESS);
    const DWORD earlier = 0xFFFFFFFE;
    RegSetValueExW(key, L"old", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&earlier),
                   sizeof earlier);
    RegCloseKey(key);
    CHECK(store->readInteger("Total Size", "old", 0) == -2);
}

TEST_CASE("a setting the registry refuses makes sync fail")
{
    clearSettings();
    const auto store = createPlatform()->openSettings();
    // A key's name holds at most 255 characters.
    store->writeString(std::string(300, 's'), "ident", "value");
    CHECK_FALSE(store->sync());
}

TEST_CASE("local time follows the zone's daylight saving, there and back")
{
    const auto platform = createPlatform();
    const TimeZoneRecords zone = platform->timeZone(2026);
    CHECK(zone.bias == -60);
    CHECK(zone.daylightBias == -60);
    CHECK(zone.daylightDate.month == 3);
    CHECK(zone.daylightDate.day == 5); // the last Sunday
    CHECK(zone.daylightDate.dayOfWeek == 0);
    CHECK(zone.standardDate.month == 10);

    struct Row
    {
        std::int64_t utc;
        LocalTime local;
    };
    const Row rows[] = {
        {utc(2026, 1, 15, 12), {2026, 1, 15, 13, 0, 0}},
        {utc(2026, 7, 1, 12, 30), {2026, 7, 1, 14, 30, 0}},
        {utc(2026, 3, 29, 0, 59), {2026, 3, 29, 1, 59, 0}}, // the last minute of winter time
        {utc(2026, 3, 29, 1), {2026, 3, 29, 3, 0, 0}},
        {utc(1980, 1, 1, 0), {1980, 1, 1, 1, 0, 0}},
        {utc(2099, 12, 31, 22), {2099, 12, 31, 23, 0, 0}},
    };
    for (const Row& row : rows) {
        CAPTURE(row.utc);
        CHECK(sameTime(platform->toLocal(row.utc), row.local));
        CHECK(platform->fromLocal(row.local) == row.utc);
    }
    // Fields beyond their range carry over, as the C library's mktime does.
    CHECK(platform->fromLocal({2026, 1, 32, 13, 0, 0}) == utc(2026, 2, 1, 12));
    CHECK(std::llabs(platform->now() - std::int64_t(std::time(nullptr))) <= 2);
}

TEST_CASE("dates are written as the user's locale writes them")
{
    const auto platform = createPlatform();
    CHECK(platform->localeName() == "nl_BE");
    CHECK(platform->decimalSeparator() == ',');
    CHECK_FALSE(platform->computerName().empty());

    // 13 December 2026 (46369 days after 30 December 1899), at midnight and at 14:05:09.
    const std::string midnight = platform->formatDateTime(46369.0);
    CHECK(midnight.find("13") != std::string::npos);
    CHECK(midnight.find(':') == std::string::npos);
    const std::string afternoon = platform->formatWindowDateTime(46369.0 + 50709.0 / 86400);
    CHECK(afternoon.find("2026") != std::string::npos);
    CHECK(afternoon.find("14:05:09") != std::string::npos);
}

TEST_CASE("drives are the system's letters, with their types and paths")
{
    const auto platform = createPlatform();
    const std::vector<char> letters = platform->driveLetters();
    CHECK(std::find(letters.begin(), letters.end(), 'c') != letters.end());
    CHECK(std::is_sorted(letters.begin(), letters.end()));
    CHECK(platform->driveType('C') == DriveType::Fixed);
    CHECK(platform->totalSpace('c') > 0);

    char missing = 0;
    for (char letter = 'y'; letter > 'c' && missing == 0; --letter) {
        if (std::find(letters.begin(), letters.end(), letter) == letters.end())
            missing = letter;
    }
    REQUIRE(missing != 0);
    CHECK(platform->driveType(missing) == DriveType::None);
    const Result<std::string> label = platform->volumeLabel(missing);
    REQUIRE_FALSE(label);
    CHECK(label.error().code == errors::kNoSuchDrive);
    CHECK(platform->freeSpace(missing) == -1);
    CHECK_FALSE(platform->flushDrive(missing));
    CHECK(platform->nativePath(std::string(1, missing) + ":\\a.txt").empty());

    CHECK(platform->drivePathOf("C:\\windows\\..\\WINDOWS\\system32") == "c:\\windows\\system32");
    CHECK(platform->drivePathOf("C:\\") == "c:\\");
    CHECK(platform->drivePathOf("C:\\no such folder").empty());
    const std::string home = platform->homeFolder();
    CHECK(home.rfind("c:\\users\\", 0) == 0);
    CHECK(platform->nativePath("c:\\Docs\\a.txt") == "c:\\Docs\\a.txt");

    const Result<char> root = platform->driveForFolder("C:\\");
    REQUIRE(root);
    CHECK(root.value() == 'c');
    const Result<char> folder = platform->driveForFolder("C:\\windows");
    REQUIRE_FALSE(folder);
    CHECK(folder.error().code == errors::kUnfitForBackup);
    CHECK(folder.error().message.find("drive letters") != std::string::npos);
    CHECK_FALSE(platform->driveForFolder("C:\\no such folder"));
    CHECK_FALSE(platform->unfitForBackup('c').empty());

    const std::string area = platform->temporaryArea('c');
    CHECK(area.rfind("c:\\", 0) == 0);
    CHECK(area.size() > 3);
    CHECK(area.substr(area.size() - 10) == "\\Kopierix\\");
    CHECK(platform->wantsAutorunFile());
    CHECK(platform->namesIgnoreCase('c'));
}

TEST_CASE("a flush of a drive answers honestly")
{
    const auto platform = createPlatform();
    const Result<void> flushed = platform->flushDrive('c');
    if (!flushed)
        MESSAGE("flush of c: failed: " << flushed.error().code << " " << flushed.error().message);
    CHECK(flushed);
}

TEST_CASE("the data folder's files are appended to, renamed and removed")
{
    const auto platform = createPlatform();
    const std::string folder = platform->dataFolder();
    REQUIRE_FALSE(folder.empty());
    CHECK(folder.find("\\Kopierix\\") != std::string::npos);
    platform->removeDataFile("test.log");
    platform->removeDataFile("test.old");
    REQUIRE(platform->appendDataFile("test.log", "first\r\n"));
    REQUIRE(platform->appendDataFile("test.log", "second \xE2\x82\xAC\r\n"));
    CHECK(platform->renameDataFile("test.log", "test.old"));
    CHECK_FALSE(platform->renameDataFile("test.log", "test.old"));

    std::FILE* file =
        _wfopen((std::wstring(folder.begin(), folder.end()) + L"test.old").c_str(), L"rb");
    REQUIRE(file != nullptr);
    char buffer[64] = {};
    const std::size_t size = std::fread(buffer, 1, sizeof buffer, file);
    std::fclose(file);
    CHECK(std::string(buffer, size) == "first\r\nsecond \xE2\x82\xAC\r\n");
    CHECK(platform->removeDataFile("test.old"));
    CHECK_FALSE(platform->removeDataFile("test.old"));

    // A folder in a log's place is never written through.
    const std::wstring wideFolder(folder.begin(), folder.end());
    CreateDirectoryW((wideFolder + L"folder.log").c_str(), nullptr);
    CHECK_FALSE(platform->appendDataFile("folder.log", "line\r\n"));
    RemoveDirectoryW((wideFolder + L"folder.log").c_str());
}

TEST_CASE("two holders of one lock conflict, within one process too")
{
    OperationLock first;
    OperationLock second;
    REQUIRE(first.tryLock());
    CHECK(operationRun::current() != 0);
    CHECK_FALSE(second.tryLock());
    CHECK(second.failure().empty());
    first.unlock();
    CHECK(operationRun::current() == 0);
    CHECK(second.tryLock());
    second.unlock();

    // The windows share theirs; a sole holder waits until they are gone.
    OperationLock window1(OperationLock::Kind::Windows);
    OperationLock window2(OperationLock::Kind::Windows);
    OperationLock alone(OperationLock::Kind::Windows);
    window1.lockShared();
    window2.lockShared();
    CHECK_FALSE(alone.tryLock());
    window1.unlock();
    CHECK_FALSE(alone.tryLock());
    window2.unlock();
    CHECK(alone.tryLock());
}

namespace {

std::atomic<int> g_requests{0};

void countRequest() noexcept
{
    ++g_requests;
}

std::atomic<int> g_ownHandlerCalls{0};

BOOL WINAPI ownHandler(DWORD /*event*/)
{
    ++g_ownHandlerCalls;
    return TRUE;
}

} // namespace

TEST_CASE("Ctrl+C and Ctrl+Break stop a run as an interrupt")
{
    WindowsConsole console;
    std::FILE* file = std::tmpfile();
    REQUIRE(file != nullptr);
    CHECK_FALSE(console.isTerminal(file));
    std::fclose(file);

    // Wine sends console events only to a process on a terminal, and Ctrl+Break not even
    // there: the run on a terminal (KX_EXPECT_CONSOLE_EVENTS) insists on Ctrl+C.
    const bool expected = std::getenv("KX_EXPECT_CONSOLE_EVENTS") != nullptr;
    console.clearStopSignal();
    g_requests = 0;
    {
        const auto signals = console.catchStopSignals(countRequest);
        if (!GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0)) {
            CHECK_FALSE(expected);
            MESSAGE("no console event could be sent: " << GetLastError());
            return;
        }
        // The system calls the handler on a thread of its own.
        for (int i = 0; i < 500 && g_requests == 0; ++i)
            Sleep(10);
        CHECK(g_requests == 1);
        CHECK(console.stopSignal() == StopSignal::Interrupt);
    }
    // Once the run has ended, an event goes to the handlers before it again.
    g_requests = 0;
    g_ownHandlerCalls = 0;
    SetConsoleCtrlHandler(ownHandler, TRUE);
    REQUIRE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    for (int i = 0; i < 500 && g_ownHandlerCalls == 0; ++i)
        Sleep(10);
    SetConsoleCtrlHandler(ownHandler, FALSE);
    CHECK(g_ownHandlerCalls == 1);
    CHECK(g_requests == 0);
    console.clearStopSignal();
    CHECK(console.stopSignal() == StopSignal::None);
}

TEST_CASE("paths are examined as the user named them")
{
    WindowsConsole console;
    const PathFacts windows = console.examinePath("C:\\windows");
    CHECK(windows.exists);
    CHECK(windows.isFolder);
    CHECK_FALSE(windows.isSystemRoot);
    CHECK(console.examinePath("C:\\windows\\..\\.").isSystemRoot);
    CHECK(console.examinePath("c:\\windows\\system32\\kernel32.dll").isFile);
    CHECK_FALSE(console.examinePath("C:\\no such file").exists);
}
