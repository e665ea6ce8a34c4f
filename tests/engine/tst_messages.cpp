// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/EmptyDrives.h"
#include "common/EngineRig.h"
#include "engine/MediumRecords.h"
#include "engine/Settings.h"
#include "engine/StatusLine.h"

#include <QtTest>

using namespace kx;
using kx::test::EngineRig;
using kx::test::Fixture;

// What the user reads when the backup drive fails, in the user's language.
class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("TZ", "UTC"); }

    void aFailedBackupDriveIsToldInTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<char>("letter");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("mounts");   // the platform mounts media
        QTest::addColumn<QString>("label"); // the label listed for the drive
        QTest::addColumn<QString>("warning");
        const QString nl = "nld";
        const QString en = "";
        const struct
        {
            char letter;
            int code;
            bool mounts;
            const char* label;
            const char* dutch;
            const char* english;
        } rows[] = {
            {'e', 51, true, "", "De netwerkcomputer luistert niet",
             "The network computer does not answer"},
            {'e', 65, true, "", "U heeft geen toegang tot het netwerk",
             "You have no access to the network"},
            {'e', 32, true, "", "Het bestand wordt al gebruikt", "The file is already in use"},
            {'e', 5, true, "", "U heeft geen toegang tot e:\\", "You have no access to e:\\"},
            {'e', 21, false, "", "Er zit geen CD-r(w) in schijfstation e:\\",
             "No CD-r(w) in drive e:\\"},
            {'a', 21, false, "", "Er zit geen floppy in schijfstation a:\\",
             "No floppy in drive a:\\"},
            {'e', 21, true, "", "Backupschijf e: is niet aangekoppeld",
             "Backup drive e: is not mounted"},
            {'e', 21, true, "KOPISTICK", "Backupschijf e: (KOPISTICK) is niet aangekoppeld",
             "Backup drive e: (KOPISTICK) is not mounted"},
            {'e', 87, true, "", "Er is iets mis met schijf e:\\",
             "Something is wrong with disk e:\\"},
            {'a', 87, true, "", "Er is iets mis met floppy a:\\",
             "Something is wrong with floppy a:\\"},
        };
        for (const auto& r : rows) {
            const QString name =
                QString("%1: %2%3%4")
                    .arg(r.letter)
                    .arg(r.code)
                    .arg(r.mounts ? ", mounted" : ", in a drive", *r.label ? ", labelled" : "");
            QTest::newRow(qPrintable(name + ", Dutch"))
                << nl << r.letter << r.code << r.mounts << r.label << r.dutch;
            QTest::newRow(qPrintable(name + ", English"))
                << en << r.letter << r.code << r.mounts << r.label << r.english;
        }
    }
    void aFailedBackupDriveIsToldInTheUsersLanguage()
    {
        QFETCH(QString, language);
        QFETCH(char, letter);
        QFETCH(int, code);
        QFETCH(bool, mounts);
        QFETCH(QString, label);
        QFETCH(QString, warning);
        Fixture fixture;
        fixture.addMissingDrive(letter);
        if (!label.isEmpty())
            fixture.setSetting("Drives", QString(letter) + ".label", label);
        std::unique_ptr<Platform> platform = fixture.platform();
        if (!mounts)
            platform = std::make_unique<test::EmptyDrives>(std::move(platform));
        EngineRig rig(std::move(platform), language.toStdString());
        rig.target.base = std::string(1, letter) + ":\\";

        QCOMPARE(showDriveError(rig.ctx, SystemError{code, "system text"}), code == 21);
        QCOMPARE(rig.ui.warnings, std::vector<std::string>{warning.toStdString()});
    }

    // A volume the drive table found keeps its label while it is away.
    void aMediumAwayIsNamedWithTheLabelLastSeen()
    {
        Fixture fixture;
        fixture.setSetting("Drives", "e", fixture.root() + "/KOPISTICK");
        fixture.setSetting("Drives", "e.volume", "uuid:1234-ABCD");
        fixture.setSetting("Drives", "e.seen", "2026-12-01T10:00:00Z");
        fixture.setSetting("Drives", "e.removable", true);
        fixture.setSetting("Drives", "e.seenlabel", "KOPISTICK");
        EngineRig rig(fixture.platform());
        rig.target.base = "e:\\";
        QCOMPARE(notMountedText(rig.ctx),
                 std::string("Backup drive e: (KOPISTICK) is not mounted"));
    }

    void theStatusLineIsInTheUsersLanguage_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("dutch");
        QTest::addColumn<QString>("english");
        QTest::newRow("no disk") << int(DriveStatus::NoDisk)
                                 << " Backupschijf: e:, geen schijf aanwezig"
                                 << " Backup drive: e:, no disk present";
        QTest::newRow("not mounted")
            << int(DriveStatus::NotMounted) << " Backupschijf: e:, niet aangekoppeld"
            << " Backup drive: e:, not mounted";
        QTest::newRow("no floppy")
            << int(DriveStatus::NoFloppy) << " Backupschijf: e:, geen floppy aanwezig"
            << " Backup drive: e:, no floppy present";
        QTest::newRow("no backup drive")
            << int(DriveStatus::NoBackupDrive)
            << " Geen Backupschijf gekozen: kies er een in het venster Beheren"
            << " No backup drive chosen: choose one in the Manage window";
    }
    void theStatusLineIsInTheUsersLanguage()
    {
        QFETCH(int, status);
        QFETCH(QString, dutch);
        QFETCH(QString, english);
        QCOMPARE(QString::fromStdString(
                     backupDriveStatusLine(Language::Dutch, DriveStatus(status), "e:")),
                 dutch);
        QCOMPARE(QString::fromStdString(
                     backupDriveStatusLine(Language::English, DriveStatus(status), "e:")),
                 english);
    }

    // Before a backup drive is chosen, the default c: is no choice: the line says how to make one.
    void withNoBackupDriveChosenTheStatusLineSaysHowToChooseOne()
    {
        Fixture fixture;
        EngineRig rig(fixture.platform());
        readSettings(*rig.platform, rig.target, rig.media, rig.ui, rig.ctx.language());
        rig.selectBackupDrive(rig.target.base[0]);
        QCOMPARE(rig.ui.statusLines.back(),
                 std::string(" No backup drive chosen: choose one in the Manage window"));
    }

    void aMediumNotMountedIsSoInTheStatusLine()
    {
        Fixture fixture;
        fixture.addMissingDrive('e');
        EngineRig rig(fixture.platform(), "nld");
        QVERIFY(rig.selectBackupDrive('e').noDisk);
        QCOMPARE(rig.ui.statusLines.back(), std::string(" Backupschijf: e:, niet aangekoppeld"));
        QCOMPARE(rig.ui.warnings, std::vector<std::string>{"Backupschijf e: is niet aangekoppeld"});
    }
};

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
