// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/DialogHelpers.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPair>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QString>
#include <QStringList>
#include <QStyle>
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

/** Whether a button's caption, with its check box or icon, fits the button. */
inline bool showsWholeText(const QAbstractButton* button)
{
    if (button->text().isEmpty())
        return true;
    if (qobject_cast<const QPushButton*>(button) == nullptr)
        return button->sizeHint().width() <= button->width() &&
               button->fontMetrics().height() <= button->height();
    const QFontMetrics metrics = button->fontMetrics();
    QString caption = button->text();
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    const int icon = button->icon().isNull() ? 0 : button->iconSize().width() + 4;
    return metrics.horizontalAdvance(caption) + icon + margin <= button->width() &&
           metrics.height() <= button->height();
}

/** Whether `widget` is one of a window's controls: a text, a button, a list, an entry field. */
inline bool isControl(const QWidget* widget)
{
    return qobject_cast<const QLabel*>(widget) || qobject_cast<const QAbstractButton*>(widget) ||
           qobject_cast<const QComboBox*>(widget) || qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QAbstractScrollArea*>(widget) ||
           qobject_cast<const QProgressBar*>(widget);
}

/**
 * What of `window` does not show whole, one line each: a label's text reaching over its label,
 * a caption wider or taller than its button, a message that needs a scroll bar, a control
 * reaching outside its window, two controls side by side that overlap.
 */
inline QStringList fitProblems(const QWidget* window)
{
    QStringList problems;
    auto name = [](const QWidget* widget) {
        return widget->objectName().isEmpty()
                   ? QString::fromLatin1(widget->metaObject()->className())
                   : widget->objectName();
    };
    QList<const QWidget*> shown;
    for (const QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) || widget->isWindow() || !isControl(widget) ||
            qobject_cast<const QAbstractScrollArea*>(widget->parentWidget()) ||
            qobject_cast<const QAbstractScrollArea*>(widget->parentWidget()->parentWidget()))
            continue;
        shown << widget;
        const QRect place(widget->mapTo(window, QPoint(0, 0)), widget->size());
        if (!window->rect().contains(place))
            problems << name(widget) + QStringLiteral(" reaches outside the window");
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            if (label->textFormat() != Qt::RichText && !showsWholeText(label))
                problems << name(label) + QStringLiteral(" cuts \"") + label->text() +
                                QStringLiteral("\"");
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            if (!showsWholeText(button))
                problems << name(button) + QStringLiteral(" cuts \"") + button->text() +
                                QStringLiteral("\"");
        } else if (const auto* shown = qobject_cast<const QPlainTextEdit*>(widget)) {
            // Wrapped, a message may only grow downwards.
            if (shown->objectName() == QLatin1String("MessageMemo") &&
                shown->verticalScrollBar()->maximum() > 0)
                problems << name(shown) + QStringLiteral(" needs a scroll bar for its text");
        }
    }
    for (qsizetype i = 0; i < shown.size(); ++i) {
        for (qsizetype j = i + 1; j < shown.size(); ++j) {
            if (shown[i]->parentWidget() == shown[j]->parentWidget() &&
                shown[i]->geometry().intersects(shown[j]->geometry()))
                problems << name(shown[i]) + QStringLiteral(" overlaps ") + name(shown[j]);
        }
    }
    return problems;
}

} // namespace kx::test
