// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TimedMessage.h"

#include "dialogs/DialogHelpers.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QTimer>

namespace kx {

namespace {

// Sizes at the usual font; each grows with the window's font.
constexpr int kMessageLeft = 20;
constexpr int kMessageTop = 18;
constexpr int kMessageWidth = 309;
constexpr int kBelowMessage = 32;

} // namespace

TimedMessage::TimedMessage(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("MessageForm"));
    setFont(dialogFont());

    m_frame = new QFrame(this);
    m_frame->setObjectName(QStringLiteral("MessagePanel"));
    m_frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_frame->setLineWidth(2);
    m_frame->setFocusPolicy(Qt::StrongFocus);

    m_message = makeMessageText(m_frame);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer"));
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &TimedMessage::timeOut);
}

void TimedMessage::showTimed(const QString& line1, const QString& line2, int intervalMs,
                             const QRect& centreOn)
{
    m_centreOn = centreOn;
    QStringList lines;
    if (!line1.isEmpty())
        lines << line1;
    if (!line2.isEmpty())
        lines << line2;
    m_message->setPlainText(lines.join(QLatin1Char('\n')));

    // The lines as shown, a long one wrapped, and one line to spare; measured in the window's
    // own font, whose size also grows the margins.
    const QFont& shownFont = font();
    const int messageWidth = grownSize(kMessageWidth, shownFont);
    const int messageHeight =
        wrappedTextHeight(shownFont, messageWidth, lines) + lineStep(shownFont);
    m_message->setGeometry(grownSize(kMessageLeft, shownFont), grownSize(kMessageTop, shownFont),
                           messageWidth, messageHeight);
    setFixedSize(messageWidth + 2 * m_message->x(),
                 m_message->y() + messageHeight + grownSize(kBelowMessage, shownFont));
    m_frame->setGeometry(rect());
    centreWindow(this, m_centreOn);

    m_timer->setInterval(qMax(intervalMs, 0));
    exec();
}

void TimedMessage::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreWindow(this, m_centreOn);
    m_timer->start();
    m_frame->setFocus();
}

void TimedMessage::reject() {}

void TimedMessage::timeOut()
{
    m_timer->stop();
    done(QDialog::Accepted);
}

} // namespace kx
