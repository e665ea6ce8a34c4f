// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx {

// Writes the volume label entry in the root folder of an exFAT file system on a device. The
// file system's own tool refuses a device that is mounted, since the driver holds it for
// itself; the label entry is one that no driver rewrites behind a rename. False when the device
// holds no exFAT file system, the label is longer than its 11 characters, or the device cannot
// be written.
bool writeExfatLabel(const std::string& device, const std::string& label);

} // namespace kx
