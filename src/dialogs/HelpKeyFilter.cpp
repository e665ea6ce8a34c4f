// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/HelpKeyFilter.h"

#include "dialogs/Help.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QWidget>

namespace kx {

HelpKeyFilter::HelpKeyFilter(const QString& languageCode, QObject* parent)
    : QObject(parent), m_languageCode(languageCode),
      m_open([](const QUrl& url) { return QDesktopServices::openUrl(url); })
{
}

void HelpKeyFilter::setUrlOpener(std::function<bool(const QUrl&)> opener)
{
    m_open = std::move(opener);
}

bool HelpKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier)
        return false;
    const QWidget* focus = QApplication::focusWidget();
    if (!focus)
        focus = QApplication::activeWindow();
    const int context = helpContextOf(focus);
    if (context == 0)
        return false;
    const QUrl url = helpUrl(m_languageCode, context);
    if (url.isValid())
        openOrShowWhere(QApplication::activeWindow(), m_languageCode, url, m_open);
    return true;
}

} // namespace kx
