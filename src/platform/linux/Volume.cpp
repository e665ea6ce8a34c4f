// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/Volume.h"

namespace kx {

std::string Volume::identity() const
{
    if (!uuid.empty())
        return "uuid:" + uuid;
    if (!device.empty())
        return "device:" + device;
    return "folder:" + mountPoint;
}

} // namespace kx
