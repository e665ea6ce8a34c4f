// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/VolumeSource.h"

#include "platform/linux/ExfatLabel.h"
#include "platform/linux/VolumeProbe.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <algorithm>
#include <set>

#include <sys/stat.h>

namespace kx {

namespace {

constexpr int kToolTimeoutMs = 30000;

bool isBlockDevice(const std::string& path)
{
    struct stat st;
    return path.compare(0, 5, "/dev/") == 0 && ::stat(path.c_str(), &st) == 0 &&
           S_ISBLK(st.st_mode);
}

// The file system's own renaming tool; empty for a kind that has none here.
QString labelTool(const std::string& fileSystem)
{
    if (fileSystem == "exfat")
        return QStringLiteral("exfatlabel");
    if (fileSystem == "vfat")
        return QStringLiteral("fatlabel");
    if (fileSystem == "ext2" || fileSystem == "ext3" || fileSystem == "ext4")
        return QStringLiteral("e2label");
    return QString();
}

bool runTool(const QString& tool, const QStringList& arguments)
{
    // The tools live in the administrator's folders, which a desktop user's PATH leaves out.
    QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(
            tool, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (program.isEmpty())
        return false;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Files mounted over files (a container's /etc/hosts) are no drives: their devices are not
// asked. A network share is not asked either: a server that is away would stall the start.
bool mayBeDrive(const MountEntry& mount)
{
    struct stat st;
    return driveTypeOfMount(mount) == "DRIVE_REMOTE" ||
           (::stat(mount.mountPoint.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

} // namespace

Volume volumeOfMount(const MountEntry& mount, const std::string& sysfs)
{
    Volume volume;
    volume.mountPoint = mount.mountPoint;
    volume.fileSystem = fileSystemNameOfMount(mount);
    volume.driveType = driveTypeOfMount(mount, sysfs);
    // A disc is swapped like a stick: the next one takes the drive's letter.
    volume.removable = volume.driveType == "DRIVE_REMOVABLE" || volume.driveType == "DRIVE_CDROM";
    if (isBlockDevice(mount.source)) {
        volume.device = mount.source;
        // The system's disk is `c:` whatever its identity: it is not read for a label alone.
        const ProbedVolume probed = describeDevice(mount.source, mount.mountPoint != "/");
        volume.uuid = probed.uuid;
        volume.label = probed.label;
    }
    return volume;
}

std::vector<Volume> volumesOfMounts(const std::vector<MountEntry>& mounts, const std::string& sysfs)
{
    std::vector<Volume> volumes;
    for (const MountEntry& mount : mounts) {
        if (holdsUserData(mount) && mayBeDrive(mount))
            volumes.push_back(volumeOfMount(mount, sysfs));
    }
    return volumes;
}

VolumeSource::VolumeSource(std::string sysfs) : m_sysfs(std::move(sysfs)) {}

std::vector<Volume> VolumeSource::volumes(const std::vector<MountEntry>& mounts)
{
    std::vector<Volume> known;
    if (!m_service.mountedVolumes(known))
        return volumesOfMounts(mounts, m_sysfs);
    std::vector<Volume> volumes;
    std::set<std::string> used;
    for (const MountEntry& mount : mounts) {
        if (!holdsUserData(mount) || !mayBeDrive(mount))
            continue;
        auto it = std::find_if(known.begin(), known.end(), [&](const Volume& volume) {
            return volume.mountPoint == mount.mountPoint;
        });
        // A RAM disk or a network share is no block device: the service does not list it.
        if (it == known.end()) {
            volumes.push_back(volumeOfMount(mount, m_sysfs));
            continue;
        }
        used.insert(it->mountPoint);
        volumes.push_back(*it);
    }
    for (const Volume& volume : known) {
        if (used.count(volume.mountPoint) == 0)
            volumes.push_back(volume);
    }
    return volumes;
}

bool VolumeSource::setLabel(Volume& volume, const std::string& label)
{
    if (!volume.serviceObject.empty()) {
        if (!m_service.setLabel(volume.serviceObject, label))
            return false;
        std::vector<Volume> now;
        if (m_service.mountedVolumes(now)) {
            for (const Volume& fresh : now) {
                if (fresh.serviceObject == volume.serviceObject)
                    volume.label = fresh.label;
            }
        }
        return true;
    }
    const QString tool = labelTool(volume.fileSystem);
    if (volume.device.empty() || tool.isEmpty())
        return false;
    if (!runTool(tool, {QString::fromStdString(volume.device), QString::fromStdString(label)}) &&
        (volume.fileSystem != "exfat" || !writeExfatLabel(volume.device, label)))
        return false;
    std::string fresh;
    if (readDeviceLabel(volume.device, fresh))
        volume.label = fresh;
    return true;
}

} // namespace kx
