// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>

namespace kx {

/**
 * Opens the help page at the topic of the focused control when F1 is pressed in any window of
 * the program. Install it once on the application: `qApp->installEventFilter(filter)`.
 * A shortcut on F1 (such as the main window's "Help - Index") is served first; a control
 * without a topic in its window lets the key pass.
 */
class HelpKeyFilter : public QObject
{
    Q_OBJECT
public:
    explicit HelpKeyFilter(const QString& languageCode, QObject* parent = nullptr);

    /** How addresses are opened; the desktop's default handler unless replaced. */
    void setUrlOpener(std::function<bool(const QUrl&)> opener);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_languageCode;
    std::function<bool(const QUrl&)> m_open;
};

} // namespace kx
