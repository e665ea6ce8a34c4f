// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QFont;
class QPlainTextEdit;
class QWidget;

namespace kx {

/** The font of the program's own dialogs: Arial, 9 points (12 pixels on a 96-dpi screen). */
QFont dialogFont();

/**
 * The read-only, frameless message text of the dialogs ("MessageMemo"), on the button colour.
 * It shows its window's font.
 */
QPlainTextEdit* makeMessageText(QWidget* parent);

/**
 * The line step R of the dialogs: the font's size in points times 1.6, rounded, or the font's
 * own line spacing where that is more.
 */
int lineStep(const QFont& font);

/**
 * How much larger `font` is than the usual font (12 pixels high, dialogFont() on a 96-dpi
 * screen): its pixel size over 12, at least 1.
 */
double fontGrowth(const QFont& font);

/**
 * A size of a dialog, `usualSize` pixels at the usual font, times fontGrowth(font), rounded.
 */
int grownSize(int usualSize, const QFont& font);

/**
 * The top-left corner that centres a window of `window` size on `on`:
 * top + (height - window height) / 2, left likewise, the division truncating toward zero.
 */
QPoint centredTopLeft(const QRect& on, const QSize& window);

/** A message cut into lines at each carriage return (a CR LF pair or a lone LF counts as one). */
QStringList splitAtCarriageReturns(const QString& message);

/**
 * The height in pixels that `lines` take in `font` when wrapped at `width` pixels, laid out as
 * the message text lays out its text.
 */
int wrappedTextHeight(const QFont& font, int width, const QStringList& lines);

/** Places `dialog` centred on `on`; with an empty `on` on its parent, or else on the screen. */
void centreWindow(QWidget* dialog, const QRect& on);

} // namespace kx
