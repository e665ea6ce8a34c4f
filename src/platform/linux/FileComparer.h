// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <sys/types.h>

namespace kx {

/** What compareOpenFiles found. */
struct OpenFilesComparison
{
    enum Outcome
    {
        Same,
        Differs,
        Failed,
        Stopped
    };
    Outcome outcome = Same;
    int failedFile = 0; // with Failed: 0 for the first file, 1 for the second
    int err = 0;        // with Failed: the errno of the read
};

// Compares `size` bytes of two open files from their current offsets, reading both at once: a
// large file's second side on a thread of its own, a small one's through the system's readahead
// while the first side is read. A file that ends early differs. `stopped` is asked between two
// pieces.
OpenFilesComparison compareOpenFiles(int first, int second, off_t size,
                                     const std::function<bool()>& stopped);

} // namespace kx
