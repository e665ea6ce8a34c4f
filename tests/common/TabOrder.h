// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

namespace kx::test {

/** The controls the Tab key goes through in the window, in order: each by its objectName, or
 *  by its class where it has none. */
inline QStringList tabOrder(QWidget* window)
{
    QStringList names;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window))
            names << (w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                : w->objectName());
    }
    return names;
}

} // namespace kx::test
