// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "platform/OperationLock.h"
#include "update/ScriptedServer.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using kx::OperationLock;
using kx::test::Fixture;
using kx::test::ScriptedServer;

namespace {
constexpr qint64 T0 = 1700000000;

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// `locale` empty keeps the test's own; `fileSizeLimit` above 0 caps the size of every file the
// run writes, so that a copy fails the way a full medium makes it fail, even for root.
Run kopierix(const QStringList& args, const QString& locale = QString(), qint64 fileSizeLimit = 0)
{
    QProcess p;
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
    p.start(QStringLiteral(KOPIERIX_BINARY), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QStringList tempFiles(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, {QStringLiteral(".kopierix-tmp-*")}, QDir::Files | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << it.next();
    return found;
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
                                         << "Unknown command: backup";
        QTest::newRow("restore without --yes")
            << QStringList{"restore-all"} << 2 << ""
            << "restore-all overwrites your files with the Backup; confirm with --yes.";
        QTest::newRow("bad drive") << QStringList{"--backup-drive", "ee", "status"} << 2 << ""
                                   << "--backup-drive expects a drive letter";
        QTest::newRow("--yes elsewhere") << QStringList{"make-backups", "--yes"} << 2 << ""
                                         << "--yes belongs to restore-all";
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
                   "  1  the backup drive could not be entered",
                   "  2  usage error",
                   "  3  completed, but some files could not be copied or some folders could "
                   "not be read",
                   "  4  another Kopierix operation is running"};
        QTest::newRow("Dutch") << "nl_NL.UTF-8"
                               << QStringList{
                                      "Afsluitstatus van make-backups, restore-all en newer "
                                      "[--add]:",
                                      "  0  voltooid zonder fouten",
                                      "  1  de Backupschijf kon niet worden geopend",
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
    }

    void makeBackupsPrintsTheMemoAndKeepsTheStoredDrive()
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
        QCOMPARE(status.out, QString(" Backup drive: f: [other], latest backup date unknown\n"));

        const Run run = kopierix({"--backup-drive", "f:", "make-backups"});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split('\n');
        QCOMPARE(lines.at(0), QString("C:\\Docs\\a.txt copied to f:"));
        QCOMPARE(lines.at(2), QString("Number of files copied to f: = 1"));
        QCOMPARE(fixture.readFile("f:\\C-Docs\\a.txt"), QByteArray("new"));
        QCOMPARE(fixture.setting("Defaults", "BackUp Drive").toString(), QString("e:\\"));
        QVERIFY(fixture.setting("Last BackUp", "f-Other").toDouble() > 0);

        QFile log(fixture.dataPath() + "/Kopierix.log");
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QStringList logLines = QString::fromUtf8(log.readAll()).split("\r\n");
        QVERIFY(logLines.at(0).startsWith("Date: "));
        // A headless run clicks nothing: no line of a button, in either language.
        QCOMPARE(logLines.at(1), QString("C:\\Docs\\a.txt copied to f:"));
        QVERIFY(logLines.filter(QRegularExpression("^(Button|Knop) ")).isEmpty());
    }

    void aMissingBackupDriveEndsWithStatusOne()
    {
        Fixture fixture;
        fixture.addMissingDrive('e', "DRIVE_FIXED");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        const Run run = kopierix({"make-backups"});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.err.contains("Er zit geen CD-r(w) in schijfstation e:\\"));
        QVERIFY(run.out.contains("Number of files copied to e: = 0"));
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
        QCOMPARE(newer.out, QString("c:\\docs\\b.doc\n"));
        const Run add = kopierix({"newer", "--add"});
        QCOMPARE(add.exitCode, 0);
        QCOMPARE(add.out, QString("c:\\docs\\b.doc added\n"));
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
        ::kill(pid_t(p.processId()), SIGSTOP);
        // Caught in the middle of its copy, the run holds the lock: a second one is refused.
        if (!tempFiles(folder).isEmpty()) {
            const Run second = kopierix({"make-backups"});
            QCOMPARE(second.exitCode, 4);
            QCOMPARE(second.err,
                     QString("Another Kopierix operation is running; try again later.\n"));
        }
        ::kill(pid_t(p.processId()), SIGKILL);
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
            QVERIFY(current.contains("\r\nC:\\Docs\\a.doc copied to e:\r\n"));
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

        // Drive q: is in no table: the status reads nothing of this machine's own drives.
        QProcess p;
        p.start(QStringLiteral(KOPIERIX_BINARY), {"--backup-drive", "q", "status"});
        QVERIFY2(p.waitForFinished(20000), "status waits on the settings file");
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()),
                 QString(" Backup drive: q:, latest backup date unknown\n"));
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(fifo).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
        QCOMPARE(QFileInfo(fixture.settingsPath()).isSymLink(), asLink);
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
