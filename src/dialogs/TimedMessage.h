// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QRect>
#include <QString>

class QFrame;
class QPlainTextEdit;
class QTimer;

namespace kx {

/**
 * A borderless message of one or two lines that closes itself after a set time. Create it
 * once and reuse it.
 */
class TimedMessage : public QDialog
{
    Q_OBJECT
public:
    explicit TimedMessage(QWidget* parent = nullptr);

    /**
     * Shows `line1` and `line2` (an empty text adds no line) modally and returns once the
     * window has closed itself, `intervalMs` milliseconds later. Window events keep running
     * meanwhile. The window is centred on `centreOn`; an empty one centres it on the parent
     * window, or on the screen without one.
     */
    void showTimed(const QString& line1, const QString& line2, int intervalMs,
                   const QRect& centreOn = QRect());

    /** Esc does not shorten the time: the message closes only by itself. */
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void timeOut();

    QFrame* m_frame;
    QPlainTextEdit* m_message;
    QTimer* m_timer;
    QRect m_centreOn;
};

} // namespace kx
