// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/Watchdog.h"
#include "engine/MakeBackups.h"
#include "engine/RestoreAll.h"

#include <QtTest>

#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kx;
using namespace kx::test;

namespace {

constexpr qint64 T0 = 1500000000;

[[nodiscard]] bool writeNative(const std::string& path, const std::string& contents, qint64 mtime)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const timespec times[2] = {{mtime, 0}, {mtime, 0}};
    const bool written =
        ::write(fd, contents.data(), contents.size()) == ssize_t(contents.size()) &&
        ::futimens(fd, times) == 0;
    return ::close(fd) == 0 && written;
}

std::string readNative(const std::string& path)
{
    QFile f(QFile::decodeName(QByteArray::fromStdString(path)));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<none>");
}

struct Medium
{
    Medium()
    {
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.makeDir("c:\\Docs");
        fixture.makeDir("e:\\C-Docs");
        outside = fixture.root().toStdString() + "/outside";
        QVERIFY(QDir().mkpath(QString::fromStdString(outside)));
    }
    std::string source(const std::string& name) const
    {
        return fixture.nativeBytes("c:\\Docs") + "/" + name;
    }
    std::string backup(const std::string& name) const
    {
        return fixture.nativeBytes("e:\\C-Docs") + "/" + name;
    }
    std::unique_ptr<EngineRig> rig()
    {
        auto r = std::make_unique<EngineRig>(fixture.platform());
        r->selectBackupDrive();
        return r;
    }

    Fixture fixture;
    std::string outside; // a folder off every drive, standing for ~/.ssh
};

} // namespace

/** A name means one file: no name is split, joined, merged with another or followed out of the
 *  medium. */
class TestHostileNames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    // A name read as a path makes a walk descend for ever, in a call the test cannot bound.
    void init() { m_watchdog.emplace(QTest::currentTestFunction(), QTest::currentDataTag()); }
    void cleanup() { m_watchdog.reset(); }

    void aBackslashInANameIsPartOfTheName_data()
    {
        QTest::addColumn<QString>("folder"); // a medium folder whose name holds "\"
        QTest::newRow("a folder named backslash") << "\\";
        QTest::newRow("a folder that reads as its parent") << "x\\..";
        QTest::newRow("a folder that reads as two") << "a\\b";
    }

    void aBackslashInANameIsPartOfTheName()
    {
        // A name read as a path would map the folder onto its own parent, and the walks would
        // descend for ever.
        QFETCH(QString, folder);
        Medium m;
        const std::string name = folder.toStdString();
        QVERIFY(QDir().mkpath(QString::fromStdString(m.backup(name))));
        QVERIFY(QDir().mkpath(QString::fromStdString(m.source(name))));
        QVERIFY(writeNative(m.backup(name) + "/f.txt", "old", T0));
        QVERIFY(writeNative(m.source(name) + "/f.txt", "new", T0 + 60));
        QVERIFY(writeNative(m.source("back\\slash.txt"), "new", T0 + 60));
        QVERIFY(writeNative(m.backup("back\\slash.txt"), "old", T0));

        auto rig = m.rig();
        const RunResult backup = makeBackups(rig->ctx);
        QVERIFY(backup.entered);
        QCOMPARE(readNative(m.backup(name) + "/f.txt"), std::string("new"));
        QCOMPARE(readNative(m.backup("back\\slash.txt")), std::string("new"));
        QCOMPARE(backup.backupFileCount, std::uint64_t(2));
        QCOMPARE(backup.copiedCount, std::uint64_t(2));
        // The line names the source as it stands on disk, its backslash and all.
        const std::string line = m.source(name) + "/f.txt copied to e:";
        QVERIFY(std::find(rig->ui.outputLines.begin(), rig->ui.outputLines.end(), line) !=
                rig->ui.outputLines.end());

        QVERIFY(writeNative(m.backup(name) + "/f.txt", "restored", T0));
        rig->ui.yesNoAnswers = {true};
        const RunResult restore = restoreAll(rig->ctx);
        QVERIFY(restore.entered);
        QCOMPARE(readNative(m.source(name) + "/f.txt"), std::string("restored"));
        QCOMPARE(restore.backupFileCount, std::uint64_t(2));
    }

    void nothingIsReadOrWrittenThroughALinkOnTheMedium()
    {
        Medium m;
        // payload -> the folder outside; "payload\authorized_keys" is one name beside it.
        QCOMPARE(::symlink(m.outside.c_str(), m.backup("payload").c_str()), 0);
        QVERIFY(writeNative(m.outside + "/authorized_keys", "the user's keys", T0));
        QVERIFY(writeNative(m.backup("payload\\authorized_keys"), "old", T0));
        QVERIFY(writeNative(m.source("payload\\authorized_keys"), "attacker's key", T0 + 60));
        // A link to a file outside: Restore All must not read it into the source.
        QVERIFY(writeNative(m.outside + "/secret", "secret", T0));
        QCOMPARE(::symlink((m.outside + "/secret").c_str(), m.backup("secret").c_str()), 0);
        QVERIFY(writeNative(m.source("secret"), "mine", T0 + 60));

        auto rig = m.rig();
        const RunResult backup = makeBackups(rig->ctx);
        QVERIFY(backup.entered);
        QCOMPARE(readNative(m.outside + "/authorized_keys"), std::string("the user's keys"));
        QCOMPARE(readNative(m.outside + "/secret"), std::string("secret"));
        QCOMPARE(readNative(m.backup("payload\\authorized_keys")), std::string("attacker's key"));
        QCOMPARE(backup.backupFileCount, std::uint64_t(1));

        rig->ui.yesNoAnswers = {true};
        QVERIFY(restoreAll(rig->ctx).entered);
        QCOMPARE(readNative(m.source("secret")), std::string("mine"));
        QCOMPARE(readNative(m.outside + "/authorized_keys"), std::string("the user's keys"));
    }

    void namesThatDifferInCaseAreTwoFiles()
    {
        Medium m;
        QVERIFY(writeNative(m.backup("report.txt"), "lower", T0));
        QVERIFY(writeNative(m.backup("REPORT.txt"), "upper", T0));
        QVERIFY(writeNative(m.source("report.txt"), "changed", T0 + 60));

        auto rig = m.rig();
        rig->ui.yesNoAnswers = {true};
        const RunResult restore = restoreAll(rig->ctx);
        QVERIFY(restore.entered);
        QCOMPARE(readNative(m.source("report.txt")), std::string("lower"));
        QCOMPARE(readNative(m.source("REPORT.txt")), std::string("upper"));
        QCOMPARE(restore.copiedCount, std::uint64_t(2));

        // And Make Backups refreshes each from its own source only.
        QVERIFY(writeNative(m.source("report.txt"), "new lower", T0 + 120));
        QVERIFY(makeBackups(rig->ctx).entered);
        QCOMPARE(readNative(m.backup("report.txt")), std::string("new lower"));
        QCOMPARE(readNative(m.backup("REPORT.txt")), std::string("upper"));
    }

private:
    std::optional<Watchdog> m_watchdog;
};

QTEST_GUILESS_MAIN(TestHostileNames)
#include "tst_hostilenames.moc"
