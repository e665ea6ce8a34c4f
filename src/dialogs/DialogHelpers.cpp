// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/DialogHelpers.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextLayout>
#include <QTextOption>
#include <QWidget>

#include <cmath>

namespace kx {

QFont dialogFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    return font;
}

QPlainTextEdit* makeMessageText(QWidget* parent)
{
    auto* text = new QPlainTextEdit(parent);
    text->setObjectName(QStringLiteral("MessageMemo"));
    text->setReadOnly(true);
    text->setFrameStyle(QFrame::NoFrame);
    text->setFocusPolicy(Qt::NoFocus);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text->document()->setDocumentMargin(0);
    QPalette buttonFace = text->palette();
    buttonFace.setColor(QPalette::Base, buttonFace.color(QPalette::Button));
    text->setPalette(buttonFace);
    return text;
}

int lineStep(const QFont& font)
{
    double points = font.pointSizeF();
    // A font given in pixels has no point size: take it as drawn on a 96-dpi screen.
    if (points <= 0)
        points = font.pixelSize() * 72.0 / 96.0;
    return qMax(static_cast<int>(std::lround(points * 1.6)), QFontMetrics(font).lineSpacing());
}

double fontGrowth(const QFont& font)
{
    constexpr double kUsualPixels = 12.0;
    return qMax(1.0, QFontInfo(font).pixelSize() / kUsualPixels);
}

int grownSize(int usualSize, const QFont& font)
{
    return static_cast<int>(std::lround(usualSize * fontGrowth(font)));
}

QPoint centredTopLeft(const QRect& on, const QSize& window)
{
    return QPoint(on.left() + (on.width() - window.width()) / 2,
                  on.top() + (on.height() - window.height()) / 2);
}

QStringList splitAtCarriageReturns(const QString& message)
{
    QString text = message;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\r"));
    text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
    return text.split(QLatin1Char('\r'));
}

int wrappedTextHeight(const QFont& font, int width, const QStringList& lines)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    qreal height = 0;
    for (const QString& line : lines) {
        QTextLayout layout(line, font);
        layout.setTextOption(option);
        layout.beginLayout();
        // Line by line as a plain text document steps: a font's negative leading draws its
        // lines closer together.
        for (QTextLine textLine = layout.createLine(); textLine.isValid();
             textLine = layout.createLine()) {
            textLine.setLeadingIncluded(true);
            textLine.setLineWidth(width);
            height += textLine.height();
            if (textLine.leading() < 0)
                height += std::ceil(textLine.leading());
        }
        layout.endLayout();
    }
    return static_cast<int>(std::ceil(height));
}

void centreWindow(QWidget* dialog, const QRect& on)
{
    QRect target = on;
    if (target.isEmpty() && dialog->parentWidget())
        target = dialog->parentWidget()->window()->frameGeometry();
    if (target.isEmpty()) {
        const QScreen* screen =
            dialog->screen() ? dialog->screen() : QGuiApplication::primaryScreen();
        if (screen)
            target = screen->availableGeometry();
    }
    dialog->move(centredTopLeft(target, dialog->frameGeometry().size()));
}

} // namespace kx
