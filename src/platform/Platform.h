// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Clock.h"
#include "platform/DataStore.h"
#include "platform/Drives.h"
#include "platform/Files.h"
#include "platform/Locale.h"

#include <memory>

namespace kx {

/**
 * Everything the program needs of the operating system: the parts an implementation provides
 * together. Code that needs one or two of them takes those; the windows, the command line and
 * the application take the whole.
 */
class Platform : public Drives, public Files, public DataStore, public Clock, public Locale
{
};

/** The platform of the system the program was built for (the build picks its implementation). */
std::unique_ptr<Platform> createPlatform();

/** Whether the windows can be shown: a display server to connect to, or a window system that
 *  needs none (such as the offscreen one). Asked before the windows' application exists. */
bool displayAvailable();

} // namespace kx
