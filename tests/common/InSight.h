// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <utility>
#include <vector>

namespace kx::test {

/** The control's rectangle in the window's coordinates. */
inline QRect placeOf(const QWidget* window, const QWidget* control)
{
    return QRect(control->mapTo(window, QPoint(0, 0)), control->size());
}

/** Why the named controls are not all in sight: each shown, of some size, inside the window
 *  and clear of every other one. Empty when they are. */
inline QString outOfSight(const QWidget* window, const std::vector<const char*>& names)
{
    QStringList faults;
    std::vector<std::pair<QString, QRect>> places;
    for (const char* name : names) {
        const auto* control = window->findChild<QWidget*>(name);
        if (control == nullptr || !control->isVisible()) {
            faults << QString("%1 not shown").arg(name);
            continue;
        }
        const QRect place = placeOf(window, control);
        if (place.isEmpty())
            faults << QString("%1 has no size").arg(name);
        else if (!window->rect().contains(place))
            faults << QString("%1 at %2,%3 %4x%5 outside %6x%7")
                          .arg(name)
                          .arg(place.x())
                          .arg(place.y())
                          .arg(place.width())
                          .arg(place.height())
                          .arg(window->width())
                          .arg(window->height());
        for (const auto& [other, otherPlace] : places) {
            if (place.intersects(otherPlace))
                faults << QString("%1 overlaps %2").arg(name, other);
        }
        places.emplace_back(name, place);
    }
    return faults.join("; ");
}

/** Where the control stands, when it is not within `slack` pixels of `expected`; empty when it
 *  is. */
inline QString offPlace(const QWidget* window, const char* name, const QRect& expected, int slack)
{
    const QRect place = placeOf(window, window->findChild<QWidget*>(name));
    const bool near = std::abs(place.x() - expected.x()) <= slack &&
                      std::abs(place.y() - expected.y()) <= slack &&
                      std::abs(place.width() - expected.width()) <= slack &&
                      std::abs(place.height() - expected.height()) <= slack;
    return near ? QString()
                : QString("%1 at %2,%3 %4x%5")
                      .arg(name)
                      .arg(place.x())
                      .arg(place.y())
                      .arg(place.width())
                      .arg(place.height());
}

} // namespace kx::test
