// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace kx {

/** The user's locale and the facts of the computer the texts speak of. */
class Locale
{
public:
    virtual ~Locale() = default;

    /** The user's locale name, for example "nl_BE". */
    virtual std::string localeName() = 0;
    virtual char decimalSeparator() = 0;
    /** A date-time in the user's short date and long time format. */
    virtual std::string formatDateTime(double dateTime) = 0;
    /** A date-time as the windows show it: the user's short date with its year in four digits,
     *  and the long time. */
    virtual std::string formatWindowDateTime(double dateTime) { return formatDateTime(dateTime); }
    virtual std::string computerName() = 0;
};

} // namespace kx
