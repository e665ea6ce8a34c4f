// SPDX-License-Identifier: GPL-3.0-or-later
// kopierix.exe as a user starts it: its arguments as the console gives them, its lines as the
// console shows them. Run in the locale C.UTF-8, which wine takes for English (see
// CMakeLists.txt): names on the build machine are then UTF-8.
#include "platform/windows/WideText.h"

#include <windows.h>

#include <doctest/doctest.h>

#include <cstdlib>
#include <string>

using kx::win::fromWide;

namespace {

struct Outcome
{
    DWORD status = 0;
    std::string output; // stdout and stderr together
};

// The program as built, reached through the drive wine gives the build machine's root.
std::wstring programPath()
{
    std::wstring path = L"Z:" + kx::win::toWide(KX_PROGRAM_PATH);
    for (wchar_t& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    return path;
}

Outcome runProgram(const std::wstring& arguments)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    REQUIRE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::wstring commandLine = L"\"" + programPath() + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    REQUIRE(started);
    Outcome outcome;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        outcome.output.append(buffer, got);
    CloseHandle(readEnd);
    REQUIRE(WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0);
    GetExitCodeProcess(process.hProcess, &outcome.status);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return outcome;
}

// What the usage says in each language: the run under a Dutch locale (KX_EXPECT_DUTCH) must
// show the Dutch text.
struct UsageWords
{
    const char* firstLine;
    const char* commandLineOnly;
    const char* settings;
    const char* pressAKey;
};

UsageWords usageWords()
{
    if (std::getenv("KX_EXPECT_DUTCH") != nullptr)
        return {"Gebruik: kopierix [--backup-drive L] OPDRACHT", "opdrachtregelprogramma",
                "de instellingen", "Druk op een toets"};
    return {"Usage: kopierix [--backup-drive L] COMMAND", "command-line program", "the settings",
            "Press a key"};
}

bool holds(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_CASE("the usage speaks of Windows alone, in the user's language")
{
    const UsageWords words = usageWords();
    const Outcome help = runProgram(L"--help");
    CHECK(help.status == 0);
    CHECK(holds(help.output, words.firstLine));
    CHECK(holds(help.output, words.settings));
    CHECK(holds(help.output, "\r\n"));
    for (const char* present :
         {"  make-backups ", "  restore-all --yes ", "  newer [--add] ", "  add ", "  verify ",
          "  set-backup-drive L [--per-computer]", "  status ", "  drives ", "--backup-drive L ",
          "Ctrl+C", "Ctrl+Break", "HKEY_CURRENT_USER\\Software\\Kopierix", "%APPDATA%\\Kopierix",
          "Kopierix.log", "Defaults", "\"BackUp Drive\""}) {
        CAPTURE(present);
        CHECK(holds(help.output, present));
    }
    // Nothing of what only Linux has: its commands, signals, service manager, settings file,
    // drive table and windows, nor a folder as the Backup drive.
    for (const char* absent :
         {"watch", "schedule", "check-update", "SIGINT", "SIGTERM", "systemd", "crontab", "XDG",
          "~/", ".ini", "[Drives]", "/media", "L|", "Manage", "its windows", "zijn vensters"}) {
        CAPTURE(absent);
        CHECK_FALSE(holds(help.output, absent));
    }
}

TEST_CASE("without a command it says that it is a command-line program, then shows the usage")
{
    // The run's console has no window that would close, so nothing waits for a key.
    const UsageWords words = usageWords();
    const Outcome bare = runProgram(L"");
    CHECK(bare.status == 1);
    const std::size_t told = bare.output.find(words.commandLineOnly);
    CHECK(told != std::string::npos);
    CHECK(bare.output.find(words.firstLine) > told);
    CHECK(bare.output.find(words.firstLine) != std::string::npos);
    CHECK_FALSE(holds(bare.output, "display"));
    CHECK_FALSE(holds(bare.output, words.pressAKey));

    // What stands without a command, as an option alone, is a usage error.
    const Outcome quiet = runProgram(L"--quiet");
    CHECK(quiet.status == 2);
    CHECK(holds(quiet.output, words.firstLine));
    CHECK_FALSE(holds(quiet.output, words.commandLineOnly));
}

TEST_CASE("drives are letters: the table and the choice of a Backup drive say so")
{
    // Each letter is its own root: the table has no column of folders.
    const Outcome drives = runProgram(L"drives");
    CHECK(drives.status == 0);
    CHECK(drives.output.rfind("Drive  Type ", 0) == 0);
    CHECK(holds(drives.output, "\r\nc:  "));
    CHECK_FALSE(holds(drives.output, "Folder"));

    struct Refusal
    {
        const wchar_t* arguments;
        const char* told;
    };
    for (const Refusal& refusal :
         {Refusal{L"set-backup-drive", "kopierix: set-backup-drive expects one drive letter\r\n"},
          Refusal{L"set-backup-drive c", "kopierix: c: is the system's drive: a Backup there would "
                                         "copy itself; choose another drive\r\n"},
          Refusal{L"set-backup-drive C:\\", "kopierix: c: is the system's drive"}}) {
        CAPTURE(fromWide(refusal.arguments));
        const Outcome outcome = runProgram(refusal.arguments);
        CHECK(outcome.status == 2);
        CHECK(holds(outcome.output, refusal.told));
        CHECK_FALSE(holds(outcome.output, "folder"));
    }
}

TEST_CASE("a path beyond the ANSI code page reaches the program whole")
{
    wchar_t temp[MAX_PATH + 1] = {};
    REQUIRE(GetTempPathW(MAX_PATH + 1, temp) > 0);
    const std::wstring base =
        std::wstring(temp) + L"kx-cli-" + std::to_wstring(GetCurrentProcessId());
    const std::wstring folder =
        base + L"\\\u00dcn\u00efc\u00f8d\u00e9 \u20acuro \U0001F600 \u65e5\u672c";
    REQUIRE(CreateDirectoryW(base.c_str(), nullptr));
    REQUIRE(CreateDirectoryW(folder.c_str(), nullptr));

    // The folder is found, and refused only because a folder is no drive on Windows; read
    // through the ANSI code page its name would name nothing.
    const Outcome found = runProgram(L"set-backup-drive \"" + folder + L"\"");
    CHECK(found.status == 2);
    CHECK(found.output.find(fromWide(folder) + " can never be the Backup drive") !=
          std::string::npos);
    CHECK(found.output.find("\r\n") != std::string::npos);

    const std::wstring missing = base + L"\\\u65e5\u672c missing";
    const Outcome absent = runProgram(L"set-backup-drive \"" + missing + L"\"");
    CHECK(absent.status == 2);
    CHECK(absent.output.find(fromWide(missing) + " is no folder") != std::string::npos);

    RemoveDirectoryW(folder.c_str());
    RemoveDirectoryW(base.c_str());
}

TEST_CASE("the commands that only Linux has say so")
{
    // watch says so before it would ask for a Backup drive, and none is chosen here.
    for (const wchar_t* command : {L"schedule", L"schedule daily", L"watch", L"check-update"}) {
        CAPTURE(fromWide(command));
        const Outcome outcome = runProgram(command);
        CHECK(outcome.status == 2);
        CHECK(outcome.output.find("only available on Linux") != std::string::npos);
    }
    const Outcome help = runProgram(L"--help");
    CHECK(help.status == 0);
    CHECK(help.output.find("  make-backups ") != std::string::npos);
    CHECK(help.output.find("watch") == std::string::npos);
    CHECK(help.output.find("schedule") == std::string::npos);
}
