// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

namespace kx::test {

/** What became of a stop question whose run ended on its own while it was open. */
struct StopQuestionWatch
{
    bool asked = false;    // the question showed
    bool answered = false; // it was still open seconds after its run had ended, and got No
};

/**
 * Waits for the next yes/no question, then lets its run end with `endRun` (a gate opened, a
 * flag set). A question still open five seconds later is answered No, so that a failing test
 * ends; `watch` says which way it went. Nothing asked within ten seconds: the watch ends.
 */
inline void endRunWhileAsked(std::function<void()> endRun, StopQuestionWatch* watch)
{
    auto* poll = new QTimer;
    auto started = std::make_shared<QElapsedTimer>();
    auto asked = std::make_shared<QElapsedTimer>();
    started->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QWidget* dialog = QApplication::activeModalWidget();
        const bool open = dialog && dialog->objectName() == QLatin1String("YesNoDlg");
        if (!watch->asked) {
            if (open) {
                watch->asked = true;
                asked->start();
                endRun();
            } else if (started->elapsed() > 10000) {
                poll->deleteLater();
            }
            return;
        }
        if (!open) {
            poll->deleteLater();
        } else if (asked->elapsed() > 5000) {
            watch->answered = true;
            if (auto* no = dialog->findChild<QPushButton*>(QStringLiteral("NeeBtn")))
                no->click();
            poll->deleteLater();
        }
    });
    poll->start(20);
}

} // namespace kx::test
