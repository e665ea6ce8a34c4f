#include "common/Fixture.h"
#include "update/ScriptedServer.h"

#include <QDirIterator>
#include <QProcess>
#include <QtTest>

#include <csignal>

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

Run kopierix(const QStringList& args)
{
    QProcess p;
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
        QCOMPARE(logLines.at(1), QString("Button \"Make Backups\" clicked"));
        QCOMPARE(logLines.at(2), QString("C:\\Docs\\a.txt copied to f:"));
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
        ::kill(pid_t(p.processId()), SIGKILL);
        p.waitForFinished();

        const QByteArray now = fixture.readFile("e:\\C-Big\\big.bin");
        QVERIFY(now == oldContent || now.size() == (256 << 20));
        if (now.size() == (256 << 20))
            QVERIFY(now.count('n') == now.size());

        // What the killed run left behind is no backup file.
        const Run again = kopierix({"make-backups"});
        QCOMPARE(again.exitCode, 0);
        QVERIFY(again.out.contains("Total number of Backup files = 1"));
        QCOMPARE(fixture.readFile("e:\\C-Big\\big.bin").size(), 256 << 20);
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
