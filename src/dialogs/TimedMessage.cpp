#include "dialogs/TimedMessage.h"

#include "dialogs/DialogHelpers.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QTimer>

namespace kx {

namespace {

constexpr int kMemoLeft = 20;
constexpr int kMemoTop = 18;
constexpr int kMemoWidth = 309;

} // namespace

TimedMessage::TimedMessage(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("MessageForm"));
    setFont(dialogFont());

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("MessagePanel"));
    m_panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel->setLineWidth(2);
    m_panel->setFocusPolicy(Qt::StrongFocus);

    m_memo = makeMessageMemo(m_panel);
    m_memo->setGeometry(kMemoLeft, kMemoTop, kMemoWidth, 0);

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
    m_memo->setPlainText(lines.join(QLatin1Char('\n')));

    // Counted as shown: a long line that wraps takes the room of two.
    const int lineCount = lines.isEmpty() ? 0 : wrappedLineCount(m_memo->font(), kMemoWidth, lines);
    const int memoHeight = (lineCount + 1) * lineStep(m_memo->font());
    m_memo->resize(kMemoWidth, memoHeight);
    setFixedSize(kMemoWidth + 2 * kMemoLeft, memoHeight + 50);
    m_panel->setGeometry(rect());
    centreWindow(this, m_centreOn);

    m_timer->setInterval(qMax(intervalMs, 0));
    exec();
}

void TimedMessage::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    centreWindow(this, m_centreOn);
    m_timer->start();
    m_panel->setFocus();
}

void TimedMessage::reject() {}

void TimedMessage::timeOut()
{
    m_timer->stop();
    done(QDialog::Accepted);
}

} // namespace kx
