// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "common/Outcome.h"
#include "common/ScratchMount.h"
#include "platform/OperationLock.h"
#include "platform/linux/LinuxPlatform.h"
#include "support/CopyBatch.h"

#include <QtTest>

#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

using namespace kx;
using kx::test::failed;
using kx::test::succeeded;

namespace {

std::string nativeRoot(const test::Fixture& fixture, char letter)
{
    return QFile::encodeName(fixture.root() + "/drive-" + QChar(letter)).toStdString();
}

// Writes a file by its native path as bytes, with its folders. A file the test cannot write in
// its own folder leaves nothing to test: the test program ends, naming it.
void makeFile(const std::string& path, const std::string& contents)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0777);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, contents.data(), contents.size()) != ssize_t(contents.size()))
        qFatal("%s cannot be written", path.c_str());
    ::close(fd);
}

std::string readFile(const std::string& path)
{
    QFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll().toStdString();
}

// Every name in a folder, hidden ones too, as bytes.
std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::map<std::string, FileInfo> listing(Platform& platform, const std::string& path)
{
    std::map<std::string, FileInfo> entries;
    const auto dir = platform.openDir(path);
    if (!dir)
        return entries;
    FileInfo entry;
    while (dir.value()->next(entry))
        entries[entry.name] = entry;
    return entries;
}

// Removes a tree by its native names: the fixture's own clean-up reads names as text and
// cannot remove names that are not UTF-8.
void removeTree(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode)) {
        ::chmod(path.c_str(), 0755);
        for (const std::string& name : namesIn(path))
            removeTree(path + "/" + name);
        ::rmdir(path.c_str());
    } else {
        ::unlink(path.c_str());
    }
}

class TreeRemover
{
public:
    explicit TreeRemover(std::string path) : m_path(std::move(path)) {}
    ~TreeRemover() { removeTree(m_path); }

private:
    std::string m_path;
};

struct stat statOf(const std::string& path)
{
    struct stat st
    {
    };
    ::stat(path.c_str(), &st);
    return st;
}

// Lowers this process's file size limit while it lives, so that a write stops half-way with
// EFBIG as on a medium that takes no more, without root or a mount.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_set = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        m_set = m_set && ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        if (m_set)
            ::setrlimit(RLIMIT_FSIZE, &m_old);
        ::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool isSet() const { return m_set; }

private:
    rlimit m_old{};
    sighandler_t m_oldHandler;
    bool m_set = false;
};

[[nodiscard]] bool setTimes(const std::string& path, time_t seconds, long nanoseconds)
{
    timespec times[2];
    times[0].tv_sec = seconds;
    times[0].tv_nsec = 0;
    times[1].tv_sec = seconds;
    times[1].tv_nsec = nanoseconds;
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

// Records every flush of the platform, and whether a watched file was already in place then.
class FlushRecorder : public LinuxPlatform
{
public:
    struct Flush
    {
        dev_t device = 0;
        bool wholeFileSystem = false;
        bool afterARename = false;
    };
    std::vector<Flush> flushes;
    std::vector<std::string> watched;

protected:
    int forceToMedium(int fd, bool wholeFileSystem) override
    {
        struct stat st
        {
        };
        ::fstat(fd, &st);
        const bool renamed =
            std::any_of(watched.begin(), watched.end(),
                        [](const std::string& path) { return ::access(path.c_str(), F_OK) == 0; });
        flushes.push_back({st.st_dev, wholeFileSystem, renamed});
        return LinuxPlatform::forceToMedium(fd, wholeFileSystem);
    }
};

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    void pathMapping_data()
    {
        QTest::addColumn<QByteArray>("drivePath");
        QTest::addColumn<QByteArray>("expected"); // below the root of drive e

        QTest::newRow("exact") << QByteArray("e:\\Docs\\Report.TXT")
                               << QByteArray("/Docs/Report.TXT");
        // Names are exact: on this system another case is another file.
        QTest::newRow("other case")
            << QByteArray("e:\\docs\\report.txt") << QByteArray("/docs/report.txt");
        QTest::newRow("upper-case letter")
            << QByteArray("E:\\Docs\\Sub\\a.txt") << QByteArray("/Docs/Sub/a.txt");
        QTest::newRow("backslash stand-in") << QByteArray("e:\\Docs\\back\xef\x81\x9cslash.txt")
                                            << QByteArray("/Docs/back\\slash.txt");
        QTest::newRow("root") << QByteArray("e:\\") << QByteArray("");
        QTest::newRow("letter alone") << QByteArray("e:") << QByteArray("");
        QTest::newRow("doubled separators")
            << QByteArray("e:\\\\Docs\\\\Report.TXT") << QByteArray("/Docs/Report.TXT");
        QTest::newRow("dots") << QByteArray("e:\\Docs\\Sub\\.\\..\\Report.TXT")
                              << QByteArray("/Docs/Report.TXT");
        QTest::newRow("never above the root")
            << QByteArray("e:\\..\\..\\Docs") << QByteArray("/Docs");
        QTest::newRow("bytes that are not UTF-8")
            << QByteArray("e:\\caf\xe9\\Na\xefve.txt") << QByteArray("/caf\xe9/Na\xefve.txt");
    }

    void pathMapping()
    {
        QFETCH(QByteArray, drivePath);
        QFETCH(QByteArray, expected);
        test::Fixture fixture;
        fixture.addDrive('e');
        const std::string root = nativeRoot(fixture, 'e');
        makeFile(root + "/Docs/Report.TXT", "r");
        makeFile(root + "/Docs/Sub/a.txt", "a");
        makeFile(root + "/caf\xe9/Na\xefve.txt", "n");
        const TreeRemover remover(root);
        auto platform = fixture.platform();
        QCOMPARE(platform->nativePath(drivePath.toStdString()), root + expected.toStdString());
    }

    // The texts show what the user finds on disk: the native path, also of a medium that is
    // away; only a letter alone, which names the drive, and a letter of no drive stay as they
    // are.
    void displayPathIsThePathOnDisk_data()
    {
        QTest::addColumn<QByteArray>("drivePath");
        QTest::addColumn<QByteArray>("expected"); // %e and %m stand for the drives' folders

        QTest::newRow("a file") << QByteArray("e:\\Docs\\Report.TXT")
                                << QByteArray("%e/Docs/Report.TXT");
        QTest::newRow("an upper-case letter")
            << QByteArray("E:\\Docs\\Sub\\a.txt") << QByteArray("%e/Docs/Sub/a.txt");
        QTest::newRow("a folder with its backslash")
            << QByteArray("e:\\Docs\\") << QByteArray("%e/Docs");
        QTest::newRow("a root") << QByteArray("e:\\") << QByteArray("%e");
        QTest::newRow("a name that holds a backslash")
            << QByteArray("e:\\Docs\\back\xef\x81\x9cslash.txt")
            << QByteArray("%e/Docs/back\\slash.txt");
        QTest::newRow("bytes that are not UTF-8")
            << QByteArray("e:\\caf\xe9\\Na\xefve.txt") << QByteArray("%e/caf\xe9/Na\xefve.txt");
        QTest::newRow("a medium that is away")
            << QByteArray("m:\\c-Docs\\a.txt") << QByteArray("%m/c-Docs/a.txt");
        QTest::newRow("a letter alone names the drive") << QByteArray("e:") << QByteArray("e:");
        QTest::newRow("a letter of no drive")
            << QByteArray("q:\\Docs\\a.txt") << QByteArray("q:\\Docs\\a.txt");
    }

    void displayPathIsThePathOnDisk()
    {
        QFETCH(QByteArray, drivePath);
        QFETCH(QByteArray, expected);
        test::Fixture fixture;
        fixture.addDrive('e');
        fixture.addMissingDrive('m');
        auto platform = fixture.platform();
        expected.replace("%e", QByteArray::fromStdString(nativeRoot(fixture, 'e')))
            .replace("%m", QByteArray::fromStdString(fixture.nativeBytes("m:\\")));
        QCOMPARE(QByteArray::fromStdString(platform->displayPath(drivePath.toStdString())),
                 expected);
    }

    void findPathMatchesCaseOnlyWhereThatIsUnambiguous_data()
    {
        QTest::addColumn<QByteArray>("asked");
        QTest::addColumn<QByteArray>("found");
        QTest::newRow("exact") << QByteArray("e:\\Docs\\Report.TXT")
                               << QByteArray("e:\\Docs\\Report.TXT");
        QTest::newRow("other case")
            << QByteArray("E:\\DOCS\\report.txt") << QByteArray("e:\\Docs\\Report.TXT");
        QTest::newRow("missing") << QByteArray("e:\\docs\\none.txt") << QByteArray();
        // Two names that differ in case alone: the exact one is taken, no other is chosen.
        QTest::newRow("twins, exact")
            << QByteArray("e:\\Twins\\note.txt") << QByteArray("e:\\Twins\\note.txt");
        QTest::newRow("twins, other case") << QByteArray("e:\\twins\\Note.txt") << QByteArray();
        QTest::newRow("not UTF-8, other case")
            << QByteArray("e:\\CAF\xe9\\NA\xefVE.TXT") << QByteArray("e:\\caf\xe9\\Na\xefve.txt");
        // Only a to z are matched without regard to case; other bytes are names as they are.
        QTest::newRow("not ASCII, no match") << QByteArray("e:\\CAF\xc9") << QByteArray();
        QTest::newRow("backslash in a name") << QByteArray("e:\\docs\\BACK\xef\x81\x9cSLASH")
                                             << QByteArray("e:\\Docs\\back\xef\x81\x9cslash");
    }

    void findPathMatchesCaseOnlyWhereThatIsUnambiguous()
    {
        QFETCH(QByteArray, asked);
        QFETCH(QByteArray, found);
        test::Fixture fixture;
        fixture.addDrive('e');
        const std::string root = nativeRoot(fixture, 'e');
        makeFile(root + "/Docs/Report.TXT", "r");
        makeFile(root + "/Docs/back\\slash", "b");
        makeFile(root + "/Twins/note.txt", "1");
        makeFile(root + "/Twins/NOTE.txt", "2");
        makeFile(root + "/caf\xe9/Na\xefve.txt", "n");
        const TreeRemover remover(root);
        auto platform = fixture.platform();
        QCOMPARE(platform->findPath(asked.toStdString()), found.toStdString());
    }

    void findPathSeesChangesToAFolder()
    {
        test::Fixture fixture;
        fixture.addDrive('e');
        const std::string root = nativeRoot(fixture, 'e');
        makeFile(root + "/Docs/a.txt", "a");
        const TreeRemover remover(root);
        auto platform = fixture.platform();
        QCOMPARE(platform->findPath("e:\\docs\\later.txt"), std::string());
        QVERIFY(platform->writeFile("e:\\Docs\\Later.TXT", "x"));
        QCOMPARE(platform->findPath("e:\\docs\\later.txt"), std::string("e:\\Docs\\Later.TXT"));
        QVERIFY(platform->writeFile("e:\\Docs\\later.txt", "y"));
        QCOMPARE(platform->findPath("e:\\docs\\LATER.txt"), std::string());
    }

    void longNamesFailWithoutBeingCut()
    {
        test::Fixture fixture;
        fixture.addDrive('e');
        auto platform = fixture.platform();
        const std::string longName(300, 'a');
        SystemError error;
        QVERIFY(failed(platform->writeFile("e:\\" + longName, "x"), error));
        QCOMPARE(error.code, ENAMETOOLONG);
        QVERIFY(!error.message.empty());
        QVERIFY(failed(platform->makeDirs("e:\\Docs\\" + longName), error));
        QCOMPARE(error.code, ENAMETOOLONG);
        QCOMPARE(error.message, std::string("The medium cannot hold a name this long"));
        FileInfo info;
        QVERIFY(!platform->fileInfo("e:\\" + longName, info));

        // A path longer than the system takes as a whole.
        std::string deep = "e:";
        for (int i = 0; i < 20; ++i)
            deep += "\\" + std::string(250, char('a' + i));
        QVERIFY(failed(platform->makeDirs(deep), error));
        QCOMPARE(error.code, ENAMETOOLONG);
        QCOMPARE(error.message, std::string(std::strerror(ENAMETOOLONG)));
        fixture.writeFile("e:\\a.txt", "a");
        QVERIFY(failed(platform->copyFile("e:\\a.txt", deep + "\\a.txt"), error));
        QCOMPARE(error.code, ENAMETOOLONG);
    }

    void aKilledRunsTemporaryCopyIsRemovedByTheNextListing()
    {
        test::Fixture fixture;
        fixture.addDrive('e');
        const std::string dir = nativeRoot(fixture, 'e') + "/Dir";
        char host[256] = {};
        QCOMPARE(::gethostname(host, sizeof host - 1), 0);
        // A process that has ended: its pid names no process any more.
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        QVERIFY(child > 0);
        QCOMPARE(::waitpid(child, nullptr, 0), child);
        const std::string dead = ".kopierix-tmp-" + std::to_string(child) + "-1-7@" + host;
        const std::string running = ".kopierix-tmp-" + std::to_string(::getpid()) + "-1-7@" + host;
        const std::string elsewhere = ".kopierix-tmp-" + std::to_string(child) + "-1-7@other-pc";
        const std::string old = ".kopierix-tmp-12-1-1";
        for (const std::string& name : {dead, running, elsewhere, old})
            makeFile(dir + "/" + name, "half a copy");
        makeFile(dir + "/a.txt", "a");
        auto platform = fixture.platform();

        QCOMPARE(listing(*platform, "e:\\Dir").size(), std::size_t(1));
        struct stat st;
        QVERIFY(::lstat((dir + "/" + dead).c_str(), &st) != 0);
        QCOMPARE(::lstat((dir + "/" + running).c_str(), &st), 0);
        QCOMPARE(::lstat((dir + "/" + elsewhere).c_str(), &st), 0);
        QCOMPARE(::lstat((dir + "/" + old).c_str(), &st), 0);
    }

    void leftoversOfThisUsersOtherRunsGoWhileTheLockIsHeld_data()
    {
        QTest::addColumn<QString>("origin");
        QTest::addColumn<bool>("lockHeld");
        QTest::addColumn<bool>("removed");
        // The number of a live process, as a reboot can give it to anything: only the lock
        // tells that the run that wrote the file is over.
        QTest::newRow("another run of this user, lock held") << "other run" << true << true;
        QTest::newRow("another run of this user, no lock") << "other run" << false << false;
        QTest::newRow("another user's run") << "other user" << true << false;
        QTest::newRow("another computer's run") << "other computer" << true << false;
        QTest::newRow("written outside a run") << "outside a run" << true << false;
        QTest::newRow("name of an earlier version") << "earlier version" << true << false;
        QTest::newRow("ended process, no lock") << "ended process" << false << true;
    }
    void leftoversOfThisUsersOtherRunsGoWhileTheLockIsHeld()
    {
        QFETCH(QString, origin);
        QFETCH(bool, lockHeld);
        QFETCH(bool, removed);
        test::Fixture fixture;
        fixture.addDrive('e');
        fixture.writeFile("e:\\a.txt", "a");
        const std::string root = nativeRoot(fixture, 'e');
        char host[256] = {};
        QCOMPARE(::gethostname(host, sizeof host - 1), 0);
        std::string pid = std::to_string(::getpid());
        if (origin == "ended process") {
            const pid_t child = ::fork();
            if (child == 0)
                ::_exit(0);
            QVERIFY(child > 0);
            QCOMPARE(::waitpid(child, nullptr, 0), child);
            pid = std::to_string(child);
        }
        const std::string user = std::to_string(::geteuid() + (origin == "other user" ? 1 : 0));
        const std::string run = origin == "outside a run" ? "0" : "5eed1e55f00d";
        const std::string computer = origin == "other computer" ? "other-pc" : host;
        const std::string name =
            origin == "earlier version"
                ? ".kopierix-tmp-" + pid + "-1-7@" + computer
                : ".kopierix-tmp-" + pid + "-1-7-u" + user + "-r" + run + "@" + computer;
        // A folder a walk lists, and one that a copy is only written into.
        makeFile(root + "/Listed/" + name, "half a copy");
        makeFile(root + "/Written/" + name, "half a copy");
        auto platform = fixture.platform();

        OperationLock lock;
        if (lockHeld)
            QVERIFY(lock.tryLock());
        QCOMPARE(listing(*platform, "e:\\Listed").size(), std::size_t(0));
        StagedCopy staged;
        SystemError error;
        QVERIFY(succeeded(platform->stageCopy("e:\\a.txt", "e:\\Written\\a.txt"), staged, error));
        platform->discardStaged(staged);
        for (const char* folder : {"/Listed/", "/Written/"}) {
            struct stat st;
            QVERIFY2((::lstat((root + folder + name).c_str(), &st) != 0) == removed, folder);
        }
    }

    void aRunCutShortIsClearedByTheNextRunOfTheSameProcess()
    {
        // A process that makes many runs, as the watch does: a run that ended without taking
        // its temporary files along leaves them to the next one, which keeps its own.
        test::Fixture fixture;
        fixture.addDrive('e');
        fixture.writeFile("e:\\a.txt", "a");
        fixture.makeDir("e:\\Written");
        const std::string folder = nativeRoot(fixture, 'e') + "/Written";
        auto platform = fixture.platform();
        const auto stage = [&](const char* name) {
            const auto staged =
                platform->stageCopy("e:\\a.txt", std::string("e:\\Written\\") + name);
            return staged ? staged.value().temp.substr(staged.value().temp.rfind('/') + 1)
                          : std::string();
        };
        std::vector<std::string> firstRun;
        {
            OperationLock lock;
            QVERIFY(lock.tryLock());
            firstRun = {stage("a.txt"), stage("b.txt")};
            QVERIFY(!firstRun[0].empty() && !firstRun[1].empty());
            QCOMPARE(listing(*platform, "e:\\Written").size(), std::size_t(0));
            std::sort(firstRun.begin(), firstRun.end());
            std::vector<std::string> names = namesIn(folder);
            std::sort(names.begin(), names.end());
            QCOMPARE(names, firstRun);
        }
        OperationLock lock;
        QVERIFY(lock.tryLock());
        const std::string next = stage("c.txt");
        QVERIFY(!next.empty());
        QCOMPARE(namesIn(folder), std::vector<std::string>{next});
    }

    void listingAndStatus()
    {
        test::Fixture fixture;
        fixture.addDrive('e');
        const std::string dir = nativeRoot(fixture, 'e') + "/Dir";
        makeFile(dir + "/plain.txt", "12345");
        QVERIFY(setTimes(dir + "/plain.txt", 1000000000, 0));
        makeFile(dir + "/.hidden", "h");
        makeFile(dir + "/readonly.txt", "r");
        QCOMPARE(::chmod((dir + "/readonly.txt").c_str(), 0444), 0);
        makeFile(dir + "/Folder/inner.txt", "i");
        makeFile(dir + "/\xff\xfe.bin", "b");
        const TreeRemover remover(dir);
        makeFile(dir + "/.kopierix-tmp-12-1-1", "half a copy");
        QCOMPARE(::symlink("Folder", (dir + "/linkdir").c_str()), 0);
        QCOMPARE(::symlink("plain.txt", (dir + "/linkfile").c_str()), 0);
        QCOMPARE(::symlink("nowhere", (dir + "/dangling").c_str()), 0);
        QCOMPARE(::mkfifo((dir + "/pipe").c_str(), 0644), 0);
        auto platform = fixture.platform();

        const auto entries = listing(*platform, "e:\\Dir");
        std::vector<std::string> names;
        for (const auto& [name, info] : entries)
            names.push_back(name);
        QCOMPARE(names,
                 (std::vector<std::string>{".hidden", "Folder", "dangling", "linkdir", "linkfile",
                                           "plain.txt", "readonly.txt", "\xff\xfe.bin"}));
        const FileInfo& plain = entries.at("plain.txt");
        QVERIFY(!plain.isDir && !plain.isLink && !plain.isHidden && !plain.isReadOnly);
        QCOMPARE(plain.size, std::int64_t(5));
        QCOMPARE(plain.mtime, std::int64_t(1000000000));
        QVERIFY(entries.at(".hidden").isHidden);
        QVERIFY(entries.at("readonly.txt").isReadOnly);
        QVERIFY(entries.at("Folder").isDir);
        QVERIFY(!entries.at("Folder").otherDevice);
        // A link reports what it points at, and that it is a link.
        QVERIFY(entries.at("linkdir").isLink && entries.at("linkdir").isDir);
        const FileInfo& linkFile = entries.at("linkfile");
        QVERIFY(linkFile.isLink && !linkFile.isDir);
        QCOMPARE(linkFile.size, std::int64_t(5));
        QCOMPARE(linkFile.mtime, std::int64_t(1000000000));
        QVERIFY(entries.at("dangling").isLink && !entries.at("dangling").isDir);

        FileInfo info;
        QVERIFY(platform->fileInfo("e:\\Dir\\linkfile", info));
        QVERIFY(info.isLink && !info.isDir);
        QCOMPARE(info.size, std::int64_t(5));
        QCOMPARE(info.mtime, std::int64_t(1000000000));
        QVERIFY(platform->fileInfo("e:\\Dir\\linkdir", info));
        QVERIFY(info.isLink && info.isDir);
        QVERIFY(platform->fileInfo("e:\\Dir\\.hidden", info));
        QVERIFY(info.isHidden && !info.isLink);
        QVERIFY(platform->fileInfo("e:\\Dir\\readonly.txt", info));
        QVERIFY(info.isReadOnly);
        QVERIFY(platform->fileInfo("e:\\", info));
        QVERIFY(info.isDir && !info.isHidden);
        QVERIFY(!platform->fileInfo("e:\\Dir\\dangling", info));
        QVERIFY(!platform->fileInfo("e:\\Dir\\missing", info));
        QVERIFY(!platform->fileInfo("b:\\Dir", info));

        // The walks take the names first and ask for their status later, on other threads,
        // relative to the open folders: that tells the same as the listing and fileStatus.
        auto same = [](const FileInfo& a, const FileInfo& b) {
            return a.isDir == b.isDir && a.isLink == b.isLink && a.isHidden == b.isHidden &&
                   a.isReadOnly == b.isReadOnly && a.otherDevice == b.otherDevice &&
                   a.size == b.size && a.mtime == b.mtime && a.mtimeTicks == b.mtimeTicks;
        };
        const std::shared_ptr<DirListing> nameListing = platform->openDir("e:\\Dir").value();
        std::vector<ListedName> listed;
        ListedName name;
        while (nameListing->nextName(name))
            listed.push_back(name);
        const auto folder = platform->openFolder("e:\\Dir");
        QVERIFY(folder);
        std::map<std::string, FileInfo> statused;
        std::vector<std::pair<bool, bool>> handleAndPath; // per name: the two answers agree
        std::thread([&] {
            for (ListedName& entry : listed) {
                if (nameListing->status(entry))
                    statused[entry.info.name] = entry.info;
            }
            for (const std::string asked :
                 {"plain.txt", ".hidden", "readonly.txt", "Folder", "linkdir", "linkfile",
                  "dangling", "missing", "\xff\xfe.bin"}) {
                FileInfo byHandle;
                FileInfo byPath;
                const bool found = folder->status(asked, byHandle);
                const bool foundByPath = platform->fileInfo("e:\\Dir\\" + asked, byPath);
                handleAndPath.emplace_back(found == foundByPath, !found || same(byHandle, byPath));
            }
        }).join();
        QCOMPARE(statused.size(), entries.size());
        for (const auto& [entryName, entryInfo] : entries)
            QVERIFY2(statused.count(entryName) && same(statused.at(entryName), entryInfo),
                     entryName.c_str());
        for (const auto& [agreeFound, agreeStatus] : handleAndPath)
            QVERIFY(agreeFound && agreeStatus);
        QVERIFY(!platform->openFolder("e:\\missing"));
        QVERIFY(!platform->openFolder("b:\\Dir"));
    }

    void listingErrors()
    {
        test::Fixture fixture;
        fixture.addDrive('e');
        fixture.addMissingDrive('f');
        auto platform = fixture.platform();
        SystemError error;
        QVERIFY(failed(platform->openDir("e:\\missing"), error));
        QCOMPARE(error.code, 3);
        QVERIFY(failed(platform->openDir("f:\\"), error));
        QCOMPARE(error.code, 21);
        QVERIFY(failed(platform->openDir("f:\\Docs"), error));
        QCOMPARE(error.code, 21);
        QVERIFY(failed(platform->openDir("b:\\"), error));
        QCOMPARE(error.code, 15);
        if (::geteuid() == 0)
            QSKIP("root reads every folder; the refused folder cannot be tried");
        fixture.makeDir("e:\\Locked");
        QCOMPARE(::chmod(fixture.native("e:\\Locked").toLocal8Bit().constData(), 0), 0);
        QVERIFY(failed(platform->openDir("e:\\Locked"), error));
        QCOMPARE(error.code, 5);
        ::chmod(fixture.native("e:\\Locked").toLocal8Bit().constData(), 0755);
    }

    void mountPointsOfOtherFileSystemsAreMarked()
    {
        test::Fixture fixture;
        fixture.addDrive('e');
        fixture.makeDir("e:\\Dir\\Mounted");
        fixture.makeDir("e:\\Dir\\Plain");
        test::ScratchMount mount;
        QString why;
        if (!mount.mountTmpfs(fixture.native("e:\\Dir\\Mounted"), "size=1m", why))
            QSKIP(qPrintable(why));
        auto platform = fixture.platform();
        const auto entries = listing(*platform, "e:\\Dir");
        QVERIFY(entries.at("Mounted").isDir && entries.at("Mounted").otherDevice);
        QVERIFY(!entries.at("Plain").otherDevice);
    }

    void copyKeepsTimeAndPermissions_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("oldMode"); // of the file the copy replaces; 0 for a new file
        QTest::addColumn<int>("expected");
        QTest::newRow("owner and group") << 0640 << 0 << 0640;
        QTest::newRow("read-only source") << 0444 << 0 << 0444;
        QTest::newRow("program") << 0755 << 0 << 0755;
        // A restore over the user's own file leaves its permissions as the user set them.
        QTest::newRow("replaces a private file") << 0755 << 0600 << 0600;
        QTest::newRow("replaces a read-only file") << 0644 << 0444 << 0444;
    }

    void copyKeepsTimeAndPermissions()
    {
        QFETCH(int, mode);
        QFETCH(int, oldMode);
        QFETCH(int, expected);
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        const std::string source = nativeRoot(fixture, 'c') + "/Docs/a.txt";
        makeFile(source, "contents");
        QVERIFY(setTimes(source, 1234567890, 123456789));
        QCOMPARE(::chmod(source.c_str(), mode_t(mode)), 0);
        fixture.makeDir("e:\\C-Docs");
        const std::string dest = nativeRoot(fixture, 'e') + "/C-Docs/a.txt";
        if (oldMode != 0) {
            makeFile(dest, "old");
            QCOMPARE(::chmod(dest.c_str(), mode_t(oldMode)), 0);
        }
        auto platform = fixture.platform();

        SystemError error;
        StagedCopy staged;
        QVERIFY(
            succeeded(platform->stageCopy("c:\\Docs\\a.txt", "e:\\C-Docs\\a.txt"), staged, error));
        // Times go to 100 ns, the unit of the other system's file times.
        QCOMPARE(staged.mtime, std::int64_t(1234567890));
        QCOMPARE(staged.mtimeTicks, std::int32_t(1234567));
        QVERIFY(platform->commitStaged(staged));
        QCOMPARE(readFile(dest), std::string("contents"));
        const struct stat st = statOf(dest);
        QCOMPARE(st.st_mtim.tv_sec, time_t(1234567890));
        QCOMPARE(st.st_mtim.tv_nsec, 123456700L);
        QCOMPARE(int(st.st_mode & 07777), expected);
        QCOMPARE(namesIn(nativeRoot(fixture, 'e') + "/C-Docs"), std::vector<std::string>{"a.txt"});
    }

    void aNewFileFromAFatMediumTakesTheUsersMode()
    {
        test::Fixture fixture;
        fixture.addDrive('c');
        test::ScratchMount mount;
        QString why;
        if (::geteuid() != 0)
            QSKIP("mounting an exFAT image needs root");
        if (!mount.mountExfatDrive(fixture, 'e', why))
            QSKIP(qPrintable(why));
        const std::string card = QFile::encodeName(fixture.native("e:\\")).toStdString();
        makeFile(card + "/C-Docs/new.txt", "new");
        makeFile(card + "/C-Docs/mine.txt", "mine");
        const std::string docs = nativeRoot(fixture, 'c') + "/Docs";
        makeFile(docs + "/mine.txt", "old");
        QCOMPARE(::chmod((docs + "/mine.txt").c_str(), 0600), 0);
        auto platform = fixture.platform();
        const mode_t mask = ::umask(022);
        ::umask(mask);

        // exFAT reports 0777 for every file: that is no mode to give a restored file.
        QVERIFY(platform->copyFile("e:\\C-Docs\\new.txt", "c:\\Docs\\new.txt"));
        QVERIFY(platform->copyFile("e:\\C-Docs\\mine.txt", "c:\\Docs\\mine.txt"));
        QCOMPARE(int(statOf(docs + "/new.txt").st_mode & 07777), int(0666 & ~mask));
        QCOMPARE(int(statOf(docs + "/mine.txt").st_mode & 07777), 0600);
        QCOMPARE(readFile(docs + "/mine.txt"), std::string("mine"));
    }

    void copyReplacesTheOldCopyWhole()
    {
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e');
        fixture.writeFile("c:\\a.txt", "new");
        fixture.writeFile("e:\\C-a\\a.txt", "the old and much longer contents");
        const std::string dest = nativeRoot(fixture, 'e') + "/C-a/a.txt";
        const std::string before = nativeRoot(fixture, 'e') + "/before";
        QCOMPARE(::link(dest.c_str(), before.c_str()), 0);
        auto platform = fixture.platform();
        QCOMPARE(::chmod(dest.c_str(), 0444), 0);
        // Its permission bits do not keep a copy from being replaced: the folder decides.
        QVERIFY(platform->copyFile("c:\\a.txt", "e:\\C-a\\a.txt"));
        QCOMPARE(readFile(dest), std::string("new"));
        // The old file was replaced, not written over: a second name of it still has it all.
        QCOMPARE(readFile(before), std::string("the old and much longer contents"));
        QCOMPARE(namesIn(nativeRoot(fixture, 'e') + "/C-a"), std::vector<std::string>{"a.txt"});
    }

    void failedCopiesLeaveTheDestinationAsItWas_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("dest");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("sizeLimit"); // bytes a write may reach; 0 for no limit

        QTest::newRow("vanished source") << "c:\\gone.txt"
                                         << "e:\\Docs\\old.txt" << 2 << 0;
        QTest::newRow("source folder vanished") << "c:\\Gone\\a.txt"
                                                << "e:\\Docs\\old.txt" << 3 << 0;
        QTest::newRow("source is a folder") << "c:\\Sub"
                                            << "e:\\Docs\\old.txt" << 5 << 0;
        QTest::newRow("destination is a folder") << "c:\\a.txt"
                                                 << "e:\\Docs" << 5 << 0;
        QTest::newRow("missing folder") << "c:\\a.txt"
                                        << "e:\\New\\a.txt" << 3 << 0;
        QTest::newRow("medium not there") << "c:\\a.txt"
                                          << "f:\\Docs\\old.txt" << 21 << 0;
        QTest::newRow("no such drive") << "c:\\a.txt"
                                       << "b:\\Docs\\old.txt" << 15 << 0;
        // The temporary copy exists by then, half written: it must go.
        QTest::newRow("write stopped half-way") << "c:\\big.bin"
                                                << "e:\\Docs\\old.txt" << EFBIG << 65536;
    }

    void failedCopiesLeaveTheDestinationAsItWas()
    {
        QFETCH(QString, source);
        QFETCH(QString, dest);
        QFETCH(int, code);
        QFETCH(int, sizeLimit);
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e');
        fixture.addMissingDrive('f');
        fixture.writeFile("c:\\a.txt", "new");
        fixture.writeFile("c:\\big.bin", QByteArray(4 * sizeLimit, 'x'));
        fixture.makeDir("c:\\Sub");
        fixture.writeFile("e:\\Docs\\old.txt", "old");
        const std::string docs = nativeRoot(fixture, 'e') + "/Docs";
        auto platform = fixture.platform();

        SystemError error;
        {
            std::optional<FileSizeLimit> limit;
            if (sizeLimit > 0) {
                limit.emplace(rlim_t(sizeLimit));
                QVERIFY(limit->isSet());
            }
            QVERIFY(failed(platform->copyFile(source.toStdString(), dest.toStdString()), error));
        }
        QCOMPARE(error.code, code);
        QVERIFY(!error.message.empty());
        QCOMPARE(readFile(docs + "/old.txt"), std::string("old"));
        QCOMPARE(namesIn(docs), std::vector<std::string>{"old.txt"});
        QCOMPARE(namesIn(nativeRoot(fixture, 'e')), std::vector<std::string>{"Docs"});
        QVERIFY(!QFileInfo::exists(fixture.root() + "/drive-f"));
    }

    void copyNeverReplacesWhatIsNotAFile_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("message");
        QTest::newRow("named pipe") << int(S_IFIFO) << "A named pipe is in the way";
        QTest::newRow("socket") << int(S_IFSOCK) << "A socket is in the way";
        QTest::newRow("device") << int(S_IFCHR) << "A device is in the way";
        QTest::newRow("link to a file") << int(S_IFLNK) << "A symbolic link is in the way";
    }

    void copyNeverReplacesWhatIsNotAFile()
    {
        QFETCH(int, type);
        QFETCH(QString, message);
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e');
        fixture.writeFile("c:\\a.txt", "new");
        fixture.makeDir("e:\\Docs");
        const std::string outside =
            QFile::encodeName(fixture.root() + "/outside.txt").toStdString();
        makeFile(outside, "outside");
        const std::string docs = nativeRoot(fixture, 'e') + "/Docs";
        const std::string inTheWay = docs + "/a.txt";
        int made = -1;
        int listener = -1;
        if (type == S_IFLNK) {
            made = ::symlink(outside.c_str(), inTheWay.c_str());
        } else if (type == S_IFSOCK) {
            listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            QVERIFY(inTheWay.size() < sizeof address.sun_path);
            std::memcpy(address.sun_path, inTheWay.c_str(), inTheWay.size() + 1);
            made = ::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        } else {
            made =
                ::mknod(inTheWay.c_str(), mode_t(type) | 0600, type == S_IFCHR ? makedev(1, 3) : 0);
            if (made != 0 && type == S_IFCHR)
                QSKIP("making a device node needs root");
        }
        QCOMPARE(made, 0);
        auto platform = fixture.platform();

        SystemError error;
        const bool copied = succeeded(platform->copyFile("c:\\a.txt", "e:\\Docs\\a.txt"), error);
        if (listener >= 0)
            ::close(listener);
        QVERIFY(!copied);
        QCOMPARE(error.code, 5);
        QCOMPARE(QString::fromStdString(error.message), message);
        struct stat st;
        QCOMPARE(::lstat(inTheWay.c_str(), &st), 0);
        QCOMPARE(int(st.st_mode & S_IFMT), type);
        QCOMPARE(namesIn(docs), std::vector<std::string>{"a.txt"});
        QCOMPARE(readFile(outside), std::string("outside"));
    }

    void somethingThatAppearsBeforeTheRenameStopsIt_data()
    {
        QTest::addColumn<bool>("folder"); // else a named pipe
        QTest::newRow("folder") << true;
        QTest::newRow("named pipe") << false;
    }

    void somethingThatAppearsBeforeTheRenameStopsIt()
    {
        QFETCH(bool, folder);
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e');
        fixture.writeFile("c:\\a.txt", "new");
        fixture.writeFile("e:\\Docs\\a.txt", "old");
        const std::string docs = nativeRoot(fixture, 'e') + "/Docs";
        auto platform = fixture.platform();

        SystemError error;
        StagedCopy staged;
        QVERIFY(succeeded(platform->stageCopy("c:\\a.txt", "e:\\Docs\\a.txt"), staged, error));
        QCOMPARE(::unlink((docs + "/a.txt").c_str()), 0);
        if (folder)
            makeFile(docs + "/a.txt/inside.txt", "inside");
        else
            QCOMPARE(::mkfifo((docs + "/a.txt").c_str(), 0600), 0);
        QVERIFY(failed(platform->commitStaged(staged), error));
        QCOMPARE(error.code, 5);
        QVERIFY(!error.message.empty());
        struct stat st;
        QCOMPARE(::lstat((docs + "/a.txt").c_str(), &st), 0);
        QCOMPARE(bool(S_ISDIR(st.st_mode)), folder);
        QCOMPARE(bool(S_ISFIFO(st.st_mode)), !folder);
        if (folder)
            QCOMPARE(readFile(docs + "/a.txt/inside.txt"), std::string("inside"));
        QCOMPARE(namesIn(docs), std::vector<std::string>{"a.txt"});
    }

    void aBatchIsFlushedOncePerFileSystemBeforeAnyRename()
    {
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e');
        QDir(fixture.root()).mkpath("stick");
        test::ScratchMount mount;
        QString why;
        if (!mount.mountTmpfs(fixture.root() + "/stick", "size=1m", why))
            QSKIP(qPrintable(why));
        fixture.mapDrive('f', fixture.root() + "/stick", "DRIVE_REMOVABLE");
        fixture.writeFile("c:\\a.txt", "a");
        fixture.writeFile("c:\\b.txt", "b");
        fixture.makeDir("e:\\C-");
        QDir(fixture.root()).mkpath("stick/C-");
        const std::vector<std::string> dests = {"e:\\C-\\a.txt", "f:\\C-\\a.txt", "e:\\C-\\b.txt",
                                                "f:\\C-\\b.txt"};
        FlushRecorder platform;
        for (const std::string& dest : dests)
            platform.watched.push_back(fixture.nativeBytes(dest));

        CopyBatch batch(platform);
        int settled = 0;
        for (std::size_t i = 0; i < dests.size(); ++i) {
            SystemError error;
            QVERIFY(batch.add(
                i % 2 == 0 ? "c:\\a.txt" : "c:\\b.txt", dests[i],
                [&](const StagedCopy&, const SystemError* failure) {
                    settled += failure == nullptr ? 1 : 0;
                },
                error));
        }
        batch.commit();
        QCOMPARE(settled, 4);
        const dev_t e = statOf(nativeRoot(fixture, 'e')).st_dev;
        const dev_t f = statOf(fixture.nativeBytes("f:\\")).st_dev;
        QVERIFY(e != f);
        QCOMPARE(platform.flushes.size(), std::size_t(2));
        std::set<dev_t> devices;
        for (const FlushRecorder::Flush& flush : platform.flushes) {
            QVERIFY(flush.wholeFileSystem);
            QVERIFY(!flush.afterARename);
            devices.insert(flush.device);
        }
        QCOMPARE(devices, (std::set<dev_t>{e, f}));

        // A copy by itself forces its own file to the medium before it takes the old one's place.
        platform.flushes.clear();
        fixture.writeFile("c:\\a.txt", "again");
        platform.watched = {fixture.nativeBytes("f:\\C-\\new.txt")};
        QVERIFY(platform.copyFile("c:\\a.txt", "f:\\C-\\new.txt"));
        QCOMPARE(platform.flushes.size(), std::size_t(1));
        QCOMPARE(platform.flushes[0].device, f);
        QVERIFY(!platform.flushes[0].afterARename);
        QCOMPARE(fixture.readFile("f:\\C-\\new.txt"), QByteArray("again"));
    }

    void copyIntoReadOnlyFolderFails()
    {
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.writeFile("c:\\a.txt", "new");
        QDir(fixture.root()).mkpath("medium");
        test::ScratchMount mount;
        const std::string medium = QFile::encodeName(fixture.root() + "/medium").toStdString();
        if (::geteuid() == 0) {
            // Root writes into any folder; a medium mounted read-only stops root too.
            QString why;
            if (!mount.mountTmpfs(fixture.root() + "/medium", "size=1m", why))
                QSKIP(qPrintable(why));
            makeFile(medium + "/Docs/a.txt", "old");
            if (!mount.remountReadOnly(why))
                QSKIP(qPrintable(why));
        } else {
            makeFile(medium + "/Docs/a.txt", "old");
            QCOMPARE(::chmod((medium + "/Docs").c_str(), 0555), 0);
        }
        fixture.mapDrive('e', fixture.root() + "/medium", "DRIVE_REMOVABLE");
        auto platform = fixture.platform();

        SystemError error;
        QVERIFY(failed(platform->copyFile("c:\\a.txt", "e:\\Docs\\a.txt"), error));
        QCOMPARE(error.code, 5);
        QVERIFY(failed(platform->copyFile("c:\\a.txt", "e:\\Docs\\b.txt"), error));
        QCOMPARE(error.code, 5);
        QCOMPARE(readFile(medium + "/Docs/a.txt"), std::string("old"));
        QCOMPARE(namesIn(medium + "/Docs"), std::vector<std::string>{"a.txt"});
        ::chmod((medium + "/Docs").c_str(), 0755);
    }

    void copyOntoAFullDiskKeepsTheOldCopy()
    {
        test::Fixture fixture;
        fixture.addDrive('c');
        QDir(fixture.root()).mkpath("small");
        test::ScratchMount mount;
        QString why;
        if (!mount.mountTmpfs(fixture.root() + "/small", "size=2m", why))
            QSKIP(qPrintable(why));
        const std::string small = QFile::encodeName(fixture.root() + "/small").toStdString();
        makeFile(small + "/C-Docs/big.bin", "old");
        fixture.mapDrive('e', fixture.root() + "/small", "DRIVE_REMOVABLE");
        fixture.writeFile("c:\\Docs\\big.bin", QByteArray(4 * 1024 * 1024, 'x'));
        auto platform = fixture.platform();
        const std::int64_t freeBefore = platform->freeSpace('e');

        SystemError error;
        QVERIFY(failed(platform->copyFile("c:\\Docs\\big.bin", "e:\\C-Docs\\big.bin"), error));
        QCOMPARE(error.code, 112);
        QCOMPARE(error.message, std::string("There is not enough space on the disk"));
        QCOMPARE(readFile(small + "/C-Docs/big.bin"), std::string("old"));
        QCOMPARE(namesIn(small + "/C-Docs"), std::vector<std::string>{"big.bin"});
        QCOMPARE(platform->freeSpace('e'), freeBefore);

        // What fits still goes.
        fixture.writeFile("c:\\Docs\\small.bin", QByteArray(1024 * 1024, 'y'));
        QVERIFY(platform->copyFile("c:\\Docs\\small.bin", "e:\\C-Docs\\big.bin"));
        QCOMPARE(readFile(small + "/C-Docs/big.bin").size(), std::size_t(1024 * 1024));
    }

    void copyOntoExfat()
    {
        test::Fixture fixture;
        fixture.addDrive('c');
        test::ScratchMount mount;
        QString why;
        if (::geteuid() != 0)
            QSKIP("mounting an exFAT image needs root");
        if (!mount.mountExfatDrive(fixture, 'e', why))
            QSKIP(qPrintable(why));
        fixture.writeFile("c:\\Docs\\a.txt", "first", 1500000000);
        auto platform = fixture.platform();
        QCOMPARE(platform->fileSystemName('e'), std::string("exfat"));

        SystemError error;
        QVERIFY(platform->makeDirs("e:\\C-Docs"));
        QVERIFY(platform->copyFile("c:\\Docs\\a.txt", "e:\\C-Docs\\a.txt"));
        fixture.writeFile("c:\\Docs\\a.txt", "second", 1500000100);
        QVERIFY2(succeeded(platform->copyFile("c:\\Docs\\a.txt", "e:\\C-Docs\\a.txt"), error),
                 error.message.c_str());
        const std::string card = QFile::encodeName(fixture.native("e:\\")).toStdString();
        QCOMPARE(readFile(card + "/C-Docs/a.txt"), std::string("second"));
        QCOMPARE(statOf(card + "/C-Docs/a.txt").st_mtim.tv_sec, time_t(1500000100));
        QCOMPARE(namesIn(card + "/C-Docs"), std::vector<std::string>{"a.txt"});
        const auto entries = listing(*platform, "e:\\C-Docs");
        QCOMPARE(entries.size(), std::size_t(1));
        QCOMPARE(entries.begin()->second.mtime, std::int64_t(1500000100));
    }

    void folderAndFileOperations()
    {
        test::Fixture fixture;
        fixture.addDrive('e');
        fixture.addMissingDrive('f');
        fixture.writeFile("e:\\Docs\\a.txt", "a");
        fixture.writeFile("e:\\Docs\\b.txt", "b");
        auto platform = fixture.platform();
        SystemError error;

        QVERIFY(platform->makeDirs("e:\\One\\Two\\Three"));
        QVERIFY(QFileInfo(fixture.native("e:\\One\\Two\\Three")).isDir());
        QVERIFY(platform->makeDirs("e:\\one\\two")); // there already
        QVERIFY(platform->makeDirs("e:\\"));
        QVERIFY(failed(platform->makeDirs("e:\\Docs\\a.txt\\Sub"), error));
        QVERIFY(error.code != 0);
        QVERIFY(failed(platform->makeDirs("f:\\Docs"), error));
        QCOMPARE(error.code, 21);
        QVERIFY(!QFileInfo::exists(fixture.root() + "/drive-f")); // a root is never made

        QVERIFY(failed(platform->removeFile("e:\\Docs\\none.txt"), error));
        QCOMPARE(error.code, 2);
        QVERIFY(failed(platform->removeFile("e:\\Docs"), error));
        QCOMPARE(error.code, 5);
        QVERIFY(failed(platform->removeDir("e:\\One\\Two"), error)); // not empty
        QVERIFY(platform->removeDir("e:\\One\\Two\\Three"));
        QVERIFY(!fixture.exists("e:\\One\\Two\\Three"));

        // A rename never replaces another entry.
        QVERIFY(failed(platform->renamePath("e:\\Docs\\a.txt", "e:\\Docs\\b.txt"), error));
        QCOMPARE(error.code, EEXIST);
        QCOMPARE(fixture.readFile("e:\\Docs\\b.txt"), QByteArray("b"));
        QVERIFY(platform->renamePath("e:\\Docs\\a.txt", "e:\\Docs\\A.TXT"));
        QCOMPARE(fixture.readFile("e:\\Docs\\A.TXT"), QByteArray("a"));
        QVERIFY(!fixture.exists("e:\\Docs\\a.txt"));
        QVERIFY(failed(platform->renamePath("e:\\Docs\\A.TXT", "e:\\Nowhere\\a.txt"), error));
        QCOMPARE(error.code, 3);

        QVERIFY(platform->setModificationTime("e:\\Docs\\b.txt", 1300000000, 0));
        QCOMPARE(fixture.mtime("e:\\Docs\\b.txt"), qint64(1300000000));
        QVERIFY(platform->setReadOnly("e:\\Docs\\b.txt", true));
        QCOMPARE(int(statOf(fixture.native("e:\\Docs\\b.txt").toStdString()).st_mode & 0222), 0);
        FileInfo info;
        QVERIFY(platform->fileInfo("e:\\Docs\\b.txt", info) && info.isReadOnly);
        QVERIFY(platform->setReadOnly("e:\\Docs\\b.txt", false));
        QVERIFY(platform->fileInfo("e:\\Docs\\b.txt", info) && !info.isReadOnly);
        QVERIFY(failed(platform->setModificationTime("e:\\Docs\\none.txt", 1, 0), error));
        QCOMPARE(error.code, 2);
    }

    void writeFileReplacesWhole()
    {
        test::Fixture fixture;
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        auto platform = fixture.platform();
        SystemError error;
        QVERIFY(platform->writeFile("e:\\Autorun.inf", "[autorun]\r\n"));
        QCOMPARE(fixture.readFile("e:\\Autorun.inf"), QByteArray("[autorun]\r\n"));
        const std::string path = fixture.native("e:\\Autorun.inf").toStdString();
        QCOMPARE(::chmod(path.c_str(), 0600), 0);
        QVERIFY(platform->writeFile("e:\\Autorun.inf", "x"));
        QCOMPARE(fixture.readFile("e:\\Autorun.inf"), QByteArray("x"));
        QCOMPARE(int(statOf(path).st_mode & 0777), 0600);
        QCOMPARE(::chmod(path.c_str(), 0400), 0);
        QVERIFY(failed(platform->writeFile("e:\\Autorun.inf", "y"), error));
        QCOMPARE(error.code, 5);
        QCOMPARE(fixture.readFile("e:\\Autorun.inf"), QByteArray("x"));
        QCOMPARE(namesIn(nativeRoot(fixture, 'e')), std::vector<std::string>{"Autorun.inf"});
    }

    void moveToTrash()
    {
        test::Fixture fixture;
        fixture.addDrive('e');
        fixture.writeFile("e:\\Docs\\old.txt", "old");
        auto platform = fixture.platform();
        SystemError error;
        QVERIFY2(succeeded(platform->moveToTrash("e:\\Docs\\old.txt"), error),
                 error.message.c_str());
        QVERIFY(!fixture.exists("e:\\Docs\\old.txt"));
        QVERIFY(failed(platform->moveToTrash("e:\\Docs\\old.txt"), error));
        QCOMPARE(error.code, 2);
    }

    void currentDirectory_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("current"); // afterwards
        QTest::addColumn<int>("code");

        QTest::newRow("folder") << "e:\\Docs" << true << "e:\\Docs" << 0;
        QTest::newRow("trailing backslash") << "e:\\Docs\\Sub\\" << true << "e:\\Docs\\Sub" << 0;
        QTest::newRow("upper-case letter, kept as given") << "E:\\Docs" << true << "E:\\Docs" << 0;
        QTest::newRow("other case is another folder") << "e:\\DOCS" << false << "c:\\" << 3;
        QTest::newRow("root") << "e:\\" << true << "e:\\" << 0;
        QTest::newRow("letter alone") << "e:" << true << "e:\\" << 0;
        QTest::newRow("relative") << "Sub" << true << "c:\\Sub" << 0;
        QTest::newRow("missing folder") << "e:\\Nothing" << false << "c:\\" << 3;
        QTest::newRow("a file") << "e:\\Docs\\a.txt" << false << "c:\\" << 3;
        QTest::newRow("medium not there") << "f:\\" << false << "c:\\" << 21;
        QTest::newRow("no such drive") << "b:\\" << false << "c:\\" << 15;
    }

    void currentDirectory()
    {
        QFETCH(QString, path);
        QFETCH(bool, ok);
        QFETCH(QString, current);
        QFETCH(int, code);
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e');
        fixture.addMissingDrive('f');
        fixture.makeDir("c:\\Sub");
        fixture.writeFile("e:\\Docs\\a.txt", "a");
        fixture.makeDir("e:\\Docs\\Sub");
        auto platform = fixture.platform();
        QCOMPARE(platform->currentDirectory(), std::string("c:\\"));
        SystemError error;
        QCOMPARE(succeeded(platform->setCurrentDirectory(path.toStdString()), error), ok);
        QCOMPARE(platform->currentDirectory(), current.toStdString());
        if (!ok)
            QCOMPARE(error.code, code);
    }

    void pathsWithoutALetterStartAtTheCurrentFolder()
    {
        test::Fixture fixture;
        fixture.addDrive('e');
        fixture.writeFile("e:\\Docs\\Sub\\a.txt", "a");
        auto platform = fixture.platform();
        QVERIFY(platform->setCurrentDirectory("e:\\Docs"));
        QCOMPARE(platform->nativePath("Sub\\a.txt"),
                 fixture.native("e:\\Docs\\Sub\\a.txt").toStdString());
        QCOMPARE(platform->nativePath("\\Docs"), fixture.native("e:\\Docs").toStdString());
        QVERIFY(platform->setCurrentDirectory("Sub"));
        QCOMPARE(platform->currentDirectory(), std::string("e:\\Docs\\Sub"));
    }

    void dataFolderFiles()
    {
        test::Fixture fixture;
        auto platform = fixture.platform();
        const std::string folder = platform->dataFolder();
        QCOMPARE(folder, (fixture.dataPath() + "/").toStdString());
        QVERIFY(QFileInfo(fixture.dataPath()).isDir());

        SystemError error;
        QVERIFY(platform->appendDataFile("Kopierix.log", "one\r\n"));
        QVERIFY(platform->appendDataFile("Kopierix.log", "two\r\n"));
        QCOMPARE(readFile(folder + "Kopierix.log"), std::string("one\r\ntwo\r\n"));
        QVERIFY(platform->renameDataFile("Kopierix.log", "Kopierix!.log"));
        QCOMPARE(readFile(folder + "Kopierix!.log"), std::string("one\r\ntwo\r\n"));
        QVERIFY(!platform->renameDataFile("Kopierix.log", "Kopierix!!.log"));
        QVERIFY(platform->removeDataFile("Kopierix!.log"));
        QVERIFY(!platform->removeDataFile("Kopierix!.log"));
        QVERIFY(failed(platform->appendDataFile("No\\Such/Folder.log", "x"), error));
        QCOMPARE(error.code, ENOENT);
    }
};

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
