// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the version-list parser and the reply-header reader, the two places where
// bytes from the network are taken apart.
#include "update/ReplyHeaderReader.h"
#include "update/VersionList.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    // As the program reads it, and with a name and version taken from the input itself.
    kx::parseVersionList(input, "Kopierix", "version 1.01b");
    if (size > 2) {
        const std::size_t nameLength = data[0] % 16;
        const std::size_t versionLength = data[1] % 16;
        if (2 + nameLength + versionLength <= size) {
            const std::string name = input.substr(2, nameLength);
            const std::string version = input.substr(2 + nameLength, versionLength);
            kx::parseVersionList(input.substr(2 + nameLength + versionLength), name, version);
        }
    }
    kx::installerDisplayName(input);

    // The header in pieces whose sizes come from the input, the way a slow peer sends it.
    kx::ReplyHeaderReader reader;
    std::string buffer;
    std::size_t at = 0;
    auto progress = kx::ReplyHeaderReader::Progress::NeedMore;
    while (progress == kx::ReplyHeaderReader::Progress::NeedMore) {
        const std::size_t piece = at < size ? 1 + data[at] % 64 : 0;
        buffer += input.substr(at, piece);
        at += piece;
        progress = reader.feed(buffer, at >= size);
    }
    if (progress == kx::ReplyHeaderReader::Progress::Complete &&
        reader.text().size() > kx::ReplyHeaderReader::kMaxHeader + kx::ReplyHeaderReader::kMaxLine)
        __builtin_trap();
    return 0;
}
