// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/TimedMessage.h"

#include "dialogs/DialogHelpers.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QTimer>

namespace kx {

namespace {

constexpr int kMessageLeft = 20;
constexpr int kMessageTop = 18;
constexpr int kMessageWidth = 309;

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

    m_message = makeMessageMemo(m_frame);
    m_message->setGeometry(kMessageLeft, kMessageTop, kMessageWidth, 0);

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

    // Counted as shown: a long line that wraps takes the room of two.
    const int lineCount =
        lines.isEmpty() ? 0 : wrappedLineCount(m_message->font(), kMessageWidth, lines);
    const int messageHeight = (lineCount + 1) * lineStep(m_message->font());
    m_message->resize(kMessageWidth, messageHeight);
    setFixedSize(kMessageWidth + 2 * kMessageLeft, messageHeight + 50);
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
