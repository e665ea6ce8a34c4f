// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "common/ForwardingPlatform.h"
#include "common/RecordingUi.h"
#include "common/RunTraces.h"
#include "engine/ActivityLog.h"
#include "engine/EngineContext.h"
#include "engine/TreeCopy.h"

#include <QtTest>

#include <sys/stat.h>

using namespace kx;

namespace {

// A medium 'e', a temporary disk 't', and everything an operation is given.
struct Setup
{
    test::Fixture fixture;
    std::unique_ptr<Platform> platform;
    BackupTarget target;
    MediaRecords media;
    test::RecordingUi ui;
    std::unique_ptr<ActivityLog> log;
    SystemFacts facts;
    std::unique_ptr<EngineContext> ctx;
    RunResult counts;
    std::vector<std::string> tempFolders;

    Setup()
    {
        fixture.addDrive('e', "DRIVE_REMOVABLE", "Backup1");
        fixture.addDrive('t', "DRIVE_FIXED", "Temp");
        platform = fixture.platform();
        log = std::make_unique<ActivityLog>(*platform, *platform);
        ctx.reset(new EngineContext{*platform, target, media, ui, *log, facts});
        target.base = "e:\\";
    }
};

// A medium that does not take its flush.
class UnflushedDrive : public test::ForwardingPlatform
{
public:
    using ForwardingPlatform::ForwardingPlatform;
    Result<void> flushDrive(char) override { return SystemError{5, "Input/output error"}; }
};

void makeReadOnly(const QString& path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
}

bool isReadOnly(const QString& path)
{
    return !(QFileInfo(path).permissions() & QFileDevice::WriteOwner);
}

} // namespace

class TestTreeCopy : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void copyToTempTakesOnlyBackupFolders()
    {
        Setup s;
        s.fixture.writeFile("e:\\S-Docs\\a.txt", "aaaa");
        s.fixture.writeFile("e:\\S-Docs\\Sub\\b.txt", "bb");
        s.fixture.writeFile("e:\\S-\\boot.ini", "r");
        s.fixture.writeFile("e:\\Autorun.inf", "[autorun]");
        s.fixture.writeFile("e:\\Photos\\p.jpg", "not a backup folder");
        s.fixture.writeFile("e:\\S-Docs\\.cache\\h.txt", "dot");
        s.fixture.writeFile("e:\\.Trash-0\\S-Docs\\t.txt", "the medium's own");

        SystemError error;
        TreeCopy walk(*s.ctx, s.counts);
        QVERIFY(walk.copyToTemp(s.target.base, "t:\\", s.tempFolders, error));

        QCOMPARE(s.fixture.readFile("t:\\Kopierix-S-Docs\\a.txt"), QByteArray("aaaa"));
        QCOMPARE(s.fixture.readFile("t:\\Kopierix-S-Docs\\Sub\\b.txt"), QByteArray("bb"));
        QCOMPARE(s.fixture.readFile("t:\\Kopierix-S-\\boot.ini"), QByteArray("r"));
        QCOMPARE(QDir(s.fixture.native("t:\\")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({"Kopierix-S-", "Kopierix-S-Docs"}));
        QCOMPARE(s.tempFolders,
                 std::vector<std::string>({"t:\\Kopierix-S-", "t:\\Kopierix-S-Docs"}));
        QCOMPARE(s.fixture.readFile("t:\\Kopierix-S-Docs\\.cache\\h.txt"), QByteArray("dot"));
        QCOMPARE(s.counts.copiedCount, std::uint64_t(4));
        QCOMPARE(s.counts.copiedSize, std::int64_t(10));
        // The medium is only read, and the first half writes no line per file.
        QVERIFY(s.fixture.exists("e:\\S-Docs\\a.txt"));
        QVERIFY(s.ui.outputLines.empty());
        QCOMPARE(walk.failures().failedCopies(), std::uint64_t(0));
    }

    void computerLevelSurvivesTheRoundTrip()
    {
        Setup s;
        s.target.computerFolder = "PC\\";
        s.target.base = "e:\\PC\\";
        s.fixture.writeFile("e:\\PC\\S-Work\\x.doc", "x");
        s.fixture.writeFile("e:\\PC\\loose.txt", "not in a drive folder");

        SystemError error;
        TreeCopy toTemp(*s.ctx, s.counts);
        QVERIFY(toTemp.copyToTemp(s.target.base, "t:\\", s.tempFolders, error));
        QCOMPARE(s.fixture.readFile("t:\\Kopierix-PC\\S-Work\\x.doc"), QByteArray("x"));
        QCOMPARE(s.counts.copiedCount, std::uint64_t(1));

        QVERIFY(QDir(s.fixture.native("e:\\")).removeRecursively());
        s.fixture.makeDir("e:\\");
        TreeCopy fromTemp(*s.ctx, s.counts);
        QVERIFY(fromTemp.copyFromTemp("t:\\", s.tempFolders, error));
        QCOMPARE(s.fixture.readFile("e:\\PC\\S-Work\\x.doc"), QByteArray("x"));
        QCOMPARE(s.tempFolders, std::vector<std::string>({"t:\\Kopierix-PC"}));
    }

    void copyFromTempMovesTheAreaAndListsItsFoldersOnce()
    {
        Setup s;
        s.fixture.writeFile("t:\\Kopierix-S-Docs\\a.txt", "a");
        s.fixture.writeFile("t:\\Kopierix-S-Docs\\Sub\\b.txt", "b");
        s.fixture.writeFile("t:\\Kopierix-S-\\boot.ini", "r");
        s.fixture.makeDir("t:\\Kopierix-S-Empty");
        s.fixture.writeFile("t:\\Other\\o.txt", "someone else's");
        s.fixture.writeFile("t:\\loose.txt", "in the root");
        // Left by an earlier run that did not get as far as removing the area.
        s.tempFolders = {"t:\\Kopierix-S-Docs"};

        SystemError error;
        TreeCopy walk(*s.ctx, s.counts);
        QVERIFY(walk.copyFromTemp("t:\\", s.tempFolders, error));

        QCOMPARE(s.fixture.readFile("e:\\S-Docs\\a.txt"), QByteArray("a"));
        QCOMPARE(s.fixture.readFile("e:\\S-Docs\\Sub\\b.txt"), QByteArray("b"));
        QCOMPARE(s.fixture.readFile("e:\\S-\\boot.ini"), QByteArray("r"));
        QVERIFY(!s.fixture.exists("e:\\Other"));
        QVERIFY(!s.fixture.exists("e:\\loose.txt"));
        QVERIFY(!s.fixture.exists("t:\\Kopierix-S-Docs\\a.txt"));
        QVERIFY(!s.fixture.exists("t:\\Kopierix-S-Docs\\Sub\\b.txt"));
        QVERIFY(!s.fixture.exists("t:\\Kopierix-S-\\boot.ini"));
        QVERIFY(s.fixture.exists("t:\\Other\\o.txt"));
        QCOMPARE(s.counts.copiedCount, std::uint64_t(3));
        QCOMPARE(s.counts.copiedSize, std::int64_t(3));
        QCOMPARE(s.tempFolders, std::vector<std::string>({"t:\\Kopierix-S-", "t:\\Kopierix-S-Docs",
                                                          "t:\\Kopierix-S-Empty"}));
    }

    void copyFromTempReplacesAReadOnlyCopy()
    {
        Setup s;
        s.fixture.writeFile("t:\\Kopierix-S-Docs\\r.txt", "new");
        s.fixture.writeFile("e:\\S-Docs\\r.txt", "old one");
        makeReadOnly(s.fixture.native("t:\\Kopierix-S-Docs\\r.txt"));
        makeReadOnly(s.fixture.native("e:\\S-Docs\\r.txt"));

        SystemError error;
        TreeCopy walk(*s.ctx, s.counts);
        QVERIFY(walk.copyFromTemp("t:\\", s.tempFolders, error));

        QCOMPARE(s.fixture.readFile("e:\\S-Docs\\r.txt"), QByteArray("new"));
        QVERIFY(isReadOnly(s.fixture.native("e:\\S-Docs\\r.txt")));
        QVERIFY(!s.fixture.exists("t:\\Kopierix-S-Docs\\r.txt"));
        QCOMPARE(s.counts.copiedCount, std::uint64_t(1));
        QCOMPARE(walk.failures().failedCopies(), std::uint64_t(0));
    }

    void copyFromTempKeepsTheTemporaryFilesUntilTheNewMediumHasThem()
    {
        Setup s;
        s.fixture.writeFile("t:\\Kopierix-S-Docs\\a.txt", "a");
        UnflushedDrive platform(s.fixture.platform());
        EngineContext ctx{platform, s.target, s.media, s.ui, *s.log, s.facts};

        SystemError error;
        TreeCopy walk(ctx, s.counts);
        QVERIFY(walk.copyFromTemp("t:\\", s.tempFolders, error));

        QVERIFY(walk.flushFailed());
        QCOMPARE(walk.flushFailures(), std::uint64_t(1));
        QCOMPARE(s.fixture.readFile("t:\\Kopierix-S-Docs\\a.txt"), QByteArray("a"));
        QCOMPARE(s.ui.outputLines,
                 std::vector<std::string>{
                     "What was written to e: did not reach the disk: Input/output error"});
    }

    void aFailedCopyIsLoggedAndNotCounted()
    {
        Setup s;
        s.fixture.writeFile("e:\\S-Docs\\a.txt", "a");
        s.fixture.writeFile("e:\\S-Mail\\m.txt", "m");
        // A file where the temporary folder should go.
        s.fixture.writeFile("t:\\Kopierix-S-Docs", "in the way");

        SystemError error;
        TreeCopy walk(*s.ctx, s.counts);
        QVERIFY(walk.copyToTemp(s.target.base, "t:\\", s.tempFolders, error));

        QCOMPARE(s.counts.copiedCount, std::uint64_t(1));
        QCOMPARE(s.counts.copiedSize, std::int64_t(1));
        QCOMPARE(walk.failures().failedCopies(), std::uint64_t(1));
        const QStringList failed = test::logLines(s.fixture).filter(" not copied to ");
        QCOMPARE(failed.size(), 1);
        const QString failure = s.fixture.native("e:\\S-Docs\\a.txt") + " not copied to " +
                                s.fixture.native("t:\\Kopierix-S-Docs\\a.txt") + " - ";
        QVERIFY2(failed[0].startsWith(failure), qPrintable(failed[0]));
        QVERIFY(failed[0].size() > failure.size());
    }

    void progressFollowsTheCopiedBytes_data()
    {
        QTest::addColumn<qint64>("step");
        QTest::addColumn<QList<int>>("positions");
        QTest::newRow("no known total: the bar stays") << qint64(0) << QList<int>();
        QTest::newRow("scaled") << qint64(100) << QList<int>({1, 2, 3});
        QTest::newRow("grown medium stops at the end") << qint64(2) << QList<int>({50, 100, 100});
    }

    void progressFollowsTheCopiedBytes()
    {
        QFETCH(qint64, step);
        QFETCH(QList<int>, positions);
        Setup s;
        s.fixture.writeFile("e:\\S-Docs\\a.txt", QByteArray(100, 'a'));
        s.fixture.writeFile("e:\\S-Docs\\b.txt", QByteArray(100, 'b'));
        s.fixture.writeFile("e:\\S-Docs\\c.txt", QByteArray(100, 'c'));

        SystemError error;
        TreeCopy walk(*s.ctx, s.counts, step);
        QVERIFY(walk.copyToTemp(s.target.base, "t:\\", s.tempFolders, error));
        QCOMPARE(QList<int>(s.ui.positions.begin(), s.ui.positions.end()), positions);
    }

    void anUnreadableStartIsReported()
    {
        Setup s;
        SystemError error;
        TreeCopy walk(*s.ctx, s.counts);
        QVERIFY(!walk.restoreTree("e:\\Missing\\", error));
        QVERIFY(error.code != 0);
        QVERIFY(!walk.copyFromTemp("q:\\", s.tempFolders, error));
    }
    void onlyABackslashSeparatesADestination_data()
    {
        QTest::addColumn<QString>("name");        // below e:\T-Docs, restored below t:\Docs
        QTest::addColumn<QStringList>("entries"); // what t:\Docs then holds
        QTest::newRow("a colon inside a name")
            << "notes 10:30.txt" << QStringList{"notes 10:30.txt"};
        QTest::newRow("a colon at the end") << "v1:" << QStringList{"v1:"};
        QTest::newRow("a folder with a colon") << "v2:\\a.txt" << QStringList{"v2:"};
    }

    void onlyABackslashSeparatesADestination()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, entries);
        Setup s;
        s.fixture.writeFile("e:\\T-Docs\\" + name.toStdString(), "backup");

        SystemError error;
        TreeCopy walk(*s.ctx, s.counts);
        QVERIFY(walk.restoreTree(s.target.base, error));

        QCOMPARE(s.counts.copiedCount, std::uint64_t(1));
        QCOMPARE(s.fixture.readFile("t:\\Docs\\" + name.toStdString()), QByteArray("backup"));
        QCOMPARE(
            QDir(s.fixture.native("t:\\Docs")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            entries);
    }
};

QTEST_GUILESS_MAIN(TestTreeCopy)
#include "tst_treecopy.moc"
