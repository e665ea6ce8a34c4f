// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/UserFolders.h"

#include <windows.h>

#include <shlobj.h>

namespace kx::win {

namespace {

std::wstring knownFolder(REFKNOWNFOLDERID id)
{
    wchar_t* path = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path)) && path != nullptr)
        folder = path;
    CoTaskMemFree(path);
    return folder;
}

std::wstring fullPath(const std::wstring& path)
{
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFullPathNameW(path.c_str(), DWORD(buffer.size()), buffer.data(), nullptr);
        if (length == 0)
            return std::wstring();
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length);
    }
}

// The \\?\ prefix for a full path on a drive letter, so that no length limit applies.
std::wstring prefixed(const std::wstring& path)
{
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return L"\\\\?\\" + path;
    return path;
}

std::wstring withoutPrefix(const std::wstring& path)
{
    if (path.rfind(L"\\\\?\\", 0) == 0 && path.size() >= 6 && path[5] == L':')
        return path.substr(4);
    return std::wstring();
}

} // namespace

std::wstring programDataFolder()
{
    const std::wstring appData = knownFolder(FOLDERID_RoamingAppData);
    if (appData.empty())
        return std::wstring();
    const std::wstring folder = appData + L"\\Kopierix";
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return std::wstring();
    return folder;
}

std::wstring profileFolder()
{
    return knownFolder(FOLDERID_Profile);
}

std::wstring finalPath(const std::wstring& path)
{
    const std::wstring full = fullPath(path);
    if (full.empty())
        return full;
    // Opened for no access at all: the question is where the file is, not what it holds.
    const HANDLE handle = CreateFileW(prefixed(full).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                       error == ERROR_INVALID_NAME || error == ERROR_NOT_READY
                   ? std::wstring()
                   : full;
    }
    std::wstring buffer(MAX_PATH, L'\0');
    DWORD length = 0;
    for (;;) {
        length = GetFinalPathNameByHandleW(handle, buffer.data(), DWORD(buffer.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length < buffer.size())
            break;
        buffer.resize(length + 1);
    }
    CloseHandle(handle);
    buffer.resize(length);
    const std::wstring final = withoutPrefix(buffer);
    return final.empty() ? full : final;
}

} // namespace kx::win
