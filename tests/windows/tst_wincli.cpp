// SPDX-License-Identifier: GPL-3.0-or-later
// kopierix.exe as a user starts it: its arguments as the console gives them, its lines as the
// console shows them. Run in the locale C.UTF-8, which wine takes for English (see
// CMakeLists.txt): names on the build machine are then UTF-8.
#include "platform/windows/WideText.h"

#include <windows.h>

#include <doctest/doctest.h>

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

} // namespace

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
