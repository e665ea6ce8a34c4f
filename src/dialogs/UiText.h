// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "support/Language.h"

#include <QString>

namespace kx {

/** A catalogue text in `language`, for the windows. */
inline QString uiText(Language language, const Text& text)
{
    return QString::fromUtf8(inLanguage(language, text));
}

/** The language of a language code as the windows hold it ("nld" is Dutch). */
inline Language uiLanguage(const QString& languageCode)
{
    return languageOf(languageCode.toStdString());
}

/** The product name, for the windows. */
inline QString productName()
{
    return QString::fromUtf8(kProductName);
}

/** A catalogue text in `language` with the product name in place of its "%1", if it has one. */
inline QString productText(Language language, const Text& text)
{
    return uiText(language, text).replace(QStringLiteral("%1"), productName());
}

} // namespace kx
