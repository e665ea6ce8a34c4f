// SPDX-License-Identifier: GPL-3.0-or-later
// The program running by itself: the units `schedule` writes, `watch` at each mount of the
// medium, the notification at the end of a run and the progress line on a terminal.
#include "cli/DesktopNotification.h"
#include "cli/ProgressLine.h"
#include "cli/Schedule.h"
#include "common/ChildProcess.h"
#include "common/Fixture.h"
#include "common/ScratchMount.h"
#include "platform/linux/LinuxMediumMounts.h"
#include "platform/linux/MountWatcher.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>
#include <functional>

#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

using kx::test::endProcesses;
using kx::test::Fixture;
using kx::test::Run;
using kx::test::runToEnd;
using kx::test::ScratchMount;
using kx::test::waitForLine;

namespace {

constexpr qint64 T0 = 1700000000;

Run kopierix(const QStringList& args, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    return runToEnd(p, QStringLiteral(KOPIERIX_BINARY), args, 60000);
}

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// A program of the given name in `folder` that appends its arguments to `record` and exits with
// `status`: the service manager as far as the program can tell. False when it cannot be written.
[[nodiscard]] bool fakeProgram(const QString& folder, const QString& name, const QString& record,
                               int status)
{
    QFile script(folder + QLatin1Char('/') + name);
    if (!script.open(QIODevice::WriteOnly))
        return false;
    script.write("#!/bin/sh\necho \"$*\" >> '" + QFile::encodeName(record) + "'\n");
    if (status != 0)
        script.write("echo 'Failed to connect to bus: No medium found' >&2\n");
    script.write("exit " + QByteArray::number(status) + "\n");
    script.close();
    return script.error() == QFileDevice::NoError &&
           script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
}

// A backup drive e: whose a.doc is older than its source, and whose gone.doc has none.
void backupWithChanges(Fixture& fixture)
{
    fixture.addDrive('c');
    fixture.addDrive('e', "DRIVE_FIXED");
    fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
    fixture.writeFile("e:\\C-Docs\\a.doc", "backup", T0);
    fixture.writeFile("e:\\C-Docs\\gone.doc", "old", T0);
    fixture.writeFile("c:\\Docs\\a.doc", "changed", T0 + 60);
}

// A bus of the test's own, ended with the test.
class PrivateBus
{
public:
    ~PrivateBus() { endProcesses({&m_standin, &m_daemon}); }

    // Starts the bus and a stand-in on it; false with the reason when either does not start.
    bool start(const QString& folder, const QStringList& standin, QString& why)
    {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty()) {
            why = "dbus-daemon is not installed (Debian's package dbus)";
            return false;
        }
        m_daemon.start(daemon, {"--session", "--nofork", "--print-address",
                                "--address=unix:path=" + folder + "/bus"});
        if (!waitForLine(m_daemon, address)) {
            why = QString::fromLocal8Bit(m_daemon.readAllStandardError());
            return false;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromUtf8(address));
        m_standin.setProcessEnvironment(env);
        m_standin.start(KX_BUS_STANDIN, standin);
        QByteArray ready;
        if (!waitForLine(m_standin, ready) || ready != "ready") {
            why = QString::fromLocal8Bit(m_standin.readAllStandardError());
            return false;
        }
        return true;
    }

    QProcess& standin() { return m_standin; }

    QByteArray address;

private:
    QProcess m_daemon;
    QProcess m_standin;
};

/** What a progress line shown on a terminal draws for `soFar`, after `prepare`. */
QString drawnLine(kx::Language language, const kx::RunResult& soFar,
                  const std::function<void(kx::ProgressLine&)>& prepare)
{
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* stream = ::open_memstream(&text, &size);
    if (stream == nullptr)
        return QStringLiteral("(no stream to draw on)");
    {
        kx::ProgressLine line(language, stream, true);
        prepare(line);
        line.update(soFar);
    }
    std::fclose(stream);
    const QString drawn = QString::fromUtf8(text, qsizetype(size));
    std::free(text);
    return drawn;
}

} // namespace

class TestAutomatic : public QObject
{
    Q_OBJECT

private slots:
    void scheduleWritesAndEnablesUnits()
    {
        Fixture fixture;
        QTemporaryDir bin;
        const QString calls = bin.filePath("calls");
        QVERIFY(fakeProgram(bin.path(), "systemctl", calls, 0));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", bin.path() + ":" + env.value("PATH"));
        const QString units = fixture.root() + "/home/.config/systemd/user/";
        const QString program = QFileInfo(KOPIERIX_BINARY).canonicalFilePath();

        Run run = kopierix({"schedule", "daily"}, env);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("runs daily, by the systemd user timer kopierix-backup.timer"),
                 qPrintable(run.out + run.err));
        const QString service = readText(units + "kopierix-backup.service");
        QVERIFY2(service.contains("\nExecStart=" + program + " make-backups\n"),
                 qPrintable(service));
        QVERIFY(service.contains("\nType=oneshot\n"));
        QString timer = readText(units + "kopierix-backup.timer");
        QVERIFY2(timer.contains("\n[Timer]\nOnCalendar=daily\nPersistent=true\n"),
                 qPrintable(timer));
        QVERIFY(timer.contains("\n[Install]\nWantedBy=timers.target\n"));
        QVERIFY2(readText(calls).endsWith("--user daemon-reload\n"
                                          "--user enable --now kopierix-backup.timer\n"),
                 qPrintable(readText(calls)));

        // Weekly replaces daily, and the running timer takes the new calendar.
        QFile::remove(calls);
        QCOMPARE(kopierix({"schedule", "weekly"}, env).exitCode, 0);
        timer = readText(units + "kopierix-backup.timer");
        QVERIFY(timer.contains("\nOnCalendar=weekly\nPersistent=true\n"));
        QVERIFY(readText(calls).endsWith("--user enable --now kopierix-backup.timer\n"
                                         "--user restart kopierix-backup.timer\n"));

        run = kopierix({"schedule", "on-mount"}, env);
        QCOMPARE(run.exitCode, 0);
        const QString watch = readText(units + "kopierix-watch.service");
        QVERIFY2(watch.contains("\nExecStart=" + program + " watch\n"), qPrintable(watch));
        QVERIFY(watch.contains("\n[Install]\nWantedBy=default.target\n"));
        QVERIFY(readText(calls).endsWith("--user enable --now kopierix-watch.service\n"));

        const QString verifier = QStandardPaths::findExecutable("systemd-analyze");
        if (!verifier.isEmpty()) {
            // The user manager's own folder, as a session has it; the manual page named in
            // the units is installed with the program, not here.
            QTemporaryDir runtime;
            QVERIFY(QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner |
                                                              QFileDevice::WriteOwner |
                                                              QFileDevice::ExeOwner));
            env.insert("XDG_RUNTIME_DIR", runtime.path());
            QProcess verify;
            verify.setProcessEnvironment(env);
            verify.start(verifier,
                         {"--user", "--man=no", "verify", units + "kopierix-backup.service",
                          units + "kopierix-backup.timer", units + "kopierix-watch.service"});
            QVERIFY(verify.waitForFinished(60000));
            QVERIFY2(verify.exitCode() == 0, qPrintable(verify.readAllStandardError()));
        }

        run = kopierix({"schedule"}, env);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("Make Backups runs weekly: " + units + "kopierix-backup.timer") &&
                     run.out.contains("each time the Backup drive is mounted: " + units +
                                      "kopierix-watch.service"),
                 qPrintable(run.out));

        // A timer switched off by hand shows as such: is-enabled says so on standard output,
        // and fails.
        {
            QFile script(bin.filePath("systemctl"));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\n[ \"$2\" = is-enabled ] && { echo disabled; exit 1; }\n"
                         "exit 0\n");
        }
        run = kopierix({"schedule"}, env);
        QVERIFY2(run.out.contains("kopierix-backup.timer (disabled)"), qPrintable(run.out));
        QVERIFY(fakeProgram(bin.path(), "systemctl", calls, 0));

        run = kopierix({"schedule", "off"}, env);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(readText(calls).contains(
            "--user disable --now kopierix-backup.timer kopierix-watch.service\n"));
        QVERIFY(QDir(units).entryList(QDir::Files).isEmpty());
        QCOMPARE(kopierix({"schedule"}, env).out, QString("No automatic backup is set.\n"));
    }

    void unitsQuoteTheProgram_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("execStart");
        QTest::newRow("plain") << "bin"
                               << "ExecStart=%1/bin/kopierix make-backups";
        QTest::newRow("space") << "my bin"
                               << "ExecStart=\"%1/my bin/kopierix\" make-backups";
        // A % is a specifier; no variable is substituted in the program's own name.
        QTest::newRow("percent and dollar") << "100% $HOME"
                                            << "ExecStart=\"%1/100%% $HOME/kopierix\" make-backups";
        // Quotes and backslashes are refused there, and go to env as an argument.
        QTest::newRow("quotes") << "a\"b'c"
                                << "ExecStart=/usr/bin/env \"%1/a\\\"b'c/kopierix\" make-backups";
        QTest::newRow("backslash and dollar")
            << "x\\$y"
            << "ExecStart=/usr/bin/env \"%1/x\\\\$$y/kopierix\" make-backups";
    }
    void unitsQuoteTheProgram()
    {
        QFETCH(QString, folder);
        QFETCH(QString, execStart);
        QTemporaryDir dir;
        const QString root = QFileInfo(dir.path()).canonicalFilePath();
        const QString program = root + "/" + folder + "/kopierix";
        QVERIFY(QDir().mkpath(root + "/" + folder));
        QVERIFY(QFile::link(KOPIERIX_BINARY, program));
        const kx::Schedule schedule(kx::Language::English,
                                    QFile::encodeName(program).toStdString());
        const QString service = QString::fromStdString(schedule.backupService());
        QVERIFY2(service.contains("\n" + execStart.arg(root) + "\n"), qPrintable(service));

        // The service manager reads it back as the program's own path.
        const QString verifier = QStandardPaths::findExecutable("systemd-analyze");
        if (verifier.isEmpty())
            return;
        QFile unit(root + "/kopierix-backup.service");
        QVERIFY(unit.open(QIODevice::WriteOnly));
        unit.write(service.toUtf8());
        unit.close();
        QProcess verify;
        verify.start(verifier, {"--man=no", "verify", unit.fileName()});
        QVERIFY(verify.waitForFinished(60000));
        QVERIFY2(verify.exitCode() == 0, qPrintable(verify.readAllStandardError()));
    }

    // Without systemd the user is given a crontab line: the path stays one word of it, and a
    // path that no line can carry gives none.
    void crontabLineKeepsThePathOnItsLine_data()
    {
        QTest::addColumn<QByteArray>("program");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << QByteArray("/usr/bin/kopierix") << "daily"
                               << "@daily /usr/bin/kopierix make-backups";
        QTest::newRow("a space") << QByteArray("/opt/My Apps/kopierix") << "weekly"
                                 << "@weekly '/opt/My Apps/kopierix' make-backups";
        QTest::newRow("a quote and a percent sign")
            << QByteArray("/opt/it's 100%/kopierix") << "daily"
            << "@daily '/opt/it'\\''s 100\\%/kopierix' make-backups";
        QTest::newRow("a line break")
            << QByteArray("/tmp/x\n@daily touch /tmp/owned\n/kopierix") << "daily"
            << "";
        QTest::newRow("a carriage return") << QByteArray("/tmp/x\r/kopierix") << "daily"
                                           << "";
        QTest::newRow("a tab") << QByteArray("/tmp/x\t/kopierix") << "daily"
                               << "";
    }
    void crontabLineKeepsThePathOnItsLine()
    {
        QFETCH(QByteArray, program);
        QFETCH(QString, choice);
        QFETCH(QString, line);
        const kx::Schedule schedule(kx::Language::English, program.toStdString());
        QCOMPARE(QString::fromStdString(schedule.crontabLine(choice.toStdString())), line);
    }

    void scheduleWithoutSystemd_data()
    {
        QTest::addColumn<bool>("systemctlThere");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("advice");
        QTest::newRow("no systemctl, daily") << false << "daily"
                                             << "(systemctl not found)"
                                             << "\n@daily %1 make-backups\n";
        QTest::newRow("no user manager, weekly")
            << true << "weekly"
            << "(systemctl --user does not work: Failed to connect"
            << "\n@weekly %1 make-backups\n";
        QTest::newRow("no user manager, on mount") << true << "on-mount"
                                                   << "(systemctl --user does not work"
                                                   << "Start \"%1 watch\" with your session";
    }
    void scheduleWithoutSystemd()
    {
        QFETCH(bool, systemctlThere);
        QFETCH(QString, choice);
        QFETCH(QString, reason);
        QFETCH(QString, advice);
        Fixture fixture;
        QTemporaryDir bin;
        if (systemctlThere)
            QVERIFY(fakeProgram(bin.path(), "systemctl", bin.filePath("calls"), 1));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", bin.path());
        const Run run = kopierix({"schedule", choice}, env);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.startsWith("There is no systemd user manager here " + reason),
                 qPrintable(run.out));
        QVERIFY2(run.out.contains(advice.arg(QFileInfo(KOPIERIX_BINARY).canonicalFilePath())),
                 qPrintable(run.out));
        QVERIFY(!QFileInfo::exists(fixture.root() + "/home/.config/systemd"));
    }

    void watchRunsOncePerMount()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.writeFile("c:\\Docs\\a.doc", "source", T0);
        const QString medium = fixture.root() + "/medium";
        const QString elsewhere = fixture.root() + "/elsewhere";
        QVERIFY(QDir().mkpath(medium) && QDir().mkpath(elsewhere));
        fixture.mapDrive('e', medium, "DRIVE_REMOVABLE");

        // Nothing to watch for before a backup drive is chosen.
        const Run refused = kopierix({"watch"}, QProcessEnvironment::systemEnvironment());
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.err.startsWith("kopierix: no backup drive chosen"));
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");

        QProcess watch;
        watch.start(KOPIERIX_BINARY, {"watch"});
        QByteArray line;
        QVERIFY(waitForLine(watch, line));
        QCOMPARE(line,
                 QByteArray("Waiting for the Backup drive e: to be mounted; stop with Ctrl+C."));
        QString out;
        const auto runs = [&] {
            watch.waitForReadyRead(100);
            out += QString::fromUtf8(watch.readAllStandardOutput());
            return out.count("Number of files copied to e:");
        };
        for (int mount = 1; mount <= 2; ++mount) {
            ScratchMount tmpfs;
            QString why;
            if (!tmpfs.mountTmpfs(medium, "size=1m", why))
                QSKIP(qPrintable(why));
            QTRY_COMPARE_WITH_TIMEOUT(runs(), mount, 10000);
            // Another file system mounted meanwhile is no new mount of the medium.
            ScratchMount other;
            QVERIFY(other.mountTmpfs(elsewhere, "size=1m", why));
            other.release();
            tmpfs.release();
            QTest::qWait(500);
            QCOMPARE(runs(), mount);
        }
        QVERIFY2(out.count("The Backup drive e: is mounted: Make Backups starts.") == 2,
                 qPrintable(out));
        ::kill(watch.processId(), SIGTERM);
        QVERIFY(watch.waitForFinished(10000));
        QCOMPARE(watch.exitStatus(), QProcess::NormalExit);
        QCOMPARE(watch.exitCode(), 0);
    }

    void watchRemovesWhatItsCutRunsLeft()
    {
        Fixture fixture;
        fixture.addDrive('c');
        fixture.writeFile("c:\\Docs\\a.doc", "source", T0 + 60);
        // The medium's files stay in `store` between its mounts.
        const QString medium = fixture.root() + "/medium";
        const QString store = fixture.root() + "/store";
        QVERIFY(QDir().mkpath(medium) && QDir().mkpath(store + "/C-Docs"));
        fixture.mapDrive('e', medium, "DRIVE_REMOVABLE");
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\");
        {
            QFile backup(store + "/C-Docs/a.doc");
            QVERIFY(backup.open(QIODevice::WriteOnly));
            backup.write("backup");
            QVERIFY(backup.flush());
            QVERIFY(backup.setFileTime(QDateTime::fromSecsSinceEpoch(T0),
                                       QFileDevice::FileModificationTime));
        }

        QProcess watch;
        watch.start(KOPIERIX_BINARY, {"watch"});
        QByteArray line;
        QVERIFY(waitForLine(watch, line));
        // What a run of this watch left when it was cut short (the medium pulled during a
        // copy), beside the temporary files of another user and of another computer.
        char host[256] = {};
        QCOMPARE(::gethostname(host, sizeof host - 1), 0);
        const QString run = "-1-7-u%1-r5eed1e55f00d@%2";
        const QString pid = QString::number(watch.processId());
        const QString cutShort = ".kopierix-tmp-" + pid + run.arg(::geteuid()).arg(host);
        const QString otherUser = ".kopierix-tmp-" + pid + run.arg(::geteuid() + 1).arg(host);
        const QString otherComputer = ".kopierix-tmp-" + pid + run.arg(::geteuid()).arg("other-pc");
        for (const QString& name : {cutShort, otherUser, otherComputer}) {
            QFile file(store + "/C-Docs/" + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("half a copy");
        }

        ScratchMount mount;
        QString why;
        if (!mount.mountBind(store, medium, why))
            QSKIP(qPrintable(why));
        QString out;
        QTRY_VERIFY_WITH_TIMEOUT((watch.waitForReadyRead(100),
                                  out += QString::fromUtf8(watch.readAllStandardOutput()),
                                  out.contains("Number of files copied to e:")),
                                 10000);
        QVERIFY2(readText(store + "/C-Docs/a.doc") == "source", qPrintable(out));
        QVERIFY(!QFileInfo::exists(store + "/C-Docs/" + cutShort));
        QVERIFY(QFileInfo::exists(store + "/C-Docs/" + otherUser));
        QVERIFY(QFileInfo::exists(store + "/C-Docs/" + otherComputer));
        mount.release();
        ::kill(watch.processId(), SIGTERM);
        QVERIFY(watch.waitForFinished(10000));
        QCOMPARE(watch.exitCode(), 0);
    }

    void notificationAtTheEnd()
    {
        Fixture fixture;
        backupWithChanges(fixture);
        QTemporaryDir dir;
        const QString record = dir.filePath("record");
        PrivateBus bus;
        QString why;
        if (!bus.start(dir.path(), {"notifications", record}, why))
            QSKIP(qPrintable("no bus for the stand-in: " + why));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromUtf8(bus.address));

        Run run = kopierix({"make-backups"}, env);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(readText(record) == "Kopierix\t1 file copied, 0 failed, 1 without a source\n",
                 qPrintable("recorded: " + readText(record) + "\nrun: " + run.out + run.err +
                            "\nstand-in: " + bus.standin().readAllStandardError()));

        // No bus, or one that is not there: the run ends as usual, and tells nobody.
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        run = kopierix({"make-backups"}, env);
        QCOMPARE(run.exitCode, 0);
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir.filePath("nobus"));
        run = kopierix({"make-backups"}, env);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.err.isEmpty());
        QCOMPARE(readText(record).count('\n'), 1);
    }

    void aRunRefusedForWantOfSpaceDoesNotLookDone_data()
    {
        QTest::addColumn<bool>("noRoom");
        QTest::addColumn<bool>("declined");
        QTest::addColumn<QString>("body");
        QTest::newRow("refused") << true << true << "Nothing copied: not enough space on the disk";
        QTest::newRow("what fits was copied")
            << true << false << "2 files copied, 1 failed, 0 without a source";
        QTest::newRow("declined, room enough")
            << false << true << "0 files copied, 0 failed, 0 without a source";
    }
    void aRunRefusedForWantOfSpaceDoesNotLookDone()
    {
        QFETCH(bool, noRoom);
        QFETCH(bool, declined);
        QFETCH(QString, body);
        kx::RunResult result;
        result.noRoom = noRoom;
        result.declined = declined;
        if (!declined) {
            result.copiedCount = 2;
            result.failedCount = 1;
        }
        QCOMPARE(
            QString::fromStdString(kx::DesktopNotification::bodyOf(result, kx::Language::English)),
            body);
    }

    void volumeServiceSignals()
    {
        // The service's signal makes the watcher read the table; a plain file sends no
        // notification of its own, so the signal alone tells of the change here.
        QTemporaryDir dir;
        PrivateBus bus;
        QString why;
        if (!bus.start(dir.path(), {"udisks"}, why))
            QSKIP(qPrintable("no bus for the stand-in: " + why));
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", bus.address);
        const QString table = dir.filePath("mountinfo");
        const auto write = [&](const QByteArray& text) {
            QFile f(table);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(text);
        };
        write("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
        kx::MountWatcher watcher(table);
        QSignalSpy changed(&watcher, &kx::MountWatcher::changed);
        write("22 1 8:1 / / rw - ext4 /dev/sda1 rw\n40 22 8:17 / /media/usb rw - vfat /dev/sdb1 "
              "rw\n");
        QByteArray sent;
        for (int signal = 1; signal <= 2; ++signal) {
            bus.standin().write("\n");
            QVERIFY(waitForLine(bus.standin(), sent));
            QTRY_COMPARE_WITH_TIMEOUT(changed.count(), 1, 5000);
        }
        // The second signal found the table as it was: no second change.
        QTest::qWait(200);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(watcher.table(), readText(table).toUtf8());
    }

    // The watch's question: was the folder's medium mounted by the change from one table to the
    // next?
    void newMount_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<bool>("newlyMounted");
        const QByteArray root = "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n";
        const QByteArray usb = "40 22 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n";
        QTest::newRow("mounted") << root << root + usb << true;
        QTest::newRow("mounted elsewhere")
            << root << root + "41 22 8:33 / /media/other rw - vfat /dev/sdc1 rw\n"
            << false;
        QTest::newRow("mounted again")
            << root + usb << root + "45 22 8:17 / /media/usb rw - vfat /dev/sdb1 rw\n"
            << true;
        QTest::newRow("an unmount uncovers the older mount")
            << root + usb + "46 40 8:33 / /media/usb rw - vfat /dev/sdc1 rw\n"
            << root + usb << false;
        QTest::newRow("unchanged") << root + usb << root + usb << false;
    }
    void newMount()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(bool, newlyMounted);
        QCOMPARE(kx::LinuxMediumMounts::newMountHolds(before, after, "/media/usb/Backup"),
                 newlyMounted);
    }

    // One file is counted in the singular, in either language.
    void progressLineCounts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("start");
        const int nl = int(kx::Language::Dutch);
        const int en = int(kx::Language::English);
        QTest::newRow("English, none") << en << 0 << "0 files walked, 0 copied, ";
        QTest::newRow("English, one") << en << 1 << "1 file walked, 0 copied, ";
        QTest::newRow("English, two") << en << 2 << "2 files walked, 0 copied, ";
        QTest::newRow("Dutch, one") << nl << 1 << "1 bestand doorlopen, 0 gekopieerd, ";
        QTest::newRow("Dutch, two") << nl << 2 << "2 bestanden doorlopen, 0 gekopieerd, ";
    }
    void progressLineCounts()
    {
        QFETCH(int, language);
        QFETCH(int, files);
        QFETCH(QString, start);
        kx::RunResult soFar;
        soFar.backupFileCount = std::uint64_t(files);
        const QString drawn = drawnLine(kx::Language(language), soFar, [](kx::ProgressLine&) {});
        QVERIFY2(drawn.startsWith("\r\033[K" + start), qPrintable(drawn));
    }

    // Once the run knows what it will copy: the bytes copied of that total, and the time left
    // (none to tell before the first byte).
    void progressLineByBytes_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<qint64>("done");
        QTest::addColumn<QString>("expected");
        const int nl = int(kx::Language::Dutch);
        const int en = int(kx::Language::English);
        QTest::newRow("English, half")
            << en << qint64(500000)
            << "2 files walked, 1 copied, 500.0 kB of 1.0 MB, 0:00, 0:00 left";
        QTest::newRow("English, nothing yet")
            << en << qint64(0) << "2 files walked, 1 copied, 0 B of 1.0 MB, 0:00, -:-- left";
        QTest::newRow("Dutch, half")
            << nl << qint64(500000)
            << "2 bestanden doorlopen, 1 gekopieerd, 500.0 kB van 1.0 MB, 0:00, nog 0:00";
    }
    void progressLineByBytes()
    {
        QFETCH(int, language);
        QFETCH(qint64, done);
        QFETCH(QString, expected);
        kx::RunResult soFar;
        soFar.backupFileCount = 2;
        soFar.copiedCount = 1;
        const QString drawn =
            drawnLine(kx::Language(language), soFar, [done](kx::ProgressLine& line) {
                line.setBytes(0, 1000000);
                line.setBytes(done, 1000000);
            });
        QCOMPARE(drawn, "\r\033[K" + expected);
    }

    void progressLine_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<bool>("shown");
        QTest::newRow("terminal") << true << false << true;
        QTest::newRow("terminal, --quiet") << true << true << false;
        QTest::newRow("pipe") << false << false << false;
    }
    void progressLine()
    {
        QFETCH(bool, terminal);
        QFETCH(bool, quiet);
        QFETCH(bool, shown);
        Fixture fixture;
        backupWithChanges(fixture);
        QByteArray output;
        if (terminal) {
            int master = -1;
            const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
            QVERIFY(child >= 0);
            if (child == 0) {
                ::execl(KOPIERIX_BINARY, "kopierix", "make-backups", quiet ? "--quiet" : nullptr,
                        nullptr);
                ::_exit(127);
            }
            char buffer[4096];
            ssize_t n;
            // The terminal's end reads EIO once the program has closed its side.
            while ((n = ::read(master, buffer, sizeof buffer)) > 0)
                output.append(buffer, n);
            int status = 0;
            ::waitpid(child, &status, 0);
            ::close(master);
            QVERIFY(WIFEXITED(status));
            QCOMPARE(WEXITSTATUS(status), 0);
        } else {
            output =
                kopierix({"make-backups"}, QProcessEnvironment::systemEnvironment()).err.toUtf8();
        }
        const qsizetype line = output.lastIndexOf("1 file walked, ");
        QCOMPARE(line >= 0, shown);
        QCOMPARE(output.contains("\r\033[K"), shown);
        if (shown) {
            // Taken away before the summary.
            const qsizetype erased = output.indexOf("\r\033[K", line);
            QVERIFY2(erased > line && erased < output.indexOf("Number of files copied"),
                     output.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestAutomatic)
#include "tst_automatic.moc"
