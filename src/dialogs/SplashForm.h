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
class TSplashForm : public QWidget
{
    Q_OBJECT
public:
    /** `languageCode` ("nld" or empty) picks the reminder line. */
    explicit TSplashForm(const QString& languageCode, QWidget* parent = nullptr);

    /**
     * Shows the splash without waiting, centred on the screen, and starts its timers. It also
     * sets the hourglass cursor for the whole program; whoever is ready first (the main
     * window's first paint) restores it with QApplication::restoreOverrideCursor().
     */
    void ShowSplash();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Timer1Timer();
    void Timer2Timer();
    void ImageClick();

    QFrame* m_panel;
    QLabel* m_image;
    QTimer* m_timer1;
    QTimer* m_timer2;
};

} // namespace kx
