// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "common/RecordingUi.h"
#include "engine/ActivityLog.h"

#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace kx;

class TestActivityLog : public QObject
{
    Q_OBJECT

    static QByteArray read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void linesEndInCrLf()
    {
        test::Fixture fixture;
        auto platform = fixture.platform();
        ActivityLog log(*platform, *platform);
        log.rotate("");
        log.writeLog("Button \"View Log\" clicked");
        const QList<QByteArray> lines = read(fixture.dataPath() + "/Kopierix.log").split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("Date: "));
        QVERIFY(lines[0].endsWith('\r'));
        QCOMPARE(lines[1], QByteArray("Button \"View Log\" clicked\r"));
        QCOMPARE(lines[2], QByteArray());
        QCOMPARE(QString::fromStdString(log.currentLogPath()),
                 fixture.dataPath() + "/Kopierix.log");
    }

    void rotationKeepsTheLastThreeRuns()
    {
        test::Fixture fixture;
        auto platform = fixture.platform();
        ActivityLog log(*platform, *platform);
        const char* languages[] = {"nld", "", "nld", ""};
        for (int run = 1; run <= 4; ++run) {
            log.rotate(languages[run - 1]);
            log.writeLog("run " + std::to_string(run));
        }
        const QString dir = fixture.dataPath();
        const QByteArray current = read(dir + "/Kopierix.log");
        const QByteArray previous = read(dir + "/Kopierix!.log");
        const QByteArray oldest = read(dir + "/Kopierix!!.log");
        QVERIFY(current.startsWith("Date: "));
        QVERIFY(current.endsWith("run 4\r\n"));
        QVERIFY(previous.startsWith("Datum: "));
        QVERIFY(previous.endsWith("run 3\r\n"));
        QVERIFY(oldest.startsWith("Date: "));
        QVERIFY(oldest.endsWith("run 2\r\n"));
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 3);
    }

    void anUnwritableLogNeverStopsTheWork_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("told");
        QTest::newRow("English") << ""
                                 << "The activity log %1 cannot be written: Is a directory";
        QTest::newRow("Dutch") << "nld"
                               << "Het logbestand %1 kan niet worden geschreven: Is a directory";
    }
    void anUnwritableLogNeverStopsTheWork()
    {
        QFETCH(QString, language);
        QFETCH(QString, told);
        test::Fixture fixture;
        auto platform = fixture.platform();
        // A folder where the log file should be: every append fails, and nothing else happens.
        QVERIFY(QDir().mkpath(fixture.dataPath() + "/Kopierix.log/blocked"));
        test::RecordingUi ui;
        ActivityLog log(*platform, *platform);
        log.reportFailuresTo(&ui, language.toStdString());
        log.resume(language.toStdString());
        log.writeLog("lost line");
        log.writeLog("another lost line");
        QVERIFY(QFileInfo(fixture.dataPath() + "/Kopierix.log/blocked").isDir());
        // Said once a run, as a failure of the run.
        const std::string line = told.arg(fixture.dataPath() + "/Kopierix.log").toStdString();
        QCOMPARE(ui.outputLines, std::vector<std::string>{line});
        log.resume(language.toStdString());
        log.writeLog("lost line of the next run");
        QCOMPARE(ui.outputLines, (std::vector<std::string>{line, line}));
    }

    void linesGoOnlyIntoARegularFileOfItsOwn_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::addColumn<bool>("rotationBlocked");
        QTest::newRow("link, rotation blocked") << "link" << true;
        QTest::newRow("link") << "link" << false;
        QTest::newRow("second name of another file") << "hard link" << true;
        QTest::newRow("FIFO with a reader") << "fifo" << true;
        QTest::newRow("device node") << "device" << true;
    }
    void linesGoOnlyIntoARegularFileOfItsOwn()
    {
        QFETCH(QString, planted);
        QFETCH(bool, rotationBlocked);
        test::Fixture fixture;
        auto platform = fixture.platform();
        const QString dir = fixture.dataPath();
        QVERIFY(QDir().mkpath(dir));
        const QString logFile = dir + "/Kopierix.log";
        const QByteArray logPath = QFile::encodeName(logFile);
        // A file of the user's elsewhere, which the log must never reach.
        const QString other = fixture.root() + "/notes.txt";
        {
            QFile file(other);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("my notes\n");
        }
        int reader = -1;
        if (planted == "link") {
            QVERIFY(QFile::link(other, logFile));
        } else if (planted == "hard link") {
            QCOMPARE(::link(QFile::encodeName(other).constData(), logPath.constData()), 0);
        } else if (planted == "fifo") {
            QCOMPARE(::mkfifo(logPath.constData(), 0600), 0);
            reader = ::open(logPath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            QVERIFY(reader >= 0);
        } else if (::mknod(logPath.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0) {
            QSKIP("this system lets no device node be made here");
        }
        // The old log's place taken by a folder: the current one cannot be moved out of the way.
        if (rotationBlocked)
            QVERIFY(QDir().mkpath(dir + "/Kopierix!.log/blocked"));

        test::RecordingUi ui;
        ActivityLog log(*platform, *platform);
        log.reportFailuresTo(&ui, "");
        log.rotate("");
        log.writeLog("a line of the run");

        QCOMPARE(read(other), QByteArray("my notes\n"));
        if (reader >= 0) {
            char buffer[64];
            QCOMPARE(::read(reader, buffer, sizeof buffer), ssize_t(0));
            ::close(reader);
        }
        // The user is told, once, why the log is not written.
        const std::string told =
            "The activity log " + log.currentLogPath() + " cannot be written: Not a regular file";
        QCOMPARE(ui.outputLines, std::vector<std::string>{told});
    }
};

QTEST_GUILESS_MAIN(TestActivityLog)
#include "tst_activitylog.moc"
