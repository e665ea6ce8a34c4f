// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Drives.h"

#include <string>

namespace kx {

/** A drive as a person finds it: its letter, its label in brackets where it has one, and the
 *  folder it stands for where the system writes paths of its own ("e: (KOPISTICK)
 *  /media/anna/KOPISTICK"). A medium that is away keeps the folder it was last mounted at. */
std::string driveDescription(Drives& drives, char letter);

} // namespace kx
