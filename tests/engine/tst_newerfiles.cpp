// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EmptyDrives.h"
#include "common/Fixture.h"
#include "common/RecordingUi.h"
#include "common/RunTraces.h"
#include "common/ScratchMount.h"
#include "engine/ActivityLog.h"
#include "engine/EngineContext.h"
#include "engine/NewerFiles.h"
#include "support/FileDate.h"
#include "support/SystemFacts.h"

#include <QtTest>

#include <ctime>
#include <memory>

using namespace kx;
using test::Fixture;
using test::logLines;

namespace {

constexpr qint64 T0 = 1600000000; // September 2020; the medium's last backup in most cases
constexpr qint64 kDay = 86400;

/** A source drive c:, a removable medium e: (and a second source drive d:). */
void addDrives(Fixture& fixture)
{
    fixture.addDrive('c');
    fixture.addDrive('d');
    fixture.addDrive('e', "DRIVE_REMOVABLE");
}

/** An engine context over the fixture, with the backup root e:\ and no daylight saving. */
struct Rig
{
    // `mounts`: a medium that is away is not mounted; else its drive stands empty.
    Rig(const Fixture& fixture, const std::string& language, bool mounts = true)
        : platform(mounts ? fixture.platform()
                          : std::make_unique<test::EmptyDrives>(fixture.platform())),
          log(*platform, *platform)
    {
        facts.languageCode = language;
        target.base = "e:\\";
    }

    double dateTimeOf(qint64 utcSeconds)
    {
        return localTimeToDateTime(platform->toLocal(utcSeconds));
    }

    QStringList proposals(const NewerScanResult& result) const
    {
        QStringList lines;
        for (const auto& line : result.proposals)
            lines << QString::fromStdString(line);
        return lines;
    }

    std::unique_ptr<Platform> platform;
    BackupTarget target;
    MediaRecords media;
    test::RecordingUi ui;
    ActivityLog log;
    SystemFacts facts;
    EngineContext ctx{*platform, target, media, ui, log, facts};
};

QStringList toList(const std::vector<std::string>& v)
{
    QStringList out;
    for (const auto& s : v)
        out << QString::fromStdString(s);
    return out;
}

const QString kNoNewerEn = "There are no newer files to be added.";

} // namespace

class TestNewerFiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        ::tzset();
        QLocale::setDefault(QLocale::c());
    }

    void proposals_data()
    {
        // Files are "drive path|age": old is a day before the last backup, new a day after, same
        // its very second, a signed number that many seconds off it. Backup files are written
        // as old.
        QTest::addColumn<QString>("computerFolder");
        QTest::addColumn<bool>("lastDateKnown");
        QTest::addColumn<QStringList>("backup");
        QTest::addColumn<QStringList>("source");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("only the new file of a known extension that the backup lacks")
            << "" << true << QStringList{"e:\\c-docs\\a.doc", "e:\\c-docs\\b.txt", "e:\\readme.txt"}
            << QStringList{"c:\\docs\\a.doc|new", "c:\\docs\\c.doc|new", "c:\\docs\\d.pdf|new",
                           "c:\\docs\\e.txt|old"}
            << QStringList{"c:\\docs\\c.doc"};
        QTest::newRow("extension after the first dot")
            << "" << true << QStringList{"e:\\c-docs\\old.final.doc"}
            << QStringList{"c:\\docs\\Report.Final.DOC|new", "c:\\docs\\x.doc|new"}
            << QStringList{"c:\\docs\\Report.Final.DOC"};
        // A name that differs from a backup file's in case alone is another file here.
        QTest::newRow("extensions without case, names exactly")
            << "" << true << QStringList{"e:\\C-Docs\\Letter.DOC"}
            << QStringList{"c:\\Docs\\LETTER.doc|new", "c:\\Docs\\Letter.DOC|old"}
            << QStringList{"c:\\Docs\\LETTER.doc"};
        QTest::newRow("a subfolder brings in the empty extension")
            << "" << true << QStringList{"e:\\c-docs\\a.doc", "e:\\c-docs\\sub\\b.doc"}
            << QStringList{"c:\\docs\\README|new", "c:\\docs\\Makefile|old",
                           "c:\\docs\\sub\\c.doc|new", "c:\\docs\\sub\\NOTES|new",
                           "c:\\docs\\other\\x.doc|new"}
            << QStringList{"c:\\docs\\README", "c:\\docs\\sub\\c.doc"};
        QTest::newRow("without a subfolder no empty extension")
            << "" << true << QStringList{"e:\\c-docs\\a.doc"} << QStringList{"c:\\docs\\README|new"}
            << QStringList{kNoNewerEn};
        QTest::newRow("a dot-folder inside a mirror folder is one like any other")
            << "" << true << QStringList{"e:\\c-work\\.svn\\entries.doc"}
            << QStringList{"c:\\work\\.svn\\new.doc|new", "c:\\work\\x.doc|new"}
            << QStringList{"c:\\work\\.svn\\new.doc"};
        QTest::newRow("the medium's own dot-folder lists the root, unentered")
            << "" << true << QStringList{"e:\\.Trash-0\\c-docs\\a.doc", "e:\\c-\\x.doc"}
            << QStringList{"c:\\docs\\b.doc|new", "c:\\y.doc|new"} << QStringList{"c:\\y.doc"};
        QTest::newRow("the second of the last backup is not newer")
            << "" << true << QStringList{"e:\\c-docs\\a.doc"}
            << QStringList{"c:\\docs\\b.doc|same", "c:\\docs\\c.doc|new"}
            << QStringList{"c:\\docs\\c.doc"};
        QTest::newRow("a second after the last backup is newer")
            << "" << true << QStringList{"e:\\c-docs\\a.doc"}
            << QStringList{"c:\\docs\\b.doc|+1", "c:\\docs\\c.doc|-1"}
            << QStringList{"c:\\docs\\b.doc"};
        QTest::newRow("no last backup date: every match counts")
            << "" << false << QStringList{"e:\\c-docs\\a.doc"}
            << QStringList{"c:\\docs\\a.doc|old", "c:\\docs\\b.doc|old"}
            << QStringList{"c:\\docs\\b.doc"};
        QTest::newRow("root files")
            << "" << true << QStringList{"e:\\c-\\boot.ini"}
            << QStringList{"c:\\boot.ini|new", "c:\\new.ini|new"} << QStringList{"c:\\new.ini"};
        QTest::newRow("a folder holding only folders is not examined")
            << "" << true << QStringList{"e:\\c-data\\deep\\x.txt"}
            << QStringList{"c:\\data\\y.txt|new", "c:\\data\\deep\\z.txt|new"}
            << QStringList{"c:\\data\\deep\\z.txt"};
        QTest::newRow("folders in alphabetical order over drives")
            << "" << true
            << QStringList{"e:\\d-mail\\a.mbx", "e:\\c-\\x.txt", "e:\\c-docs\\a.doc",
                           "e:\\c-docs\\sub\\a.doc"}
            << QStringList{"d:\\mail\\b.mbx|new", "c:\\y.txt|new", "c:\\docs\\b.doc|new",
                           "c:\\docs\\sub\\b.doc|new"}
            << QStringList{"c:\\y.txt", "c:\\docs\\b.doc", "c:\\docs\\sub\\b.doc",
                           "d:\\mail\\b.mbx"};
        QTest::newRow("per-computer layout")
            << "OFFICE7\\" << true
            << QStringList{"e:\\OFFICE7\\C-Docs\\a.doc", "e:\\OFFICE7\\Autorun.inf",
                           "e:\\c-docs\\b.txt"}
            << QStringList{"c:\\Docs\\new.doc|new", "c:\\Docs\\new.txt|new"}
            << QStringList{"c:\\Docs\\new.doc"};
    }
    void proposals()
    {
        QFETCH(QString, computerFolder);
        QFETCH(bool, lastDateKnown);
        QFETCH(QStringList, backup);
        QFETCH(QStringList, source);
        QFETCH(QStringList, expected);
        Fixture fixture;
        addDrives(fixture);
        for (const QString& path : backup)
            fixture.writeFile(path.toStdString(), "backup", T0 - 2 * kDay);
        for (const QString& entry : source) {
            const QString age = entry.section('|', 1);
            const qint64 mtime = age == "new"    ? T0 + kDay
                                 : age == "old"  ? T0 - kDay
                                 : age == "same" ? T0
                                                 : T0 + age.toLongLong();
            fixture.writeFile(entry.section('|', 0, 0).toStdString(), "source", mtime);
        }
        Rig rig(fixture, "");
        if (!computerFolder.isEmpty()) {
            rig.target.perComputerFolders = true;
            rig.target.computerFolder = computerFolder.toStdString();
            rig.target.base = "e:\\" + rig.target.computerFolder;
        }
        rig.media.current.lastBackupDate = lastDateKnown ? rig.dateTimeOf(T0) : 0;

        const NewerScanResult result = scanNewFiles(rig.ctx);

        QVERIFY(result.entered);
        QCOMPARE(rig.proposals(result), expected);
        QCOMPARE(result.found, expected != QStringList{kNoNewerEn});
        QVERIFY(rig.ui.warnings.empty());
        QVERIFY(!rig.ui.isBusy);
        QVERIFY(!rig.ui.progressShown);
    }

    void progressCountsTheFoldersAndThreeSteps()
    {
        Fixture fixture;
        addDrives(fixture);
        fixture.writeFile("e:\\c-docs\\a.doc", "x", T0);
        fixture.writeFile("e:\\c-\\a.ini", "x", T0);
        Rig rig(fixture, "");
        scanNewFiles(rig.ctx);
        // Two folders: 5 steps, the walk at 2 of 100, then 3, 4 and 5 of 5.
        QCOMPARE(rig.ui.positions, (std::vector<int>{2, 60, 80, 100}));
    }

    void nothingNewAndNothingCreated_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("label");
        QTest::newRow("Dutch") << "nld"
                               << "Er zijn geen nieuwere bestanden om toe te voegen."
                               << "Backupschijf: e:\rDatum laatste Backup: Onbekend";
        QTest::newRow("English") << ""
                                 << "There are no newer files to be added."
                                 << "Backup drive: e:\rDate latest Backup: Onknown";
    }
    void nothingNewAndNothingCreated()
    {
        QFETCH(QString, language);
        QFETCH(QString, line);
        QFETCH(QString, label);
        Fixture fixture;
        addDrives(fixture);
        // The source folder of this mirror has been deleted: the scan must not bring it back.
        fixture.writeFile("e:\\c-gone\\a.doc", "x", T0);
        Rig rig(fixture, language.toStdString());

        const NewerScanResult result = scanNewFiles(rig.ctx);

        QVERIFY(result.entered);
        QVERIFY(!result.found);
        QCOMPARE(rig.proposals(result), QStringList{line});
        QCOMPARE(QString::fromStdString(result.label), label);
        QVERIFY(!fixture.exists("c:\\gone"));
        QVERIFY(isNoNewerFilesLine(line.toStdString()));
    }

    void labelShowsTheLastBackupDate()
    {
        Fixture fixture;
        addDrives(fixture);
        Rig rig(fixture, "");
        rig.media.current.lastBackupDate = rig.dateTimeOf(T0);
        const NewerScanResult result = scanNewFiles(rig.ctx);
        QCOMPARE(
            QString::fromStdString(result.label),
            QString::fromStdString("Backup drive: e:\rDate of latest Backup: " +
                                   rig.platform->formatDateTime(rig.media.current.lastBackupDate)));
    }

    void unreadableMedium_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<bool>("mounts");
        QTest::newRow("Dutch") << "nld"
                               << "e"
                               << "Er zit geen CD-r(w) in schijfstation e:\\" << false;
        QTest::newRow("English") << ""
                                 << "e"
                                 << "No CD-r(w) in drive e:\\" << false;
        QTest::newRow("floppy, Dutch") << "nld"
                                       << "a"
                                       << "Er zit geen floppy in schijfstation a:\\" << false;
        QTest::newRow("floppy, English") << ""
                                         << "a"
                                         << "No floppy in drive a:\\" << false;
        QTest::newRow("not mounted, Dutch") << "nld"
                                            << "e"
                                            << "Backupschijf e: is niet aangekoppeld" << true;
        QTest::newRow("not mounted, English") << ""
                                              << "e"
                                              << "Backup drive e: is not mounted" << true;
    }
    void unreadableMedium()
    {
        QFETCH(QString, language);
        QFETCH(QString, drive);
        QFETCH(QString, warning);
        QFETCH(bool, mounts);
        Fixture fixture;
        fixture.addDrive('c');
        const char letter = drive.toLatin1().at(0);
        fixture.addMissingDrive(letter);
        Rig rig(fixture, language.toStdString(), mounts);
        rig.target.base = std::string(1, letter) + ":\\";

        const NewerScanResult result = scanNewFiles(rig.ctx);

        QVERIFY(!result.entered);
        QVERIFY(result.proposals.empty());
        QCOMPARE(toList(rig.ui.warnings), QStringList{warning});
        QVERIFY(result.noDisk.value_or(false));
        QVERIFY(rig.ui.positions.empty());
        QVERIFY(!rig.ui.isBusy);
    }

    void addCopiesMarksAndRecords_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("marker");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("log");
        QTest::newRow("Dutch") << "nld"
                               << " - toegevoegd"
                               << " toegevoegd"
                               << " toegevoegd aan Backup e:";
        QTest::newRow("English") << ""
                                 << " - added"
                                 << " added"
                                 << " added to Backup e:";
    }
    void addCopiesMarksAndRecords()
    {
        QFETCH(QString, language);
        QFETCH(QString, marker);
        QFETCH(QString, shown);
        QFETCH(QString, log);
        Fixture fixture;
        addDrives(fixture);
        fixture.writeFile("e:\\c-\\x.txt", "x", T0);
        fixture.writeFile("e:\\C-Docs\\a.doc", "x", T0);
        fixture.writeFile("c:\\new.txt", "12345", T0 + kDay);
        fixture.writeFile("c:\\Docs\\New.doc", "1234567", T0 + kDay);
        Rig rig(fixture, language.toStdString());
        rig.media.current.lastBackupDate = rig.dateTimeOf(T0);
        rig.media.current.totalSize = 100;
        const double before = rig.media.current.lastBackupDate;

        NewerScanResult result = scanNewFiles(rig.ctx);
        std::vector<std::string>& lines = result.proposals;
        QCOMPARE(toList(lines), (QStringList{"c:\\new.txt", "c:\\Docs\\New.doc"}));

        // Only the second line is selected. c:\Docs\New.doc goes into the medium's C-Docs
        // folder under the file's own name: a copy named in lower case would have no source
        // where case counts, and would never be refreshed.
        const std::vector<bool> second{false, true}, all{true, true};
        QCOMPARE(addNewFiles(rig.ctx, lines, second).copiedCount, std::uint64_t(1));
        QCOMPARE(fixture.readFile("e:\\C-Docs\\New.doc"), QByteArray("1234567"));
        QCOMPARE(fixture.mtime("e:\\C-Docs\\New.doc"), T0 + kDay);
        QVERIFY(!fixture.exists("e:\\c-docs"));
        QVERIFY(!fixture.exists("e:\\C-Docs\\new.doc"));
        QVERIFY(!fixture.exists("e:\\c-\\new.txt"));
        QCOMPARE(toList(lines), (QStringList{"c:\\new.txt", "c:\\Docs\\New.doc" + marker}));
        // The list keeps the proposals' drive paths; the lines show the files' own paths.
        const QString newDoc = fixture.native("c:\\Docs\\New.doc");
        QCOMPARE(toList(rig.ui.outputLines), QStringList{newDoc + shown});
        QVERIFY(logLines(fixture).contains(newDoc + log));
        QCOMPARE(rig.media.current.totalSize, std::int64_t(107));

        // All selected: the added line is passed over, the other one is added.
        QCOMPARE(addNewFiles(rig.ctx, lines, all).copiedCount, std::uint64_t(1));
        QCOMPARE(fixture.readFile("e:\\c-\\new.txt"), QByteArray("12345"));
        QCOMPARE(toList(lines),
                 (QStringList{"c:\\new.txt" + marker, "c:\\Docs\\New.doc" + marker}));
        QCOMPARE(toList(rig.ui.outputLines),
                 (QStringList{newDoc + shown, fixture.native("c:\\new.txt") + shown}));
        QCOMPARE(rig.media.current.totalSize, std::int64_t(112));

        // The medium's records got the moment of the command; the date in memory stays.
        QCOMPARE(rig.media.current.lastBackupDate, before);
        QCOMPARE(fixture.setting("Total Size", "e-").toLongLong(), 112LL);
        QVERIFY(fixture.setting("Last BackUp", "e-").isValid());
        QCOMPARE(rig.ui.statusLines.size(), std::size_t(2));

        // A third time nothing is left to add.
        QCOMPARE(addNewFiles(rig.ctx, lines, all).copiedCount, std::uint64_t(0));
        QCOMPARE(rig.ui.outputLines.size(), std::size_t(2));
    }

    // Two new files that differ in case alone are two proposals. A medium that tells case apart
    // gets both under their own names; on one that does not (exFAT) the second is a failed copy
    // that keeps its line, and the total counts only what was copied.
    void namesThatDifferInCaseAloneAreTwoProposals_data()
    {
        QTest::addColumn<bool>("exfat");
        QTest::newRow("medium that tells case apart") << false;
        QTest::newRow("exFAT") << true;
    }
    void namesThatDifferInCaseAloneAreTwoProposals()
    {
        QFETCH(bool, exfat);
        Fixture fixture;
        fixture.addDrive('c');
        test::ScratchMount mount;
        if (exfat) {
            QString why;
            if (!mount.mountExfatDrive(fixture, 'e', why))
                QSKIP(qPrintable(why));
        } else {
            fixture.addDrive('e', "DRIVE_REMOVABLE");
        }
        fixture.writeFile("e:\\c-Docs\\a.doc", "a", T0);
        fixture.writeFile("c:\\Docs\\Report.doc", "upper", T0 + kDay);
        fixture.writeFile("c:\\Docs\\report.doc", "lower!", T0 + kDay);
        Rig rig(fixture, "");
        rig.media.current.lastBackupDate = rig.dateTimeOf(T0);
        rig.media.current.totalSize = 100;

        NewerScanResult result = scanNewFiles(rig.ctx);
        QStringList proposed = rig.proposals(result);
        proposed.sort();
        QCOMPARE(proposed, (QStringList{"c:\\Docs\\Report.doc", "c:\\Docs\\report.doc"}));

        const RunResult run = addNewFiles(rig.ctx, result.proposals, {true, true});
        QCOMPARE(run.copiedCount, std::uint64_t(exfat ? 1 : 2));
        QCOMPARE(run.failedCount, std::uint64_t(exfat ? 1 : 0));
        QCOMPARE(rig.proposals(result).filter(" - added").size(), exfat ? 1 : 2);
        if (exfat) {
            // The first proposal is copied; the second one's line says why it is not.
            const std::string first = result.proposals[0].substr(0, result.proposals[0].find(' '));
            const QString firstName = QString::fromStdString(first.substr(first.rfind('\\') + 1));
            const QString secondName = firstName == "Report.doc" ? "report.doc" : "Report.doc";
            QCOMPARE(QDir(fixture.native("e:\\c-Docs")).entryList(QDir::Files),
                     (QStringList{"a.doc", firstName}));
            QCOMPARE(
                rig.media.current.totalSize,
                100 + fixture.readFile("c:\\Docs\\" + first.substr(first.rfind('\\') + 1)).size());
            QCOMPARE(toList(rig.ui.outputLines).filter("not copied"),
                     QStringList{fixture.native("c:\\Docs\\") + secondName +
                                 " not copied to e: - the backup drive does not tell capitals "
                                 "from small letters and already holds " +
                                 firstName});
        } else {
            QCOMPARE(fixture.readFile("e:\\c-Docs\\Report.doc"), QByteArray("upper"));
            QCOMPARE(fixture.readFile("e:\\c-Docs\\report.doc"), QByteArray("lower!"));
            QCOMPARE(rig.media.current.totalSize, std::int64_t(111));
        }
    }

    // A mirror folder named in another case than its source (written on another system, or
    // its source renamed in case since) still finds the source folder; the proposal carries the
    // name and case as listed there, in what is shown and in what is added.
    void aMirrorFolderInAnotherCaseProposesTheNamesAsListed()
    {
        Fixture fixture;
        addDrives(fixture);
        fixture.writeFile("e:\\c-home\\anna\\documents\\reports\\q1.txt", "1", T0);
        fixture.writeFile("c:\\home\\anna\\Documents\\Reports\\q1.txt", "1", T0);
        fixture.writeFile("c:\\home\\anna\\Documents\\Reports\\Q2.txt", "22", T0 + kDay);
        Rig rig(fixture, "");
        rig.media.current.lastBackupDate = rig.dateTimeOf(T0);

        NewerScanResult result = scanNewFiles(rig.ctx);
        const std::string q2 = "c:\\home\\anna\\Documents\\Reports\\Q2.txt";
        QCOMPARE(toList(result.proposals), QStringList{QString::fromStdString(q2)});
        QCOMPARE(QString::fromStdString(shownProposal(*rig.platform, result.proposals[0])),
                 fixture.native(q2));

        QCOMPARE(addNewFiles(rig.ctx, result.proposals, {true}).copiedCount, std::uint64_t(1));
        // Into the mirror folder the medium holds, under the file's own name.
        QCOMPARE(fixture.readFile("e:\\c-home\\anna\\documents\\reports\\Q2.txt"),
                 QByteArray("22"));
        QVERIFY(!fixture.exists("e:\\c-home\\anna\\Documents"));
        QCOMPARE(QString::fromStdString(shownProposal(*rig.platform, result.proposals[0])),
                 fixture.native(q2) + " - added");
        QCOMPARE(toList(rig.ui.outputLines), QStringList{fixture.native(q2) + " added"});
    }

    void failedCopyKeepsItsLineAndTheDate_data()
    {
        QTest::addColumn<bool>("anotherAdded"); // c:\docs\c.doc is proposed and copied too
        QTest::newRow("every copy failed") << false;
        QTest::newRow("one of two failed") << true;
    }

    void failedCopyKeepsItsLineAndTheDate()
    {
        QFETCH(bool, anotherAdded);
        Fixture fixture;
        addDrives(fixture);
        fixture.writeFile("e:\\c-docs\\a.doc", "x", T0);
        fixture.writeFile("c:\\docs\\b.doc", "x", T0 + kDay);
        if (anotherAdded)
            fixture.writeFile("c:\\docs\\c.doc", "cc", T0 + kDay);
        Rig rig(fixture, "");
        rig.media.current.totalSize = 1000;
        NewerScanResult result = scanNewFiles(rig.ctx);
        QVERIFY(QFile::remove(fixture.native("c:\\docs\\b.doc")));

        const std::vector<bool> all(result.proposals.size(), true);
        const RunResult run = addNewFiles(rig.ctx, result.proposals, all);
        QCOMPARE(run.copiedCount, std::uint64_t(anotherAdded ? 1 : 0));
        QCOMPARE(run.failedCount, std::uint64_t(1));

        QCOMPARE(rig.proposals(result).first(), QString("c:\\docs\\b.doc"));
        const QStringList failed = logLines(fixture).filter(" not copied to ");
        QCOMPARE(failed.size(), 1);
        QVERIFY(failed[0].startsWith(fixture.native("c:\\docs\\b.doc") + " not copied to e: - "));
        QVERIFY(toList(rig.ui.outputLines).contains(failed[0]));
        // A new date would hide the failed file from every later scan: none is stored, and
        // with no date on record none is made up for the total either.
        QVERIFY(!fixture.setting("Last BackUp", "e-").isValid());
    }

    void isInListIgnoresCase()
    {
        const std::vector<std::string> list{"A.doc", "sub"};
        QVERIFY(isInList("a.DOC", list));
        QVERIFY(isInList("SUB", list));
        QVERIFY(!isInList("a.do", list));
        QVERIFY(!isInList("", {}));
        QCOMPARE(newerExtensionOf("Report.Final.DOC"), std::string("final.doc"));
        QCOMPARE(newerExtensionOf("Makefile"), std::string());
    }
};

QTEST_GUILESS_MAIN(TestNewerFiles)
#include "tst_newerfiles.moc"
