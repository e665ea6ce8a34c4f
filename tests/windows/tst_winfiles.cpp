// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/WideText.h"
#include "platform/windows/WindowsPlatform.h"

#include <doctest/doctest.h>

#include <atomic>
#include <cctype>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

#include <winioctl.h>

using kx::FileComparison;
using kx::FileInfo;
using kx::StagedCopy;
using kx::WindowsPlatform;
using kx::win::fromWide;
using kx::win::longPath;
using kx::win::toWide;
namespace errors = kx::errors;

namespace {

// A folder of its own below the system's temporary folder, removed with everything in it.
class TestFolder
{
public:
    TestFolder()
    {
        static int count = 0;
        wchar_t temp[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        m_root = fromWide(temp, length);
        if (!m_root.empty() && m_root.back() == '\\')
            m_root.pop_back();
        m_root += "\\kx-winfiles-" + std::to_string(GetCurrentProcessId()) + "-" +
                  std::to_string(GetTickCount64()) + "-" + std::to_string(++count);
        REQUIRE(CreateDirectoryW(longPath(m_root).c_str(), nullptr));
    }
    ~TestFolder() { removeTree(longPath(m_root)); }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& root() const { return m_root; }
    std::string path(const std::string& name) const { return m_root + "\\" + name; }
    std::wstring native(const std::string& name) const { return longPath(path(name)); }

    void write(const std::string& name, const std::string& bytes, DWORD attributes = 0) const
    {
        const HANDLE file = CreateFileW(native(name).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        REQUIRE(file != INVALID_HANDLE_VALUE);
        DWORD written = 0;
        CHECK(WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr));
        FILETIME time;
        // 2021-06-01 12:00:00.1234567 UTC, with an odd second and a fraction to keep.
        const ULONGLONG value = 132670512001234567ULL;
        time.dwLowDateTime = DWORD(value);
        time.dwHighDateTime = DWORD(value >> 32);
        CHECK(SetFileTime(file, nullptr, nullptr, &time));
        CloseHandle(file);
        if (attributes != 0)
            CHECK(SetFileAttributesW(native(name).c_str(), attributes));
    }
    std::string read(const std::string& name) const
    {
        const HANDLE file = CreateFileW(native(name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return "<missing>";
        std::string bytes;
        char buffer[65536];
        DWORD read = 0;
        while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
            bytes.append(buffer, read);
        CloseHandle(file);
        return bytes;
    }
    DWORD attributes(const std::string& name) const
    {
        return GetFileAttributesW(native(name).c_str());
    }
    // The names in a folder as the system lists them, the program's temporary files too.
    std::set<std::string> names(const std::string& folder = std::string()) const
    {
        std::set<std::string> found;
        WIN32_FIND_DATAW data;
        const std::wstring pattern = longPath(folder.empty() ? m_root : path(folder)) + L"\\*";
        const HANDLE find = FindFirstFileW(pattern.c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return found;
        do {
            const std::string name = fromWide(data.cFileName, wcslen(data.cFileName));
            if (name != "." && name != "..")
                found.insert(name);
        } while (FindNextFileW(find, &data));
        FindClose(find);
        return found;
    }
    std::set<std::string> tempFiles(const std::string& folder = std::string()) const
    {
        std::set<std::string> temp;
        for (const std::string& name : names(folder)) {
            if (name.rfind(".kopierix-tmp-", 0) == 0)
                temp.insert(name);
        }
        return temp;
    }

private:
    // Links are removed, never entered.
    static void removeTree(const std::wstring& path)
    {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        // A link whose target is gone has no attributes under wine.
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            if (!DeleteFileW(path.c_str()))
                RemoveDirectoryW(path.c_str());
            return;
        }
        SetFileAttributesW(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            DeleteFileW(path.c_str());
            return;
        }
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
            WIN32_FIND_DATAW data;
            const HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &data);
            if (find != INVALID_HANDLE_VALUE) {
                do {
                    const std::wstring name = data.cFileName;
                    if (name != L"." && name != L"..")
                        removeTree(path + L"\\" + name);
                } while (FindNextFileW(find, &data));
                FindClose(find);
            }
        }
        if (!RemoveDirectoryW(path.c_str()))
            DeleteFileW(path.c_str());
    }

    std::string m_root;
};

const std::string kWineLink = "link of the system below wine";

// Runs a program of the system below wine in `folder` (which wine gives no handle to wait on)
// until `done` holds, for ten seconds at most.
template <typename Done>
bool runBelowWine(const TestFolder& folder, const wchar_t* program, std::wstring command, Done done)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        toWide(folder.root()).c_str(), &startup, &process))
        return false;
    for (int tries = 0; tries < 200 && !done(); ++tries)
        Sleep(50);
    if (process.hProcess != nullptr)
        CloseHandle(process.hProcess);
    if (process.hThread != nullptr)
        CloseHandle(process.hThread);
    return done();
}

// Wine cannot remove a link of the system below it: that system's own program does.
void removeWineLink(const TestFolder& folder, const std::string& link)
{
    CHECK(runBelowWine(folder, L"z:\\bin\\rm", L"rm " + toWide(link),
                       [&] { return folder.names().count(link) == 0; }));
}

// Makes `link` a link to the folder `target` beside it, in the first way the system allows: a
// junction, which needs no privilege on Windows; a symbolic link; and under wine, which makes
// neither, a link of the system below it. Says how, or why not.
std::string makeFolderLink(const TestFolder& folder, const std::string& link,
                           const std::string& target)
{
    const std::wstring linkPath = folder.native(link);
    const auto isLink = [&] {
        const DWORD attributes = GetFileAttributesW(linkPath.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    };
    if (CreateDirectoryW(linkPath.c_str(), nullptr)) {
        const HANDLE handle =
            CreateFileW(linkPath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        const std::wstring substitute = L"\\??\\" + folder.native(target).substr(4);
        struct
        {
            DWORD tag;
            WORD length;
            WORD reserved;
            WORD substituteOffset, substituteLength, printOffset, printLength;
            WCHAR names[1024];
        } buffer{};
        buffer.tag = IO_REPARSE_TAG_MOUNT_POINT;
        buffer.substituteLength = WORD(substitute.size() * sizeof(WCHAR));
        buffer.printOffset = WORD(buffer.substituteLength + sizeof(WCHAR));
        std::copy(substitute.begin(), substitute.end(), buffer.names);
        buffer.length = WORD(8 + buffer.printOffset + sizeof(WCHAR));
        DWORD returned = 0;
        const bool made = handle != INVALID_HANDLE_VALUE &&
                          DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, &buffer,
                                          8 + buffer.length, nullptr, 0, &returned, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        if (made && isLink())
            return "junction";
        RemoveDirectoryW(linkPath.c_str());
    }
    if (CreateSymbolicLinkW(linkPath.c_str(), toWide(target).c_str(),
                            SYMBOLIC_LINK_FLAG_DIRECTORY |
                                SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
        isLink())
        return "symbolic link";
    if (runBelowWine(folder, L"z:\\bin\\ln", L"ln -s " + toWide(target) + L" " + toWide(link),
                     isLink))
        return kWineLink;
    return std::string();
}

std::string bigBytes(std::size_t size, char last)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = char('a' + i % 23);
    bytes.back() = last;
    return bytes;
}

} // namespace

TEST_CASE("a staged copy keeps bytes, time and read-only, over a read-only old copy too")
{
    // More than one piece of a copy.
    const std::string bytes = bigBytes((std::size_t(9) << 20) + 7, 'z');
    for (const bool oldCopy : {false, true}) {
        CAPTURE(oldCopy);
        TestFolder folder;
        WindowsPlatform platform;
        folder.write("source.bin", bytes, FILE_ATTRIBUTE_READONLY);
        if (oldCopy)
            folder.write("copy.bin", "the old copy", FILE_ATTRIBUTE_READONLY);
        const auto source = platform.fileStatus(folder.path("source.bin"));
        REQUIRE(source);

        auto staged = platform.stageCopy(folder.path("source.bin"), folder.path("copy.bin"));
        REQUIRE(staged);
        CHECK(staged.value().size == std::int64_t(bytes.size()));
        CHECK(staged.value().mtime == source.value().mtime);
        CHECK(staged.value().mtimeTicks == 1234567);
        CHECK(staged.value().device != 0);
        CHECK(folder.tempFiles().size() == 1);
        CHECK(folder.read("copy.bin") == (oldCopy ? "the old copy" : "<missing>"));
        // The listing of the folder never shows the copy in the making.
        auto listing = platform.openDir(folder.root());
        REQUIRE(listing);
        std::set<std::string> listed;
        for (FileInfo entry; listing.value()->next(entry);)
            listed.insert(entry.name);
        CHECK(listed.size() == (oldCopy ? 2 : 1));

        REQUIRE(platform.flushStaged({staged.value()}));
        REQUIRE(platform.commitStaged(staged.value()));
        CHECK(folder.tempFiles().empty());
        CHECK(folder.read("copy.bin") == bytes);
        const auto copy = platform.fileStatus(folder.path("copy.bin"));
        REQUIRE(copy);
        CHECK(copy.value().mtime == source.value().mtime);
        CHECK(copy.value().mtimeTicks == source.value().mtimeTicks);
        CHECK(copy.value().size == std::int64_t(bytes.size()));
        CHECK(copy.value().isReadOnly);

        // The single copy does the same, over the read-only copy just made.
        folder.write("source.bin", "new bytes", FILE_ATTRIBUTE_NORMAL);
        REQUIRE(platform.copyFile(folder.path("source.bin"), folder.path("copy.bin")));
        CHECK(folder.read("copy.bin") == "new bytes");
        CHECK((folder.attributes("copy.bin") & FILE_ATTRIBUTE_READONLY) == 0);
        CHECK(folder.tempFiles().empty());
    }
}

TEST_CASE("a stopped copy or comparison leaves neither a temporary file nor a changed copy")
{
    TestFolder folder;
    WindowsPlatform platform;
    folder.write("source.bin", bigBytes(std::size_t(5) << 20, 'x'));
    folder.write("copy.bin", "the old copy");
    std::atomic<bool> stop{true};
    platform.watchStop(&stop);

    const auto staged = platform.stageCopy(folder.path("source.bin"), folder.path("copy.bin"));
    REQUIRE_FALSE(staged);
    CHECK(staged.error().code == errors::kStopped);
    const auto copied = platform.copyFile(folder.path("source.bin"), folder.path("copy.bin"));
    REQUIRE_FALSE(copied);
    CHECK(copied.error().code == errors::kStopped);
    CHECK(folder.read("copy.bin") == "the old copy");
    CHECK(folder.tempFiles().empty());

    folder.write("same.bin", bigBytes(std::size_t(5) << 20, 'x'));
    const FileComparison compared =
        platform.compareFiles(folder.path("source.bin"), folder.path("same.bin"));
    CHECK(compared.outcome == FileComparison::Failed);
    CHECK(compared.error.code == errors::kStopped);

    stop = false;
    CHECK(platform.copyFile(folder.path("source.bin"), folder.path("copy.bin")));
    CHECK(platform.compareFiles(folder.path("source.bin"), folder.path("copy.bin")).outcome ==
          FileComparison::Same);
}

TEST_CASE("a listing hides temporary files, removes those of ended runs, and marks links")
{
    TestFolder folder;
    WindowsPlatform platform;
    wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    REQUIRE(GetComputerNameW(computer, &length));
    // A process number no process has, of this computer; and one of another computer, whose
    // run may still be going.
    const std::string ended = ".kopierix-tmp-1073741820-1-1@" + fromWide(computer, length);
    const std::string foreign = ".kopierix-tmp-4-1-1-u1-r1@ANOTHER-PC";
    folder.write(ended, "left by a killed run");
    folder.write(foreign, "another computer's");
    folder.write("plain.txt", "abc");
    folder.write(".profile", "dot");
    folder.write("hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
    REQUIRE(CreateDirectoryW(folder.native("sub").c_str(), nullptr));
    folder.write("sub\\inside.txt", "0123456789");
    const std::string link = makeFolderLink(folder, "link", "sub");

    auto listing = platform.openDir(folder.root());
    REQUIRE(listing);
    std::vector<FileInfo> entries;
    for (FileInfo entry; listing.value()->next(entry);)
        entries.push_back(entry);
    std::set<std::string> names;
    for (const FileInfo& entry : entries) {
        CAPTURE(entry.name);
        names.insert(entry.name);
        CHECK(entry.isHidden == (entry.name == ".profile" || entry.name == "hidden.txt"));
        CHECK(entry.isDir == (entry.name == "sub" || entry.name == "link"));
        CHECK(entry.isLink == (entry.name == "link"));
        if (entry.name == "plain.txt") {
            CHECK(entry.size == 3);
            CHECK(entry.mtimeTicks == 1234567);
        }
    }
    std::set<std::string> expected = {"plain.txt", ".profile", "hidden.txt", "sub"};
    if (!link.empty())
        expected.insert("link");
    else
        MESSAGE("no link could be made here");
    CHECK(names == expected);
    CHECK(folder.tempFiles() == std::set<std::string>{foreign});
    if (link == kWineLink)
        removeWineLink(folder, "link");

    // A copy into a folder clears it of what ended runs left there first.
    folder.write("sub\\" + ended, "left by a killed run");
    REQUIRE(platform.copyFile(folder.path("plain.txt"), folder.path("sub\\plain.txt")));
    CHECK(folder.names("sub") == std::set<std::string>{"inside.txt", "plain.txt"});

    // An empty folder lists nothing; a file or a missing folder cannot be listed.
    REQUIRE(CreateDirectoryW(folder.native("empty").c_str(), nullptr));
    auto empty = platform.openDir(folder.path("empty"));
    REQUIRE(empty);
    FileInfo none;
    CHECK_FALSE(empty.value()->next(none));
    for (const char* name : {"plain.txt", "missing"}) {
        CAPTURE(name);
        const auto failed = platform.openDir(folder.path(name));
        REQUIRE_FALSE(failed);
        CHECK(failed.error().code == errors::kPathNotFound);
    }
}

TEST_CASE("a comparison tells same from different, and which file failed")
{
    TestFolder folder;
    WindowsPlatform platform;
    const std::string large = bigBytes((std::size_t(6) << 20) + 3, 'a');
    folder.write("first.bin", large);
    REQUIRE(CreateDirectoryW(folder.native("folder").c_str(), nullptr));
    struct Case
    {
        const char* name;
        std::string second; // the second file's bytes; empty for none
        const char* path;   // the second path, where it is not "second.bin"
        FileComparison::Outcome outcome;
        int failedFile;
        int code;
    };
    const Case cases[] = {
        {"same bytes", large, nullptr, FileComparison::Same, 0, 0},
        {"last byte differs", bigBytes(large.size(), 'b'), nullptr, FileComparison::Differs, 0, 0},
        {"shorter", large.substr(1), nullptr, FileComparison::Differs, 0, 0},
        {"second missing", std::string(), nullptr, FileComparison::Failed, 1,
         errors::kFileNotFound},
        {"second is a folder", std::string(), "folder", FileComparison::Failed, 1,
         errors::kAccessDenied},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        DeleteFileW(folder.native("second.bin").c_str());
        if (!c.second.empty())
            folder.write("second.bin", c.second);
        const FileComparison found = platform.compareFiles(
            folder.path("first.bin"), folder.path(c.path != nullptr ? c.path : "second.bin"));
        CHECK(found.outcome == c.outcome);
        if (c.outcome == FileComparison::Failed) {
            CHECK(found.failedFile == c.failedFile);
            CHECK(found.error.code == c.code);
        }
    }
    const FileComparison missingFirst =
        platform.compareFiles(folder.path("missing.bin"), folder.path("first.bin"));
    CHECK(missingFirst.outcome == FileComparison::Failed);
    CHECK(missingFirst.failedFile == 0);
}

TEST_CASE("a Unicode name on a path of 338 characters goes through copy, listing and removal")
{
    TestFolder folder;
    WindowsPlatform platform;
    const std::string name = "\xC3\x9Cn\xC3\xAF"
                             "c\xC3\xB8"
                             "d\xC3\xA9 \xE2\x82\xACuro \xF0\x9F\x98\x80 \xE6\x97\xA5\xE6\x9C\xAC";
    std::string deep = folder.root();
    std::vector<std::string> folders;
    while (toWide(deep + "\\" + name).size() < 338) {
        deep += "\\" + std::string(40, char('a' + folders.size()));
        folders.push_back(deep);
    }
    const std::string target = deep + "\\" + name;
    const std::size_t length = toWide(target).size();
    CAPTURE(length);
    CHECK(length >= 338);

    folder.write("source.txt", "long way");
    REQUIRE(platform.makeDirs(deep));
    REQUIRE(platform.copyFile(folder.path("source.txt"), target));
    const auto status = platform.fileStatus(target);
    REQUIRE(status);
    CHECK(status.value().size == 8);
    auto listing = platform.openDir(deep);
    REQUIRE(listing);
    FileInfo entry;
    REQUIRE(listing.value()->next(entry));
    CHECK(entry.name == name);
    CHECK_FALSE(listing.value()->next(entry));
    // The drive letter comes in lower case, as every drive path the program makes.
    CHECK(platform.findPath(target) == char(std::tolower(target[0])) + target.substr(1));

    REQUIRE(platform.removeFile(target));
    CHECK_FALSE(platform.fileStatus(target));
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        CHECK(platform.removeDir(*it));
    CHECK(folder.names() == std::set<std::string>{"source.txt"});
}

TEST_CASE("names Windows cannot hold are refused with the reason")
{
    TestFolder folder;
    WindowsPlatform platform;
    folder.write("source.txt", "abc");
    struct Case
    {
        std::string name;
        const char* reason; // what the reason must name
    };
    const Case cases[] = {
        {"a:b", "\":\""},       {"what?", "\"?\""},      {"st*r", "\"*\""},
        {"<less", "\"<\""},     {"more>", "\">\""},      {"pi|pe", "\"|\""},
        {"quo\"te", "\"\"\""},  {"tab\there", "U+0009"}, {"trailing.", "dot"},
        {"trailing ", "space"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.name);
        const std::string path = folder.path(c.name);
        const auto check = [&](const kx::SystemError& error) {
            CHECK(error.code == 123);
            CHECK(error.message.find(c.reason) != std::string::npos);
        };
        const auto status = platform.fileStatus(path);
        REQUIRE_FALSE(status);
        check(status.error());
        const auto made = platform.makeDirs(path + "\\below");
        REQUIRE_FALSE(made);
        check(made.error());
        const auto written = platform.writeFile(path, "x");
        REQUIRE_FALSE(written);
        check(written.error());
        const auto copied = platform.copyFile(folder.path("source.txt"), path);
        REQUIRE_FALSE(copied);
        check(copied.error());
        const auto renamed = platform.renamePath(folder.path("source.txt"), path);
        REQUIRE_FALSE(renamed);
        check(renamed.error());
    }
    // Nothing was made, not even a stream of a file or the name's first part.
    CHECK(folder.names() == std::set<std::string>{"source.txt"});
    CHECK(folder.read("source.txt") == "abc");
}

TEST_CASE("a link in the way of a write is refused, and removing it leaves its target")
{
    TestFolder folder;
    WindowsPlatform platform;
    REQUIRE(CreateDirectoryW(folder.native("real").c_str(), nullptr));
    folder.write("real\\keep.txt", "kept");
    folder.write("source.txt", "abc");
    const std::string how = makeFolderLink(folder, "link", "real");
    if (how.empty()) {
        MESSAGE("no link or junction can be made here");
        return;
    }
    MESSAGE("the link is a " << how);
    const auto refused = [](const kx::Result<void>& result) {
        REQUIRE_FALSE(result);
        CHECK(result.error().code == errors::kAccessDenied);
        CHECK(result.error().message.find("in the way") != std::string::npos);
    };
    refused(platform.writeFile(folder.path("link\\new.txt"), "x"));
    refused(platform.makeDirs(folder.path("link\\deeper")));
    refused(platform.copyFile(folder.path("source.txt"), folder.path("link\\copy.txt")));
    refused(platform.removeFile(folder.path("link\\keep.txt")));
    refused(platform.setReadOnly(folder.path("link"), true));
    // A link where the copy is to go is not replaced by a file either.
    refused(platform.copyFile(folder.path("source.txt"), folder.path("link")));
    CHECK(folder.names("real") == std::set<std::string>{"keep.txt"});

    // Reading through it is fine: the status is the target's.
    const auto status = platform.fileStatus(folder.path("link"));
    REQUIRE(status);
    CHECK(status.value().isLink);
    CHECK(status.value().isDir);

    // Removing the link leaves what it points at, an empty folder too (wine would remove that
    // folder for the link, so its links stay).
    DeleteFileW(folder.native("real\\keep.txt").c_str());
    const auto removed = platform.removeFile(folder.path("link"));
    CHECK(bool(removed) == (how != kWineLink));
    CHECK(platform.removeDir(folder.path("link")).error().code == ERROR_DIRECTORY);
    CHECK(folder.attributes("real") != INVALID_FILE_ATTRIBUTES);
    if (how == kWineLink)
        removeWineLink(folder, "link");
    CHECK(folder.names() == std::set<std::string>{"real", "source.txt"});
}

TEST_CASE("a missing file, folder or drive answers its own code")
{
    TestFolder folder;
    WindowsPlatform platform;
    char absent = 0;
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'z'; letter >= 'g' && absent == 0; --letter) {
        if ((drives & (DWORD(1) << (letter - 'a'))) == 0)
            absent = letter;
    }
    REQUIRE(absent != 0);
    struct Case
    {
        std::string path;
        int code;
    };
    const Case cases[] = {
        {folder.path("missing.txt"), errors::kFileNotFound},
        {folder.path("missing\\a.txt"), errors::kPathNotFound},
        {std::string(1, absent) + ":\\a.txt", errors::kNoSuchDrive},
    };
    for (const Case& c : cases) {
        CAPTURE(c.path);
        const auto status = platform.fileStatus(c.path);
        REQUIRE_FALSE(status);
        CHECK(status.error().code == c.code);
        CHECK_FALSE(status.error().message.empty());
    }
}

TEST_CASE("the case on disk is found, and a rename never replaces another entry")
{
    TestFolder folder;
    WindowsPlatform platform;
    folder.write("Mixed.TXT", "mixed");
    folder.write("other.txt", "other");
    const std::string found = platform.findPath(folder.path("mixed.txt"));
    CHECK(found.substr(found.rfind('\\') + 1) == "Mixed.TXT");
    CHECK(platform.findPath(folder.path("absent.txt")).empty());

    const auto replaced = platform.renamePath(folder.path("Mixed.TXT"), folder.path("other.txt"));
    REQUIRE_FALSE(replaced);
    CHECK(replaced.error().code == ERROR_ALREADY_EXISTS);
    CHECK(folder.read("other.txt") == "other");
    REQUIRE(platform.renamePath(folder.path("Mixed.TXT"), folder.path("renamed.txt")));
    CHECK(folder.names() == std::set<std::string>{"other.txt", "renamed.txt"});
}

TEST_CASE("small files are written whole; times and read-only are set; read-only files go")
{
    TestFolder folder;
    WindowsPlatform platform;
    REQUIRE(platform.writeFile(folder.path("note.txt"), "first"));
    REQUIRE(platform.writeFile(folder.path("note.txt"), "second"));
    CHECK(folder.read("note.txt") == "second");
    CHECK(folder.tempFiles().empty());

    // 1969-12-31 23:59:59.5, before the epoch, and 2107-12-31 23:59:58.
    for (const auto& [seconds, ticks] :
         {std::pair<std::int64_t, std::int32_t>{-1, 5000000}, {4354819198, 0}}) {
        CAPTURE(seconds);
        REQUIRE(platform.setModificationTime(folder.path("note.txt"), seconds, ticks));
        const auto status = platform.fileStatus(folder.path("note.txt"));
        REQUIRE(status);
        CHECK(status.value().mtime == seconds);
        CHECK(status.value().mtimeTicks == ticks);
    }

    REQUIRE(platform.setReadOnly(folder.path("note.txt"), true));
    CHECK(platform.fileStatus(folder.path("note.txt")).value().isReadOnly);
    const auto refused = platform.writeFile(folder.path("note.txt"), "third");
    REQUIRE_FALSE(refused);
    CHECK(refused.error().code == errors::kAccessDenied);
    CHECK(folder.read("note.txt") == "second");
    REQUIRE(platform.removeFile(folder.path("note.txt")));
    CHECK(folder.names().empty());
}

TEST_CASE("the current folder is the program's own, and relative paths start there")
{
    TestFolder folder;
    WindowsPlatform platform;
    folder.write("here.txt", "here");
    wchar_t before[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, before);

    REQUIRE(platform.setCurrentDirectory(folder.root() + "\\"));
    CHECK(platform.currentDirectory() == folder.root());
    const auto status = platform.fileStatus("here.txt");
    REQUIRE(status);
    CHECK(status.value().size == 4);
    CHECK(platform.fileStatus("..\\" + folder.root().substr(folder.root().rfind('\\') + 1) +
                              "\\here.txt"));
    // A root is a folder like any other.
    const std::string drive = std::string(1, folder.root()[0]) + ":\\";
    const auto root = platform.fileStatus(drive);
    REQUIRE(root);
    CHECK(root.value().isDir);
    auto listing = platform.openDir(drive);
    REQUIRE(listing);
    FileInfo entry;
    CHECK(listing.value()->next(entry));
    const auto missing = platform.setCurrentDirectory("missing");
    REQUIRE_FALSE(missing);
    CHECK(missing.error().code == errors::kPathNotFound);
    CHECK(platform.currentDirectory() == folder.root());

    wchar_t after[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, after);
    CHECK(std::wstring(after) == std::wstring(before));
}

TEST_CASE("a file moved to the recycle bin leaves its folder")
{
    TestFolder folder;
    WindowsPlatform platform;
    folder.write("old.txt", "old");
    REQUIRE(platform.moveToTrash(folder.path("old.txt")));
    CHECK(folder.names().empty());
    const auto missing = platform.moveToTrash(folder.path("old.txt"));
    REQUIRE_FALSE(missing);
    CHECK(missing.error().code == errors::kFileNotFound);
}
