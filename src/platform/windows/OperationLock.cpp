// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OperationLock.h"

#include "platform/windows/UserFolders.h"
#include "platform/windows/WideText.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

namespace kx {

namespace {

std::wstring lockPath(OperationLock::Kind kind)
{
    const std::wstring folder = win::programDataFolder();
    if (folder.empty())
        return folder;
    return folder + (kind == OperationLock::Kind::Operation ? L"\\Kopierix.lock"
                                                            : L"\\Kopierix.window.lock");
}

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// The first byte of the file is the lock; a byte beyond the file's end locks as well as any.
bool lockByte(HANDLE file, DWORD flags)
{
    OVERLAPPED at{};
    return LockFileEx(file, flags, 0, 1, 0, &at);
}

} // namespace

bool OperationLock::open()
{
    if (m_fd >= 0)
        return true;
    const std::wstring path = lockPath(m_kind);
    if (path.empty()) {
        m_failure = "Kopierix.lock: " + win::errorOf(ERROR_PATH_NOT_FOUND).message;
        return false;
    }
    const std::string shownPath = win::fromWide(path);
    // Only a file on a disk is locked, never through a link: a lock on anything else would be a
    // lock no other run sees.
    const HANDLE file = CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_failure = shownPath + ": " + win::lastError().message;
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        CloseHandle(file);
        m_failure = shownPath + ": not a regular file";
        return false;
    }
    // The handle lives on as a file descriptor of the C library, which closes it.
    m_fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY);
    if (m_fd < 0) {
        CloseHandle(file);
        m_failure = shownPath + ": no file descriptor is free";
        return false;
    }
    return true;
}

bool OperationLock::lockFile(bool exclusive)
{
    if (lockByte(handleOf(m_fd),
                 exclusive ? LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY : 0))
        return true;
    if (const DWORD error = GetLastError(); error != ERROR_LOCK_VIOLATION)
        m_failure = win::fromWide(lockPath(m_kind)) + ": " + win::errorOf(error).message;
    return false;
}

void OperationLock::closeFile()
{
    // Closing the handle lets its locks go.
    if (m_fd >= 0)
        _close(m_fd);
    m_fd = -1;
}

} // namespace kx
