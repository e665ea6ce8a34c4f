// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Fixture.h"
#include "common/Outcome.h"
#include "common/ScratchMount.h"
#include "platform/linux/DriveTable.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/VolumeSource.h"

#include <QStorageInfo>
#include <QtTest>

#include <algorithm>
#include <optional>
#include <set>

#include <unistd.h>

using namespace kx;
using kx::test::failed;
using kx::test::succeeded;

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
    void initTestCase()
    {
        // These are the drives without the volume service: a bus that is not there.
        QVERIFY(m_noBus.isValid());
        qputenv("DBUS_SYSTEM_BUS_ADDRESS",
                "unix:path=" + QFile::encodeName(m_noBus.path()) + "/none");
    }

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
            QVERIFY(succeeded(platform->volumeLabel('E'), answer, error));
            // A plain folder is no volume: without a listed label it has none.
            QCOMPARE(answer, label.toStdString());
            const QStorageInfo storage(folder);
            QCOMPARE(platform->fileSystemName('e'), storage.fileSystemType().toStdString());
            QCOMPARE(platform->totalSpace('e'), std::int64_t(storage.bytesTotal()));
            QVERIFY(platform->freeSpace('e') > 0);
        } else {
            QVERIFY(failed(platform->volumeLabel('e'), error));
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
            QVERIFY(failed(platform->volumeLabel(letter), error));
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
        QVERIFY(succeeded(platform->volumeLabel('c'), label, error));
    }

    void listedSystemDriveWins()
    {
        test::Fixture fixture;
        fixture.addDrive('c', "DRIVE_FIXED", "Windows");
        auto platform = fixture.platform();
        QCOMPARE(platform->nativePath("c:\\"), (fixture.root() + "/drive-c").toStdString());
        std::string label;
        SystemError error;
        QVERIFY(succeeded(platform->volumeLabel('c'), label, error));
        QCOMPARE(label, std::string("Windows"));
    }

    void aFolderDriveCannotBeRenamed()
    {
        test::Fixture fixture;
        fixture.addDrive('e', "DRIVE_FIXED");
        fixture.addMissingDrive('f');
        auto platform = fixture.platform();
        // A plain folder is no volume: there is nothing to rename, and no name is made up for it.
        for (char letter : {'E', 'f', 'b'})
            QVERIFY(!platform->setVolumeLabel(letter, "Backup2"));
        std::string label = "unchanged";
        SystemError error;
        QVERIFY(succeeded(platform->volumeLabel('e'), label, error));
        QCOMPARE(label, std::string());
        QVERIFY(!fixture.setting("Drives", "e.label").isValid());
        QVERIFY(!fixture.setting("Drives", "f.label").isValid());
    }

    // Only read here: the real folders are judged, never written to.
    void whatCanNeverHoldABackup_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("why");
        QTest::newRow("root") << "/"
                              << "system's root";
        QTest::newRow("root with a dot") << "/."
                                         << "system's root";
        QTest::newRow("root with two slashes") << "//"
                                               << "system's root";
        QTest::newRow("link to root") << "@link"
                                      << "system's root";
        QTest::newRow("proc") << "/proc"
                              << "proc file system";
        QTest::newRow("inside proc") << "/proc/self"
                                     << "proc file system";
        QTest::newRow("sysfs") << "/sys"
                               << "sysfs file system";
        QTest::newRow("devtmpfs") << "/dev"
                                  << "running system";
        QTest::newRow("devpts") << "/dev/pts"
                                << "devpts file system";
        QTest::newRow("shared memory") << "/dev/shm"
                                       << "running system";
        QTest::newRow("run") << "/run"
                             << "running system";
        QTest::newRow("the user's runtime folder") << "@runtime"
                                                   << "running system";
        QTest::newRow("a folder") << "@own"
                                  << "";
        QTest::newRow("a tmpfs below a mount root") << "@shm"
                                                    << "";
    }

    void whatCanNeverHoldABackup()
    {
        QFETCH(QString, folder);
        QFETCH(QString, why);
        test::Fixture fixture;
        std::optional<QTemporaryDir> shm;
        if (folder == "@link") {
            folder = fixture.root() + "/to-root";
            QVERIFY(QFile::link(QStringLiteral("/"), folder));
        } else if (folder == "@runtime") {
            folder = QStringLiteral("/run/user/%1").arg(::getuid());
            if (!QFileInfo(folder).isDir())
                QSKIP("this system keeps no runtime folder for the user");
        } else if (folder == "@own") {
            folder = fixture.addDrive('d');
        } else if (folder == "@shm") {
            shm.emplace(QStringLiteral("/dev/shm/kopierix-test-XXXXXX"));
            QVERIFY(shm->isValid());
            folder = shm->path();
        }
        // c: is a folder of the test: the root is refused by what it is, not by its letter.
        fixture.addDrive('c');
        fixture.mapDrive('e', folder);
        auto platform = fixture.platform();
        const std::string reason = platform->unfitForBackup('E');
        if (why.isEmpty())
            QCOMPARE(reason, std::string());
        else
            QVERIFY2(reason.find(why.toStdString()) != std::string::npos, reason.c_str());
        QCOMPARE(platform->unfitForBackup('c'), std::string());
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

    void removableFromTheKernelsAccount_data()
    {
        QTest::addColumn<QString>("sysfs");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QByteArray>("removableFlag");
        QTest::addColumn<QByteArray>("deviceType");
        QTest::addColumn<bool>("removable");
        const QString usb =
            QStringLiteral("pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0");
        const QString sata =
            QStringLiteral("pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0");
        const QString card = QStringLiteral("pci0000:00/0000:00:1e.6/mmc_host/mmc0/mmc0:0001");
        QTest::newRow("USB disk that says it is fixed")
            << "sys" << usb << QByteArray("0\n") << QByteArray() << true;
        QTest::newRow("SATA disk") << "sys" << sata << QByteArray("0\n") << QByteArray() << false;
        QTest::newRow("SATA disk flagged removable")
            << "sys" << sata << QByteArray("1\n") << QByteArray() << true;
        QTest::newRow("SD card") << "sys" << card << QByteArray("0\n") << QByteArray("SD\n")
                                 << true;
        // The folder sysfs is reached through is no part of the device's place.
        QTest::newRow("SATA disk, sysfs in a folder named usb")
            << "usb/sys" << sata << QByteArray("0\n") << QByteArray() << false;
    }

    void removableFromTheKernelsAccount()
    {
        QFETCH(QString, sysfs);
        QFETCH(QString, place);
        QFETCH(QByteArray, removableFlag);
        QFETCH(QByteArray, deviceType);
        QFETCH(bool, removable);

        // A partition 8:17 of a disk sdb, as the kernel shows it when the volume service is not
        // there to say what it is.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString root = dir.path() + QLatin1Char('/') + sysfs;
        const QString disk =
            root + QStringLiteral("/devices/") + place + QStringLiteral("/block/sdb");
        QVERIFY(QDir().mkpath(disk + QStringLiteral("/sdb1")));
        QVERIFY(QDir().mkpath(disk + QStringLiteral("/device")));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/dev/block")));
        const auto write = [](const QString& path, const QByteArray& bytes) {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        };
        QVERIFY(write(disk + QStringLiteral("/removable"), removableFlag));
        QVERIFY(write(disk + QStringLiteral("/sdb1/partition"), "1\n"));
        if (!deviceType.isEmpty())
            QVERIFY(write(disk + QStringLiteral("/device/type"), deviceType));
        QVERIFY(QFile::link(QStringLiteral("../../devices/") + place +
                                QStringLiteral("/block/sdb/sdb1"),
                            root + QStringLiteral("/dev/block/8:17")));

        MountEntry mount;
        mount.id = "40";
        mount.mountPoint = canonical(dir.path());
        mount.fsType = "ext4";
        mount.source = "stick";
        mount.major = 8;
        mount.minor = 17;
        const std::string word = removable ? "DRIVE_REMOVABLE" : "DRIVE_FIXED";
        const std::string sysfsRoot = QFile::encodeName(root).toStdString();
        QCOMPARE(driveTypeOfMount(mount, sysfsRoot), word);
        const std::vector<Volume> volumes = volumesOfMounts({mount}, sysfsRoot);
        QCOMPARE(volumes.size(), std::size_t(1));
        QCOMPARE(volumes[0].driveType, word);
        QCOMPARE(volumes[0].removable, removable);
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

    void lettersFollowTheVolume_data()
    {
        // Entries: "letter identity r|f hours-ago folder [before]", identity "user" for an entry
        // the user wrote, "before" for a volume present at the reading before this one. Volumes
        // present: "identity r|f folder". Expected: "identity=letter ...", an empty letter for a
        // volume that gets none.
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QStringList>("volumes");
        QTest::addColumn<QString>("expected");

        const QStringList three = {"d user f 0 u", "e uuid:S1 r 48 s1", "f uuid:S2 r 1 s2",
                                   "g uuid:D f 0.5 dd"};
        QTest::newRow("fixed volume mounted at another folder")
            << QStringList{"e uuid:A f 48 old"} << QStringList{"uuid:A f new"} << "uuid:A=e";
        QTest::newRow("removable back at its own letter")
            << three << QStringList{"uuid:S1 r x"} << "uuid:S1=e";
        QTest::newRow("new removable: letter of the one removed last")
            << three << QStringList{"uuid:S3 r x"} << "uuid:S3=f";
        QTest::newRow("stick swapped for another between two readings")
            << QStringList{"e uuid:S1 r 3 s1", "f uuid:S2 r 0.9 s2 before", "g uuid:S4 r 0.5 s4"}
            << QStringList{"uuid:S3 r x"} << "uuid:S3=f";
        QTest::newRow("new fixed: next free letter")
            << three << QStringList{"uuid:D2 f x"} << "uuid:D2=h";
        QTest::newRow("new removable, none removed: next free letter")
            << QStringList{"d user f 0 u", "e uuid:D f 1 dd"} << QStringList{"uuid:S r x"}
            << "uuid:S=f";
        QTest::newRow("a volume with a letter is served first")
            << QStringList{"e uuid:S1 r 48 s1"} << QStringList{"uuid:S9 r x", "uuid:S1 r y"}
            << "uuid:S9=d uuid:S1=e";
        QTest::newRow("device and folder identities")
            << QStringList{"e device:/dev/sdz1 f 5 a", "f folder:%/b f 5 b"}
            << QStringList{"device:/dev/sdz1 f x", "folder:%/b f b"}
            << "device:/dev/sdz1=e folder:%/b=f";
        QTest::newRow("a folder the user listed is the user's drive")
            << QStringList{"d user f 0 u"} << QStringList{"uuid:U f u"} << "uuid:U=";

        QStringList full;
        for (char letter = 'd'; letter <= 'z'; ++letter) {
            const int hours = letter == 'k' ? 1000 : 10 + (letter - 'd');
            full << QStringLiteral("%1 uuid:V%1 f %2 v%1").arg(QChar(letter)).arg(hours);
        }
        QTest::newRow("every letter taken: the volume away longest gives its letter")
            << full << QStringList{"uuid:NEW r x"} << "uuid:NEW=k";
        QStringList users;
        for (char letter = 'd'; letter <= 'z'; ++letter)
            users << QStringLiteral("%1 user f 0 u%1").arg(QChar(letter));
        QTest::newRow("every letter the user's: none")
            << users << QStringList{"uuid:NEW r x"} << "uuid:NEW=";
    }

    void lettersFollowTheVolume()
    {
        QFETCH(QStringList, entries);
        QFETCH(QStringList, volumes);
        QFETCH(QString, expected);

        test::Fixture fixture;
        const QString root = QString::fromStdString(canonical(fixture.root()));
        const auto folder = [&](QString name) { return root + "/" + name.replace("%/", ""); };
        const std::int64_t now = 2000000000;
        std::set<std::string> before;
        for (const QString& line : entries) {
            const QStringList f = line.split(' ');
            const QString letter = f[0];
            fixture.setSetting("Drives", letter, folder(f[4]));
            if (f[1] == "user")
                continue;
            fixture.setSetting("Drives", letter + ".volume", QString(f[1]).replace("%", root));
            fixture.setSetting("Drives", letter + ".removable", f[2] == "r" ? "1" : "0");
            const auto seen =
                QDateTime::fromSecsSinceEpoch(now - qint64(f[3].toDouble() * 3600), Qt::UTC);
            fixture.setSetting("Drives", letter + ".seen", seen.toString(Qt::ISODate));
            if (f.size() > 5)
                before.insert(QString(f[1]).replace("%", root).toStdString());
        }
        std::vector<Volume> present;
        for (const QString& line : volumes) {
            const QStringList f = line.split(' ');
            Volume volume;
            volume.mountPoint = folder(f[2]).toStdString();
            QDir().mkpath(folder(f[2]));
            const QString identity = QString(f[0]).replace("%", root);
            if (identity.startsWith("uuid:"))
                volume.uuid = identity.mid(5).toStdString();
            else if (identity.startsWith("device:"))
                volume.device = identity.mid(7).toStdString();
            volume.removable = f[1] == "r";
            volume.driveType = volume.removable ? "DRIVE_REMOVABLE" : "DRIVE_FIXED";
            QCOMPARE(QString::fromStdString(volume.identity()), identity);
            present.push_back(volume);
        }

        auto settings = fixture.platform()->openSettings();
        DriveTable table(*settings, std::string(), present, now, before);
        for (const QString& pair : expected.split(' ')) {
            const QString identity = pair.section('=', 0, 0).replace("%", root);
            const QString letter = pair.section('=', 1);
            const auto volume = std::find_if(present.begin(), present.end(), [&](const Volume& v) {
                return v.identity() == identity.toStdString();
            });
            const std::vector<char> letters = table.letters();
            const auto held = std::find_if(letters.begin(), letters.end(), [&](char l) {
                return table.root(l) == volume->mountPoint && !table.volumeAbsent(l);
            });
            if (letter.isEmpty()) {
                // Nothing of the detection's own for it: a letter it has is the user's.
                QVERIFY(held == letters.end() ||
                        !fixture.setting("Drives", QString(QChar(*held)) + ".volume").isValid());
                continue;
            }
            QVERIFY2(held != letters.end(), qPrintable(identity));
            QCOMPARE(QString(QChar(*held)), letter);
            QCOMPARE(table.type(*held),
                     std::string(volume->removable ? "DRIVE_REMOVABLE" : "DRIVE_FIXED"));
            QCOMPARE(fixture.setting("Drives", letter).toString().toStdString(),
                     volume->mountPoint);
            QCOMPARE(fixture.setting("Drives", letter + ".volume").toString(), identity);
            QCOMPARE(fixture.setting("Drives", letter + ".seen").toString(),
                     QDateTime::fromSecsSinceEpoch(now, Qt::UTC).toString(Qt::ISODate));
        }
        // Every entry that found no volume stays, its drive not ready.
        for (const QString& line : entries) {
            const char letter = line[0].toLatin1();
            QVERIFY(!table.root(letter).empty());
            if (!expected.contains("=" + QString(QChar(letter))) && !line.contains(" user "))
                QVERIFY(table.volumeAbsent(letter));
        }
    }

    void timeOfLastSightIsWrittenSparingly()
    {
        test::Fixture fixture;
        const QString root = QString::fromStdString(canonical(fixture.root()));
        QDir(root).mkpath("a");
        const std::int64_t now = 2000000000;
        const auto stamp = [](std::int64_t seconds) {
            return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(Qt::ISODate);
        };
        const auto entry = [&](QChar letter, const QString& id, std::int64_t seen) {
            fixture.setSetting("Drives", letter, root + "/" + id);
            fixture.setSetting("Drives", QString(letter) + ".volume", "uuid:" + id);
            fixture.setSetting("Drives", QString(letter) + ".removable", "1");
            fixture.setSetting("Drives", QString(letter) + ".seen", stamp(seen));
        };
        entry('d', "a", now - 600);
        entry('e', "b", now - 7200);
        entry('f', "c", now - 7200);
        Volume a;
        a.mountPoint = (root + "/a").toStdString();
        a.uuid = "a";
        a.removable = true;
        a.driveType = "DRIVE_REMOVABLE";
        const QDateTime before = QFileInfo(fixture.settingsPath()).lastModified();
        {
            auto settings = fixture.platform()->openSettings();
            DriveTable table(*settings, std::string(), {a}, now);
        }
        // Seen ten minutes ago, and nothing else changed: the file stays as it is.
        QCOMPARE(QFileInfo(fixture.settingsPath()).lastModified(), before);
        QCOMPARE(fixture.setting("Drives", "d.seen").toString(), stamp(now - 600));

        // Present at the reading before and gone now: it was there until now.
        a.mountPoint = (root + "/a").toStdString();
        {
            auto settings = fixture.platform()->openSettings();
            DriveTable table(*settings, std::string(), {a}, now + 7200, {"uuid:a", "uuid:b"});
            QVERIFY(table.volumeAbsent('e'));
            QCOMPARE(table.presentVolumes(), (std::set<std::string>{"uuid:a"}));
        }
        QCOMPARE(fixture.setting("Drives", "d.seen").toString(), stamp(now + 7200));
        QCOMPARE(fixture.setting("Drives", "e.seen").toString(), stamp(now + 7200));
        QCOMPARE(fixture.setting("Drives", "f.seen").toString(), stamp(now - 7200));
    }

    // A medium that is away is named to the user with the label it was last seen with.
    void aVolumeAwayKeepsTheLabelLastSeen()
    {
        test::Fixture fixture;
        const QString root = QString::fromStdString(canonical(fixture.root()));
        QDir(root).mkpath("stick");
        Volume stick;
        stick.mountPoint = (root + "/stick").toStdString();
        stick.uuid = "1234-ABCD";
        stick.label = "KOPISTICK";
        stick.removable = true;
        stick.driveType = "DRIVE_REMOVABLE";
        const std::int64_t now = 2000000000;
        {
            auto settings = fixture.platform()->openSettings();
            DriveTable table(*settings, std::string(), {stick}, now);
            QCOMPARE(table.root('d'), stick.mountPoint);
            QCOMPARE(table.lastSeenLabel('d'), std::string("KOPISTICK"));
        }
        auto settings = fixture.platform()->openSettings();
        DriveTable table(*settings, std::string(), {}, now + 60, {stick.identity()});
        QVERIFY(table.volumeAbsent('d'));
        QCOMPARE(table.lastSeenLabel('d'), std::string("KOPISTICK"));
        // A label the user listed for the letter is the one the user knows it by.
        fixture.setSetting("Drives", "d.label", "Backup");
        auto again = fixture.platform()->openSettings();
        QCOMPARE(DriveTable(*again, std::string(), {}, now + 120).lastSeenLabel('d'),
                 std::string("Backup"));
    }

    void volumeKeepsItsLetterAtAnotherFolder()
    {
        test::Fixture fixture;
        QDir(fixture.root()).mkpath("first");
        QDir(fixture.root()).mkpath("second");
        const std::string first = canonical(fixture.root() + "/first");
        const std::string second = canonical(fixture.root() + "/second");
        const QString image = fixture.root() + "/disk.img";
        QString why;
        if (!test::ScratchMount::makeExt2Image(image, "KXEXT", why))
            QSKIP(qPrintable(why));
        char letter = 0;
        {
            test::ScratchMount mount;
            if (!mount.mountExt2(image, fixture.root() + "/first", why))
                QSKIP(qPrintable(why));
            LinuxPlatform platform;
            letter = letterOf(platform, first);
            QVERIFY(letter >= 'd');
            QCOMPARE(platform.driveType(letter), DriveType::Fixed);
            std::string label;
            SystemError error;
            QVERIFY(succeeded(platform.volumeLabel(letter), label, error));
            QCOMPARE(label, std::string("KXEXT"));
            // Its UUID, read from the file system itself where udev keeps no links.
            QVERIFY(fixture.setting("Drives", QString(QChar(letter)) + ".volume")
                        .toString()
                        .startsWith("uuid:"));
        }
        test::ScratchMount again;
        QVERIFY2(again.mountExt2(image, fixture.root() + "/second", why), qPrintable(why));
        LinuxPlatform platform;
        QCOMPARE(letterOf(platform, second), letter);
        QCOMPARE(fixture.setting("Drives", QString(QChar(letter))).toString().toStdString(),
                 second);
        again.release();
        // Gone again: the letter stays the volume's, and the folder left behind is not it.
        platform.reloadDrives();
        QCOMPARE(platform.nativePath(std::string(1, letter) + ":\\"), second);
        std::string label;
        SystemError error;
        QVERIFY(failed(platform.volumeLabel(letter), error));
        QCOMPARE(error.code, 21);
        FileInfo info;
        QVERIFY(failed(platform.fileStatus(std::string(1, letter) + ":\\"), error));
        QCOMPARE(error.code, 21);
        QCOMPARE(platform.freeSpace(letter), std::int64_t(-1));
    }

    void renamesTheVolumeItself_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("oldLabel");
        QTest::newRow("exFAT through FUSE") << "exfat"
                                            << "KXTEST";
        QTest::newRow("ext2") << "ext2"
                              << "KXEXT";
    }

    void renamesTheVolumeItself()
    {
        QFETCH(QString, kind);
        QFETCH(QString, oldLabel);
        test::Fixture fixture;
        QDir(fixture.root()).mkpath("medium");
        const std::string folder = canonical(fixture.root() + "/medium");
        const QString image = fixture.root() + "/medium.img";
        test::ScratchMount mount;
        QString why;
        const bool mounted = kind == "exfat"
                                 ? mount.mountExfat(image, fixture.root() + "/medium", why)
                                 : test::ScratchMount::makeExt2Image(image, oldLabel, why) &&
                                       mount.mountExt2(image, fixture.root() + "/medium", why);
        if (!mounted)
            QSKIP(qPrintable(why));

        LinuxPlatform platform;
        const char letter = letterOf(platform, folder);
        QVERIFY(letter >= 'd');
        QCOMPARE(QString::fromStdString(platform.fileSystemName(letter)), kind);
        std::string label;
        SystemError error;
        QVERIFY(succeeded(platform.volumeLabel(letter), label, error));
        QCOMPARE(QString::fromStdString(label), oldLabel);

        QVERIFY(platform.setVolumeLabel(letter, "Backup2"));
        QVERIFY(succeeded(platform.volumeLabel(letter), label, error));
        QCOMPARE(label, std::string("Backup2"));
        LinuxPlatform later;
        QVERIFY(succeeded(later.volumeLabel(letter), label, error));
        QCOMPARE(label, std::string("Backup2"));
        QVERIFY(!fixture.setting("Drives", QString(QChar(letter)) + ".label").isValid());
    }

private:
    QTemporaryDir m_noBus;
};

QTEST_GUILESS_MAIN(TestDriveTable)
#include "tst_drivetable.moc"
