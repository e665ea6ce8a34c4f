// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "common/Outcome.h"
#include "platform/linux/ConfinedFolder.h"

#include <QtTest>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kx;
using kx::test::failed;
using kx::test::succeeded;

namespace {

std::string bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

[[nodiscard]] bool makeFile(const std::string& path, const std::string& contents)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, contents.data(), contents.size()) == ssize_t(contents.size());
    return ::close(fd) == 0 && written;
}

// Every path below a folder, links not followed, relative to it.
void collect(const std::string& folder, const std::string& prefix, std::vector<std::string>& out)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        out.push_back(prefix + name);
        struct stat st;
        if (::lstat((folder + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            collect(folder + "/" + name, prefix + name + "/", out);
    }
    ::closedir(dir);
}

std::vector<std::string> treeOf(const std::string& folder)
{
    std::vector<std::string> paths;
    collect(folder, "", paths);
    std::sort(paths.begin(), paths.end());
    return paths;
}

// Swaps a folder and a link to a folder outside its drive, over and over, while it lives.
class Swapper
{
public:
    Swapper(std::string folder, std::string link)
        : m_folder(std::move(folder)), m_link(std::move(link)), m_thread([this] { run(); })
    {
    }
    ~Swapper() { stop(); }
    Swapper(const Swapper&) = delete;
    Swapper& operator=(const Swapper&) = delete;

    /** Stops, with the folder back in its place; the number of swaps made. */
    long stop()
    {
        if (m_thread.joinable()) {
            m_stop = true;
            m_thread.join();
            struct stat st;
            if (::lstat(m_folder.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
                swap();
        }
        return m_swaps;
    }

private:
    bool swap()
    {
        return ::renameat2(AT_FDCWD, m_folder.c_str(), AT_FDCWD, m_link.c_str(), RENAME_EXCHANGE) ==
               0;
    }
    void run()
    {
        // Bounded, so that a test that forgets to stop it still ends.
        for (long i = 0; i < 10'000'000 && !m_stop; ++i) {
            if (swap())
                ++m_swaps;
            // Each state lasts a moment, as a person's or a program's swap would.
            std::this_thread::sleep_for(std::chrono::microseconds(20));
        }
    }

    std::string m_folder;
    std::string m_link;
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_swaps{0};
    std::thread m_thread;
};

} // namespace

class TestConfinement : public QObject
{
    Q_OBJECT

private slots:
    void opensOnlyFoldersReachedWithoutLinks_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::addColumn<QByteArray>("below");
        QTest::addColumn<bool>("create");
        QTest::addColumn<int>("expected");
        QTest::addColumn<QByteArray>("opened"); // the folder below the root that is open then

        const struct
        {
            const char* name;
            ConfinedFolder::Resolution resolution;
        } resolutions[] = {{"kernel", ConfinedFolder::Resolution::Kernel},
                           {"name by name", ConfinedFolder::Resolution::NameByName}};
        for (const auto& r : resolutions) {
            auto row = [&](const char* what) -> QTestData& {
                return QTest::addRow("%s, %s", r.name, what) << int(r.resolution);
            };
            row("the root") << QByteArray() << false << 0 << QByteArray(".");
            row("a folder") << QByteArray("a/b") << false << 0 << QByteArray("a/b");
            row("missing") << QByteArray("a/none") << false << ENOENT << QByteArray();
            row("a file") << QByteArray("a/file") << false << ENOTDIR << QByteArray();
            row("below a file") << QByteArray("a/file/x") << false << ENOTDIR << QByteArray();
            row("a link") << QByteArray("a/link") << false << ELOOP << QByteArray();
            row("below a link") << QByteArray("a/link/x") << false << ELOOP << QByteArray();
            row("a link to a folder inside")
                << QByteArray("a/inside") << false << ELOOP << QByteArray();
            row("made") << QByteArray("a/new/deeper") << true << 0 << QByteArray("a/new/deeper");
            row("never made through a link")
                << QByteArray("a/link/new") << true << ELOOP << QByteArray();
        }
    }

    void opensOnlyFoldersReachedWithoutLinks()
    {
        QFETCH(int, resolution);
        QFETCH(QByteArray, below);
        QFETCH(bool, create);
        QFETCH(int, expected);
        QFETCH(QByteArray, opened);
        QTemporaryDir dir;
        const std::string top = bytes(dir.path());
        const std::string root = top + "/root";
        const std::string outside = top + "/outside";
        QVERIFY(QDir().mkpath(dir.path() + "/root/a/b"));
        QVERIFY(QDir().mkpath(dir.path() + "/outside/x"));
        QVERIFY(makeFile(root + "/a/file", "f"));
        QCOMPARE(::symlink(outside.c_str(), (root + "/a/link").c_str()), 0);
        QCOMPARE(::symlink("b", (root + "/a/inside").c_str()), 0);
        // The root itself may be reached through a link the user set up.
        QCOMPARE(::symlink(root.c_str(), (top + "/root-link").c_str()), 0);

        ConfinedFolder folder{ConfinedFolder::Resolution(resolution)};
        QCOMPARE(folder.open(top + "/root-link", below.toStdString(), create), expected);
        if (expected == 0) {
            struct stat held, wanted;
            QCOMPARE(::fstat(folder.fd(), &held), 0);
            QCOMPARE(::stat((root + "/" + opened.toStdString()).c_str(), &wanted), 0);
            QCOMPARE(held.st_ino, wanted.st_ino);
            QCOMPARE(folder.madeFolders(), create);
        } else {
            QCOMPARE(folder.fd(), -1);
        }
        QCOMPARE(treeOf(outside), std::vector<std::string>{"x"});
    }

    void aSwappedFolderIsNeverWrittenThrough_data()
    {
        QTest::addColumn<int>("resolution");
        QTest::newRow("kernel") << int(ConfinedFolder::Resolution::Kernel);
        QTest::newRow("name by name") << int(ConfinedFolder::Resolution::NameByName);
    }

    void aSwappedFolderIsNeverWrittenThrough()
    {
        QFETCH(int, resolution);
        QTemporaryDir dir;
        const std::string top = bytes(dir.path());
        QVERIFY(QDir().mkpath(dir.path() + "/root/Docs/Sub"));
        QVERIFY(QDir().mkpath(dir.path() + "/outside/Sub"));
        QCOMPARE(::symlink((top + "/outside").c_str(), (top + "/root/swap").c_str()), 0);

        Swapper swapper(top + "/root/Docs", top + "/root/swap");
        for (int i = 0; i < 2000; ++i) {
            ConfinedFolder folder{ConfinedFolder::Resolution(resolution)};
            const std::string below = i % 2 == 0 ? "Docs/Sub" : "Docs/New" + std::to_string(i);
            if (folder.open(top + "/root", below, true) != 0)
                continue;
            const std::string name = "f" + std::to_string(i);
            const int fd = ::openat(folder.fd(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            if (fd >= 0)
                ::close(fd);
        }
        const long swaps = swapper.stop();
        QVERIFY(swaps > 0);
        QCOMPARE(treeOf(top + "/outside"), std::vector<std::string>{"Sub"});
    }

    void copiesNeverGoThroughASwappedFolder_data()
    {
        QTest::addColumn<QByteArray>("folder"); // the folder of the copies, below Docs
        QTest::newRow("the folder itself") << QByteArray("e:\\Docs");
        QTest::newRow("a folder above it") << QByteArray("e:\\Docs\\Sub");
    }

    void copiesNeverGoThroughASwappedFolder()
    {
        QFETCH(QByteArray, folder);
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        fixture.writeFile("c:\\a.txt", "new");
        fixture.makeDir("e:\\Docs\\Sub");
        const std::string outside = bytes(fixture.root() + "/outside");
        QVERIFY(QDir().mkpath(fixture.root() + "/outside/Sub"));
        const std::string docs = fixture.nativeBytes("e:\\Docs");
        QCOMPARE(::symlink(outside.c_str(), fixture.nativeBytes("e:\\swap").c_str()), 0);
        auto platform = fixture.platform();

        // Every kind of write the runs make on a medium or into a restore target.
        const std::string base = folder.toStdString();
        Swapper swapper(docs, fixture.nativeBytes("e:\\swap"));
        for (int i = 0; i < 1200; ++i) {
            const std::string dest = base + "\\f" + std::to_string(i) + ".txt";
            SystemError error;
            bool ok = false;
            switch (i % 4) {
            case 0:
                ok = succeeded(platform->copyFile("c:\\a.txt", dest), error);
                break;
            case 1: {
                StagedCopy staged;
                ok = succeeded(platform->stageCopy("c:\\a.txt", dest), staged, error) &&
                     succeeded(platform->flushStaged({staged}), error) &&
                     succeeded(platform->commitStaged(staged), error);
                break;
            }
            case 2:
                ok = succeeded(platform->writeFile(dest, "written"), error);
                break;
            default:
                ok = succeeded(platform->makeDirs(base + "\\New" + std::to_string(i)), error);
            }
            if (!ok)
                QVERIFY(!error.message.empty());
        }
        QVERIFY(swapper.stop() > 0);
        QCOMPARE(treeOf(outside), std::vector<std::string>{"Sub"});
        // Refused while the link stood there, not for good.
        SystemError error;
        QVERIFY2(succeeded(platform->copyFile("c:\\a.txt", base + "\\after.txt"), error),
                 error.message.c_str());
    }

    void everyWriteStopsAtALinkOnItsWay_data()
    {
        QTest::addColumn<QString>("operation");
        for (const char* operation :
             {"copy", "stage", "write", "make folders", "remove file", "remove folder",
              "rename out", "rename in", "trash", "set time", "set read-only"})
            QTest::newRow(operation) << QString::fromLatin1(operation);
    }

    void everyWriteStopsAtALinkOnItsWay()
    {
        QFETCH(QString, operation);
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e');
        fixture.writeFile("c:\\a.txt", "new");
        fixture.writeFile("e:\\b.txt", "b");
        const std::string outside = bytes(fixture.root() + "/outside");
        QVERIFY(QDir().mkpath(fixture.root() + "/outside/Sub"));
        QVERIFY(makeFile(outside + "/a.txt", "outside"));
        QCOMPARE(::chmod((outside + "/a.txt").c_str(), 0644), 0);
        QCOMPARE(::symlink(outside.c_str(), fixture.nativeBytes("e:\\Docs").c_str()), 0);
        struct stat before;
        QCOMPARE(::stat((outside + "/a.txt").c_str(), &before), 0);
        auto platform = fixture.platform();

        SystemError error;
        StagedCopy staged;
        bool ok = true;
        if (operation == "copy")
            ok = succeeded(platform->copyFile("c:\\a.txt", "e:\\Docs\\a.txt"), error);
        else if (operation == "stage")
            ok = succeeded(platform->stageCopy("c:\\a.txt", "e:\\Docs\\new.txt"), staged, error);
        else if (operation == "write")
            ok = succeeded(platform->writeFile("e:\\Docs\\a.txt", "written"), error);
        else if (operation == "make folders")
            ok = succeeded(platform->makeDirs("e:\\Docs\\New\\Deeper"), error);
        else if (operation == "remove file")
            ok = succeeded(platform->removeFile("e:\\Docs\\a.txt"), error);
        else if (operation == "remove folder")
            ok = succeeded(platform->removeDir("e:\\Docs\\Sub"), error);
        else if (operation == "rename out")
            ok = succeeded(platform->renamePath("e:\\Docs\\a.txt", "e:\\moved.txt"), error);
        else if (operation == "rename in")
            ok = succeeded(platform->renamePath("e:\\b.txt", "e:\\Docs\\b.txt"), error);
        else if (operation == "trash")
            ok = succeeded(platform->moveToTrash("e:\\Docs\\a.txt"), error);
        else if (operation == "set time")
            ok = succeeded(platform->setModificationTime("e:\\Docs\\a.txt", 1000000000, 0), error);
        else
            ok = succeeded(platform->setReadOnly("e:\\Docs\\a.txt", true), error);
        QVERIFY(!ok);
        QCOMPARE(error.code, 5);
        QCOMPARE(error.message, std::string("A symbolic link is in the way"));
        QCOMPARE(treeOf(outside), (std::vector<std::string>{"Sub", "a.txt"}));
        struct stat after;
        QCOMPARE(::stat((outside + "/a.txt").c_str(), &after), 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        QCOMPARE(fixture.readFile("e:\\b.txt"), QByteArray("b"));
    }

    void aDriveMayBeReachedThroughALink()
    {
        test::Fixture fixture;
        fixture.addDrive('c');
        fixture.writeFile("c:\\a.txt", "new");
        QVERIFY(QDir().mkpath(fixture.root() + "/stick/C-"));
        QCOMPARE(::symlink(bytes(fixture.root() + "/stick").c_str(),
                           bytes(fixture.root() + "/medium").c_str()),
                 0);
        fixture.mapDrive('e', fixture.root() + "/medium", "DRIVE_REMOVABLE");
        auto platform = fixture.platform();
        SystemError error;
        QVERIFY(platform->makeDirs("e:\\C-\\Sub"));
        QVERIFY2(succeeded(platform->copyFile("c:\\a.txt", "e:\\C-\\Sub\\a.txt"), error),
                 error.message.c_str());
        QVERIFY(platform->writeFile("e:\\Autorun.inf", "x"));
        QCOMPARE(treeOf(bytes(fixture.root() + "/stick")),
                 (std::vector<std::string>{"Autorun.inf", "C-", "C-/Sub", "C-/Sub/a.txt"}));
    }
};

QTEST_GUILESS_MAIN(TestConfinement)
#include "tst_confinement.moc"
