// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace kx {

/**
 * The system's mounts as a watch sees them: it hears of each change, and asks whether the
 * Backup drive's medium was mounted by it.
 */
class MediumMounts
{
public:
    virtual ~MediumMounts() = default;

    /** Calls `changed` from the event loop of this thread each time the mounts have changed. */
    virtual void onChange(std::function<void()> changed) = 0;
    /** Whether the folder (a native path) lies on a mount that the last change made: its
     *  medium has just been mounted. An unmount that uncovers an older mount, or a mount
     *  elsewhere, is no new mount of the folder. */
    virtual bool newlyMounted(const std::string& folder) = 0;
};

/** The mounts of the system the program was built for. */
std::unique_ptr<MediumMounts> createMediumMounts();

} // namespace kx
