#pragma once

#include <string>

namespace kx {

/** Why appending to the file at `nativePath` fails, in the system's words. Asked after an append
 *  failed: it opens the file as an append does, without writing, and names what stands in the
 *  way (the folder, the file's kind, a full disk, the size limit); a cause it cannot see is
 *  reported as an input/output error. */
std::string appendFailureReason(const std::string& nativePath);

} // namespace kx
