#pragma once

#include "support/Language.h"

/** The texts about a running operation that every window shares, Dutch and English side by side. */
namespace kx::runtext {

// The question before Esc or closing a window stops its running operation.
inline constexpr Text stopQuestion{"De lopende bewerking stoppen?", "Stop the running operation?"};

} // namespace kx::runtext
