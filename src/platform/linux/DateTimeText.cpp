// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/DateTimeText.h"

#include <QDate>
#include <QTime>

#include <cmath>

namespace kx::datetext {

namespace {

// The long time format without the zone: times are shown as the clock on the wall reads them.
QString timeFormatWithoutZone(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        result += c;
    }
    return result.trimmed();
}

} // namespace

QString shortDateFormat(const QLocale& locale, Year year)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    if (year == Year::AsTheLocaleWrites)
        return format;
    // A year of two digits reads as a day or a month in many short forms ("12/11/26"); quoted
    // text is left as it is.
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            result += c;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == c)
            ++run;
        if (!quoted && c == QLatin1Char('y') && run == 2)
            result += QStringLiteral("yyyy");
        else
            result += format.mid(i, run);
        i += run;
    }
    return result;
}

QString dateTimeText(double dateTime, const QLocale& locale, Year year)
{
    double whole = 0;
    const double fraction = std::modf(dateTime, &whole);
    const QDate date = QDate(1899, 12, 30).addDays(qint64(whole));
    qint64 ms = std::llround(std::fabs(fraction) * 86400000.0);
    if (ms >= 86400000)
        ms = 86399999;
    QString text = locale.toString(date, shortDateFormat(locale, year));
    // Midnight precisely shows the date alone, as the framework's date-time text does.
    if (ms != 0) {
        text += QLatin1Char(' ');
        text += locale.toString(QTime::fromMSecsSinceStartOfDay(int(ms)),
                                timeFormatWithoutZone(locale));
    }
    return text;
}

} // namespace kx::datetext
