// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QtTest>

namespace kx::test {

/**
 * Answers the next question of the program's yes/no window with the named button, and keeps its
 * text when asked. A window without that button is closed and fails the test, so that the test
 * ends instead of waiting for an answer that never comes.
 */
inline void answerNextQuestion(const QString& button, QString* question = nullptr)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, button, question] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || dialog->objectName() != QLatin1String("YesNoDlg"))
            return;
        if (question)
            *question = dialog->findChild<QPlainTextEdit*>()->toPlainText();
        if (auto* b = dialog->findChild<QPushButton*>(button)) {
            b->click();
        } else {
            QTest::qFail(qPrintable(QStringLiteral("the question has no button ") + button),
                         __FILE__, __LINE__);
            dialog->close();
        }
        poll->deleteLater();
    });
    poll->start(20);
}

/** The texts of the list's lines, top to bottom. */
inline QStringList listLines(const QListWidget* list)
{
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

/** Clicks the one line of the list that reads `text`, with the keys `modifiers` held; false
 *  when the list does not have exactly one such line. */
[[nodiscard]] inline bool clickLine(QListWidget* list, const QString& text,
                                    Qt::KeyboardModifiers modifiers = {})
{
    const auto items = list->findItems(text, Qt::MatchExactly);
    if (items.size() != 1) {
        qWarning("%lld lines read \"%s\"", qlonglong(items.size()), qPrintable(text));
        return false;
    }
    list->scrollToItem(items[0]);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers,
                      list->visualItemRect(items[0]).center());
    return true;
}

} // namespace kx::test
