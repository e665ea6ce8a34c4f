// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

/** The texts of the backup drive's choice, Dutch and English side by side. */
namespace kx::driveChoiceText {

// The drive list's entry for drive a: while it holds no floppy; the status line names it too.
inline constexpr Text noFloppyEntry{"a: [geen floppy]", "a: [no floppy]"};

} // namespace kx::driveChoiceText
