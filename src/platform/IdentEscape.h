// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace kx {

// The settings' idents are bytes; the stores keep them as text with a few characters of their
// own. An ident goes in with "%", the `reserved` characters and, where it is no text
// (`isText` false), every byte above 127 written as %XX, so that every ident comes back exactly.

std::string escapeIdent(const std::string& ident, std::string_view reserved, bool isText);
/** Each %XX of a stored key back to its byte; anything else as it stands. */
std::string unescapeIdent(const std::string& key);

} // namespace kx
