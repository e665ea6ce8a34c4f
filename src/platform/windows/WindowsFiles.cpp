// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OperationRun.h"
#include "platform/windows/HeldFolder.h"
#include "platform/windows/TempNames.h"
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsDirListing.h"
#include "platform/windows/WindowsPaths.h"
#include "platform/windows/WindowsPlatform.h"

#include <algorithm>
#include <cstring>

#include <windows.h>

#include <shellapi.h>

namespace kx {

using win::combine;
using win::driveExists;
using win::EntryAt;
using win::HeldFolder;
using win::MappedPath;

namespace {

// The folders kept as swept of dead runs' temporary files; beyond this the memory is cleared
// and starts again.
constexpr std::size_t kMaxRememberedFolders = 4096;

// The pieces a copy and a comparison read at a time: large enough that the stop flag asked
// between them costs nothing, small enough that a stop is felt at once.
constexpr DWORD kPiece = DWORD(4) << 20;

// The attributes a copy takes from its source, as the system's own copy does; read-only comes
// last, when the copy is put in its place.
constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::uint64_t fileTimeValue(const FILETIME& time)
{
    return combine(time.dwHighDateTime, time.dwLowDateTime);
}

FILETIME fileTimeOf(std::uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = DWORD(value & 0xFFFFFFFFu);
    time.dwHighDateTime = DWORD(value >> 32);
    return time;
}

SystemError systemError(int code, const std::string& message)
{
    return SystemError{code, message};
}

SystemError changedWhileCopied(const char* what)
{
    return systemError(errors::kChangedWhileCopied,
                       std::string("The file changed while it was being ") + what);
}

SystemError stoppedByUser()
{
    return systemError(errors::kStopped, "Stopped by the user");
}

// Takes a drive path apart and refuses a name that Windows cannot hold before any call sees it.
bool mapPath(const std::string& drivePath, const std::string& current, MappedPath& mapped,
             SystemError& error)
{
    if (!win::splitDrivePath(drivePath, current, mapped)) {
        error = win::errorOf(ERROR_INVALID_NAME);
        return false;
    }
    for (const std::wstring& name : mapped.names) {
        const std::string problem = win::nameProblem(name);
        if (!problem.empty()) {
            error = systemError(ERROR_INVALID_NAME, problem);
            return false;
        }
    }
    return true;
}

// A missing drive answers 15, a drive whose medium or folder is away 21; every other code,
// "file not found" and "path not found" for a missing path below a present root too, is the
// system's own.
SystemError errorFor(DWORD code, const MappedPath& mapped)
{
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND &&
        code != ERROR_INVALID_DRIVE && code != ERROR_NOT_READY)
        return win::errorOf(code);
    if (!driveExists(mapped.letter))
        return win::errorOf(ERROR_INVALID_DRIVE);
    if (!win::entryAt(mapped.root()).isDir())
        return win::errorOf(ERROR_NOT_READY);
    return win::errorOf(code);
}

// The error of a write: a link or junction in the way says so.
SystemError writeError(DWORD code, const MappedPath& mapped)
{
    if (code == HeldFolder::kLinkInTheWay)
        return systemError(ERROR_ACCESS_DENIED, "A symbolic link or junction is in the way");
    return errorFor(code, mapped);
}

// Maps a path that a call changes and holds the folders on its way below the drive's root (see
// HeldFolder). A root, which such a call never changes, is refused where `needsName` says so.
bool holdParent(const std::string& path, const std::string& current, bool needsName,
                MappedPath& mapped, HeldFolder& folder, SystemError& error)
{
    if (!mapPath(path, current, mapped, error))
        return false;
    if (needsName && mapped.names.empty()) {
        error = win::errorOf(ERROR_ACCESS_DENIED);
        return false;
    }
    if (const DWORD code = folder.openParent(mapped)) {
        error = writeError(code, mapped);
        return false;
    }
    return true;
}

// What stands at the place a file is to go when it is no file: a link, a junction, a folder.
bool inTheWay(const EntryAt& entry, SystemError& error)
{
    if (!entry.exists())
        return false;
    if (entry.isLink) {
        error = systemError(ERROR_ACCESS_DENIED, win::linkInTheWay(entry));
        return true;
    }
    if (entry.isDir()) {
        error = win::errorOf(ERROR_ACCESS_DENIED);
        return true;
    }
    return false;
}

// Wine removes the folder that a link of the system below it names, never the link: such a
// link stays where it is.
SystemError wineLinkStays()
{
    return systemError(ERROR_NOT_SUPPORTED,
                       "A link of the system below wine cannot be removed from Windows");
}

// Attributes to set: none at all is "normal", as 0 would leave them as they are.
DWORD settable(DWORD attributes)
{
    return attributes != 0 ? attributes : DWORD(FILE_ATTRIBUTE_NORMAL);
}

// The attributes without read-only.
DWORD writable(DWORD attributes)
{
    return settable(attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
}

std::wstring childOf(const std::wstring& folder, const std::wstring& name)
{
    return folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

// Removes a file of the program's own, read-only or not.
void removeOwnFile(const std::wstring& path)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

// Creates a new temporary file in `folder`, open for writing (with `flags`); its name goes to
// `temp`.
HANDLE createTempIn(const std::wstring& folder, std::wstring& temp, DWORD flags = 0)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = childOf(folder, win::tempName());
        const HANDLE out = CreateFileW(temp.c_str(), GENERIC_WRITE | FILE_WRITE_ATTRIBUTES, 0,
                                       nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL | flags, nullptr);
        if (out != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return out;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return INVALID_HANDLE_VALUE;
}

bool writeAll(HANDLE out, const char* data, std::size_t size)
{
    while (size > 0) {
        DWORD written = 0;
        const DWORD want = DWORD(std::min<std::size_t>(size, kPiece));
        if (!WriteFile(out, data, want, &written, nullptr))
            return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

// What copyData returns when the stop flag ended the copy between two pieces.
constexpr DWORD kCopyStopped = 0xFFFFFFFF;

// Copies `in`, of `size` bytes when it was opened, to `out` (open for overlapped writes) from
// the current offset of `in` to its end, reading the next piece while the last one is written;
// `copied` counts the bytes written. Returns 0, kCopyStopped, or the error code of the failure.
template <typename Stopped>
DWORD copyData(HANDLE in, HANDLE out, std::uint64_t size, std::uint64_t& copied, Stopped stopped)
{
    copied = 0;
    const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (event == nullptr)
        return GetLastError();
    // A small file needs no large buffer; one that grows is read on in pieces of this size. The
    // second buffer is needed only from the second piece on.
    const std::size_t pieceSize = std::size_t(std::clamp<std::uint64_t>(size + 1, 4096, kPiece));
    std::string buffers[2];
    OVERLAPPED write{};
    DWORD writing = 0; // the bytes of the write in flight
    const auto finishWrite = [&]() -> DWORD {
        if (writing == 0)
            return 0;
        DWORD written = 0;
        const bool done = GetOverlappedResult(out, &write, &written, TRUE) != 0;
        const DWORD wanted = writing;
        writing = 0;
        if (!done)
            return GetLastError();
        if (written != wanted)
            return ERROR_WRITE_FAULT;
        copied += written;
        return 0;
    };
    DWORD result = 0;
    for (int current = 0;; current ^= 1) {
        if (stopped()) {
            result = kCopyStopped;
            break;
        }
        std::string& buffer = buffers[current];
        buffer.resize(pieceSize);
        DWORD read = 0;
        if (!ReadFile(in, buffer.data(), DWORD(buffer.size()), &read, nullptr)) {
            result = GetLastError();
            break;
        }
        if ((result = finishWrite()) != 0 || read == 0)
            break;
        write = OVERLAPPED{};
        write.Offset = DWORD(copied & 0xFFFFFFFFu);
        write.OffsetHigh = DWORD(copied >> 32);
        write.hEvent = event;
        if (!WriteFile(out, buffer.data(), read, nullptr, &write) &&
            GetLastError() != ERROR_IO_PENDING) {
            result = GetLastError();
            break;
        }
        writing = read;
    }
    // A write still in flight is waited for: its buffer goes with this call.
    if (const DWORD code = finishWrite(); result == 0)
        result = code;
    CloseHandle(event);
    return result;
}

// One side of a comparison: its file, the piece it reads and the read in flight.
struct ComparedFile
{
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE event = nullptr;
    OVERLAPPED overlapped{};
    std::string piece;
    bool atEnd = false;

    ~ComparedFile()
    {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (event != nullptr)
            CloseHandle(event);
    }
    // Starts reading `size` bytes at `offset`; false with the error code in `error`.
    bool start(std::uint64_t offset, DWORD size, DWORD& error)
    {
        overlapped = OVERLAPPED{};
        overlapped.Offset = DWORD(offset & 0xFFFFFFFFu);
        overlapped.OffsetHigh = DWORD(offset >> 32);
        overlapped.hEvent = event;
        atEnd = false;
        if (ReadFile(file, piece.data(), size, nullptr, &overlapped) ||
            GetLastError() == ERROR_IO_PENDING)
            return true;
        error = GetLastError();
        atEnd = error == ERROR_HANDLE_EOF;
        return atEnd;
    }
    // Waits for the read; the bytes read, or -1 with the error code in `error`.
    long long finish(DWORD& error)
    {
        DWORD read = 0;
        if (atEnd)
            return 0;
        if (GetOverlappedResult(file, &overlapped, &read, TRUE))
            return read;
        error = GetLastError();
        return error == ERROR_HANDLE_EOF ? 0 : -1;
    }
};

} // namespace

Result<FileInfo> WindowsPlatform::fileStatus(const std::string& path)
{
    SystemError error;
    MappedPath mapped;
    if (!mapPath(path, currentDirectory(), mapped, error))
        return error;
    const std::wstring full = mapped.full();
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(full.c_str(), GetFileExInfoStandard, &data))
        return errorFor(GetLastError(), mapped);
    FileInfo result;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !mapped.names.empty() &&
        win::entryAt(full).isLink) {
        // A link reports what it points at.
        const HANDLE target = CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (target == INVALID_HANDLE_VALUE)
            return errorFor(GetLastError(), mapped);
        BY_HANDLE_FILE_INFORMATION info;
        const bool read = GetFileInformationByHandle(target, &info) != 0;
        const DWORD code = GetLastError();
        CloseHandle(target);
        if (!read)
            return errorFor(code, mapped);
        win::fillInfo(result, info.dwFileAttributes, combine(info.nFileSizeHigh, info.nFileSizeLow),
                      fileTimeValue(info.ftLastWriteTime));
        result.isLink = true;
    } else {
        win::fillInfo(result, data.dwFileAttributes, combine(data.nFileSizeHigh, data.nFileSizeLow),
                      fileTimeValue(data.ftLastWriteTime));
    }
    result.isHidden =
        !mapped.names.empty() && ((data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0 ||
                                  mapped.names.back().front() == L'.');
    return result;
}

std::string WindowsPlatform::findPath(const std::string& drivePath)
{
    SystemError error;
    MappedPath mapped;
    if (!mapPath(drivePath, currentDirectory(), mapped, error))
        return std::string();
    std::string found = std::string(1, mapped.letter) + ":";
    std::wstring folder = mapped.root();
    if (mapped.names.empty())
        return win::entryAt(folder).isDir() ? found + "\\" : std::string();
    for (const std::wstring& name : mapped.names) {
        WIN32_FIND_DATAW data;
        std::wstring onDisk;
        HANDLE find = FindFirstFileExW(childOf(folder, name).c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, 0);
        if (find != INVALID_HANDLE_VALUE) {
            FindClose(find);
            onDisk = data.cFileName;
        }
        // A name found with other case is taken only when no other name of the folder differs
        // from it in case alone: the lookup never picks one of two.
        if (onDisk != name) {
            onDisk.clear();
            int matches = 0;
            find = FindFirstFileExW(childOf(folder, L"*").c_str(), FindExInfoBasic, &data,
                                    FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
            if (find == INVALID_HANDLE_VALUE)
                return std::string();
            do {
                if (!win::isTempName(data.cFileName) &&
                    CompareStringOrdinal(data.cFileName, -1, name.c_str(), int(name.size()),
                                         TRUE) == CSTR_EQUAL) {
                    ++matches;
                    onDisk = data.cFileName;
                }
            } while (FindNextFileW(find, &data));
            FindClose(find);
            if (matches != 1)
                return std::string();
        }
        folder = childOf(folder, onDisk);
        found += "\\" + win::listedName(onDisk.c_str());
    }
    return found;
}

Result<std::unique_ptr<DirListing>> WindowsPlatform::openDir(const std::string& path)
{
    SystemError error;
    MappedPath mapped;
    if (!mapPath(path, currentDirectory(), mapped, error))
        return error;
    const std::wstring folder = mapped.full();
    WIN32_FIND_DATAW first;
    HANDLE find = FindFirstFileExW(childOf(folder, L"*").c_str(), FindExInfoBasic, &first,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        const EntryAt entry = win::entryAt(folder);
        // A root without entries has not even "." to show.
        if (code == ERROR_FILE_NOT_FOUND && entry.isDir())
            find = nullptr;
        else if (entry.exists() && !entry.isDir())
            return win::errorOf(ERROR_PATH_NOT_FOUND);
        else if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return errorFor(ERROR_PATH_NOT_FOUND, mapped);
        else
            return errorFor(code, mapped);
    }
    return std::unique_ptr<DirListing>(std::make_unique<win::WindowsDirListing>(
        find, first, folder, [this, folder] { markSwept(folder); }));
}

void WindowsPlatform::markSwept(const std::wstring& folder)
{
    std::lock_guard lock(m_sweptMutex);
    const std::uint64_t run = operationRun::current();
    if (m_swept.size() >= kMaxRememberedFolders || run != m_sweptRun)
        m_swept.clear();
    m_sweptRun = run;
    m_swept.insert(folder);
}

void WindowsPlatform::sweep(const std::wstring& folder)
{
    {
        // Each run looks again: what a run of this process left when it was cut short is known
        // for a leftover only by a later one.
        std::lock_guard lock(m_sweptMutex);
        if (m_sweptRun == operationRun::current() && m_swept.count(folder) != 0)
            return;
    }
    // Temporary files of a run that was killed lie in the folders it wrote to; a source folder
    // is never listed by a walk, so each folder is looked through once before a copy goes in.
    WIN32_FIND_DATAW data;
    const HANDLE find =
        FindFirstFileExW(childOf(folder, L".kopierix-tmp-*").c_str(), FindExInfoBasic, &data,
                         FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (win::isStaleTemp(data.cFileName))
                removeOwnFile(childOf(folder, data.cFileName));
        } while (FindNextFileW(find, &data));
        FindClose(find);
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return;
    }
    markSwept(folder);
}

Result<StagedCopy> WindowsPlatform::stageCopy(const std::string& source, const std::string& dest)
{
    SystemError error;
    MappedPath from, to;
    const std::string current = currentDirectory();
    if (!mapPath(source, current, from, error) || !mapPath(dest, current, to, error))
        return error;
    if (to.names.empty())
        return win::errorOf(ERROR_ACCESS_DENIED);
    // Others may go on reading and writing the source: a change is found by its size and time.
    const HANDLE in = CreateFileW(from.full().c_str(), GENERIC_READ, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return errorFor(GetLastError(), from);
    BY_HANDLE_FILE_INFORMATION before;
    if (!GetFileInformationByHandle(in, &before) ||
        (before.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        CloseHandle(in);
        return win::errorOf(ERROR_ACCESS_DENIED);
    }
    HeldFolder folder;
    if (const DWORD code = folder.openParent(to)) {
        CloseHandle(in);
        return writeError(code, to);
    }
    // A folder, a link or a junction in the copy's place stops it: a restore never turns one
    // into a file, and nothing is written through a link.
    if (inTheWay(win::entryAt(to.full()), error)) {
        CloseHandle(in);
        return error;
    }
    const std::wstring parent = to.parent();
    sweep(parent);
    std::wstring temp;
    const HANDLE out = createTempIn(parent, temp, FILE_FLAG_OVERLAPPED | FILE_FLAG_SEQUENTIAL_SCAN);
    if (out == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        CloseHandle(in);
        return errorFor(code, to);
    }
    const std::uint64_t size = combine(before.nFileSizeHigh, before.nFileSizeLow);
    std::uint64_t copied = 0;
    DWORD code = copyData(in, out, size, copied, [this] { return stopFlagged(); });
    // A source written to while it was read gives a copy that is neither the old file nor the
    // new one; with the old time it would pass for up to date for ever. A copy shorter or longer
    // than its source is never taken for complete.
    BY_HANDLE_FILE_INFORMATION after;
    const bool changed = code == 0 && (!GetFileInformationByHandle(in, &after) ||
                                       combine(after.nFileSizeHigh, after.nFileSizeLow) != size ||
                                       fileTimeValue(after.ftLastWriteTime) !=
                                           fileTimeValue(before.ftLastWriteTime) ||
                                       copied != size);
    CloseHandle(in);
    BY_HANDLE_FILE_INFORMATION written{};
    if (code == 0 && !changed) {
        // The copy gets its source's time and attributes with its last change: nothing is
        // written to it after this.
        FILE_BASIC_INFO basic{};
        basic.LastWriteTime.QuadPart = LONGLONG(fileTimeValue(before.ftLastWriteTime));
        basic.FileAttributes = settable(before.dwFileAttributes & kCopiedAttributes);
        if (!SetFileInformationByHandle(out, FileBasicInfo, &basic, sizeof basic) ||
            !GetFileInformationByHandle(out, &written))
            code = GetLastError();
        else if (combine(written.nFileSizeHigh, written.nFileSizeLow) != size)
            code = ERROR_WRITE_FAULT;
    }
    if (!CloseHandle(out) && code == 0)
        code = GetLastError();
    if (code != 0 || changed) {
        removeOwnFile(temp);
        if (changed)
            return changedWhileCopied("copied");
        if (code == kCopyStopped)
            return stoppedByUser();
        return errorFor(code, to);
    }
    StagedCopy staged;
    staged.dest = dest;
    staged.temp = win::fromWide(temp);
    staged.device = written.dwVolumeSerialNumber;
    staged.size = std::int64_t(size);
    win::fromFileTime(fileTimeValue(before.ftLastWriteTime), staged.mtime, staged.mtimeTicks);
    if ((before.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        std::lock_guard lock(m_stagedMutex);
        m_readOnlyStaged.insert(staged.temp);
    }
    return staged;
}

Result<void> WindowsPlatform::flushStaged(const std::vector<StagedCopy>& staged)
{
    // Each file by itself: Windows flushes a whole volume only for its administrators.
    for (const StagedCopy& copy : staged) {
        SystemError error;
        MappedPath to;
        HeldFolder folder;
        if (!holdParent(copy.dest, currentDirectory(), false, to, folder, error))
            return error;
        const HANDLE file = CreateFileW(win::toWide(copy.temp).c_str(), GENERIC_WRITE, kShareAll,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return errorFor(GetLastError(), to);
        const bool flushed = FlushFileBuffers(file) != 0;
        const DWORD code = GetLastError();
        CloseHandle(file);
        if (!flushed)
            return errorFor(code, to);
    }
    return {};
}

Result<void> WindowsPlatform::commitStaged(const StagedCopy& staged)
{
    SystemError error;
    MappedPath to;
    if (!mapPath(staged.dest, currentDirectory(), to, error)) {
        discardStaged(staged);
        return error;
    }
    // A folder swapped for a link since the copy was staged holds the temporary file out of
    // reach: it stays on the medium, where the next run's sweep of that folder finds it.
    HeldFolder folder;
    if (const DWORD code = folder.openParent(to))
        return writeError(code, to);
    const std::wstring temp = win::toWide(staged.temp);
    const std::wstring dest = to.full();
    const EntryAt old = win::entryAt(dest);
    if (inTheWay(old, error)) {
        discardStaged(staged);
        return error;
    }
    bool readOnly = false;
    {
        std::lock_guard lock(m_stagedMutex);
        readOnly = m_readOnlyStaged.count(staged.temp) != 0;
    }
    // The copy goes in with its read-only attribute at once. A read-only old copy gives it up
    // for the moment of the rename, and gets it back if the rename fails.
    const DWORD attributes = GetFileAttributesW(temp.c_str());
    if (readOnly && attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(temp.c_str(), attributes | FILE_ATTRIBUTE_READONLY);
    const bool oldReadOnly = old.exists() && (old.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (oldReadOnly)
        SetFileAttributesW(dest.c_str(), writable(old.attributes));
    if (!MoveFileExW(temp.c_str(), dest.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        if (oldReadOnly)
            SetFileAttributesW(dest.c_str(), old.attributes);
        discardStaged(staged);
        return errorFor(code, to);
    }
    std::lock_guard lock(m_stagedMutex);
    m_readOnlyStaged.erase(staged.temp);
    return {};
}

void WindowsPlatform::discardStaged(const StagedCopy& staged)
{
    {
        std::lock_guard lock(m_stagedMutex);
        m_readOnlyStaged.erase(staged.temp);
    }
    SystemError ignored;
    MappedPath to;
    HeldFolder folder;
    if (mapPath(staged.dest, currentDirectory(), to, ignored) && folder.openParent(to) == 0)
        removeOwnFile(win::toWide(staged.temp));
}

Result<void> WindowsPlatform::copyFile(const std::string& source, const std::string& dest)
{
    Result<StagedCopy> stagedCopy = stageCopy(source, dest);
    if (!stagedCopy)
        return stagedCopy.error();
    const StagedCopy& staged = stagedCopy.value();
    if (Result<void> flushed = flushStaged({staged}); !flushed) {
        discardStaged(staged);
        return flushed.error();
    }
    return commitStaged(staged);
}

FileComparison WindowsPlatform::compareFiles(const std::string& first, const std::string& second)
{
    FileComparison result;
    MappedPath mapped[2];
    ComparedFile files[2];
    BY_HANDLE_FILE_INFORMATION before[2];
    const std::string* paths[2] = {&first, &second};
    const std::string current = currentDirectory();
    for (int i = 0; i < 2; ++i) {
        result.failedFile = i;
        if (!mapPath(*paths[i], current, mapped[i], result.error))
            return result;
        // A folder cannot be opened without backup semantics: it cannot be read as a file.
        files[i].file =
            CreateFileW(mapped[i].full().c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                        FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OVERLAPPED, nullptr);
        if (files[i].file == INVALID_HANDLE_VALUE) {
            result.error = errorFor(GetLastError(), mapped[i]);
            return result;
        }
    }
    for (int i = 0; i < 2; ++i) {
        result.failedFile = i;
        files[i].event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (files[i].event == nullptr || !GetFileInformationByHandle(files[i].file, &before[i])) {
            result.error = win::lastError();
            return result;
        }
    }
    result.failedFile = 0;
    const std::uint64_t size = combine(before[0].nFileSizeHigh, before[0].nFileSizeLow);
    if (size != combine(before[1].nFileSizeHigh, before[1].nFileSizeLow)) {
        result.outcome = FileComparison::Differs;
        return result;
    }
    // Both files are read at once, piece by piece.
    const std::size_t pieceSize = std::size_t(std::min<std::uint64_t>(size, kPiece));
    for (ComparedFile& file : files)
        file.piece.resize(pieceSize);
    bool differs = false;
    for (std::uint64_t offset = 0; offset < size && !differs;) {
        if (stopFlagged()) {
            result.error = stoppedByUser();
            return result;
        }
        const DWORD want = DWORD(std::min<std::uint64_t>(size - offset, kPiece));
        long long read[2] = {0, 0};
        DWORD codes[2] = {0, 0};
        bool started[2] = {false, false};
        for (int i = 0; i < 2; ++i)
            started[i] = files[i].start(offset, want, codes[i]);
        for (int i = 0; i < 2; ++i)
            read[i] = started[i] ? files[i].finish(codes[i]) : -1;
        for (int i = 0; i < 2; ++i) {
            if (read[i] < 0) {
                result.failedFile = i;
                result.error = errorFor(codes[i], mapped[i]);
                return result;
            }
        }
        // A file that ends early differs.
        differs = read[0] != want || read[1] != want ||
                  std::memcmp(files[0].piece.data(), files[1].piece.data(), want) != 0;
        offset += want;
    }
    if (!differs) {
        result.outcome = FileComparison::Same;
        return result;
    }
    // A source written to while it was read may differ from its copy only for that moment. The
    // second file is the copy, which nothing else writes while the program holds its lock.
    BY_HANDLE_FILE_INFORMATION after;
    if (GetFileInformationByHandle(files[0].file, &after) &&
        (combine(after.nFileSizeHigh, after.nFileSizeLow) != size ||
         fileTimeValue(after.ftLastWriteTime) != fileTimeValue(before[0].ftLastWriteTime))) {
        result.error = changedWhileCopied("compared");
        return result;
    }
    result.outcome = FileComparison::Differs;
    return result;
}

Result<void> WindowsPlatform::makeDirs(const std::string& path)
{
    SystemError error;
    MappedPath mapped;
    if (!mapPath(path, currentDirectory(), mapped, error))
        return error;
    // Never create the root itself: a missing root is a medium that is not there.
    if (!win::entryAt(mapped.root()).isDir())
        return errorFor(ERROR_NOT_READY, mapped);
    HeldFolder folder;
    if (const DWORD code = folder.open(mapped, mapped.names.size(), true))
        return writeError(code, mapped);
    return {};
}

Result<void> WindowsPlatform::removeFile(const std::string& path)
{
    SystemError error;
    MappedPath mapped;
    HeldFolder folder;
    if (!holdParent(path, currentDirectory(), false, mapped, folder, error))
        return error;
    const std::wstring full = mapped.full();
    const EntryAt entry = win::entryAt(full);
    if (!entry.exists())
        return errorFor(GetLastError(), mapped);
    // A link goes itself, never what it points at; a link to a folder is removed as a folder.
    if (entry.isLink && entry.isDir()) {
        if (entry.isWineLink)
            return wineLinkStays();
        if (!RemoveDirectoryW(full.c_str()))
            return errorFor(GetLastError(), mapped);
        return {};
    }
    if (entry.isDir())
        return win::errorOf(ERROR_ACCESS_DENIED);
    if (DeleteFileW(full.c_str()))
        return {};
    const DWORD code = GetLastError();
    // As on a system where only the folder's permission counts: a read-only file goes too.
    if (code == ERROR_ACCESS_DENIED && (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        SetFileAttributesW(full.c_str(), writable(entry.attributes))) {
        if (DeleteFileW(full.c_str()))
            return {};
        const DWORD again = GetLastError();
        SetFileAttributesW(full.c_str(), entry.attributes);
        return errorFor(again, mapped);
    }
    return errorFor(code, mapped);
}

Result<void> WindowsPlatform::removeDir(const std::string& path)
{
    SystemError error;
    MappedPath mapped;
    HeldFolder folder;
    if (!holdParent(path, currentDirectory(), true, mapped, folder, error))
        return error;
    // Only a folder goes: a link to one is a link, and wine would remove the folder it names.
    const EntryAt entry = win::entryAt(mapped.full());
    if (entry.isLink)
        return systemError(ERROR_DIRECTORY, win::linkInTheWay(entry));
    if (!RemoveDirectoryW(mapped.full().c_str()))
        return errorFor(GetLastError(), mapped);
    std::lock_guard lock(m_sweptMutex);
    m_swept.erase(mapped.full());
    return {};
}

Result<void> WindowsPlatform::renamePath(const std::string& from, const std::string& to)
{
    SystemError error;
    MappedPath source, target;
    const std::string current = currentDirectory();
    if (!mapPath(from, current, source, error) || !mapPath(to, current, target, error))
        return error;
    if (source.names.empty() || target.names.empty())
        return win::errorOf(ERROR_ACCESS_DENIED);
    HeldFolder sourceFolder, targetFolder;
    if (const DWORD code = sourceFolder.openParent(source))
        return writeError(code, source);
    if (const DWORD code = targetFolder.openParent(target))
        return writeError(code, target);
    const std::wstring sourcePath = source.full();
    const std::wstring targetPath = target.full();
    if (!win::entryAt(sourcePath).exists())
        return errorFor(GetLastError(), source);
    // Never replace another entry; a rename of an entry onto itself (its case changed, on a
    // file system that ignores case) changes nothing but its name.
    if (win::entryAt(targetPath).exists()) {
        BY_HANDLE_FILE_INFORMATION ids[2] = {};
        bool same = true;
        for (int i = 0; i < 2; ++i) {
            const HANDLE entry =
                CreateFileW((i == 0 ? sourcePath : targetPath).c_str(), FILE_READ_ATTRIBUTES,
                            kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
            same =
                same && entry != INVALID_HANDLE_VALUE && GetFileInformationByHandle(entry, &ids[i]);
            if (entry != INVALID_HANDLE_VALUE)
                CloseHandle(entry);
        }
        if (!same || ids[0].dwVolumeSerialNumber != ids[1].dwVolumeSerialNumber ||
            ids[0].nFileIndexHigh != ids[1].nFileIndexHigh ||
            ids[0].nFileIndexLow != ids[1].nFileIndexLow)
            return win::errorOf(ERROR_ALREADY_EXISTS);
    }
    if (!MoveFileExW(sourcePath.c_str(), targetPath.c_str(), 0))
        return errorFor(GetLastError(), target);
    return {};
}

Result<void> WindowsPlatform::moveToTrash(const std::string& path)
{
    SystemError error;
    MappedPath mapped;
    HeldFolder folder;
    if (!holdParent(path, currentDirectory(), true, mapped, folder, error))
        return error;
    if (!win::entryAt(mapped.full()).exists())
        return errorFor(GetLastError(), mapped);
    // The shell takes no long-path prefix, and a list of names that ends with an empty one.
    const std::wstring plain = mapped.plain();
    if (plain.size() >= MAX_PATH)
        return win::errorOf(ERROR_FILENAME_EXCED_RANGE);
    std::wstring list = plain;
    list.push_back(L'\0');
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    const int code = SHFileOperationW(&operation);
    if (code == 0 && !operation.fAnyOperationsAborted)
        return {};
    if (code == 0)
        return win::errorOf(ERROR_CANCELLED);
    // The shell's own codes are no system codes past the first hundred or so.
    if (code < 0x71)
        return win::errorOf(DWORD(code));
    return systemError(code, "The shell could not move it to the recycle bin");
}

Result<void> WindowsPlatform::setModificationTime(const std::string& path, std::int64_t mtime,
                                                  std::int32_t ticks)
{
    SystemError error;
    MappedPath mapped;
    HeldFolder folder;
    if (!holdParent(path, currentDirectory(), false, mapped, folder, error))
        return error;
    // A link in the file's place gets the time itself; what it points at is left alone.
    const HANDLE file =
        CreateFileW(mapped.full().c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return errorFor(GetLastError(), mapped);
    const FILETIME time = fileTimeOf(win::toFileTime(mtime, ticks));
    const bool set = SetFileTime(file, nullptr, nullptr, &time) != 0;
    const DWORD code = GetLastError();
    CloseHandle(file);
    if (!set)
        return errorFor(code, mapped);
    return {};
}

Result<void> WindowsPlatform::setReadOnly(const std::string& path, bool readOnly)
{
    SystemError error;
    MappedPath mapped;
    HeldFolder folder;
    if (!holdParent(path, currentDirectory(), false, mapped, folder, error))
        return error;
    const std::wstring full = mapped.full();
    const EntryAt entry = win::entryAt(full);
    if (!entry.exists())
        return errorFor(GetLastError(), mapped);
    if (entry.isLink)
        return systemError(ERROR_ACCESS_DENIED, win::linkInTheWay(entry));
    const DWORD wanted = readOnly ? entry.attributes | FILE_ATTRIBUTE_READONLY
                                  : entry.attributes & ~DWORD(FILE_ATTRIBUTE_READONLY);
    if (wanted == entry.attributes)
        return {};
    if (!SetFileAttributesW(full.c_str(), settable(wanted)))
        return errorFor(GetLastError(), mapped);
    return {};
}

Result<void> WindowsPlatform::writeFile(const std::string& path, const std::string& bytes)
{
    SystemError error;
    MappedPath mapped;
    HeldFolder folder;
    if (!holdParent(path, currentDirectory(), true, mapped, folder, error))
        return error;
    const std::wstring dest = mapped.full();
    const EntryAt old = win::entryAt(dest);
    if (inTheWay(old, error))
        return error;
    if (old.exists() && (old.attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return win::errorOf(ERROR_ACCESS_DENIED);
    std::wstring temp;
    const HANDLE out = createTempIn(mapped.parent(), temp);
    if (out == INVALID_HANDLE_VALUE)
        return errorFor(GetLastError(), mapped);
    DWORD code =
        writeAll(out, bytes.data(), bytes.size()) && FlushFileBuffers(out) ? 0 : GetLastError();
    // A file that is replaced keeps its attributes.
    if (code == 0 && old.exists()) {
        FILE_BASIC_INFO basic{};
        basic.FileAttributes = old.attributes & kCopiedAttributes;
        if (basic.FileAttributes != 0)
            SetFileInformationByHandle(out, FileBasicInfo, &basic, sizeof basic);
    }
    if (!CloseHandle(out) && code == 0)
        code = GetLastError();
    if (code == 0 && !MoveFileExW(temp.c_str(), dest.c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        code = GetLastError();
    if (code != 0) {
        removeOwnFile(temp);
        return errorFor(code, mapped);
    }
    return {};
}

std::string WindowsPlatform::currentDirectory()
{
    std::lock_guard lock(m_currentMutex);
    return m_currentDir;
}

Result<void> WindowsPlatform::setCurrentDirectory(const std::string& path)
{
    SystemError error;
    MappedPath mapped;
    const std::string before = currentDirectory();
    if (!mapPath(path, before, mapped, error))
        return win::errorOf(ERROR_PATH_NOT_FOUND);
    if (!driveExists(mapped.letter))
        return win::errorOf(ERROR_INVALID_DRIVE);
    if (!win::entryAt(mapped.root()).isDir())
        return win::errorOf(ERROR_NOT_READY);
    if (!win::entryAt(mapped.full()).isDir())
        return win::errorOf(ERROR_PATH_NOT_FOUND);
    std::string current;
    if (path.size() >= 2 && path[1] == ':') {
        current = path;
        while (current.size() > 2 && (current.back() == '\\' || current.back() == '/'))
            current.pop_back();
    } else {
        current = before.substr(0, 2);
        for (const std::wstring& name : mapped.names)
            current += "\\" + win::fromWide(name);
    }
    if (current.size() == 2)
        current += "\\";
    std::lock_guard lock(m_currentMutex);
    m_currentDir = current;
    return {};
}

} // namespace kx
