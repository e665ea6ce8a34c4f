// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

namespace kx {

/**
 * The borderless picture window shown while the program starts, with a reminder to make
 * backups. It stays in front of the program's windows and closes itself after four seconds,
 * or at once when the picture is clicked; once closed it deletes itself.
 */
class SplashWindow : public QWidget
{
    Q_OBJECT
public:
    /** `languageCode` ("nld" or empty) picks the reminder line. */
    explicit SplashWindow(const QString& languageCode, QWidget* parent = nullptr);

    /**
     * Shows the splash without waiting, centred on the screen, and starts its timers. It also
     * sets the hourglass cursor for the whole program; whoever is ready first (the main
     * window's first paint) restores it with QApplication::restoreOverrideCursor().
     */
    void showSplash();

    /**
     * Whether a start from `programPath` shows the splash: only when the path is shorter than
     * 64 characters and does not contain ".DCL".
     */
    static bool wanted(const QString& programPath);

    /**
     * Shows the splash when wanted(programPath) (use QCoreApplication::applicationFilePath())
     * and returns it, or returns null. The window deletes itself when it closes: hold the
     * result in a QPointer if you keep it.
     */
    static SplashWindow* showAtStart(const QString& languageCode, const QString& programPath);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    /** A new font sizes the reminder line anew, so that it shows whole. */
    void changeEvent(QEvent* event) override;

private:
    void closeSplash();
    void layOutReminder();

    QFrame* m_pictureFrame;
    QLabel* m_picture;
    QLabel* m_reminder = nullptr;
    QTimer* m_closeTimer;
};

} // namespace kx
