// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Language.h"

namespace kx {

Language languageOf(const std::string& languageCode)
{
    return languageCode == "nld" ? Language::Dutch : Language::English;
}

} // namespace kx
