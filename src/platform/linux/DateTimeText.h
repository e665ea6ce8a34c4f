// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

namespace kx::datetext {

/** The form of a date-time text. */
enum class Year
{
    AsTheLocaleWrites, // the locale's short date as it stands ("12/11/26")
    FourDigits         // its year widened to four digits ("12/11/2026")
};

/** A date-time (days since 30 December 1899) in the locale's short date and long time format,
 *  the time without its zone; midnight precisely shows the date alone. */
QString dateTimeText(double dateTime, const QLocale& locale, Year year);

/** The locale's short date format with a year of two digits ("yy") widened to four. */
QString shortDateFormat(const QLocale& locale, Year year);

} // namespace kx::datetext
