// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/ChildProcess.h"
#include "common/Fixture.h"
#include "common/RunTraces.h"
#include "common/ScratchMount.h"
#include "platform/OperationLock.h"
#include "update/ScriptedServer.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>

#include <QRegularExpression>
#include <QSettings>
#include <QThread>
#include <QtTest>
#include <map>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using kx::OperationLock;
using kx::test::Fixture;
using kx::test::Run;
using kx::test::runToEnd;
using kx::test::ScriptedServer;
using kx::test::tempFiles;

namespace {
constexpr qint64 T0 = 1700000000;

// `locale` empty keeps the test's own; `fileSizeLimit` above 0 caps the size of every file the
// run writes, so that a copy fails the way a full medium makes it fail, even for root;
// `workingDir` is where relative paths start.
Run kopierix(const QStringList& args, const QString& locale = QString(), qint64 fileSizeLimit = 0,
             const QString& workingDir = QString())
{
    QProcess p;
    p.setWorkingDirectory(workingDir);
    if (!locale.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), locale);
        p.setProcessEnvironment(env);
    }
    if (fileSizeLimit > 0) {
        p.setChildProcessModifier([fileSizeLimit] {
            // A write past the limit then fails with EFBIG instead of ending the process.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    }
    return runToEnd(p, QStringLiteral(KOPIERIX_BINARY), args, 120000);
}

// The text with each %1 replaced by `folder`; texts without one stay as they are.
QString filled(QString text, const QString& folder)
{
    return text.replace(QStringLiteral("%1"), folder);
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A source drive c: with a changed a.doc and a new b.doc, and the backup drive e: that holds
// the old a.doc.
void backupWithChanges(Fixture& fixture)
{
    fixture.addDrive('c');
    fixture.addDrive('e', "DRIVE_FIXED");
    fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
    fixture.writeFile("e:\\C-Docs\\a.doc", "backup", T0);
    fixture.writeFile("c:\\Docs\\a.doc", "changed", T0 + 60);
    fixture.writeFile("c:\\Docs\\b.doc", "new", T0 + 60);
}
} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        qputenv("LC_ALL", "C.UTF-8");
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stdoutStart");
        QTest::addColumn<QString>("stderrStart");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: kopierix"
                              << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "Kopierix version 1.01b"
                                 << "";
        QTest::newRow("unknown command") << QStringList{"backup"} << 2 << ""
                                         << "kopierix: Unknown command: backup";
        QTest::newRow("restore without --yes")
            << QStringList{"restore-all"} << 2 << ""
            << "kopierix: restore-all overwrites your files with the Backup; confirm with --yes.";
        QTest::newRow("bad drive") << QStringList{"--backup-drive", "ee", "status"} << 2 << ""
                                   << "kopierix: --backup-drive expects a drive letter";
        QTest::newRow("--yes elsewhere") << QStringList{"make-backups", "--yes"} << 2 << ""
                                         << "kopierix: --yes belongs to restore-all";
        QTest::newRow("unknown option") << QStringList{"--bogus", "status"} << 2 << ""
                                        << "kopierix: Unknown argument: --bogus\nSee kopierix";
        // Without "--", a path that begins with "-" reads as an option.
        QTest::newRow("dash path without --") << QStringList{"add", "-notes.txt"} << 2 << ""
                                              << "kopierix: Unknown argument: -notes.txt";
        QTest::newRow("add without a path") << QStringList{"add"} << 2 << ""
                                            << "kopierix: add expects one or more files";
        QTest::newRow("unknown schedule")
            << QStringList{"schedule", "hourly"} << 2 << ""
            << "kopierix: schedule expects daily, weekly, on-mount or off";
        QTest::newRow("watch with an argument") << QStringList{"watch", "e"} << 2 << ""
                                                << "kopierix: Unknown argument: e";
        // A letter for this run is refused as set-backup-drive refuses it.
        QTest::newRow("--backup-drive of no drive, make-backups")
            << QStringList{"--backup-drive", "q", "make-backups"} << 2 << ""
            << "kopierix: there is no drive q: (see kopierix drives)\n";
        QTest::newRow("--backup-drive of no drive, status")
            << QStringList{"--backup-drive", "q:", "status"} << 2 << ""
            << "kopierix: there is no drive q: (see kopierix drives)\n";
        QTest::newRow("--per-computer elsewhere")
            << QStringList{"status", "--per-computer"} << 2 << ""
            << "kopierix: --per-computer belongs to set-backup-drive";
        QTest::newRow("--repair elsewhere") << QStringList{"make-backups", "--repair"} << 2 << ""
                                            << "kopierix: --repair belongs to verify";
        // The spellings the options have always taken: one dash or two, -h, a value as the next
        // argument whatever it looks like.
        QTest::newRow("one dash") << QStringList{"-version"} << 0 << "Kopierix version 1.01b"
                                  << "";
        QTest::newRow("-h") << QStringList{"-h"} << 0 << "Usage: kopierix"
                            << "";
        QTest::newRow("one dash, elsewhere") << QStringList{"status", "-yes"} << 2 << ""
                                             << "kopierix: --yes belongs to restore-all";
        QTest::newRow("flag with a value")
            << QStringList{"restore-all", "--yes=1"} << 2 << ""
            << "kopierix: Unexpected value after '--yes'.\nSee kopierix";
        QTest::newRow("drive that looks like an option")
            << QStringList{"--backup-drive", "-e", "status"} << 2 << ""
            << "kopierix: --backup-drive expects a drive letter";
        QTest::newRow("drive missing") << QStringList{"status", "--backup-drive"} << 2 << ""
                                       << "kopierix: --backup-drive expects a drive letter";
        QTest::newRow("unknown option with a value")
            << QStringList{"status", "--bogus=1", "--other"} << 2 << ""
            << "kopierix: Unknown argument: --bogus=1\nSee kopierix";
        QTest::newRow("unknown word after one dash") << QStringList{"-hxyz"} << 2 << ""
                                                     << "kopierix: Unknown argument: -hxyz";
    }
    void usage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, stdoutStart);
        QFETCH(QString, stderrStart);
        Fixture fixture;
        const Run run = kopierix(args);
        QCOMPARE(run.exitCode, exitCode);
        // An empty expectation means nothing at all on that stream.
        QVERIFY2(stdoutStart.isEmpty() ? run.out.isEmpty() : run.out.startsWith(stdoutStart),
                 qPrintable(run.out));
        QVERIFY2(stderrStart.isEmpty() ? run.err.isEmpty() : run.err.startsWith(stderrStart),
                 qPrintable(run.err));
    }

    // Without a display the windows are not tried (Qt would end the process): the user learns
    // why, and which commands run without one.
    void withoutADisplayTheCommandsAreShown_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("firstLine");
        const QString english =
            "kopierix: no display available; the commands below run without one:";
        QTest::newRow("nothing chosen") << ""
                                        << "C.UTF-8" << english;
        QTest::newRow("X11 chosen") << "xcb"
                                    << "C.UTF-8" << english;
        QTest::newRow("Wayland chosen") << "wayland"
                                        << "C.UTF-8" << english;
        QTest::newRow("Dutch") << ""
                               << "nl_NL.UTF-8"
                               << "kopierix: geen beeldscherm beschikbaar; de opdrachten "
                                  "hieronder werken zonder:";
    }
    void withoutADisplayTheCommandsAreShown()
    {
        QFETCH(QString, platform);
        QFETCH(QString, locale);
        QFETCH(QString, firstLine);
        Fixture fixture;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        if (!platform.isEmpty())
            env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
        env.insert(QStringLiteral("LC_ALL"), locale);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KOPIERIX_BINARY), QStringList());
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 1);
        const QStringList err = QString::fromUtf8(p.readAllStandardError()).split('\n');
        QCOMPARE(err.value(0), firstLine);
        QVERIFY(err.filter(QRegularExpression("^  make-backups ")).size() == 1);
        QVERIFY(p.readAllStandardOutput().isEmpty());
    }

    void helpListsTheExitStatuses_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("English")
            << "C.UTF-8"
            << QStringList{
                   "Exit statuses of make-backups, restore-all and newer [--add]:",
                   "  0  completed with no failure",
                   "  1  the backup drive could not be entered, or the drive written to has "
                   "too little",
                   "     space for the run (nothing was copied)",
                   "  2  usage error",
                   "  3  completed, but some files could not be copied or some folders could "
                   "not be read",
                   "  4  another Kopierix operation is running"};
        QTest::newRow("Dutch") << "nl_NL.UTF-8"
                               << QStringList{
                                      "Afsluitstatus van make-backups, restore-all en newer "
                                      "[--add]:",
                                      "  0  voltooid zonder fouten",
                                      "  1  de Backupschijf kon niet worden geopend, of de "
                                      "schijf waarop geschreven wordt heeft",
                                      "     te weinig ruimte voor de run (er is niets "
                                      "gekopieerd)",
                                      "  2  fout in de opdrachtregel",
                                      "  3  voltooid, maar sommige bestanden konden niet worden "
                                      "gekopieerd of sommige mappen",
                                      "     niet worden gelezen",
                                      "  4  er loopt al een andere bewerking van Kopierix"};
    }
    void helpListsTheExitStatuses()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, lines);
        Fixture fixture;
        const Run run = kopierix({"--help"}, locale);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(lines.join('\n') + '\n'), qPrintable(run.out));
        // Every command, the settings file and the form of its drive table.
        for (const char* part :
             {"\n  make-backups ", "\n  restore-all ", "\n  newer ", "\n  add ",
              "\n  set-backup-drive ", "\n  status ", "\n  drives ", "\n  check-update ",
              "\n  --  ", "$XDG_CONFIG_HOME/Kopierix/Kopierix.ini", "[Drives]",
              "e=/media/anna/STICK ", "e.type=DRIVE_REMOVABLE ", "e.label=BACKUP1 "})
            QVERIFY2(run.out.contains(QString::fromUtf8(part)), part);
    }

    void makeBackupsPrintsTheLinesAndKeepsTheStoredDrive()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED", "Backup1");
        fixture.addDrive('f', "DRIVE_FIXED", "Other");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        fixture.writeFile("f:\\C-Docs\\a.txt", "old", T0);
        fixture.writeFile("c:\\Docs\\a.txt", "new", T0 + 60);

        const Run status = kopierix({"--backup-drive", "f", "status"});
        QCOMPARE(status.exitCode, 0);
        // The drive by its label and its folder, so that the user can find it.
        QCOMPARE(status.out, " Backup drive: f: [other], latest backup date unknown\n f: (Other) " +
                                 fixture.native("f:\\") + "\n");

        const Run run = kopierix({"--backup-drive", "f:", "make-backups"});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split('\n');
        QCOMPARE(lines.at(0), fixture.native("c:\\Docs\\a.txt") + " copied to f:");
        QCOMPARE(lines.at(2), QString("Number of files copied to f: = 1"));
        QCOMPARE(fixture.readFile("f:\\C-Docs\\a.txt"), QByteArray("new"));
        QCOMPARE(fixture.setting("Defaults", "BackUp Drive").toString(), QString("e:\\"));
        QVERIFY(fixture.setting("Last BackUp", "f-Other").toDouble() > 0);

        QFile log(fixture.dataPath() + "/Kopierix.log");
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QStringList logLines = QString::fromUtf8(log.readAll()).split("\r\n");
        QVERIFY(logLines.at(0).startsWith("Date: "));
        // A headless run clicks nothing: no line of a button, in either language.
        QCOMPARE(logLines.at(1), fixture.native("c:\\Docs\\a.txt") + " copied to f:");
        QVERIFY(logLines.filter(QRegularExpression("^(Button|Knop) ")).isEmpty());
    }

    // A terminal and a log file get the locale's own short date, as the log does; only the
    // windows widen its year.
    void theCommandLineKeepsTheLocalesShortDate()
    {
        Fixture fixture;
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        fixture.setSetting("Last BackUp", "e-", 46367.5); // 11 December 2026, noon
        const Run status = kopierix({"status"}, "en_US.UTF-8");
        QCOMPARE(status.exitCode, 0);
        QVERIFY2(status.out.startsWith(" Backup drive: e:, latest backup: 12/11/26 12:00:00"),
                 qPrintable(status.out));
    }

    // A medium that is away is told once, in the user's language, and nothing is summed up:
    // no counts of zero, no free space that cannot be read.
    void aMissingBackupDriveIsToldOnceAndEndsWithStatusOne_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("error");
        const QString english = "C.UTF-8";
        const QString dutch = "nl_NL.UTF-8";
        QTest::newRow("make-backups") << QStringList{"make-backups"} << english << ""
                                      << "Backup drive e: is not mounted\n";
        QTest::newRow("make-backups, labelled")
            << QStringList{"make-backups"} << english << "KOPISTICK"
            << "Backup drive e: (KOPISTICK) is not mounted\n";
        QTest::newRow("restore-all") << QStringList{"restore-all", "--yes"} << english << ""
                                     << "Backup drive e: is not mounted\n";
        QTest::newRow("newer") << QStringList{"newer"} << english << ""
                               << "Backup drive e: is not mounted\n";
        QTest::newRow("make-backups, Dutch")
            << QStringList{"make-backups"} << dutch << "KOPISTICK"
            << "Backupschijf e: (KOPISTICK) is niet aangekoppeld\n";
        QTest::newRow("restore-all, Dutch") << QStringList{"restore-all", "--yes"} << dutch << ""
                                            << "Backupschijf e: is niet aangekoppeld\n";
    }
    void aMissingBackupDriveIsToldOnceAndEndsWithStatusOne()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, locale);
        QFETCH(QString, label);
        QFETCH(QString, error);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.writeFile("c:\\Docs\\a.doc", "a", T0);
        fixture.addMissingDrive('e', "DRIVE_REMOVABLE");
        if (!label.isEmpty())
            fixture.setSetting("Drives", "e.label", label);
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        const Run run = kopierix(args, locale);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, error);
        QCOMPARE(run.out, QString());
        // Nor in the log: no summary, no size.
        QVERIFY(!readAll(fixture.dataPath() + "/Kopierix.log").contains("Bytes"));
        QCOMPARE(fixture.readFile("c:\\Docs\\a.doc"), QByteArray("a"));
    }

    // Before a backup drive is chosen, status says so and how to choose one.
    void statusBeforeAnyBackupDriveIsChosen_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("line");
        QTest::newRow("English") << "C.UTF-8"
                                 << " No backup drive chosen: choose one with 'kopierix "
                                    "set-backup-drive FOLDER' or in the Manage window\n";
        QTest::newRow("Dutch") << "nl_NL.UTF-8"
                               << " Geen Backupschijf gekozen: kies er een met 'kopierix "
                                  "set-backup-drive MAP' of in het venster Beheer\n";
    }
    void statusBeforeAnyBackupDriveIsChosen()
    {
        QFETCH(QString, locale);
        QFETCH(QString, line);
        Fixture fixture;
        fixture.addDrive('e', "DRIVE_FIXED", "Backup1");
        const Run run = kopierix({"status"}, locale);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, line);
        QCOMPARE(run.err, QString());
    }

    // The drive table tells which folder each letter is.
    void drivesListsEachLetterWithItsFolder()
    {
        Fixture fixture;
        const QString medium = fixture.addDrive('e', "DRIVE_REMOVABLE", "BACKUP1");
        fixture.addMissingDrive('h');
        const Run run = kopierix({"drives"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        const QStringList lines = run.out.split('\n');
        const auto row = [&](const QString& letter) {
            return lines.filter(QRegularExpression("^" + letter + " ")).value(0).simplified();
        };
        QVERIFY(lines.value(0).startsWith("Drive  Type"));
        QVERIFY2(row("e:").startsWith("e: removable BACKUP1 ") && row("e:").endsWith(" " + medium),
                 qPrintable(row("e:")));
        QVERIFY2(row("h:").contains(" not there "), qPrintable(row("h:")));
        QVERIFY2(row("c:").endsWith(" /"), qPrintable(row("c:")));
    }

    void restoreAllAndNewerFiles()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        fixture.writeFile("e:\\C-Docs\\a.doc", "backup", T0);
        fixture.writeFile("c:\\Docs\\a.doc", "changed", T0 + 60);
        fixture.writeFile("c:\\Docs\\b.doc", "new", T0 + 60);

        const Run newer = kopierix({"newer"});
        QCOMPARE(newer.exitCode, 0);
        QCOMPARE(newer.out, fixture.native("c:\\Docs\\b.doc") + "\n");
        const Run add = kopierix({"newer", "--add"});
        QCOMPARE(add.exitCode, 0);
        QCOMPARE(add.out, fixture.native("c:\\Docs\\b.doc") + " added\n");
        QCOMPARE(fixture.readFile("e:\\C-Docs\\b.doc"), QByteArray("new"));
        QVERIFY(fixture.setting("Last BackUp", "e-").isValid());

        // Nothing left to add: the window's line, and the medium's date stays where it was.
        fixture.setSetting("Last BackUp", "e-", 45000.5);
        const Run nothing = kopierix({"newer", "--add"});
        QCOMPARE(nothing.exitCode, 0);
        QCOMPARE(nothing.out, QString("There are no newer files to be added.\n"));
        QCOMPARE(fixture.setting("Last BackUp", "e-").toDouble(), 45000.5);

        const Run restore = kopierix({"restore-all", "--yes"});
        QCOMPARE(restore.exitCode, 0);
        QVERIFY(restore.out.contains("Number of files restored from e: = 2"));
        QCOMPARE(fixture.readFile("c:\\Docs\\a.doc"), QByteArray("backup"));
    }

    void aRunKilledMidCopyLeavesOldOrNewAndNothingCounted()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        const QByteArray oldContent(1 << 20, 'o');
        QByteArray newContent(256 << 20, 'n');
        fixture.writeFile("e:\\C-Big\\big.bin", oldContent, T0);
        fixture.writeFile("c:\\Big\\big.bin", newContent, T0 + 60);
        newContent.clear();

        QProcess p;
        p.start(QStringLiteral(KOPIERIX_BINARY), {"make-backups"});
        QVERIFY(p.waitForStarted());
        const QString folder = fixture.native("e:\\C-Big");
        // Kill as soon as the copy has begun; a run that is quicker than the poll is killed
        // after its end, which the checks below accept too.
        QTRY_VERIFY_WITH_TIMEOUT(!tempFiles(folder).isEmpty() || p.state() == QProcess::NotRunning,
                                 60000);
        // An ended run has no process id: a signal to 0 would go to the whole process group.
        const pid_t pid = pid_t(p.processId());
        if (pid > 0)
            ::kill(pid, SIGSTOP);
        // Caught in the middle of its copy, the run holds the lock: a second one is refused.
        if (pid > 0 && !tempFiles(folder).isEmpty()) {
            const Run second = kopierix({"make-backups"});
            QCOMPARE(second.exitCode, 4);
            QCOMPARE(second.err,
                     QString("Another Kopierix operation is running; try again later.\n"));
        }
        if (pid > 0)
            ::kill(pid, SIGKILL);
        p.waitForFinished();

        const QByteArray now = fixture.readFile("e:\\C-Big\\big.bin");
        QVERIFY(now == oldContent || now.size() == (256 << 20));
        if (now.size() == (256 << 20))
            QVERIFY(now.count('n') == now.size());

        // What the killed run left behind is no backup file, nor a lock.
        const Run again = kopierix({"make-backups"});
        QCOMPARE(again.exitCode, 0);
        QVERIFY(again.out.contains("Total number of Backup files = 1"));
        QCOMPARE(fixture.readFile("e:\\C-Big\\big.bin").size(), 256 << 20);
    }

    // SIGINT and SIGTERM stop a run as the window's Stop does. The run is held at a known point
    // by its own output: nobody reads it until the signal is sent, so the pipe fills and the
    // run waits in the middle of the tree.
    void aSignalStopsTheRunAfterItsSummary_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("SIGINT") << int(SIGINT) << 130;
        QTest::newRow("SIGTERM") << int(SIGTERM) << 143;
    }
    void aSignalStopsTheRunAfterItsSummary()
    {
        QFETCH(int, signal);
        QFETCH(int, exitCode);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        constexpr int kFiles = 4000;
        const std::string folder = "\\Docs\\" + std::string(60, 'd') + "\\";
        auto name = [](int i) { return "file" + std::to_string(i) + ".txt"; };
        for (int i = 0; i < kFiles; ++i) {
            fixture.writeFile("e:\\C-" + folder.substr(1) + name(i), "old", T0);
            fixture.writeFile("c:" + folder + name(i), "new", T0 + 60);
        }

        QProcess p;
        p.start(QStringLiteral(KOPIERIX_BINARY), {"make-backups"});
        QVERIFY(p.waitForStarted());
        // No event loop runs here, so nothing reads the run's output meanwhile.
        QThread::msleep(1500);
        QCOMPARE(p.state(), QProcess::Running);
        QCOMPARE(::kill(pid_t(p.processId()), signal), 0);
        QElapsedTimer sinceSignal;
        sinceSignal.start();
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), exitCode);
        qInfo("ended %lld ms after the signal", sinceSignal.elapsed());

        const QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
        const int copied = int(out.filter(QRegularExpression(" copied to e:$")).size());
        QVERIFY2(copied > 0 && copied < kFiles, qPrintable(QString::number(copied)));
        QVERIFY(out.contains(QString("Number of files copied to e: = %1").arg(copied)));
        const int stopped = int(out.indexOf("Stopped by the user"));
        QVERIFY(stopped > 0);
        QVERIFY(out.value(stopped + 1).startsWith("Free space on "));
        // Each file is its old copy or its new one; nothing half-way, no temporary file left.
        int fresh = 0;
        for (int i = 0; i < kFiles; ++i) {
            const QByteArray contents = fixture.readFile("e:\\C-" + folder.substr(1) + name(i));
            QVERIFY(contents == "old" || contents == "new");
            fresh += contents == "new";
        }
        QCOMPARE(fresh, copied);
        QCOMPARE(tempFiles(fixture.root()), QStringList());
        QVERIFY(!fixture.setting("Last BackUp", "e-").isValid());

        QFile log(fixture.dataPath() + "/Kopierix.log");
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QStringList logLines = QString::fromUtf8(log.readAll()).split("\r\n");
        QVERIFY(logLines.contains("Stopped by the user"));
    }

    // A copy whose size and time are its source's but whose bytes are not is told, in the
    // user's language, with status 3; --repair copies the source again and keeps the old copy
    // where its line says; then the check is clean.
    void verifyFindsADecayedCopy_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("English") << "C.UTF-8"
                                 << QStringList{
                                        "%1 differs from its backup copy: one of the two is "
                                        "damaged",
                                        "%1 copied again to e:; the replaced copy is kept in ",
                                        "Number of files checked = 2",
                                        "Number of files that differ from their backup copy = 0"};
        QTest::newRow("Dutch") << "nl_NL.UTF-8"
                               << QStringList{
                                      "%1 verschilt van zijn backupkopie: een van beide is "
                                      "beschadigd",
                                      "%1 opnieuw gekopieerd naar e:; de vervangen kopie staat in ",
                                      "Aantal gecontroleerde bestanden = 2",
                                      "Aantal bestanden die van hun backupkopie verschillen = 0"};
    }
    void verifyFindsADecayedCopy()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, lines);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        fixture.writeFile("c:\\Docs\\a.doc", "the letter", T0);
        fixture.writeFile("e:\\C-Docs\\a.doc", "the lettes", T0);
        fixture.writeFile("c:\\Docs\\b.doc", "whole", T0);
        fixture.writeFile("e:\\C-Docs\\b.doc", "whole", T0);
        const QString source = fixture.native("c:\\Docs\\a.doc");

        const Run found = kopierix({"verify"}, locale);
        QCOMPARE(found.exitCode, 3);
        QCOMPARE(found.out.section('\n', 0, 0), lines[0].arg(source));
        QVERIFY2(found.out.contains("\n" + lines[2] + "\n"), qPrintable(found.out));
        QCOMPARE(found.err, QString());
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.doc"), QByteArray("the lettes"));

        const Run repaired = kopierix({"verify", "--repair"}, locale);
        QCOMPARE(repaired.exitCode, 3);
        const QString line = repaired.out.section('\n', 1, 1);
        QVERIFY2(line.startsWith(lines[1].arg(source)), qPrintable(repaired.out));
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.doc"), QByteArray("the letter"));
        QCOMPARE(readAll(line.mid(lines[1].arg(source).size())), QByteArray("the lettes"));

        const Run clean = kopierix({"verify"}, locale);
        QCOMPARE(clean.exitCode, 0);
        QVERIFY2(clean.out.contains("\n" + lines[3] + "\n"), qPrintable(clean.out));
    }

    // SIGINT stops a check as it stops a refresh: the summary so far, the stop line, 130.
    void aSignalStopsVerify()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        constexpr int kFiles = 2000;
        const std::string folder = "\\Docs\\" + std::string(60, 'd') + "\\";
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "file" + std::to_string(i) + ".txt";
            fixture.writeFile("e:\\C-" + folder.substr(1) + name, "decayed", T0);
            fixture.writeFile("c:" + folder + name, "written", T0);
        }

        QProcess p;
        p.start(QStringLiteral(KOPIERIX_BINARY), {"verify"});
        QVERIFY(p.waitForStarted());
        // Nothing reads the run's lines meanwhile: it waits with a full pipe, mid-way.
        QThread::msleep(1000);
        QCOMPARE(p.state(), QProcess::Running);
        QCOMPARE(::kill(pid_t(p.processId()), SIGINT), 0);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 130);
        QStringList out = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
        out.removeAll(QString());
        QCOMPARE(out.last(), QString("Stopped by the user"));
        const int found = int(out.filter(" differs from its backup copy: ").size());
        QVERIFY2(found > 0 && found < kFiles, qPrintable(QString::number(found)));
        QVERIFY(out.contains(QString("Number of files checked = %1").arg(found)));
    }

    void aSecondOperationIsRefusedAtOnce_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("err");
        const QString english = "Another Kopierix operation is running; try again later.\n";
        QTest::newRow("make-backups") << QStringList{"make-backups"} << "" << english;
        QTest::newRow("restore-all") << QStringList{"restore-all", "--yes"} << "" << english;
        QTest::newRow("newer --add") << QStringList{"newer", "--add"} << "" << english;
        QTest::newRow("newer") << QStringList{"newer"} << "" << english;
        QTest::newRow("verify --repair") << QStringList{"verify", "--repair"} << "" << english;
        QTest::newRow("Dutch") << QStringList{"make-backups"} << "nl_NL.UTF-8"
                               << "Er loopt al een bewerking van Kopierix; probeer het later "
                                  "opnieuw.\n";
    }
    void aSecondOperationIsRefusedAtOnce()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, locale);
        QFETCH(QString, err);
        Fixture fixture;
        backupWithChanges(fixture);
        OperationLock other;
        QVERIFY(other.tryLock());

        const Run run = kopierix(args, locale);
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(run.err, err);
        QCOMPARE(run.out, QString());
        // Refused before it touched anything: the files, the log.
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.doc"), QByteArray("backup"));
        QCOMPARE(fixture.readFile("c:\\Docs\\a.doc"), QByteArray("changed"));
        QVERIFY(!fixture.exists("e:\\C-Docs\\b.doc"));
        QVERIFY(!QFile::exists(fixture.dataPath() + "/Kopierix.log"));
    }

    void aHeadlessRunBesideTheWindowsKeepsTheirLog_data()
    {
        QTest::addColumn<bool>("windowsOpen");
        QTest::newRow("windows open") << true;
        QTest::newRow("no windows") << false;
    }
    void aHeadlessRunBesideTheWindowsKeepsTheirLog()
    {
        QFETCH(bool, windowsOpen);
        Fixture fixture;
        backupWithChanges(fixture);
        const QByteArray windowsLog = "Date: 1-1-2024 10:00:00\r\nButton \"Manage\" clicked\r\n";
        QDir().mkpath(fixture.dataPath());
        QFile log(fixture.dataPath() + "/Kopierix.log");
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write(windowsLog);
        log.close();
        OperationLock windows(OperationLock::Kind::Windows);
        if (windowsOpen)
            windows.lockShared();

        QCOMPARE(kopierix({"make-backups"}).exitCode, 0);
        const QByteArray current = readAll(fixture.dataPath() + "/Kopierix.log");
        const QByteArray previous = readAll(fixture.dataPath() + "/Kopierix!.log");
        if (windowsOpen) {
            // The run's lines follow its own date line in the windows' log.
            QVERIFY2(current.startsWith(windowsLog + "Date: "), current.constData());
            QVERIFY(current.contains(
                ("\r\n" + fixture.native("c:\\Docs\\a.doc") + " copied to e:\r\n").toUtf8()));
            QVERIFY(!QFile::exists(fixture.dataPath() + "/Kopierix!.log"));
        } else {
            QVERIFY2(current.startsWith("Date: "), current.constData());
            QVERIFY(!current.contains("Manage"));
            QCOMPARE(previous, windowsLog);
        }
    }

    // Each failed copy is told on standard error alone, and the run ends with status 3. A size
    // limit on the run's files makes the copy of the large file fail.
    void aRunWithFailedCopiesEndsWithStatusThree_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("backup"); // e:\C-Docs\big.bin
        QTest::addColumn<QByteArray>("source"); // c:\Docs\big.bin
        const QByteArray large(1 << 20, 'x');
        QTest::newRow("make-backups") << QStringList{"make-backups"} << QByteArray("old") << large;
        QTest::newRow("restore-all")
            << QStringList{"restore-all", "--yes"} << large << QByteArray("old");
        QTest::newRow("newer --add") << QStringList{"newer", "--add"} << QByteArray() << large;
    }
    void aRunWithFailedCopiesEndsWithStatusThree()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, backup);
        QFETCH(QByteArray, source);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        fixture.writeFile("e:\\C-Docs\\small.bin", "s", T0);
        fixture.writeFile("c:\\Docs\\small.bin", "s", T0);
        if (!backup.isEmpty())
            fixture.writeFile("e:\\C-Docs\\big.bin", backup, T0);
        fixture.writeFile("c:\\Docs\\big.bin", source, T0 + 60);

        const Run run = kopierix(args, QString(), 256 << 10);
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.err.contains("big.bin"), qPrintable(run.err));
        QVERIFY2(!run.out.contains("big.bin"), qPrintable(run.out));
        QCOMPARE(fixture.readFile("c:\\Docs\\big.bin"), source);
        QCOMPARE(fixture.readFile("e:\\C-Docs\\big.bin"), backup);
    }

    // Three files of 400 kB do not go on a medium of 1 MB: the run says so before its first
    // copy, writes nothing and ends with status 1 (file by file, two would have gone).
    void aTargetTooSmallIsRefusedBeforeTheFirstCopy_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<char>("small"); // the drive on the small medium
        QTest::addColumn<bool>("backups");
        QTest::newRow("make-backups") << QStringList{"make-backups"} << 'e' << true;
        QTest::newRow("restore-all") << QStringList{"restore-all", "--yes"} << 'c' << true;
        QTest::newRow("newer --add") << QStringList{"newer", "--add"} << 'e' << false;
        QTest::newRow("add") << QStringList{"add", "%c"} << 'e' << false;
    }
    void aTargetTooSmallIsRefusedBeforeTheFirstCopy()
    {
        QFETCH(QStringList, args);
        QFETCH(char, small);
        QFETCH(bool, backups);
        Fixture fixture;
        const QString c = fixture.addDrive('c');
        const QString e = fixture.addDrive('e', "DRIVE_FIXED");
        kx::test::ScratchMount medium;
        QString why;
        if (!medium.mountTmpfs(small == 'c' ? c : e, "size=1m", why))
            QSKIP(qPrintable(why));
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        const QByteArray large(400 << 10, 'n');
        fixture.writeFile("e:\\C-Docs\\keep.bin", "k", T0);
        fixture.writeFile("c:\\Docs\\keep.bin", "k", T0);
        std::map<std::string, QByteArray> before;
        for (const char* name : {"big1.bin", "big2.bin", "big3.bin"}) {
            const std::string backup = std::string("e:\\C-Docs\\") + name;
            const std::string source = std::string("c:\\Docs\\") + name;
            const bool restore = small == 'c';
            if (backups)
                fixture.writeFile(backup, restore ? large : QByteArray("old"), T0);
            fixture.writeFile(source, restore ? QByteArray("old") : large, T0 + 60);
            before[backup] = fixture.exists(backup) ? fixture.readFile(backup) : QByteArray();
            before[source] = fixture.readFile(source);
        }
        args.replaceInStrings("%c", fixture.native("c:\\Docs"));

        const Run run = kopierix(args);
        QVERIFY2(run.exitCode == 1, qPrintable(run.out + run.err));
        const QString shortage =
            "Not enough space on " + fixture.native(std::string(1, small) + ":\\") + ": needed =";
        QVERIFY2(run.err.contains(shortage), qPrintable(run.err));
        QVERIFY2(!run.out.contains("big"), qPrintable(run.out));
        for (const auto& [path, contents] : before) {
            QCOMPARE(fixture.exists(path) ? fixture.readFile(path) : QByteArray(), contents);
        }
        QVERIFY(tempFiles(small == 'c' ? c : e).isEmpty());
    }

    void aFlushThatFailsEndsWithStatusThree_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("passes"); // the flushes that succeed: each batch's
        QTest::newRow("make-backups") << QStringList{"make-backups"} << 1;
        QTest::newRow("restore-all") << QStringList{"restore-all", "--yes"} << 1;
        QTest::newRow("add") << QStringList{"add", "--"} << 0;
        QTest::newRow("newer --add") << QStringList{"newer", "--add"} << 0;
    }
    void aFlushThatFailsEndsWithStatusThree()
    {
        QFETCH(QStringList, args);
        QFETCH(int, passes);
        Fixture fixture;
        fixture.addDrive('c');
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        fixture.writeFile("e:\\C-Docs\\a.doc", "old", T0);
        fixture.writeFile("c:\\Docs\\a.doc", "new", T0 + 60);
        fixture.writeFile("c:\\Docs\\b.doc", "new", T0 + 60);
        if (args.first() == "add")
            args << fixture.native("c:\\Docs\\b.doc");

        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_PRELOAD", KX_FAIL_SYNCFS);
        env.insert("KX_SYNCFS_PASSES", QString::number(passes));
        p.setProcessEnvironment(env);
        const Run run = runToEnd(p, QStringLiteral(KOPIERIX_BINARY), args, 120000);
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.err.contains(QRegularExpression("What was written to [ce]: did not reach "
                                                     "the disk: .*Input/output error")),
                 qPrintable(run.err));
        // No new date: add keeps the one it found, here none.
        QCOMPARE(fixture.setting("Last BackUp", "e-").toDouble(), 0.0);
    }

    void anUnwritableLogIsToldOnceOnStandardError()
    {
        Fixture fixture;
        backupWithChanges(fixture);
        // A file where the log's folder should be.
        QFile blocker(fixture.dataPath());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        const Run run = kopierix({"make-backups"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString("The activity log %1/Kopierix.log cannot be written: Not a "
                                  "directory\n")
                              .arg(fixture.dataPath()));
        QVERIFY(run.out.contains("Number of files copied to e: = 1"));
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.doc"), QByteArray("changed"));
    }

    // Not a regular file in the settings file's place: the defaults, and the thing left as it is.
    void aSettingsFileThatIsNoFileIsLeftAlone_data()
    {
        QTest::addColumn<bool>("asLink");
        QTest::newRow("FIFO") << false;
        QTest::newRow("link to a FIFO") << true;
    }
    void aSettingsFileThatIsNoFileIsLeftAlone()
    {
        QFETCH(bool, asLink);
        Fixture fixture;
        QDir().mkpath(QFileInfo(fixture.settingsPath()).path());
        const QString fifo = asLink ? fixture.root() + "/fifo" : fixture.settingsPath();
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        if (asLink)
            QVERIFY(QFile::link(fifo, fixture.settingsPath()));

        // No backup drive can be read from it: the status reads nothing of this machine's own
        // drives.
        QProcess p;
        p.start(QStringLiteral(KOPIERIX_BINARY), {"status"});
        QVERIFY2(p.waitForFinished(20000), "status waits on the settings file");
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()),
                 QString(" No backup drive chosen: choose one with 'kopierix set-backup-drive "
                         "FOLDER' or in the Manage window\n"));
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(fifo).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
        QCOMPARE(QFileInfo(fixture.settingsPath()).isSymLink(), asLink);
    }

    // The backup drive as the manage window stores a pick: by letter, by a drive's root folder
    // (also through a link), in per-computer mode; never the system's root.
    void setBackupDriveStoresTheChoice_data()
    {
        QTest::addColumn<QString>("choice"); // %1 stands for the fixture's root
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("output"); // standard output, or the start of standard error
        const QString chosen = "Backup drive: e: (%1/drive-e)\n";
        QTest::newRow("letter") << "e" << QStringList() << 0 << "e:\\" << chosen;
        QTest::newRow("letter with colon and backslash")
            << "E:\\" << QStringList() << 0 << "e:\\" << chosen;
        QTest::newRow("root folder of a drive")
            << "%1/drive-e/" << QStringList() << 0 << "e:\\" << chosen;
        QTest::newRow("root folder through a link")
            << "%1/link-to-e" << QStringList() << 0 << "e:\\" << chosen;
        QTest::newRow("per computer")
            << "e:" << QStringList{"--per-computer"} << 0 << "e:\\\\"
            << "Backup drive: e: (%1/drive-e), with a folder per computer\n";
        QTest::newRow("c:") << "c:" << QStringList() << 2 << "f:\\"
                            << "kopierix: c: is the system's root";
        QTest::newRow("/") << "/" << QStringList() << 2 << "f:\\"
                           << "kopierix: / is the system's root";
        QTest::newRow("a folder that resolves to /")
            << "%1/../../../../../../../../.." << QStringList() << 2 << "f:\\"
            << "kopierix: %1/../../../../../../../../.. is the system's root";
        QTest::newRow("/.") << "/." << QStringList() << 2 << "f:\\"
                            << "kopierix: /. is the system's root";
        QTest::newRow("//") << "//" << QStringList() << 2 << "f:\\"
                            << "kopierix: // is the system's root";
        QTest::newRow("a link to /") << "%1/link-to-root" << QStringList() << 2 << "f:\\"
                                     << "kopierix: %1/link-to-root is the system's root";
        QTest::newRow("a drive entry for /")
            << "g" << QStringList() << 2 << "f:\\"
            << "kopierix: g: can never be the Backup drive: / is the system's root";
        QTest::newRow("a drive entry for /dev/pts")
            << "h:" << QStringList() << 2 << "f:\\"
            << "kopierix: h: can never be the Backup drive: /dev/pts lies on the system's devpts";
        QTest::newRow("/proc") << "/proc" << QStringList() << 2 << "f:\\"
                               << "kopierix: /proc can never be the Backup drive: /proc lies on "
                                  "the system's proc file system";
        QTest::newRow("/sys") << "/sys/" << QStringList() << 2 << "f:\\"
                              << "kopierix: /sys/ can never be the Backup drive: /sys lies on "
                                 "the system's sysfs file system";
        QTest::newRow("/dev") << "/dev" << QStringList() << 2 << "f:\\"
                              << "kopierix: /dev can never be the Backup drive: /dev is a folder "
                                 "of the running system";
        QTest::newRow("/run") << "/run" << QStringList() << 2 << "f:\\"
                              << "kopierix: /run can never be the Backup drive: /run is a folder "
                                 "of the running system";
        QTest::newRow("no such letter") << "q" << QStringList() << 2 << "f:\\"
                                        << "kopierix: there is no drive q:";
        QTest::newRow("no such folder") << "%1/gone" << QStringList() << 2 << "f:\\"
                                        << "kopierix: %1/gone is no folder";
    }
    void setBackupDriveStoresTheChoice()
    {
        QFETCH(QString, choice);
        QFETCH(QStringList, options);
        QFETCH(int, exitCode);
        QFETCH(QString, stored);
        QFETCH(QString, output);
        Fixture fixture;
        // c: is a folder of the test: the system's root is known by what it is, not by c:.
        fixture.addDrive('c');
        fixture.addDrive('e');
        fixture.addDrive('f');
        fixture.mapDrive('g', "/");
        fixture.mapDrive('h', "/dev/pts");
        fixture.setSetting("Defaults", "BackUp Drive", "f:\\");
        QVERIFY(QFile::link(fixture.root() + "/drive-e", fixture.root() + "/link-to-e"));
        QVERIFY(QFile::link("/", fixture.root() + "/link-to-root"));

        const Run run =
            kopierix(QStringList{"set-backup-drive", filled(choice, fixture.root())} + options);
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 0) {
            QCOMPARE(run.out, filled(output, fixture.root()));
            QCOMPARE(run.err, QString());
        } else {
            QVERIFY2(run.err.startsWith(filled(output, fixture.root())), qPrintable(run.err));
            QCOMPARE(run.out, QString());
        }
        QCOMPARE(fixture.setting("Defaults", "BackUp Drive").toString(), stored);
        // A drive's root is that drive: no entry of its own.
        QSettings ini(fixture.settingsPath(), QSettings::IniFormat);
        ini.beginGroup("Drives");
        for (const QString& key : ini.childKeys()) {
            const QString folder = ini.value(key).toString();
            QVERIFY2(key.size() > 1 || !folder.startsWith(fixture.root()) ||
                         folder == fixture.root() + "/drive-c" ||
                         folder == fixture.root() + "/drive-e" ||
                         folder == fixture.root() + "/drive-f",
                     qPrintable(key + "=" + folder));
            // A folder refused gets no letter either.
            QVERIFY2(key.size() > 1 || key == "g" || key == "h" ||
                         !QStringList({"/", "/proc", "/sys", "/dev", "/run"}).contains(folder),
                     qPrintable(key + "=" + folder));
        }

        // The choice is what a later run works on.
        if (exitCode == 0) {
            const Run status = kopierix({"status"});
            QVERIFY2(status.out.startsWith(" Backup drive: e:"), qPrintable(status.out));
        }
    }

    // Any other folder becomes a drive of its own, written as a user's entry; the backups then go
    // inside it. This is how a first backup is made without the windows.
    void aNewFolderBecomesADriveThatTakesTheBackups()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.writeFile("c:\\Docs\\a.txt", "first", T0);
        const QString folder = fixture.root() + "/media/backup";
        QVERIFY(QDir().mkpath(folder));

        const Run chosen = kopierix({"set-backup-drive", folder});
        QCOMPARE(chosen.exitCode, 0);
        const QString stored = fixture.setting("Defaults", "BackUp Drive").toString();
        QVERIFY2(QRegularExpression("^[d-z]:\\\\$").match(stored).hasMatch(), qPrintable(stored));
        const QString letter = stored.left(1);
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        QCOMPARE(chosen.out, QString("Backup drive: %1: (%2)\n").arg(letter, canonical));
        QCOMPARE(fixture.setting("Drives", letter).toString(), canonical);
        QVERIFY(fixture.setting("Drives", letter + ".type").toString().startsWith("DRIVE_"));
        QVERIFY(!fixture.setting("Drives", letter + ".volume").isValid());
        const Run drives = kopierix({"drives"});
        QVERIFY2(drives.out.contains(QRegularExpression(
                     "\\n" + letter + ": .* " + QRegularExpression::escape(canonical) + "\\n")),
                 qPrintable(drives.out));

        // Choosing it again finds the same drive.
        QCOMPARE(kopierix({"set-backup-drive", folder + "/"}).out, chosen.out);

        const Run add = kopierix({"add", fixture.native("c:\\Docs")});
        QCOMPARE(add.exitCode, 0);
        QCOMPARE(QFile(folder + "/c-Docs/a.txt").size(), qint64(5));
        fixture.writeFile("c:\\Docs\\a.txt", "second", T0 + 60);
        const Run run = kopierix({"make-backups"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("Number of files copied to " + letter + ": = 1"),
                 qPrintable(run.out));
        QCOMPARE(readAll(folder + "/c-Docs/a.txt"), QByteArray("second"));
        const Run status = kopierix({"status"});
        QVERIFY2(status.out.contains(", latest backup: "), qPrintable(status.out));
    }

    // add takes files, and folders with their dot-folders, but no links, no pipes, and not the
    // backup drive where it lies inside the folder; an up-to-date copy is counted, not warned of.
    void addCopiesFilesAndFolders_data()
    {
        QTest::addColumn<QStringList>("paths");    // native, %1 standing for c:'s folder
        QTest::addColumn<bool>("alreadyBackedUp"); // e:\c-Docs\a.txt up to date beforehand
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("err");
        QTest::newRow("a file") << QStringList{"%1/Docs/a.txt"} << false << 0
                                << QStringList{"c:\\Docs\\a.txt"}
                                << "Number of files added = 1\nAlready in the Backup = 0\n"
                                   "Not added = 0\n"
                                << "";
        QTest::newRow("a folder") << QStringList{"%1/Docs"} << false << 0
                                  << QStringList{"c:\\Docs\\a.txt", "c:\\Docs\\.config\\b.txt",
                                                 "c:\\Docs\\.config\\deep\\c.txt"}
                                  << "Number of files added = 3\nAlready in the Backup = 0\n"
                                     "Not added = 0\n"
                                  << "";
        QTest::newRow("a folder already in part backed up")
            << QStringList{"%1/Docs"} << true << 0
            << QStringList{"c:\\Docs\\.config\\b.txt", "c:\\Docs\\.config\\deep\\c.txt"}
            << "Number of files added = 2\nAlready in the Backup = 1\nNot added = 0\n"
            << "";
        QTest::newRow("a missing path") << QStringList{"%1/Docs/a.txt", "%1/gone.txt"} << false << 3
                                        << QStringList{"c:\\Docs\\a.txt"}
                                        << "Number of files added = 1\nAlready in the Backup = "
                                           "0\nNot added = 1\n"
                                        << "kopierix: %1/gone.txt: no such file or folder\n";
        QTest::newRow("a pipe named") << QStringList{"%1/Docs/fifo"} << false << 0 << QStringList()
                                      << "Number of files added = 0\nAlready in the Backup = "
                                         "0\nNot added = 0\n"
                                      << "kopierix: %1/Docs/fifo is no file or folder and is "
                                         "passed over\n";
        QTest::newRow("a path after --")
            << QStringList{"--", "-dash.txt"} << false << 0 << QStringList{"c:\\-dash.txt"}
            << "Number of files added = 1\nAlready in the Backup = "
               "0\nNot added = 0\n"
            << "";
        QTest::newRow("the backup drive's own folder")
            << QStringList{"%1/Backup", "%1/Docs/a.txt"} << false << 2
            << QStringList{"c:\\Docs\\a.txt"}
            << "Number of files added = 1\nAlready in the Backup = 0\nNot added = 0\n"
            << "kopierix: %1/Backup lies on the Backup drive itself and is not added\n";
        QTest::newRow("a folder inside the backup drive")
            << QStringList{"%1/Backup/inside/"} << false << 2 << QStringList()
            << "Number of files added = 0\nAlready in the Backup = 0\nNot added = 0\n"
            << "kopierix: %1/Backup/inside/ lies on the Backup drive itself and is not added\n";
        QTest::newRow("the system's root")
            << QStringList{"/", "%1/Docs/a.txt"} << false << 2 << QStringList{"c:\\Docs\\a.txt"}
            << "Number of files added = 1\nAlready in the Backup = 0\nNot added = 0\n"
            << "kopierix: / is the system's root and is not added: choose the folders you want "
               "to keep\n";
        QTest::newRow("a folder holding the backup drive")
            << QStringList{"%1"} << false << 0
            << QStringList{"c:\\-dash.txt", "c:\\Docs\\a.txt", "c:\\Docs\\.config\\b.txt",
                           "c:\\Docs\\.config\\deep\\c.txt", "c:\\Other\\o.txt"}
            << "Number of files added = 5\nAlready in the Backup = 0\nNot added = 0\n"
            << "";
    }
    void addCopiesFilesAndFolders()
    {
        QFETCH(QStringList, paths);
        QFETCH(bool, alreadyBackedUp);
        QFETCH(int, exitCode);
        QFETCH(QStringList, added);
        QFETCH(QString, summary);
        QFETCH(QString, err);
        Fixture fixture;
        const QString c = fixture.addDrive('c');
        // The backup drive lies inside c:'s folder, as a backup folder in the home does.
        QVERIFY(QDir().mkpath(c + "/Backup/inside"));
        fixture.mapDrive('e', c + "/Backup", "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        fixture.writeFile("c:\\-dash.txt", "d", T0);
        fixture.writeFile("c:\\Docs\\a.txt", "a", T0);
        fixture.writeFile("c:\\Docs\\.config\\b.txt", "b", T0);
        fixture.writeFile("c:\\Docs\\.config\\deep\\c.txt", "c", T0);
        fixture.writeFile("c:\\Other\\o.txt", "o", T0);
        QVERIFY(QFile::link("a.txt", c + "/Docs/file-link"));
        QVERIFY(QFile::link(c + "/Other", c + "/Docs/folder-link"));
        QCOMPARE(::mkfifo(QFile::encodeName(c + "/Docs/fifo").constData(), 0600), 0);
        if (alreadyBackedUp)
            fixture.writeFile("e:\\c-Docs\\a.txt", "a", T0);

        QStringList args{"add"};
        for (const QString& path : paths)
            args << filled(path, c);
        const Run run = kopierix(args, QString(), 0, c);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.err, filled(err, c));
        QStringList shown;
        for (const QString& path : added)
            shown << fixture.native(path.toStdString()) + " added";
        QCOMPARE(run.out, (shown.isEmpty() ? QString() : shown.join('\n') + '\n') + summary);

        // Each file added has its copy and the log's lines; nothing else reached the medium.
        const QByteArray log = readAll(fixture.dataPath() + "/Kopierix.log");
        QStringList copies;
        for (const QString& path : added) {
            // The mirror of c:\ itself is c-\, of c:\Docs c-Docs.
            const QString copy =
                path.count('\\') == 1 ? "e:\\c-\\" + path.mid(3) : "e:\\c-" + path.mid(3);
            QVERIFY2(fixture.exists(copy.toStdString()), qPrintable(copy));
            const QString from = fixture.native(path.toStdString());
            QVERIFY(log.contains(("\r\nAdd - FromName: " + from +
                                  "\r\nAdd - ToName: " + fixture.native(copy.toStdString()) +
                                  "\r\n" + from + " added to Backup e:\r\n")
                                     .toUtf8()));
        }
        QDirIterator it(fixture.native("e:\\"), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        int files = 0;
        while (it.hasNext()) {
            const QString file = it.next();
            ++files;
            QVERIFY2(!file.contains("link") && !file.contains("fifo") &&
                         !file.contains("/Backup/c-Backup"),
                     qPrintable(file));
        }
        QCOMPARE(files, int(added.size()) + (alreadyBackedUp ? 1 : 0));
        if (!added.isEmpty())
            QVERIFY(fixture.setting("Total Size", "e-").toLongLong() > 0);
    }

    // On the command line the default c: is no choice: the commands that walk refuse before they
    // touch anything, unless a drive is given for the run.
    void theCommandsThatWalkNeedAChosenBackupDrive_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QVariant>("stored"); // invalid: no such setting
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("exitCode");
        const QList<QPair<QString, QStringList>> commands{{"make-backups", {"make-backups"}},
                                                          {"restore-all", {"restore-all", "--yes"}},
                                                          {"newer", {"newer"}},
                                                          {"add", {"add", "%1/Docs/b.doc"}}};
        const QList<QPair<QString, QVariant>> settings{{"missing", QVariant()},
                                                       {"empty", QString()},
                                                       {"malformed", QString("e")},
                                                       {"c:", QString("c:\\")},
                                                       {"C:\\\\", QString("C:\\\\")}};
        for (const auto& [name, args] : commands) {
            for (const auto& [setting, value] : settings)
                QTest::addRow("%s, %s", qPrintable(name), qPrintable(setting))
                    << args << value << "C.UTF-8" << 1;
            QTest::addRow("%s, --backup-drive given", qPrintable(name))
                << QStringList{"--backup-drive", "e"} + args << QVariant() << "C.UTF-8" << 0;
        }
        QTest::newRow("Dutch") << QStringList{"make-backups"} << QVariant() << "nl_NL.UTF-8" << 1;
        QTest::newRow("status is not refused")
            << QStringList{"status"} << QVariant() << "C.UTF-8" << 0;
    }
    void theCommandsThatWalkNeedAChosenBackupDrive()
    {
        QFETCH(QStringList, args);
        QFETCH(QVariant, stored);
        QFETCH(QString, locale);
        QFETCH(int, exitCode);
        Fixture fixture;
        backupWithChanges(fixture);
        if (stored.isValid()) {
            fixture.setSetting("Defaults", "BackUp Drive", stored);
        } else {
            QSettings ini(fixture.settingsPath(), QSettings::IniFormat);
            ini.remove("Defaults/BackUp Drive");
        }
        for (QString& arg : args)
            arg = filled(arg, fixture.native("c:\\"));

        const Run run = kopierix(args, locale);
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 0) {
            QVERIFY2(!run.out.isEmpty(), qPrintable(run.err));
            return;
        }
        QCOMPARE(run.err,
                 locale == "C.UTF-8"
                     ? QString("kopierix: no backup drive chosen; choose one with 'kopierix "
                               "set-backup-drive FOLDER' or in the Manage window\n")
                     : QString("kopierix: geen backupschijf gekozen; kies er een met 'kopierix "
                               "set-backup-drive MAP' of in het venster Beheer\n"));
        QCOMPARE(run.out, QString());
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.doc"), QByteArray("backup"));
        QCOMPARE(fixture.readFile("c:\\Docs\\a.doc"), QByteArray("changed"));
        QVERIFY(!fixture.exists("e:\\c-Docs\\b.doc"));
        QVERIFY(!QFile::exists(fixture.dataPath() + "/Kopierix.log"));
    }

    // A backup drive that can never hold a backup, by a drive entry or for one run, is refused
    // before the lock, the log or anything on it is written.
    void anUnfitBackupDriveIsRefusedBeforeAnythingIsWritten_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("err");
        const QString root = "kopierix: g: can never be the Backup drive: / is the system's root";
        const QString proc =
            "kopierix: h: can never be the Backup drive: /proc lies on the system's proc file";
        QTest::newRow("make-backups, given")
            << QStringList{"--backup-drive", "g", "make-backups"} << "e:\\" << root;
        // Not /: a program that took it would write there.
        QTest::newRow("add, given")
            << QStringList{"add", "%1/Docs/b.doc", "--backup-drive", "H:"} << "e:\\" << proc;
        QTest::newRow("restore-all, stored")
            << QStringList{"restore-all", "--yes"} << "g:\\" << root;
        QTest::newRow("newer --add, stored") << QStringList{"newer", "--add"} << "h:\\" << proc;
        QTest::newRow("watch, stored") << QStringList{"watch"} << "h:\\" << proc;
    }
    void anUnfitBackupDriveIsRefusedBeforeAnythingIsWritten()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, stored);
        QFETCH(QString, err);
        Fixture fixture;
        backupWithChanges(fixture);
        fixture.mapDrive('g', "/");
        fixture.mapDrive('h', "/proc");
        fixture.setSetting("Defaults", "BackUp Drive", stored);
        for (QString& arg : args)
            arg = filled(arg, fixture.native("c:\\"));

        const Run run = kopierix(args);
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.startsWith(err) && run.err.count('\n') == 1, qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.doc"), QByteArray("backup"));
        QCOMPARE(fixture.readFile("c:\\Docs\\a.doc"), QByteArray("changed"));
        QVERIFY(!QFile::exists(fixture.dataPath() + "/Kopierix.log"));
        QVERIFY(!QFile::exists(QFileInfo(fixture.settingsPath()).path() + "/Kopierix.lock"));
        QCOMPARE(fixture.setting("Defaults", "BackUp Drive").toString(), stored);
    }

    // The lock fails closed: where it cannot be taken beside the settings file, no run goes on
    // without it, and the refusal names the file and why.
    void aLockThatCannotBeTakenRefusesTheRun_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("why");
        QTest::newRow("a folder") << "folder"
                                  << "not a regular file";
        QTest::newRow("a FIFO") << "fifo"
                                << "not a regular file";
        QTest::newRow("a link to a file") << "link"
                                          << "not a regular file";
        QTest::newRow("a device") << "device"
                                  << "not a regular file";
        QTest::newRow("a read-only settings folder") << "read-only"
                                                     << "Read-only file system";
    }
    void aLockThatCannotBeTakenRefusesTheRun()
    {
        QFETCH(QString, what);
        QFETCH(QString, why);
        Fixture fixture;
        const QString settingsFolder = QFileInfo(fixture.settingsPath()).path();
        QVERIFY(QDir().mkpath(settingsFolder));
        kx::test::ScratchMount scratch;
        QString reason;
        if (what == "read-only" && !scratch.mountTmpfs(settingsFolder, "size=1m", reason))
            QSKIP(qPrintable(reason));
        backupWithChanges(fixture);
        const QString lock = settingsFolder + "/Kopierix.lock";
        const QByteArray lockBytes = QFile::encodeName(lock);
        if (what == "folder") {
            QVERIFY(QDir().mkdir(lock));
        } else if (what == "fifo") {
            QCOMPARE(::mkfifo(lockBytes.constData(), 0600), 0);
        } else if (what == "link") {
            QVERIFY(QFile(fixture.root() + "/elsewhere").open(QIODevice::WriteOnly));
            QVERIFY(QFile::link(fixture.root() + "/elsewhere", lock));
        } else if (what == "device") {
            QCOMPARE(::mknod(lockBytes.constData(), S_IFCHR | 0600, makedev(1, 3)), 0);
        } else {
            QVERIFY2(scratch.remountReadOnly(reason), qPrintable(reason));
        }

        // A second run beside one that holds nothing must not go through either.
        const Run run = kopierix({"make-backups"});
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(run.err, "Kopierix cannot take its operation lock, so nothing is done: " + lock +
                              ": " + why + "\n");
        QCOMPARE(run.out, QString());
        QCOMPARE(fixture.readFile("e:\\C-Docs\\a.doc"), QByteArray("backup"));
        QVERIFY(!QFile::exists(fixture.dataPath() + "/Kopierix.log"));
    }

    void checkUpdatePrintsTheVerdict_data()
    {
        QTest::addColumn<QByteArray>("list"); // empty: the program's own server, never resolved
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("an update advised")
            << kx::test::versionPage("Kopierix kopierix102c.exe,c,3072<BR>") << 10
            << "\nUpdate is advised\n\nYour current version is version 1.01b\n"
               "The latest version is 1.02c\nThe Download Name is kopierix102c.exe\n"
            << "";
        QTest::newRow("no update needed")
            << kx::test::versionPage("Kopierix kopierix101b.exe,b,3072<BR>") << 0
            << "\nNo Update needed\n"
            << "";
        QTest::newRow("the program not in the list")
            << kx::test::versionPage("Bewaarder bewaarder300.exe,a,10<BR>") << 3
            << "\nProgram Name not found\n"
            << "";
        QTest::newRow("a record whose size is no number")
            << kx::test::versionPage("Kopierix kopierix102c.exe,c,3 MB<BR>") << 4 << ""
            << "'3 MB' is not a valid integer value\n";
        QTest::newRow("no connection") << QByteArray() << 1 << "\nNo Internet connection\n"
                                       << "";
    }
    void checkUpdatePrintsTheVerdict()
    {
        QFETCH(QByteArray, list);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        Fixture fixture;
        ScriptedServer server;
        if (!list.isEmpty()) {
            server.addReply(ScriptedServer::reply(200, list));
            fixture.setSetting("Defaults", "Update Server", server.address());
        }
        // The server answers from this process's event loop: wait in it, not blocked.
        QProcess p;
        QSignalSpy finished(&p, &QProcess::finished);
        p.start(QStringLiteral(KOPIERIX_BINARY), {"check-update"});
        QVERIFY(finished.wait(60000));
        QCOMPARE(p.exitCode(), exitCode);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), out);
        QCOMPARE(QString::fromUtf8(p.readAllStandardError()), err);
        if (!list.isEmpty())
            QVERIFY(server.requests().at(0).startsWith("GET /versions.dat HTTP/1.0\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
