// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/ExfatLabel.h"

#include <QString>

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace kx {

namespace {

constexpr std::size_t kEntrySize = 32;
constexpr std::size_t kMaxLabelLength = 11;
constexpr unsigned char kLabelInUse = 0x83;
constexpr unsigned char kLabelUnused = 0x03;
constexpr unsigned char kEndOfFolder = 0x00;
constexpr std::uint32_t kFirstCluster = 2;

std::uint32_t le32(const unsigned char* bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

bool readAt(int fd, void* buffer, std::size_t size, std::uint64_t offset)
{
    return ::pread(fd, buffer, size, off_t(offset)) == ssize_t(size);
}

// The place of the label entry in the root folder, or else of its end, where one can go.
bool findLabelEntry(int fd, std::uint64_t& place)
{
    std::array<unsigned char, 512> boot{};
    if (!readAt(fd, boot.data(), boot.size(), 0) ||
        std::memcmp(boot.data() + 3, "EXFAT   ", 8) != 0)
        return false;
    const std::uint32_t fatOffset = le32(&boot[80]);
    const std::uint32_t heapOffset = le32(&boot[88]);
    const std::uint32_t clusterCount = le32(&boot[92]);
    std::uint32_t cluster = le32(&boot[96]);
    const unsigned sectorShift = boot[108];
    const unsigned clusterShift = boot[109];
    if (sectorShift < 9 || sectorShift > 12 || sectorShift + clusterShift > 25)
        return false;
    const std::uint64_t clusterSize = std::uint64_t(1) << (sectorShift + clusterShift);
    std::vector<unsigned char> data(clusterSize);
    bool haveEnd = false;
    // The chain is followed at most once round: a damaged table must not hold the rename.
    for (std::uint32_t step = 0;
         step < clusterCount && cluster >= kFirstCluster && cluster < clusterCount + kFirstCluster;
         ++step) {
        const std::uint64_t start = (std::uint64_t(heapOffset) << sectorShift) +
                                    std::uint64_t(cluster - kFirstCluster) * clusterSize;
        if (!readAt(fd, data.data(), data.size(), start))
            return false;
        for (std::size_t i = 0; i < data.size(); i += kEntrySize) {
            if (data[i] == kLabelInUse || data[i] == kLabelUnused) {
                place = start + i;
                return true;
            }
            if (data[i] == kEndOfFolder) {
                place = start + i;
                haveEnd = true;
                break;
            }
        }
        if (haveEnd)
            return true;
        std::array<unsigned char, 4> next{};
        if (!readAt(fd, next.data(), next.size(),
                    (std::uint64_t(fatOffset) << sectorShift) + std::uint64_t(cluster) * 4))
            return false;
        cluster = le32(next.data());
    }
    return false;
}

} // namespace

bool writeExfatLabel(const std::string& device, const std::string& label)
{
    const std::u16string name = QString::fromStdString(label).toStdU16String();
    if (name.size() > kMaxLabelLength)
        return false;
    std::array<unsigned char, kEntrySize> entry{};
    entry[0] = name.empty() ? kLabelUnused : kLabelInUse;
    entry[1] = static_cast<unsigned char>(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        entry[2 + 2 * i] = static_cast<unsigned char>(name[i] & 0xff);
        entry[3 + 2 * i] = static_cast<unsigned char>(name[i] >> 8);
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::uint64_t place = 0;
    bool written = findLabelEntry(fd, place) &&
                   ::pwrite(fd, entry.data(), entry.size(), off_t(place)) == ssize_t(entry.size());
    written = ::fsync(fd) == 0 && written;
    ::close(fd);
    return written;
}

} // namespace kx
