// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WindowsDirListing.h"

#include "platform/windows/TempNames.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsPaths.h"

#include <cwchar>

namespace kx::win {

WindowsDirListing::WindowsDirListing(HANDLE find, const WIN32_FIND_DATAW& first,
                                     std::wstring folder, std::function<void()> whenRead)
    : m_find(find), m_data(first), m_pending(find != nullptr), m_folder(std::move(folder)),
      m_whenRead(std::move(whenRead))
{
    if (m_folder.empty() || m_folder.back() != L'\\')
        m_folder.push_back(L'\\');
}

WindowsDirListing::~WindowsDirListing()
{
    if (m_find != nullptr)
        FindClose(m_find);
}

bool WindowsDirListing::next(FileInfo& entry)
{
    return nextWithStatus(entry);
}

bool WindowsDirListing::nextName(ListedName& entry)
{
    while (m_pending) {
        const WIN32_FIND_DATAW data = m_data;
        m_pending = FindNextFileW(m_find, &m_data) != 0;
        const wchar_t* name = data.cFileName;
        if (std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0)
            continue;
        if (isTempName(name)) {
            // What a killed run left behind would take room on the medium for ever.
            if (isStaleTemp(name) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                const std::wstring path = m_folder + name;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
            continue;
        }
        entry.info = FileInfo{};
        entry.info.name = listedName(name);
        fillInfo(entry.info, data.dwFileAttributes, combine(data.nFileSizeHigh, data.nFileSizeLow),
                 combine(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime));
        entry.info.isHidden =
            (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0 || name[0] == L'.';
        const bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                          isLinkTag(data.dwReserved0);
        // A link's own entry tells nothing of what it points at: its status is asked for.
        entry.info.isLink = link;
        entry.kind = link               ? ListedName::Link
                     : entry.info.isDir ? ListedName::Folder
                                        : ListedName::File;
        entry.known = !link;
        return true;
    }
    // Read to its end: what dead runs left here is gone now.
    if (m_whenRead) {
        m_whenRead();
        m_whenRead = nullptr;
    }
    return false;
}

bool WindowsDirListing::status(ListedName& entry) const
{
    if (entry.known)
        return true;
    // A link reports what it points at; the walks see isLink and never enter it. A link that
    // points nowhere is listed as itself.
    const std::wstring path = m_folder + toWide(entry.info.name);
    const HANDLE target = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (target != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileInformationByHandle(target, &info)) {
            fillInfo(
                entry.info, info.dwFileAttributes, combine(info.nFileSizeHigh, info.nFileSizeLow),
                combine(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime));
        }
        CloseHandle(target);
    }
    entry.known = true;
    return true;
}

} // namespace kx::win
