// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/RegistrySettingsStore.h"
#include "platform/windows/UserFolders.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsPlatform.h"

#include <windows.h>

#include <algorithm>

namespace kx {

namespace {

std::wstring dataFilePath(const std::string& name)
{
    const std::wstring folder = win::programDataFolder();
    return folder.empty() ? folder : win::longPath(win::fromWide(folder) + "\\" + name);
}

// A file of the data folder that the program may write or pass on as one of its logs: a file
// on a disk with no other name, and no link or junction. A link or a device put in a log's
// place, or a second name of another file, would send the lines somewhere else.
bool ownDataFile(HANDLE file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
           (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
               0 &&
           info.nNumberOfLinks == 1;
}

SystemError notOwnDataFile()
{
    return win::errorOf(ERROR_ACCESS_DENIED);
}

} // namespace

std::string WindowsPlatform::dataFolder()
{
    const std::wstring folder = win::programDataFolder();
    return folder.empty() ? std::string() : win::fromWide(folder) + "\\";
}

Result<void> WindowsPlatform::appendDataFile(const std::string& name, const std::string& bytes)
{
    const std::wstring path = dataFilePath(name);
    if (path.empty())
        return win::errorOf(ERROR_PATH_NOT_FOUND);
    // Opened as the link itself, if one is there: the check below then refuses it.
    const HANDLE file =
        CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return win::lastError();
    if (!ownDataFile(file)) {
        CloseHandle(file);
        return notOwnDataFile();
    }
    SystemError error;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            error = win::lastError();
            break;
        }
        done += written;
    }
    CloseHandle(file);
    if (done < bytes.size())
        return error;
    return {};
}

bool WindowsPlatform::renameDataFile(const std::string& from, const std::string& to)
{
    const std::wstring source = dataFilePath(from);
    const std::wstring target = dataFilePath(to);
    if (source.empty())
        return false;
    // Only a log of the program's own moves on: a link or a device in its place stays where it
    // is, and the next line refuses it there.
    const HANDLE file = CreateFileW(source.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool own = ownDataFile(file);
    CloseHandle(file);
    return own && MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
}

bool WindowsPlatform::removeDataFile(const std::string& name)
{
    // Removes the name alone, whatever it is: never what a link points at.
    const std::wstring path = dataFilePath(name);
    return !path.empty() && DeleteFileW(path.c_str());
}

std::unique_ptr<SettingsStore> WindowsPlatform::openSettings()
{
    return std::make_unique<RegistrySettingsStore>();
}

} // namespace kx
