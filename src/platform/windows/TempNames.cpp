// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/TempNames.h"

#include "platform/OperationRun.h"
#include "platform/windows/WideText.h"

#include <cstdint>
#include <cwchar>
#include <random>
#include <string_view>

#include <windows.h>

#include <sddl.h>

namespace kx::win {

namespace {

constexpr std::wstring_view kTempPrefix = L".kopierix-tmp-";

const std::wstring& computerName()
{
    static const std::wstring name = [] {
        wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
        if (!GetComputerNameW(buffer, &length))
            return std::wstring();
        return std::wstring(buffer, length);
    }();
    return name;
}

// The user as a number: FNV-1a of the text of the account's security identifier.
unsigned long userNumber()
{
    static const unsigned long number = [] {
        std::wstring sid;
        HANDLE token = nullptr;
        if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
            DWORD size = 0;
            GetTokenInformation(token, TokenUser, nullptr, 0, &size);
            std::string buffer(size, '\0');
            wchar_t* text = nullptr;
            if (size != 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size) &&
                ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid,
                                       &text)) {
                sid = text;
                LocalFree(text);
            }
            CloseHandle(token);
        }
        std::uint32_t hash = 2166136261u;
        for (const wchar_t c : sid) {
            hash ^= std::uint32_t(c);
            hash *= 16777619u;
        }
        return static_cast<unsigned long>(hash);
    }();
    return number;
}

// What a temporary file's name tells of the run that wrote it.
struct TempOrigin
{
    unsigned long pid = 0;
    bool hasRun = false; // the name carries the user and the run
    unsigned long user = 0;
    std::uint64_t run = 0;
};

bool parseTempName(const std::wstring& name, TempOrigin& origin)
{
    if (!isTempName(name))
        return false;
    const std::size_t at = name.rfind(L'@');
    // The computer's name exactly as this system gives it: the other system of a computer that
    // starts two (or runs this one under wine) writes its own in other case, and its runs are
    // its own business.
    if (at == std::wstring::npos || computerName().empty() ||
        name.compare(at + 1, std::wstring::npos, computerName()) != 0)
        return false;
    const wchar_t* fields = name.c_str() + kTempPrefix.size();
    wchar_t* end = nullptr;
    origin.pid = std::wcstoul(fields, &end, 10);
    if (end == fields || *end != L'-' || origin.pid == 0)
        return false;
    // The user and the run are the last two fields before the computer.
    const std::size_t restStart = std::size_t(end - name.c_str());
    const std::wstring rest = name.substr(restStart, at - restStart);
    const std::size_t runField = rest.rfind(L"-r");
    const std::size_t userField = runField == std::wstring::npos || runField == 0
                                      ? std::wstring::npos
                                      : rest.rfind(L"-u", runField - 1);
    if (userField == std::wstring::npos)
        return true;
    const std::wstring user = rest.substr(userField + 2, runField - userField - 2);
    const std::wstring run = rest.substr(runField + 2);
    wchar_t* userEnd = nullptr;
    wchar_t* runEnd = nullptr;
    const unsigned long number = std::wcstoul(user.c_str(), &userEnd, 10);
    const unsigned long long token = std::wcstoull(run.c_str(), &runEnd, 16);
    if (user.empty() || run.empty() || *userEnd != L'\0' || *runEnd != L'\0')
        return true;
    origin.hasRun = true;
    origin.user = number;
    origin.run = std::uint64_t(token);
    return true;
}

} // namespace

bool isTempName(const std::wstring& name)
{
    return name.compare(0, kTempPrefix.size(), kTempPrefix) == 0;
}

std::wstring tempName()
{
    thread_local unsigned counter = 0;
    thread_local std::mt19937 random{std::random_device{}()};
    wchar_t run[24];
    std::swprintf(run, 24, L"%llx", static_cast<unsigned long long>(operationRun::current()));
    return std::wstring(kTempPrefix) + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L"-" + std::to_wstring(random()) + L"-u" +
           std::to_wstring(userNumber()) + L"-r" + run + L"@" + computerName();
}

bool isStaleTemp(const std::wstring& name)
{
    TempOrigin origin;
    if (!parseTempName(name, origin))
        return false;
    if (origin.hasRun) {
        if (origin.user != userNumber())
            return false;
        const std::uint64_t current = operationRun::current();
        if (current != 0 && origin.run != 0)
            return origin.run != current;
    }
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(origin.pid));
    if (process == nullptr) {
        // A process this user may not look at is another user's: not the run that wrote the file.
        const DWORD error = GetLastError();
        return error == ERROR_INVALID_PARAMETER || (origin.hasRun && error == ERROR_ACCESS_DENIED);
    }
    DWORD code = 0;
    const bool ended = GetExitCodeProcess(process, &code) && code != STILL_ACTIVE;
    CloseHandle(process);
    return ended;
}

} // namespace kx::win
