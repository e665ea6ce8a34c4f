// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/StopSignals.h"

#include <cstdio>
#include <memory>
#include <string>

namespace kx {

/** The stop signal that came: Ctrl+C at a terminal (SIGINT) or a service manager's stop
 *  (SIGTERM). */
enum class StopSignal
{
    None,
    Interrupt,
    Terminate,
};

/** What a path given on the command line is, seen through links as the user meant it. */
struct PathFacts
{
    bool exists = false;
    bool isFile = false;
    bool isFolder = false;
    /** The system's root itself, however it was written ("/.", "//", a link to it). */
    bool isSystemRoot = false;
};

/**
 * What the command line asks of the system it runs in: whether its output goes to a terminal,
 * what a path it was given is, and the signals that ask a run to stop.
 */
class Console
{
public:
    virtual ~Console() = default;

    /** Whether the stream (stdout or stderr) is a terminal that someone watches. */
    virtual bool isTerminal(std::FILE* stream) = 0;
    virtual PathFacts examinePath(const std::string& path) = 0;

    /** From now until the returned object ends, the stop signals call `request`, and are kept
     *  for stopSignal(). `request` runs inside a signal handler: it may only store into a
     *  lock-free atomic. A signal that came before stays told. */
    virtual std::unique_ptr<StopSignals> catchStopSignals(void (*request)() noexcept) = 0;
    /** The stop signal that came since the last clearStopSignal(); the last one if several. */
    virtual StopSignal stopSignal() = 0;
    virtual void clearStopSignal() = 0;
};

/** The console of the system the program was built for. */
std::unique_ptr<Console> createConsole();

} // namespace kx
