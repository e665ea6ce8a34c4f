// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/VolumeProbe.h"

#include <blkid.h>

#include <cctype>
#include <dirent.h>
#include <sys/stat.h>

namespace kx {

namespace {

// udev writes unsafe bytes of a name as \xHH in the link's name.
std::string decodeUdevName(const std::string& name)
{
    std::string result;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            result += char(std::stoi(name.substr(i + 2, 2), nullptr, 16));
            i += 3;
            continue;
        }
        result += name[i];
    }
    return result;
}

bool blockDevice(const std::string& path, dev_t& device)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISBLK(st.st_mode))
        return false;
    device = st.st_rdev;
    return true;
}

// The name of the link in `folder` that points at the device; false when the folder is not
// there (no udev) or names no link to it.
bool linkNaming(const std::string& folder, dev_t device, std::string& name)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return false;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string link = entry->d_name;
        dev_t target = 0;
        if (link == "." || link == ".." || !blockDevice(folder + "/" + link, target) ||
            target != device)
            continue;
        name = decodeUdevName(link);
        found = true;
        break;
    }
    ::closedir(dir);
    return found;
}

bool probeSuperblock(const std::string& device, ProbedVolume& probed)
{
    blkid_probe probe = blkid_new_probe_from_filename(device.c_str());
    if (probe == nullptr)
        return false;
    blkid_probe_enable_superblocks(probe, 1);
    blkid_probe_set_superblocks_flags(probe,
                                      BLKID_SUBLKS_LABEL | BLKID_SUBLKS_UUID | BLKID_SUBLKS_TYPE);
    const bool found = blkid_do_safeprobe(probe) == 0;
    if (found) {
        const auto value = [probe](const char* name) {
            const char* data = nullptr;
            std::size_t size = 0;
            if (blkid_probe_lookup_value(probe, name, &data, &size) != 0 || data == nullptr)
                return std::string();
            return std::string(data);
        };
        probed.uuid = value("UUID");
        probed.label = value("LABEL");
        probed.fileSystem = value("TYPE");
    }
    blkid_free_probe(probe);
    return found;
}

} // namespace

ProbedVolume describeDevice(const std::string& device, bool readDevice)
{
    ProbedVolume probed;
    dev_t number = 0;
    if (!blockDevice(device, number))
        return probed;
    // The links need no access to the device itself, which a desktop user seldom has.
    if (linkNaming("/dev/disk/by-uuid", number, probed.uuid)) {
        linkNaming("/dev/disk/by-label", number, probed.label);
        return probed;
    }
    if (readDevice)
        probeSuperblock(device, probed);
    return probed;
}

bool readDeviceLabel(const std::string& device, std::string& label)
{
    ProbedVolume probed;
    if (probeSuperblock(device, probed)) {
        label = probed.label;
        return true;
    }
    dev_t number = 0;
    if (!blockDevice(device, number))
        return false;
    label.clear();
    linkNaming("/dev/disk/by-label", number, label);
    return true;
}

} // namespace kx
