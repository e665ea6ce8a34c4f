#include "dialogs/SplashForm.h"

#include "dialogs/DialogHelpers.h"
#include "dialogs/Help.h"

#include <QApplication>
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
    p.drawText(QRect(0, 14, kPictureWidth, 50), Qt::AlignCenter, QString::fromLatin1(kProductName));

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

TSplashForm::TSplashForm(const QString& languageCode, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(DialogFont());
    setFixedSize(kClientWidth, kClientHeight);
    SetHelpContext(this, helpcontext::Splash);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Bevel1"));
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setGeometry(0, 0, kClientWidth, kClientHeight - kLabelHeight);

    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel"));
    m_panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel->setFocusPolicy(Qt::StrongFocus);
    m_panel->setGeometry(6, 6, 405, 256);
    SetHelpContext(m_panel, helpcontext::Splash);

    m_image = new QLabel(m_panel);
    m_image->setObjectName(QStringLiteral("Image"));
    m_image->setScaledContents(true);
    m_image->setAlignment(Qt::AlignCenter);
    m_image->setPixmap(splashPicture());
    m_image->setGeometry(3, 4, kPictureWidth, kPictureHeight);
    m_image->installEventFilter(this);

    auto* reminder =
        new QLabel(NlEn(languageCode, "Maak regelmatig Backups!", "Make Backups Regurally"), this);
    reminder->setObjectName(QStringLiteral("VLabel"));
    reminder->setAlignment(Qt::AlignCenter);
    reminder->setGeometry(0, kClientHeight - kLabelHeight, kClientWidth, kLabelHeight);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(4000);
    connect(m_timer1, &QTimer::timeout, this, &TSplashForm::Timer1Timer);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(1);
    connect(m_timer2, &QTimer::timeout, this, &TSplashForm::Timer2Timer);
}

void TSplashForm::ShowSplash()
{
    // The main window does not exist yet: the screen is all there is to centre on.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(CentredTopLeft(screen->availableGeometry(), size()));
    show();
    m_panel->setFocus();
    repaint();
    m_timer1->start();
    m_timer2->start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

bool TSplashForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_image && event->type() == QEvent::MouseButtonRelease &&
        m_image->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        ImageClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TSplashForm::Timer1Timer()
{
    m_timer1->stop();
    m_timer2->stop();
    close();
}

void TSplashForm::Timer2Timer()
{
    // Windows the program opens meanwhile must not cover the splash.
    raise();
}

void TSplashForm::ImageClick()
{
    Timer1Timer();
}

} // namespace kx
