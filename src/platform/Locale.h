// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx {

/** The user's locale and the name of the computer, as the texts speak of them. */
class Locale
{
public:
    virtual ~Locale() = default;

    /** The user's locale name, for example "nl_BE". */
    virtual std::string localeName() = 0;
    virtual char decimalSeparator() = 0;
    virtual std::string computerName() = 0;
};

} // namespace kx
