// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WindowsPaths.h"

#include "platform/windows/WideText.h"

#include <algorithm>
#include <cstdio>

namespace kx::win {

namespace {

// FILETIME's value of 1970-01-01 00:00 UTC.
constexpr std::int64_t kUnixEpoch = 116444736000000000LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;

bool isDriveLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAbsoluteDrivePath(const std::string& path)
{
    return path.size() >= 2 && path[1] == ':' && isDriveLetter(path[0]);
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

} // namespace

std::wstring MappedPath::root() const
{
    return std::wstring(L"\\\\?\\") + wchar_t(letter) + L":\\";
}

std::wstring MappedPath::upTo(std::size_t count) const
{
    std::wstring path = root();
    for (std::size_t i = 0; i < count && i < names.size(); ++i) {
        if (i > 0)
            path += L'\\';
        path += names[i];
    }
    return path;
}

std::wstring MappedPath::plain() const
{
    return full().substr(4);
}

bool splitDrivePath(const std::string& path, const std::string& current, MappedPath& mapped)
{
    std::string full;
    if (isAbsoluteDrivePath(path))
        full = path;
    else if (path.empty() || current.size() < 2)
        return false;
    else if (path[0] == '\\' || path[0] == '/')
        full = current.substr(0, 2) + path;
    else
        full = current + "\\" + path;
    mapped.letter = lowerAscii(full[0]);
    mapped.names.clear();
    std::size_t pos = 2;
    while (pos <= full.size()) {
        const std::size_t end = std::min(full.find_first_of("\\/", pos), full.size());
        const std::string name = full.substr(pos, end - pos);
        if (name == "..") {
            if (!mapped.names.empty())
                mapped.names.pop_back();
        } else if (!name.empty() && name != ".") {
            mapped.names.push_back(toWide(name));
        }
        pos = end + 1;
    }
    return true;
}

std::string nameProblem(const std::wstring& name)
{
    for (const wchar_t c : name) {
        if (c < 0x20) {
            char code[16];
            std::snprintf(code, sizeof code, "U+%04X", unsigned(c));
            return std::string("A name on Windows cannot hold the control character ") + code;
        }
        if (std::wstring_view(L":?*<>|\"").find(c) != std::wstring_view::npos)
            return std::string("A name on Windows cannot hold \"") + char(c) + "\"";
    }
    if (!name.empty() && name.back() == L'.')
        return "A name on Windows cannot end with a dot";
    if (!name.empty() && name.back() == L' ')
        return "A name on Windows cannot end with a space";
    return {};
}

std::string listedName(const wchar_t* name)
{
    std::string bytes = fromWide(name, std::wcslen(name));
    std::string shown;
    shown.reserve(bytes.size());
    for (const char c : bytes) {
        if (c == '\\')
            shown.append("\xEF\x81\x9C");
        else
            shown.push_back(c);
    }
    return shown;
}

bool driveExists(char letter)
{
    if (letter >= 'A' && letter <= 'Z')
        letter = char(letter - 'A' + 'a');
    return letter >= 'a' && letter <= 'z' &&
           (GetLogicalDrives() & (DWORD(1) << (letter - 'a'))) != 0;
}

void fromFileTime(std::uint64_t fileTime, std::int64_t& seconds, std::int32_t& ticks)
{
    // Beyond 63 bits a FILETIME is no time the system writes.
    const std::int64_t sinceEpoch =
        std::int64_t(std::min<std::uint64_t>(fileTime, std::uint64_t(INT64_MAX))) - kUnixEpoch;
    seconds = sinceEpoch / kTicksPerSecond;
    std::int64_t rest = sinceEpoch % kTicksPerSecond;
    if (rest < 0) {
        rest += kTicksPerSecond;
        --seconds;
    }
    ticks = std::int32_t(rest);
}

std::uint64_t toFileTime(std::int64_t seconds, std::int32_t ticks)
{
    constexpr std::int64_t kFirst = -kUnixEpoch / kTicksPerSecond;
    constexpr std::int64_t kLast = (INT64_MAX - kUnixEpoch) / kTicksPerSecond - 1;
    if (seconds < kFirst)
        return 1;
    seconds = std::min(seconds, kLast);
    const std::int64_t value = seconds * kTicksPerSecond + ticks + kUnixEpoch;
    // A time of 0 would read as "leave the time as it is".
    return std::uint64_t(std::max<std::int64_t>(value, 1));
}

void fillInfo(FileInfo& info, DWORD attributes, std::uint64_t size, std::uint64_t lastWrite)
{
    info.isDir = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // On a folder the attribute only asks the shell for a folder's own look.
    info.isReadOnly = !info.isDir && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    info.size = info.isDir ? 0 : std::int64_t(size);
    fromFileTime(lastWrite, info.mtime, info.mtimeTicks);
}

bool isLinkTag(DWORD tag)
{
    return tag == 0 || IsReparseTagNameSurrogate(tag);
}

EntryAt entryAt(const std::wstring& path)
{
    EntryAt entry;
    entry.attributes = GetFileAttributesW(path.c_str());
    if (entry.attributes == INVALID_FILE_ATTRIBUTES ||
        (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return entry;
    // The tag is in the folder's entry. A name with a wildcard never gets here: such names are
    // refused before any call.
    WIN32_FIND_DATAW data;
    const HANDLE find =
        FindFirstFileExW(path.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        entry.isLink = true;
        return entry;
    }
    FindClose(find);
    entry.isLink = isLinkTag(data.dwReserved0);
    entry.isJunction = data.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT;
    entry.isWineLink = data.dwReserved0 == 0;
    return entry;
}

std::string linkInTheWay(const EntryAt& entry)
{
    return entry.isJunction ? "A junction is in the way" : "A symbolic link is in the way";
}

} // namespace kx::win
