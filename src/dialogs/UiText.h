#pragma once

#include "support/Language.h"

#include <QString>

namespace kx {

/** A catalogue text in `language`, for the windows. */
inline QString uiText(Language language, const Text& text)
{
    return QString::fromUtf8(inLanguage(language, text));
}

} // namespace kx
