// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/ForwardingPlatform.h"

namespace kx::test {

/** A platform whose drives stand empty when their medium is away, as a CD drive or a floppy
 *  drive does on a system that does not mount media. */
class EmptyDrives : public ForwardingPlatform
{
public:
    using ForwardingPlatform::ForwardingPlatform;
    bool mediumNotMounted(char, std::string& label) override
    {
        label.clear();
        return false;
    }
};

} // namespace kx::test
