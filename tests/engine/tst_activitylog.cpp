// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "common/RecordingUi.h"
#include "engine/ActivityLog.h"

#include <QtTest>

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
        ActivityLog log(*platform);
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
        ActivityLog log(*platform);
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
        ActivityLog log(*platform);
        log.reportFailuresTo(&ui, language.toStdString());
        log.resume(language.toStdString());
        log.writeLog("lost line");
        log.writeLog("another lost line");
        QVERIFY(QFileInfo(fixture.dataPath() + "/Kopierix.log/blocked").isDir());
        // Said once a run, as a failure of the run.
        const std::string line = told.arg(fixture.dataPath() + "/Kopierix.log").toStdString();
        QCOMPARE(ui.memoLines, std::vector<std::string>{line});
        log.resume(language.toStdString());
        log.writeLog("lost line of the next run");
        QCOMPARE(ui.memoLines, (std::vector<std::string>{line, line}));
    }
};

QTEST_GUILESS_MAIN(TestActivityLog)
#include "tst_activitylog.moc"
