// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/SplashWindow.h"

#include "dialogs/DialogHelpers.h"
#include "dialogs/DialogText.h"
#include "dialogs/Help.h"
#include "dialogs/UiText.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace kx {

namespace {

constexpr int kClientWidth = 417;
constexpr int kClientHeight = 293;
constexpr int kLabelHeight = 27;
constexpr int kPictureWidth = 400;
constexpr int kPictureHeight = 250;

// A folder of papers on the left, copied along an arrow onto a backup medium on the right.
QPixmap splashPicture()
{
    QPixmap picture(kPictureWidth, kPictureHeight);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, kPictureHeight);
    sky.setColorAt(0, QColor(0x1f, 0x4e, 0x79));
    sky.setColorAt(1, QColor(0x6f, 0xa8, 0xdc));
    p.fillRect(picture.rect(), sky);

    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 14, kPictureWidth, 50), Qt::AlignCenter, productName());

    // The folder with two papers sticking out.
    p.setPen(QPen(QColor(0x8a, 0x6d, 0x1e), 2));
    p.setBrush(QColor(0xf4, 0xf1, 0xe8));
    p.drawRect(QRectF(62, 92, 70, 56));
    p.drawRect(QRectF(72, 84, 70, 56));
    QPainterPath folder;
    folder.moveTo(50, 110);
    folder.lineTo(50, 196);
    folder.lineTo(150, 196);
    folder.lineTo(150, 118);
    folder.lineTo(96, 118);
    folder.lineTo(88, 110);
    folder.closeSubpath();
    p.setBrush(QColor(0xf2, 0xc2, 0x4b));
    p.drawPath(folder);

    // The arrow of the copy.
    p.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap));
    QPainterPath arc;
    arc.moveTo(160, 140);
    arc.cubicTo(190, 100, 220, 100, 246, 136);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF{QPointF(232, 140), QPointF(258, 152), QPointF(256, 124)});

    // The backup medium: a drive with its light.
    p.setPen(QPen(QColor(0x2b, 0x2b, 0x2b), 2));
    QLinearGradient metal(0, 112, 0, 196);
    metal.setColorAt(0, QColor(0xe6, 0xe9, 0xed));
    metal.setColorAt(1, QColor(0x9a, 0xa3, 0xad));
    p.setBrush(metal);
    p.drawRoundedRect(QRectF(268, 118, 96, 76), 10, 10);
    p.setBrush(QColor(0x4c, 0xd9, 0x64));
    p.drawEllipse(QPointF(346, 178), 5, 5);
    p.setPen(QPen(QColor(0x5a, 0x63, 0x6d), 2));
    for (int y = 136; y <= 160; y += 8)
        p.drawLine(QPointF(282, y), QPointF(350, y));
    return picture;
}

} // namespace

SplashWindow::SplashWindow(const QString& languageCode, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setHelpContext(this, helpcontext::Splash);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Bevel1"));
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setGeometry(0, 0, kClientWidth, kClientHeight - kLabelHeight);

    m_pictureFrame = new QFrame(this);
    m_pictureFrame->setObjectName(QStringLiteral("Panel"));
    m_pictureFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pictureFrame->setFocusPolicy(Qt::StrongFocus);
    m_pictureFrame->setGeometry(6, 6, 405, 256);
    setHelpContext(m_pictureFrame, helpcontext::Splash);

    m_picture = new QLabel(m_pictureFrame);
    m_picture->setObjectName(QStringLiteral("Image"));
    m_picture->setScaledContents(true);
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setPixmap(splashPicture());
    m_picture->setGeometry(3, 4, kPictureWidth, kPictureHeight);
    m_picture->installEventFilter(this);

    m_reminder = new QLabel(uiText(uiLanguage(languageCode), text::makeBackupsRegularly), this);
    m_reminder->setObjectName(QStringLiteral("VLabel"));
    m_reminder->setAlignment(Qt::AlignCenter);

    m_closeTimer = new QTimer(this);
    m_closeTimer->setObjectName(QStringLiteral("Timer1"));
    m_closeTimer->setInterval(4000);
    connect(m_closeTimer, &QTimer::timeout, this, &SplashWindow::closeSplash);

    setFont(dialogFont());
    layOutReminder();
}

void SplashWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange && m_reminder)
        layOutReminder();
}

void SplashWindow::layOutReminder()
{
    // The picture keeps its pixels; the reminder line below it is as high as its font needs.
    const int height = qMax(kLabelHeight, m_reminder->sizeHint().height());
    const int width = qMax(kClientWidth, m_reminder->sizeHint().width());
    m_reminder->setGeometry(0, kClientHeight - kLabelHeight, width, height);
    setFixedSize(width, kClientHeight - kLabelHeight + height);
}

void SplashWindow::showSplash()
{
    // The main window does not exist yet: the screen is all there is to centre on.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(centredTopLeft(screen->availableGeometry(), size()));
    show();
    m_pictureFrame->setFocus();
    // Raised once: it stays on top by its window flag, so windows the program opens meanwhile
    // do not cover it.
    raise();
    repaint();
    m_closeTimer->start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_picture && event->type() == QEvent::MouseButtonRelease &&
        m_picture->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        closeSplash();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SplashWindow::closeSplash()
{
    m_closeTimer->stop();
    close();
}

bool SplashWindow::wanted(const QString& programPath)
{
    return programPath.size() < 64 && !programPath.contains(QLatin1String(".DCL"));
}

SplashWindow* SplashWindow::showAtStart(const QString& languageCode, const QString& programPath)
{
    if (!wanted(programPath))
        return nullptr;
    auto* splash = new SplashWindow(languageCode);
    splash->showSplash();
    return splash;
}

} // namespace kx
