// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "common/ScratchMount.h"
#include "platform/linux/DriveTable.h"
#include "platform/linux/LinuxPlatform.h"

#include <QStorageInfo>
#include <QtTest>

#include <algorithm>

using namespace kx;

namespace {

std::string canonical(const QString& path)
{
    return QFile::encodeName(QFileInfo(path).canonicalFilePath()).toStdString();
}

std::string mountLine(int id, const std::string& point, const std::string& type,
                      const std::string& source = "/dev/nonexistent-disk")
{
    // Device 0:n is no block device, so nothing of this machine's devices plays a part.
    return std::to_string(id) + " 1 0:" + std::to_string(id) + " / " + point +
           " rw,relatime shared:1 - " + type + " " + source + " rw\n";
}

// The letter whose root is `folder`, or 0.
char letterOf(Platform& platform, const std::string& folder)
{
    for (char letter : platform.driveLetters()) {
        if (platform.nativePath(std::string(1, letter) + ":\\") == folder)
            return letter;
    }
    return 0;
}

bool hasLetter(const std::vector<char>& letters, char letter)
{
    return std::find(letters.begin(), letters.end(), letter) != letters.end();
}

} // namespace

class TestDriveTable : public QObject
{
    Q_OBJECT

private slots:
    void listedDrives_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("expectedType");

        // A folder listed without a type is typed from the file system that holds it.
        QTemporaryDir probe;
        const QString holding = QStorageInfo(probe.path()).fileSystemType() == "tmpfs"
                                    ? QStringLiteral("DRIVE_RAMDISK")
                                    : QStringLiteral("DRIVE_FIXED");
        QTest::newRow("fixed disk with label") << "DRIVE_FIXED"
                                               << "Backup1" << true << "DRIVE_FIXED";
        QTest::newRow("removable, no label") << "DRIVE_REMOVABLE"
                                             << "" << true << "DRIVE_REMOVABLE";
        QTest::newRow("cd") << "DRIVE_CDROM"
                            << "DISC 1" << true << "DRIVE_CDROM";
        QTest::newRow("no type listed") << ""
                                        << "" << true << holding;
        QTest::newRow("card reader without card") << "DRIVE_REMOVABLE"
                                                  << "" << false << "DRIVE_REMOVABLE";
        QTest::newRow("missing folder, no type") << ""
                                                 << "" << false << "DRIVE_REMOVABLE";
        QTest::newRow("unknown type word") << "DRIVE_FLOPPY"
                                           << "" << true << holding;
    }

    void listedDrives()
    {
        QFETCH(QString, type);
        QFETCH(QString, label);
        QFETCH(bool, present);
        QFETCH(QString, expectedType);

        test::Fixture fixture;
        QString folder = fixture.root() + "/drive-e";
        if (present)
            folder = fixture.addDrive('e', type, label);
        else
            fixture.mapDrive('e', folder, type, label);
        auto platform = fixture.platform();

        QVERIFY(hasLetter(platform->driveLetters(), 'e'));
        QCOMPARE(std::string(driveTypeWord(platform->driveType('e'))), expectedType.toStdString());
        QCOMPARE(std::string(driveTypeWord(platform->driveType('E'))), expectedType.toStdString());

        std::string answer = "unchanged";
        SystemError error;
        if (present) {
            QVERIFY(platform->volumeLabel('E', answer, error));
            // A plain folder is no volume: without a listed label it has none.
            QCOMPARE(answer, label.toStdString());
            const QStorageInfo storage(folder);
            QCOMPARE(platform->fileSystemName('e'), storage.fileSystemType().toStdString());
            QCOMPARE(platform->totalSpace('e'), std::int64_t(storage.bytesTotal()));
            QVERIFY(platform->freeSpace('e') > 0);
        } else {
            QVERIFY(!platform->volumeLabel('e', answer, error));
            QCOMPARE(error.code, 21);
            QCOMPARE(error.message, std::string("The device is not ready"));
            QCOMPARE(platform->fileSystemName('e'), std::string());
            QCOMPARE(platform->freeSpace('e'), std::int64_t(-1));
            QCOMPARE(platform->totalSpace('e'), std::int64_t(-1));
        }
    }

    void letterThatNamesNoDrive()
    {
        test::Fixture fixture;
        auto platform = fixture.platform();
        // Letter b is never given out by the detection.
        for (char letter : {'b', 'B', '?'}) {
            QCOMPARE(std::string(driveTypeWord(platform->driveType(letter))), std::string());
            std::string label;
            SystemError error;
            QVERIFY(!platform->volumeLabel(letter, label, error));
            QCOMPARE(error.code, 15);
            QCOMPARE(error.message, std::string("The system cannot find the drive specified"));
            QCOMPARE(platform->fileSystemName(letter), std::string());
            QCOMPARE(platform->freeSpace(letter), std::int64_t(-1));
        }
        QCOMPARE(platform->nativePath("b:\\Docs"), std::string());
        QVERIFY(!hasLetter(platform->driveLetters(), 'b'));
    }

    void systemDriveIsTheRootFolder()
    {
        test::Fixture fixture;
        auto platform = fixture.platform();
        QVERIFY(hasLetter(platform->driveLetters(), 'c'));
        QVERIFY(platform->driveType('c') != DriveType::None);
        QCOMPARE(std::string(driveTypeWord(platform->driveType('C'))),
                 std::string(driveTypeWord(platform->driveType('c'))));
        QCOMPARE(platform->nativePath("C:\\"), std::string("/"));
        QCOMPARE(platform->nativePath("c:\\etc"), std::string("/etc"));
        QCOMPARE(platform->fileSystemName('C'),
                 QStorageInfo::root().fileSystemType().toStdString());
        std::string label;
        SystemError error;
        QVERIFY(platform->volumeLabel('c', label, error));
    }

    void listedSystemDriveWins()
    {
        test::Fixture fixture;
        fixture.addDrive('c', "DRIVE_FIXED", "Windows");
        auto platform = fixture.platform();
        QCOMPARE(platform->nativePath("c:\\"), (fixture.root() + "/drive-c").toStdString());
        std::string label;
        SystemError error;
        QVERIFY(platform->volumeLabel('c', label, error));
        QCOMPARE(label, std::string("Windows"));
    }

    void renamedVolumeKeepsItsNameInTheTable()
    {
        test::Fixture fixture;
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.addMissingDrive('f');
        auto platform = fixture.platform();
        std::string label = "unchanged";
        SystemError error;
        QVERIFY(platform->volumeLabel('e', label, error));
        QCOMPARE(label, std::string());
        QVERIFY(platform->setVolumeLabel('E', "Backup2"));
        QVERIFY(platform->volumeLabel('e', label, error));
        QCOMPARE(label, std::string("Backup2"));
        QCOMPARE(fixture.setting("Drives", "e.label").toString(), QString("Backup2"));
        QVERIFY(fixture.platform()->volumeLabel('e', label, error));
        QCOMPARE(label, std::string("Backup2"));
        QVERIFY(!platform->setVolumeLabel('f', "Backup3"));
        QVERIFY(!platform->setVolumeLabel('b', "Backup3"));
        QVERIFY(!fixture.setting("Drives", "f.label").isValid());
    }

    void mountTable_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("mountPoint");
        QTest::addColumn<QByteArray>("fsType");
        QTest::addColumn<bool>("userData");
        QTest::addColumn<QString>("driveType");

        const auto line = [](const char* point, const char* type) {
            return QByteArray::fromStdString(mountLine(30, point, type));
        };
        QTest::newRow("disk with a blank in its name")
            << line("/media/anna/My\\040Disk", "ext4") << QByteArray("/media/anna/My Disk")
            << QByteArray("ext4") << true << "DRIVE_FIXED";
        QTest::newRow("stick under /run/media")
            << line("/run/media/anna/STICK", "vfat") << QByteArray("/run/media/anna/STICK")
            << QByteArray("vfat") << true << "DRIVE_FIXED";
        QTest::newRow("nfs") << line("/srv/share", "nfs4") << QByteArray("/srv/share")
                             << QByteArray("nfs4") << true << "DRIVE_REMOTE";
        QTest::newRow("samba") << line("/mnt/nas", "cifs") << QByteArray("/mnt/nas")
                               << QByteArray("cifs") << true << "DRIVE_REMOTE";
        QTest::newRow("sshfs") << line("/home/anna/remote", "fuse.sshfs")
                               << QByteArray("/home/anna/remote") << QByteArray("fuse.sshfs")
                               << true << "DRIVE_REMOTE";
        QTest::newRow("cd") << line("/media/cdrom", "iso9660") << QByteArray("/media/cdrom")
                            << QByteArray("iso9660") << true << "DRIVE_CDROM";
        QTest::newRow("dvd") << line("/media/dvd", "udf") << QByteArray("/media/dvd")
                             << QByteArray("udf") << true << "DRIVE_CDROM";
        QTest::newRow("tmp in memory") << line("/tmp", "tmpfs") << QByteArray("/tmp")
                                       << QByteArray("tmpfs") << true << "DRIVE_RAMDISK";
        QTest::newRow("run tmpfs")
            << line("/run/user/1000", "tmpfs") << QByteArray("/run/user/1000")
            << QByteArray("tmpfs") << false << "DRIVE_RAMDISK";
        QTest::newRow("dev shm") << line("/dev/shm", "tmpfs") << QByteArray("/dev/shm")
                                 << QByteArray("tmpfs") << false << "DRIVE_RAMDISK";
        QTest::newRow("proc") << line("/proc", "proc") << QByteArray("/proc") << QByteArray("proc")
                              << false << "DRIVE_FIXED";
        QTest::newRow("cgroup") << line("/sys/fs/cgroup", "cgroup2") << QByteArray("/sys/fs/cgroup")
                                << QByteArray("cgroup2") << false << "DRIVE_FIXED";
        QTest::newRow("snap image")
            << line("/snap/core/17", "squashfs") << QByteArray("/snap/core/17")
            << QByteArray("squashfs") << false << "DRIVE_FIXED";
        QTest::newRow("squashfs elsewhere")
            << line("/opt/image", "squashfs") << QByteArray("/opt/image") << QByteArray("squashfs")
            << false << "DRIVE_FIXED";
        QTest::newRow("container root") << line("/", "overlay") << QByteArray("/")
                                        << QByteArray("overlay") << false << "DRIVE_FIXED";
        QTest::newRow("automounter") << line("/mnt/auto", "autofs") << QByteArray("/mnt/auto")
                                     << QByteArray("autofs") << false << "DRIVE_FIXED";
        QTest::newRow("boot partition") << line("/boot/efi", "vfat") << QByteArray("/boot/efi")
                                        << QByteArray("vfat") << false << "DRIVE_FIXED";
        QTest::newRow("no optional fields")
            << QByteArray("40 1 0:50 / /data rw - btrfs /dev/nonexistent-disk rw\n")
            << QByteArray("/data") << QByteArray("btrfs") << true << "DRIVE_FIXED";
    }

    void mountTable()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, mountPoint);
        QFETCH(QByteArray, fsType);
        QFETCH(bool, userData);
        QFETCH(QString, driveType);

        const std::vector<MountEntry> mounts = parseMountInfo(line.toStdString());
        QCOMPARE(mounts.size(), std::size_t(1));
        QCOMPARE(mounts[0].mountPoint, mountPoint.toStdString());
        QCOMPARE(mounts[0].fsType, fsType.toStdString());
        QCOMPARE(holdsUserData(mounts[0]), userData);
        if (userData)
            QCOMPARE(driveTypeOfMount(mounts[0]), driveType.toStdString());
    }

    void mountTableKeepsTheTopMountAndFindsTheHolder()
    {
        const std::string text = mountLine(1, "/", "ext4") + "garbage line\n" +
                                 mountLine(2, "/mnt", "ext4") + mountLine(3, "/mnt/a", "vfat") +
                                 mountLine(4, "/mnt", "tmpfs");
        const std::vector<MountEntry> mounts = parseMountInfo(text);
        QCOMPARE(mounts.size(), std::size_t(3));
        QCOMPARE(mountHolding(mounts, "/mnt/a/x")->fsType, std::string("vfat"));
        QCOMPARE(mountHolding(mounts, "/mnt/ab")->fsType, std::string("tmpfs"));
        QCOMPARE(mountHolding(mounts, "/mnt")->fsType, std::string("tmpfs"));
        QCOMPARE(mountHolding(mounts, "/home")->fsType, std::string("ext4"));
        MountEntry sshfs;
        sshfs.fsType = "fuse.sshfs";
        QCOMPARE(fileSystemNameOfMount(sshfs), std::string("sshfs"));
    }

    void detectedLettersAreRememberedAndStable()
    {
        test::Fixture fixture;
        const std::string root = canonical(fixture.root());
        const QString listed = QString::fromStdString(root + "/drive-e");
        QDir().mkpath(listed);
        fixture.mapDrive('e', listed);
        QDir(fixture.root()).mkpath("m1");
        QDir(fixture.root()).mkpath("m2");
        QDir(fixture.root()).mkpath("m3");
        QDir(fixture.root()).mkpath("m4");
        QDir(fixture.root()).mkpath("kernel");
        QFile hosts(fixture.root() + "/hosts");
        QVERIFY(hosts.open(QIODevice::WriteOnly));
        const std::string m1 = root + "/m1", m2 = root + "/m2", m3 = root + "/m3",
                          m4 = root + "/m4";

        const std::string first =
            mountLine(1, "/", "ext4") + mountLine(2, m1, "ext4") +
            mountLine(3, root + "/kernel", "proc") + mountLine(4, root + "/hosts", "ext4") +
            mountLine(5, listed.toStdString(), "ext4") + mountLine(6, m2, "nfs4", "server:/share") +
            mountLine(7, root + "/not-there", "ext4") + mountLine(8, m3, "iso9660");
        auto platform = fixture.platform();
        {
            auto settings = platform->openSettings();
            DriveTable table(*settings, first);
            QCOMPARE(table.letters(), (std::vector<char>{'c', 'd', 'e', 'f', 'g'}));
            QCOMPARE(table.root('d'), m1);
            QCOMPARE(table.root('e'), listed.toStdString());
            QCOMPARE(table.root('f'), m2);
            QCOMPARE(table.root('g'), m3);
            QCOMPARE(table.type('f'), std::string("DRIVE_REMOTE"));
            QCOMPARE(table.type('G'), std::string("DRIVE_CDROM"));
        }
        QCOMPARE(fixture.setting("Drives", "d").toString().toStdString(), m1);
        QCOMPARE(fixture.setting("Drives", "f").toString().toStdString(), m2);
        QCOMPARE(fixture.setting("Drives", "g").toString().toStdString(), m3);

        // Next run: another order, one mount gone, one new. Every mount point keeps its letter
        // and its type; the new one takes the first free letter.
        const std::string second = mountLine(1, "/", "ext4") + mountLine(8, m3, "iso9660") +
                                   mountLine(9, m4, "ext4") +
                                   mountLine(6, m2, "nfs4", "server:/share");
        auto settings = platform->openSettings();
        DriveTable table(*settings, second);
        QCOMPARE(table.letters(), (std::vector<char>{'c', 'd', 'e', 'f', 'g', 'h'}));
        QCOMPARE(table.root('d'), m1);
        QCOMPARE(table.root('f'), m2);
        QCOMPARE(table.type('f'), std::string("DRIVE_REMOTE"));
        QCOMPARE(table.root('g'), m3);
        QCOMPARE(table.type('g'), std::string("DRIVE_CDROM"));
        QCOMPARE(table.fileSystemName('g'), std::string("iso9660"));
        QCOMPARE(table.root('h'), m4);
    }

    void mountedFileSystemGetsALetterThatStays()
    {
        test::Fixture fixture;
        QDir(fixture.root()).mkpath("stick");
        QDir(fixture.root()).mkpath("later");
        const std::string stick = canonical(fixture.root() + "/stick");
        const std::string later = canonical(fixture.root() + "/later");
        test::ScratchMount first, second;
        QString why;
        if (!first.mountTmpfs(fixture.root() + "/stick", "size=1m", why))
            QSKIP(qPrintable(why));

        LinuxPlatform platform;
        const char letter = letterOf(platform, stick);
        QVERIFY(letter >= 'd');
        QCOMPARE(platform.driveType(letter), DriveType::RamDisk);
        QCOMPARE(platform.fileSystemName(letter), std::string("tmpfs"));
        QCOMPARE(fixture.setting("Drives", QString(QChar(letter))).toString().toStdString(), stick);

        LinuxPlatform again;
        QCOMPARE(letterOf(again, stick), letter);

        // A mount made while the program runs shows once the drives are read again.
        QVERIFY(second.mountTmpfs(fixture.root() + "/later", "size=1m", why));
        QCOMPARE(letterOf(platform, later), char(0));
        platform.reloadDrives();
        const char laterLetter = letterOf(platform, later);
        QVERIFY(laterLetter >= 'd');
        QVERIFY(laterLetter != letter);
        QCOMPARE(letterOf(platform, stick), letter);
    }
};

QTEST_GUILESS_MAIN(TestDriveTable)
#include "tst_drivetable.moc"
