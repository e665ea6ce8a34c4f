// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/DialogHelpers.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QList>
#include <QPair>
#include <QString>
#include <QTest>

#include <utility>

namespace kx::test {

/**
 * The fonts the windows must show their texts in whole: the program's own at its usual size,
 * and larger ones, also of the desktop's family. Whichever fonts the machine has, the larger
 * ones are larger where it counts (see their line heights).
 */
inline QList<QPair<QString, QFont>> testFonts()
{
    QFont larger = dialogFont();
    larger.setPointSize(15);
    QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    desktop.setPointSize(13);
    return {{QStringLiteral("usual font"), dialogFont()},
            {QStringLiteral("larger font"), larger},
            {QStringLiteral("larger desktop font"), desktop}};
}

/** The rows of a window's text test: each language with each of the test fonts, in the
 *  columns "language" (its code) and "font". */
inline void addLanguageAndFontRows()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QFont>("font");
    for (const auto& [language, code] : {std::pair{"Dutch", "nld"}, std::pair{"English", ""}}) {
        for (const auto& [fontName, font] : testFonts())
            QTest::addRow("%s, %s", language, qPrintable(fontName))
                << QString::fromLatin1(code) << font;
    }
}

/** Whether a label's text, laid out as the label draws it, lies wholly inside the label. */
inline bool showsWholeText(const QLabel* label)
{
    const QRect room = label->contentsRect();
    int flags = int(label->alignment());
    if (label->wordWrap())
        flags |= Qt::TextWordWrap;
    return room.contains(label->fontMetrics().boundingRect(room, flags, label->text()));
}

} // namespace kx::test
