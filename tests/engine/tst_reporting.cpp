// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EngineRig.h"
#include "common/FaultyPlatform.h"
#include "common/RunTraces.h"
#include "engine/MakeBackups.h"
#include "engine/RestoreAll.h"

#include <QtTest>

using namespace kx;
using namespace kx::test;

namespace {

constexpr qint64 T0 = 1500000000;

struct Run
{
    explicit Run(const std::string& language = "")
    {
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.addMissingDrive('f');
        auto p = std::make_unique<FaultyPlatform>(fixture.platform());
        faulty = p.get();
        rig = std::make_unique<EngineRig>(std::move(p), language);
        rig->selectBackupDrive();
    }
    /** The summary's lines after the four that count, without the free space. */
    QStringList tail() const
    {
        const QStringList shown = rig->shownLines();
        const qsizetype blank = shown.lastIndexOf(QString());
        return shown.mid(blank + 5, shown.size() - blank - 6);
    }

    Fixture fixture;
    FaultyPlatform* faulty = nullptr;
    std::unique_ptr<EngineRig> rig;
};

} // namespace

/** Every failure is told, once, in its place; nothing is reported that did not happen. */
class TestReporting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void eachKindOfTroubleHasItsLine_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("tail");
        QTest::addColumn<QStringList>(
            "told");                     // failure lines in the output lines, before the summary
        QTest::addColumn<int>("failed"); // the run's count of what it could not do
        QTest::newRow("English") << ""
                                 << QStringList{"Number of failed copies = 2",
                                                "Number of folders that could not be read = 1",
                                                "Source drive F: is not available: 2 backup "
                                                "files skipped",
                                                "Number of backup files without a source = 1"}
                                 << QStringList{"Folder %e/C-Locked cannot be read: denied",
                                                "%c/Docs/denied.txt not copied to e: - "
                                                "Permission denied",
                                                "%c/Docs/long.txt not copied to e: - File "
                                                "name too long"}
                                 << 5;
        QTest::newRow("Dutch") << "nld"
                               << QStringList{"Aantal mislukte kopieën = 2",
                                              "Aantal onleesbare mappen = 1",
                                              "Bronschijf F: is niet beschikbaar: 2 "
                                              "backupbestanden overgeslagen",
                                              "Aantal backupbestanden zonder bron = 1"}
                               << QStringList{"Map %e/C-Locked kan niet worden gelezen: denied",
                                              "%c/Docs/denied.txt niet gekopieerd naar e: - "
                                              "Permission denied",
                                              "%c/Docs/long.txt niet gekopieerd naar e: - File "
                                              "name too long"}
                               << 5;
    }

    void eachKindOfTroubleHasItsLine()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, tail);
        QFETCH(QStringList, told);
        QFETCH(int, failed);
        Run run(language.toStdString());
        for (const char* name : {"denied.txt", "long.txt", "gone.txt", "fine.txt"})
            run.fixture.writeFile(std::string("e:\\C-Docs\\") + name, "old", T0);
        run.fixture.writeFile("c:\\Docs\\fine.txt", "new", T0 + 60);
        run.fixture.writeFile("c:\\Docs\\denied.txt", "new", T0 + 60);
        run.fixture.writeFile("c:\\Docs\\long.txt", "new", T0 + 60);
        run.fixture.writeFile("e:\\F-Docs\\a.txt", "on a drive not mounted", T0);
        run.fixture.writeFile("e:\\F-Docs\\b.txt", "on a drive not mounted", T0);
        run.fixture.writeFile("e:\\C-Locked\\x.txt", "old", T0);
        // A source that is there but cannot be reached is no deleted file.
        run.faulty->failStatus["C:\\Docs\\denied.txt"] = SystemError{5, "Permission denied"};
        run.faulty->failStatus["C:\\Docs\\long.txt"] = SystemError{36, "File name too long"};
        run.faulty->failOpenDir["e:\\C-Locked"] = SystemError{5, "denied"};

        const RunResult outcome = makeBackups(run.rig->ctx);

        QVERIFY(outcome.entered);
        QCOMPARE(run.fixture.readFile("e:\\C-Docs\\fine.txt"), QByteArray("new"));
        QCOMPARE(run.fixture.readFile("e:\\C-Docs\\denied.txt"), QByteArray("old"));
        QCOMPARE(run.tail(), tail);
        const QStringList shown = run.rig->shownLines();
        // The paths as the user finds them.
        told.replaceInStrings("%c", run.fixture.native("c:\\"));
        told.replaceInStrings("%e", run.fixture.native("e:\\"));
        for (const QString& line : told)
            QVERIFY2(shown.indexOf(line) >= 0 && shown.indexOf(line) < shown.indexOf(QString()),
                     qPrintable(line));
        QCOMPARE(outcome.failedCount, std::uint64_t(failed));
        // The log lists the file without a source, and has every line of the output lines.
        const QStringList log = logLines(run.fixture);
        QVERIFY(log.filter(run.fixture.native("e:\\C-Docs\\gone.txt")).size() == 1);
        for (const QString& line : shown)
            QVERIFY2(log.contains(line), qPrintable(line));
    }

    void aRunWithoutTroubleAddsNoLine()
    {
        Run run;
        run.fixture.writeFile("e:\\C-Docs\\a.txt", "old", T0);
        run.fixture.writeFile("c:\\Docs\\a.txt", "new", T0 + 60);
        const RunResult outcome = makeBackups(run.rig->ctx);
        QVERIFY(outcome.entered);
        QCOMPARE(run.tail(), QStringList());
        QCOMPARE(outcome.failedCount, std::uint64_t(0));
    }

    void aRootThatCannotBeListedIsADriveNotEntered()
    {
        Run run;
        run.fixture.writeFile("e:\\C-Docs\\a.txt", "old", T0);
        run.faulty->failOpenDir["e:\\"] = SystemError{5, "Permission denied"};
        QVERIFY(!makeBackups(run.rig->ctx).entered);
        QVERIFY(!run.rig->ui.warnings.empty());
    }

    void restoreAllTellsAMissingSourceDriveOnce()
    {
        Run run;
        run.fixture.writeFile("e:\\F-Docs\\a.txt", "backup", T0);
        run.fixture.writeFile("e:\\F-Docs\\b.txt", "backup", T0);
        run.fixture.writeFile("e:\\C-Docs\\c.txt", "backup", T0);
        run.rig->ui.yesNoAnswers = {true};
        const RunResult outcome = restoreAll(run.rig->ctx);
        QVERIFY(outcome.entered);
        QCOMPARE(run.fixture.readFile("c:\\Docs\\c.txt"), QByteArray("backup"));
        QCOMPARE(run.rig->shownLines().filter("not copied").size(), 0);
        QVERIFY(run.rig->shownLines().contains(
            "Source drive F: is not available: 2 backup files skipped"));
        QCOMPARE(outcome.failedCount, std::uint64_t(2));
    }
};

QTEST_GUILESS_MAIN(TestReporting)
#include "tst_reporting.moc"
