// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "common/RecordingUi.h"
#include "engine/Settings.h"

#include <QtTest>

using namespace kx;

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void freshAccountGetsDefaults()
    {
        test::Fixture fixture;
        auto platform = fixture.platform();
        BackupTarget target;
        MediaRecords media;
        target.base = "x";
        test::RecordingUi ui;
        readSettings(*platform, target, media, ui, Language::English);
        QCOMPARE(readFirstTime(*platform), true);
        QCOMPARE(target.base, std::string("c:\\"));
        QCOMPARE(target.perComputerFolders, false);
        QVERIFY(media.byKey.empty());
        QVERIFY(ui.warnings.empty());

        const WindowGeometry g = readMainWindowGeometry(*platform);
        QCOMPARE(g.left, 130);
        QCOMPARE(g.top, 100);
        QCOMPARE(g.width, 600);
        QCOMPARE(g.height, 342);
    }

    void closingStoresGeometryAndClearsFirstTime()
    {
        test::Fixture fixture;
        auto platform = fixture.platform();
        BackupTarget target;
        MediaRecords media;
        target.base = "e:\\";
        writeSettings(*platform, target, WindowGeometry{-5, -7, 640, 480});
        QCOMPARE(fixture.setting("Defaults", "First Time").toString(), QString("0"));

        test::RecordingUi ui;
        readSettings(*platform, target, media, ui, Language::English);
        QCOMPARE(readFirstTime(*platform), false);
        QCOMPARE(target.base, std::string("e:\\"));
        const WindowGeometry g = readMainWindowGeometry(*platform);
        QCOMPARE(g.left, 100); // a negative left edge is taken as 100
        QCOMPARE(g.top, -7);   // the top edge is not corrected
        QCOMPARE(g.width, 640);
        QCOMPARE(g.height, 480);
    }

    void valuesOfTheWrongTypeGiveDefaults()
    {
        test::Fixture fixture;
        fixture.setSetting("Defaults", "Left", "abc");
        fixture.setSetting("Defaults", "Width", "700");
        fixture.setSetting("Defaults", "First Time", "yes please");
        auto platform = fixture.platform();
        const WindowGeometry g = readMainWindowGeometry(*platform);
        QCOMPARE(g.left, 130);
        QCOMPARE(g.width, 700); // a number stored as text is still a number
    }

    void unreadableSettingsFileGivesDefaults()
    {
        test::Fixture fixture;
        auto platform = fixture.platform();
        QDir().mkpath(QFileInfo(fixture.settingsPath()).path());
        QFile f(fixture.settingsPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[Defaults\n\x01\x02=\xff\xfe\nBackUp Drive\n[[[");
        f.close();
        BackupTarget target;
        MediaRecords media;
        test::RecordingUi ui;
        readSettings(*platform, target, media, ui, Language::English);
        QCOMPARE(target.base, std::string("c:\\"));
        QCOMPARE(readFirstTime(*platform), true);
    }

    void perComputerMode_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("base");
        QTest::addColumn<bool>("perComputer");
        QTest::newRow("plain root") << "e:\\"
                                    << "e:\\" << false;
        QTest::newRow("two backslashes") << "e:\\\\"
                                         << "e:\\\\" << true;
        QTest::newRow("computer folder") << "e:\\OFFICE7\\"
                                         << "e:\\OFFICE7\\" << false;
        // A value that names no drive counts as missing.
        QTest::newRow("short") << "e"
                               << "c:\\" << false;
        QTest::newRow("empty") << ""
                               << "c:\\" << false;
        QTest::newRow("no backslash") << "e:"
                                      << "c:\\" << false;
        QTest::newRow("no letter") << "\\\\"
                                   << "c:\\" << false;
    }
    void perComputerMode()
    {
        QFETCH(QString, stored);
        QFETCH(QString, base);
        QFETCH(bool, perComputer);
        test::Fixture fixture;
        fixture.setSetting("Defaults", "BackUp Drive", stored);
        auto platform = fixture.platform();
        BackupTarget target;
        MediaRecords media;
        test::RecordingUi ui;
        readSettings(*platform, target, media, ui, Language::English);
        QCOMPARE(target.base, base.toStdString());
        QCOMPARE(target.perComputerFolders, perComputer);
    }

    void perComputerModeSurvivesAClose()
    {
        // During the run the root carries the computer's folder; the mode must still be on at
        // the next start, or that computer's folders would silently stop being refreshed.
        test::Fixture fixture;
        fixture.setSetting("Defaults", "BackUp Drive", "e:\\\\");
        auto platform = fixture.platform();
        BackupTarget target;
        MediaRecords media;
        test::RecordingUi ui;
        readSettings(*platform, target, media, ui, Language::English);
        QVERIFY(target.perComputerFolders);
        target.base = "e:\\OFFICE7\\";
        writeSettings(*platform, target, WindowGeometry{});
        QCOMPARE(fixture.setting("Defaults", "BackUp Drive").toString(), QString("e:\\\\"));
        readSettings(*platform, target, media, ui, Language::English);
        QVERIFY(target.perComputerFolders);
    }

    void mediaRecordsAreSortedAndLimitedTo25_data()
    {
        QTest::addColumn<int>("media");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("warning");
        QTest::newRow("25, no warning") << 25 << ""
                                        << "";
        QTest::newRow("26, English") << 26 << ""
                                     << "Only 25 Backup drives are supported";
        QTest::newRow("30, Dutch") << 30 << "nld"
                                   << "Er worden maximaal 25 Backup-schijven ondersteund";
    }
    void mediaRecordsAreSortedAndLimitedTo25()
    {
        QFETCH(int, media);
        QFETCH(QString, language);
        QFETCH(QString, warning);
        test::Fixture fixture;
        // Keys in mixed case, written in reverse order: the list is sorted without regard to case.
        for (int i = media - 1; i >= 0; --i) {
            const QString key =
                QString("%1-Medium%2").arg(i % 2 ? 'E' : 'e').arg(i, 2, 10, QChar('0'));
            fixture.setSetting("Last BackUp", key, QString::number(40000 + i));
            fixture.setSetting("Total Size", key, QString::number(5000000000LL + i));
        }
        auto platform = fixture.platform();
        BackupTarget target;
        MediaRecords records;
        test::RecordingUi ui;
        readSettings(*platform, target, records, ui, languageOf(language.toStdString()));

        // Up to 25 media each keep their record under their own key; beyond that none does.
        QCOMPARE(int(records.byKey.size()), media > 25 ? 0 : media);
        for (int i = 0; i < media && media <= 25; ++i) {
            const std::string key = QString("%1-Medium%2")
                                        .arg(i % 2 ? 'E' : 'e')
                                        .arg(i, 2, 10, QChar('0'))
                                        .toStdString();
            QVERIFY(records.byKey.count(key));
            QCOMPARE(records.byKey[key].lastBackupDate, 40000.0 + i);
            QCOMPARE(records.byKey[key].totalSize, 5000000000LL + i); // totals beyond 32 bits
        }
        if (warning.isEmpty())
            QVERIFY(ui.warnings.empty());
        else
            QCOMPARE(ui.warnings, std::vector<std::string>{warning.toStdString()});
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
