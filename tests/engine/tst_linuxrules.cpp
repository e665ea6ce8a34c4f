// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "engine/MakeBackups.h"
#include "engine/Settings.h"
#include "support/FileDate.h"

#include <QtTest>

using namespace kx;
using namespace kx::test;

namespace {

qint64 utc(int year, int month, int day)
{
    return QDateTime(QDate(year, month, day), QTime(12, 0), QTimeZone::utc()).toSecsSinceEpoch();
}

std::unique_ptr<EngineRig> rigFor(const Fixture& fixture)
{
    auto rig = std::make_unique<EngineRig>(fixture.platform());
    rig->selectBackupDrive();
    return rig;
}

} // namespace

/** The rules as they hold on this system, where they differ from the one the program's rules
 *  were first written for. */
class TestLinuxRules : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void aChangeWithinTheHourIsBackedUpInSummerTime()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        const qint64 copied = QDateTime::currentSecsSinceEpoch() - 7200;
        fixture.writeFile("e:\\C-Docs\\a.txt", "copy of two hours ago", copied);
        fixture.writeFile("c:\\Docs\\a.txt", "changed half an hour later", copied + 1800);
        auto rig = rigFor(fixture);
        // Summer time in force now, as a zone would give it in its summer.
        const DateTime now = kx::now(*rig->platform);
        rig->facts.dst.dstStart = now - 30;
        rig->facts.dst.dstEnd = now + 30;
        rig->facts.dst.dstNow = true;
        rig->facts.dst.dstShift = 1.0 / 24;

        QVERIFY(makeBackups(rig->ctx).entered);
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.txt"), QByteArray("changed half an hour later"));
        // Its time is the source's own: nothing shifts it by the hour.
        QCOMPARE(fixture.mtime("e:\\C-Docs\\a.txt"), copied + 1800);
        const RunResult again = makeBackups(rig->ctx);
        QVERIFY(again.entered);
        QCOMPARE(again.copiedCount, std::uint64_t(0));
    }

    void datesCompareOverTheirFullRange_data()
    {
        QTest::addColumn<qint64>("backup");
        QTest::addColumn<qint64>("source");
        QTest::addColumn<bool>("copied");
        // The fixture's folders keep exact times: a second is a change, and dates outside what
        // FAT can hold are compared as they are.
        QTest::newRow("a second apart") << utc(2020, 6, 1) << utc(2020, 6, 1) + 1 << true;
        QTest::newRow("1970 copy, 1971 source") << utc(1970, 1, 1) << utc(1971, 1, 1) << true;
        QTest::newRow("1971 copy, 1970 source") << utc(1971, 1, 1) << utc(1970, 1, 1) << false;
        QTest::newRow("2200 copy, 2300 source") << utc(2200, 1, 1) << utc(2300, 1, 1) << true;
        QTest::newRow("2300 copy, 2200 source") << utc(2300, 1, 1) << utc(2200, 1, 1) << false;
        QTest::newRow("2043 copy, 2044 source") << utc(2043, 12, 1) << utc(2044, 1, 5) << true;
        QTest::newRow("2040 copy, 2050 source") << utc(2040, 6, 1) << utc(2050, 6, 1) << true;
        QTest::newRow("2050 copy, 2043 source") << utc(2050, 6, 1) << utc(2043, 6, 1) << false;
        QTest::newRow("both 2100, a day apart") << utc(2100, 6, 1) << utc(2100, 6, 2) << true;
        QTest::newRow("both 2100, newer copy") << utc(2100, 6, 2) << utc(2100, 6, 1) << false;
    }

    void datesCompareOverTheirFullRange()
    {
        QFETCH(qint64, backup);
        QFETCH(qint64, source);
        QFETCH(bool, copied);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.writeFile("e:\\C-Docs\\a.txt", "copy", backup);
        fixture.writeFile("c:\\Docs\\a.txt", "source", source);
        if (fixture.mtime("e:\\C-Docs\\a.txt") != backup ||
            fixture.mtime("c:\\Docs\\a.txt") != source)
            QSKIP("the test's file system cannot hold these dates");
        auto rig = rigFor(fixture);
        QVERIFY(makeBackups(rig->ctx).entered);
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.txt"), QByteArray(copied ? "source" : "copy"));
    }

    void onlyTheMediumsOwnDotFoldersArePassedOver()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_REMOVABLE");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\\\");
        const std::string computer = QSysInfo::machineHostName().toStdString();
        const std::string level = "e:\\" + computer + "\\";
        for (const std::string& medium :
             {level + "C-home\\.thunderbird\\prefs.js", level + ".Trash-0\\C-home\\t.txt",
              std::string("e:\\.Trash-0\\C-home\\t.txt")})
            fixture.writeFile(medium, "old", 1500000000);
        fixture.writeFile("c:\\home\\.thunderbird\\prefs.js", "new", 1500000060);
        fixture.writeFile("c:\\home\\t.txt", "new", 1500000060);

        auto rig = std::make_unique<EngineRig>(fixture.platform());
        readSettings(*rig->platform, rig->target, rig->media, rig->ui, rig->ctx.language());
        rig->selectBackupDrive();
        const RunResult run = makeBackups(rig->ctx);
        QVERIFY(run.entered);
        QCOMPARE(fixture.readFile(level + "C-home\\.thunderbird\\prefs.js"), QByteArray("new"));
        QCOMPARE(fixture.readFile(level + ".Trash-0\\C-home\\t.txt"), QByteArray("old"));
        QCOMPARE(run.backupFileCount, std::uint64_t(1));
    }
};

QTEST_GUILESS_MAIN(TestLinuxRules)
#include "tst_linuxrules.moc"
