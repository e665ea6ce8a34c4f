// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <QDialog>
#include <QString>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace kx {

/**
 * The update-check dialog: the automatic check at start on or off, and a check at once.
 * A choice is stored at the moment it is clicked; cancel does not undo it.
 */
class UpdateCheckDialog : public QDialog
{
    Q_OBJECT

public:
    /** The result of exec() when the user pressed "Update Now". */
    static constexpr int kYes = 6;

    UpdateCheckDialog(Platform& platform, const QString& languageCode, QWidget* parent = nullptr);

    /** Reads "Check for Updates" (default on) and shows it in the radio group. The main window
     *  calls this once, at its first paint. */
    void loadAutoCheckSetting();
    /** The setting as last read or clicked. */
    bool autoCheckEnabled() const { return m_autoCheckEnabled; }

public slots:
    void storeAutoCheck();
    void confirm();

protected:
    void changeEvent(QEvent* event) override;

private:
    void fitExplanation();

    Platform& m_platform;
    bool m_autoCheckEnabled = true;

    QLabel* m_explanation = nullptr;
    QGroupBox* m_autoCheck = nullptr;
    QRadioButton* m_autoCheckOn = nullptr;
    QRadioButton* m_autoCheckOff = nullptr;
    QPushButton* m_updateNowButton = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};

} // namespace kx
