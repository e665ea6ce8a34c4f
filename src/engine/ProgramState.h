#pragma once

namespace kx {

/** What the windows and the engine still share while the program runs: what the backup drive
 *  last told of its medium, and whether an operation runs. One object, owned by the application
 *  and passed to the engine. */
struct ProgramState
{
    // Drive flags of the backup-drive choice
    bool noDisk = false;   // the backup drive reported that it is not ready
    bool noFloppy = false; // drive a: holds no floppy

    /** Set while a file operation runs; a second one is refused. */
    bool operationRunning = false;
};

} // namespace kx
