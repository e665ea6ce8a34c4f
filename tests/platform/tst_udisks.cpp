// SPDX-License-Identifier: GPL-3.0-or-later
// The drives as the system's volume service describes them, against a stand-in for the service
// on a bus of the test's own.
#include "common/ChildProcess.h"
#include "common/Fixture.h"
#include "common/Outcome.h"
#include "platform/linux/LinuxPlatform.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace kx;
using kx::test::endProcesses;
using kx::test::failed;
using kx::test::succeeded;
using kx::test::waitForLine;

namespace {

// The letter whose root is `folder`, or 0.
char letterOf(Platform& platform, const std::string& folder)
{
    for (char letter : platform.driveLetters()) {
        if (platform.nativePath(std::string(1, letter) + ":\\") == folder)
            return letter;
    }
    return 0;
}

} // namespace

class TestUDisks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (daemon.isEmpty())
            QSKIP("dbus-daemon is not installed (Debian's package dbus): no bus for the stand-in");
        QVERIFY(m_dir.isValid());
        m_root = QFileInfo(m_dir.path()).canonicalFilePath();
        QFile config(m_root + "/bus.conf");
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                     "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                     "<busconfig><type>session</type><listen>unix:path=" +
                     QFile::encodeName(m_root) +
                     "/bus</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                     "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                     "<allow own=\"*\"/></policy></busconfig>\n");
        config.close();
        m_bus.start(daemon, {"--config-file=" + config.fileName(), "--nofork", "--print-address"});
        QByteArray address;
        QVERIFY2(waitForLine(m_bus, address), qPrintable(m_bus.readAllStandardError()));

        // object, device, UUID, label, type, mount folder, removable, media removable, bus
        QFile description(m_root + "/volumes");
        QVERIFY(description.open(QIODevice::WriteOnly));
        for (const char* name : {"stick", "disk", "card", "usbdisk", "disc"})
            QVERIFY(QDir(m_root).mkpath(name));
        const QString lines[] = {
            "sdb1\t/dev/sdb1\t1234-ABCD\tSTICK\tvfat\t%/stick\t1\t1\tusb",
            "sda2\t/dev/sda2\t0f1e-disk\tData\text4\t%/disk\t0\t0\tsata",
            "mmcblk0p1\t/dev/mmcblk0p1\tCARD-0001\tCARD\texfat\t%/card\t0\t1\tsdio",
            "sdc1\t/dev/sdc1\tusb-disk-1\tTRAVEL\tntfs\t%/usbdisk\t0\t0\tusb",
            "sr0\t/dev/sr0\t2026-12-01\tDISC 1\tiso9660\t%/disc\t1\t1\tata",
            "sda1\t/dev/sda1\troot-uuid\tSystem\text4\t/\t0\t0\tsata",
            "sda3\t/dev/sda3\tefi-uuid\tEFI\tvfat\t/boot/efi\t0\t0\tsata",
            "sdd1\t/dev/sdd1\tunmounted-uuid\tAWAY\tvfat\t\t1\t1\tusb",
            "sdd\t/dev/sdd\t\t\t-\t\t1\t1\tusb"};
        for (const QString& line : lines)
            description.write(QString(line).replace("%", m_root).toUtf8() + "\n");
        description.close();

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SYSTEM_BUS_ADDRESS", QString::fromUtf8(address));
        m_service.setProcessEnvironment(environment);
        m_service.start(KX_UDISKS_STANDIN, {description.fileName(), m_root + "/renames"});
        QByteArray ready;
        QVERIFY2(waitForLine(m_service, ready) && ready == "ready",
                 qPrintable(m_service.readAllStandardError()));
        // Before the platform's first call: the system bus is this one from here on.
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
    }

    void cleanupTestCase() { endProcesses({&m_service, &m_bus}); }

    void drivesFromTheService_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("fileSystem");
        QTest::addColumn<QString>("identity");
        QTest::addColumn<bool>("removable");

        QTest::newRow("usb stick") << "stick"
                                   << "DRIVE_REMOVABLE"
                                   << "STICK"
                                   << "vfat"
                                   << "uuid:1234-ABCD" << true;
        QTest::newRow("internal disk") << "disk"
                                       << "DRIVE_FIXED"
                                       << "Data"
                                       << "ext4"
                                       << "uuid:0f1e-disk" << false;
        QTest::newRow("card in a fixed reader") << "card"
                                                << "DRIVE_REMOVABLE"
                                                << "CARD"
                                                << "exfat"
                                                << "uuid:CARD-0001" << true;
        QTest::newRow("disk on usb") << "usbdisk"
                                     << "DRIVE_REMOVABLE"
                                     << "TRAVEL"
                                     << "ntfs"
                                     << "uuid:usb-disk-1" << true;
        QTest::newRow("disc") << "disc"
                              << "DRIVE_CDROM"
                              << "DISC 1"
                              << "iso9660"
                              << "uuid:2026-12-01" << true;
    }

    void drivesFromTheService()
    {
        QFETCH(QString, folder);
        QFETCH(QString, type);
        QFETCH(QString, label);
        QFETCH(QString, fileSystem);
        QFETCH(QString, identity);
        QFETCH(bool, removable);

        test::Fixture fixture;
        auto platform = fixture.platform();
        const char letter = letterOf(*platform, (m_root + "/" + folder).toStdString());
        QVERIFY(letter >= 'd');
        QCOMPARE(QString(driveTypeWord(platform->driveType(letter))), type);
        std::string name;
        SystemError error;
        QVERIFY(succeeded(platform->volumeLabel(letter), name, error));
        QCOMPARE(QString::fromStdString(name), label);
        QCOMPARE(QString::fromStdString(platform->fileSystemName(letter)), fileSystem);
        const QString key(QChar::fromLatin1(letter));
        QCOMPARE(fixture.setting("Drives", key + ".volume").toString(), identity);
        QCOMPARE(fixture.setting("Drives", key + ".removable").toBool(), removable);
    }

    void onlyMountedVolumesWithUserDataGetLetters()
    {
        test::Fixture fixture;
        auto platform = fixture.platform();
        QCOMPARE(platform->nativePath("c:\\"), std::string("/"));
        QStringList identities;
        for (char letter : platform->driveLetters())
            identities << fixture.setting("Drives", QString(QChar::fromLatin1(letter)) + ".volume")
                              .toString();
        for (const char* away : {"uuid:root-uuid", "uuid:efi-uuid", "uuid:unmounted-uuid"})
            QVERIFY2(!identities.contains(away), away);
        QVERIFY(!identities.contains("device:/dev/sdd"));
    }

    void renamesThroughTheService()
    {
        test::Fixture fixture;
        fixture.addDrive('e', "DRIVE_FIXED");
        auto platform = fixture.platform();
        const char letter = letterOf(*platform, (m_root + "/stick").toStdString());
        QVERIFY(letter >= 'd');

        QVERIFY(platform->setVolumeLabel(letter, "Backup2"));
        QFile record(m_root + "/renames");
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(record.readAll(), QByteArray("sdb1 Backup2\n"));
        record.close();
        std::string label;
        SystemError error;
        QVERIFY(succeeded(platform->volumeLabel(letter), label, error));
        QCOMPARE(label, std::string("Backup2"));
        QVERIFY(
            !fixture.setting("Drives", QString(QChar::fromLatin1(letter)) + ".label").isValid());

        // A rename the service refuses, and a plain folder, which the service does not know.
        QVERIFY(!platform->setVolumeLabel(letter, "REFUSE"));
        QVERIFY(!platform->setVolumeLabel('e', "Backup3"));
        QVERIFY(succeeded(platform->volumeLabel(letter), label, error));
        QCOMPARE(label, std::string("Backup2"));
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(record.readAll(), QByteArray("sdb1 Backup2\n"));
    }

private:
    QTemporaryDir m_dir;
    QString m_root;
    QProcess m_bus;
    QProcess m_service;
};

QTEST_GUILESS_MAIN(TestUDisks)
#include "tst_udisks.moc"
