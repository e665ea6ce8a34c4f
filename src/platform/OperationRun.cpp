// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/OperationRun.h"

#include <mutex>
#include <random>

namespace kx::operationRun {

namespace {

// The lock is the process's own, whichever object holds it: its run is too.
struct Run
{
    std::mutex mutex;
    const void* holder = nullptr;
    std::uint64_t token = 0;
};

Run& run()
{
    static Run instance;
    return instance;
}

} // namespace

void begin(const void* holder)
{
    Run& state = run();
    std::lock_guard lock(state.mutex);
    // A lock taken again by its holder goes on with the same run.
    if (state.holder == holder && state.token != 0)
        return;
    // Random, so that no run of another boot or of another process can carry the same token.
    std::random_device source;
    std::uint64_t token = 0;
    while (token == 0)
        token = (std::uint64_t(source()) << 32) ^ std::uint64_t(source());
    state.holder = holder;
    state.token = token;
}

void end(const void* holder)
{
    Run& state = run();
    std::lock_guard lock(state.mutex);
    if (state.holder != holder)
        return;
    state.holder = nullptr;
    state.token = 0;
}

std::uint64_t current()
{
    Run& state = run();
    std::lock_guard lock(state.mutex);
    return state.token;
}

} // namespace kx::operationRun
