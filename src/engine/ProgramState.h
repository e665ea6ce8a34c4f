#pragma once

namespace kx {

/** What the windows and the engine still share while the program runs. One object, owned by
 *  the application and passed to the engine. */
struct ProgramState
{
    // What the backup drive last told of its medium, as the windows learn it from the choice
    // of the drive and from the runs' results; the manage window reads it at its close.
    bool noDisk = false;   // the backup drive reported that it is not ready
    bool noFloppy = false; // drive a: holds no floppy
};

} // namespace kx
