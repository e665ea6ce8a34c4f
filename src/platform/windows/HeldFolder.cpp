// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/HeldFolder.h"

namespace kx::win {

namespace {

// Opens the entry itself, a link too, and keeps it from being renamed or removed: the open
// reads the folder (so that it takes part in sharing) and shares everything but deletion. A
// folder that may be passed through but not listed is only opened: it is looked at all the
// same.
HANDLE holdEntry(const std::wstring& path)
{
    constexpr DWORD kFlags = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
    const HANDLE held =
        CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, kFlags, nullptr);
    if (held != INVALID_HANDLE_VALUE || GetLastError() != ERROR_ACCESS_DENIED)
        return held;
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, kFlags, nullptr);
}

} // namespace

HeldFolder::~HeldFolder()
{
    release();
}

void HeldFolder::release()
{
    for (const HANDLE handle : m_handles)
        CloseHandle(handle);
    m_handles.clear();
}

DWORD HeldFolder::open(const MappedPath& path, std::size_t count, bool create)
{
    release();
    m_made = false;
    for (std::size_t i = 1; i <= count && i <= path.names.size(); ++i) {
        const std::wstring folder = path.upTo(i);
        HANDLE handle = holdEntry(folder);
        if (handle == INVALID_HANDLE_VALUE && create &&
            (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND)) {
            if (CreateDirectoryW(folder.c_str(), nullptr))
                m_made = true;
            else if (GetLastError() != ERROR_ALREADY_EXISTS)
                return GetLastError();
            handle = holdEntry(folder);
        }
        if (handle == INVALID_HANDLE_VALUE)
            return GetLastError();
        m_handles.push_back(handle);
        // Held, the entry stays what the path names, so its status by the path is its own.
        const EntryAt entry = entryAt(folder);
        if (!entry.exists())
            return GetLastError() != 0 ? GetLastError() : DWORD(ERROR_ACCESS_DENIED);
        if (entry.isLink)
            return kLinkInTheWay;
        if (!entry.isDir())
            return ERROR_PATH_NOT_FOUND;
    }
    return 0;
}

} // namespace kx::win
