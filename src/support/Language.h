// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace kx {

/** The languages the program speaks; each is a column of every text catalogue. */
enum class Language : std::size_t
{
    Dutch,
    English
};
inline constexpr std::size_t kLanguageCount = 2;

/** The program's name, the same in every language. */
inline constexpr const char* kProductName = "Kopierix";

/**
 * One user-visible text in every language, in the order of Language. Each layer keeps its texts
 * in one catalogue of these (a header of `inline constexpr Text` values); a new language adds a
 * column there and nothing at the call sites.
 */
using Text = std::array<const char*, kLanguageCount>;

/** The language of a language code: "nld" is Dutch, anything else English. */
Language languageOf(const std::string& languageCode);

/** The form of `text` in `language`. */
constexpr const char* inLanguage(Language language, const Text& text)
{
    return text[static_cast<std::size_t>(language)];
}

} // namespace kx
