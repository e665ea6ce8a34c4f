// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Platform.h"

#include <QComboBox>

namespace kx {

/**
 * A list of the drives present, one entry per letter with the text the drive queries give it
 * ("c:", "e: [backup1]") and the drive's folder as its tooltip. Its entries are read again each
 * time the list is opened, so that a changed medium shows its new label. It is 145 pixels wide
 * where a layout has room for that, and narrows to a few characters where it has not.
 */
class DriveComboBox : public QComboBox
{
    Q_OBJECT

public:
    DriveComboBox(Platform& platform, QWidget* parent);

    /** Reads the entries again from the drives present now, keeping the selected drive and
     *  without reporting a change. */
    void rebuild();
    /** The selected drive letter, lower case; 0 when the list is empty. */
    char drive() const;
    /** Selects the drive; a change is reported when it differs from the selected one. A letter
     *  the list does not hold leaves the selection as it is. */
    void setDrive(char letter);
    /** Sets the text of the first entry; the next rebuild gives it its own text again. */
    void setFirstEntryText(const QString& text);
    /** The letter of the first entry; 0 when the list is empty. */
    char firstDrive() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    /** The user opens the list, before its entries are read again. */
    void aboutToOpen();
    /** The selected drive changed, by the user or by setDrive. */
    void driveChanged();

protected:
    void showPopup() override;

private:
    Platform& m_platform;
    bool m_rebuilding = false;
};

} // namespace kx
