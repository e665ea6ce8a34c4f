// SPDX-License-Identifier: GPL-3.0-or-later
#include "manage/DriveComboBox.h"

#include "support/DriveDescription.h"
#include "support/DriveQueries.h"

#include <QFile>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <cctype>

namespace kx {

namespace {

constexpr int kPreferredWidth = 145;

char lowerLetter(char letter)
{
    return static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
}
} // namespace

DriveComboBox::DriveComboBox(Platform& platform, QWidget* parent)
    : QComboBox(parent), m_platform(platform)
{
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_rebuilding)
            emit driveChanged();
    });
    rebuild();
    // Like the file dialogs of the system, the list starts on the system drive.
    const int system = findData(QChar::fromLatin1('c'));
    if (system >= 0) {
        const QSignalBlocker blocker(this);
        setCurrentIndex(system);
    }
}

void DriveComboBox::rebuild()
{
    const char selected = drive();
    std::vector<char> letters = m_platform.driveLetters();
    // A drive that has left the table since it was chosen stays listed while it is chosen:
    // the choice made with it still holds.
    if (selected != 0 && std::find(letters.begin(), letters.end(), selected) == letters.end()) {
        letters.push_back(selected);
        std::sort(letters.begin(), letters.end());
    }
    m_rebuilding = true;
    {
        const QSignalBlocker blocker(this);
        clear();
        for (char letter : letters) {
            const QString text = QString::fromStdString(driveListText(m_platform, letter));
            addItem(text, QChar::fromLatin1(lowerLetter(letter)));
            // The letters are this program's own: the label and the folder tell the user which
            // drive it is.
            setItemData(
                count() - 1,
                QFile::decodeName(QByteArray::fromStdString(driveDescription(m_platform, letter))),
                Qt::ToolTipRole);
        }
        const int index = selected != 0 ? findData(QChar::fromLatin1(selected)) : -1;
        setCurrentIndex(index >= 0 ? index : (count() > 0 ? 0 : -1));
    }
    m_rebuilding = false;
}

char DriveComboBox::drive() const
{
    const QVariant data = currentData();
    return data.isValid() ? data.toChar().toLatin1() : '\0';
}

void DriveComboBox::setDrive(char letter)
{
    const int index = findData(QChar::fromLatin1(lowerLetter(letter)));
    if (index >= 0)
        setCurrentIndex(index);
}

void DriveComboBox::setFirstEntryText(const QString& text)
{
    if (count() > 0)
        setItemText(0, text);
}

char DriveComboBox::firstDrive() const
{
    return count() > 0 ? itemData(0).toChar().toLatin1() : '\0';
}

QSize DriveComboBox::sizeHint() const
{
    const QSize contents = QComboBox::sizeHint();
    return QSize(std::max(kPreferredWidth, contents.width()), contents.height());
}

QSize DriveComboBox::minimumSizeHint() const
{
    // Room for a drive letter and the start of its label.
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QSize text(fontMetrics().horizontalAdvance(QStringLiteral("e: [ba")),
                     fontMetrics().height());
    const QSize least = style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, this);
    return QSize(std::min(least.width(), sizeHint().width()), sizeHint().height());
}

void DriveComboBox::showPopup()
{
    emit aboutToOpen();
    rebuild();
    QComboBox::showPopup();
}

} // namespace kx
