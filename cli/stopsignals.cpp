// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stopsignals.h"

#include <atomic>
#include <initializer_list>

#include <signal.h>
#include <unistd.h>

namespace {

// Written by the handler, read by the batch's thread: a lock-free atomic is safe for both.
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free);

void noteSignal(int signal)
{
    caught.store(signal);
}

} // namespace

void installStopSignalHandlers()
{
    struct sigaction action
    {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls go on, as they would without the handler; the batch polls the flag.
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaction(signal, &action, nullptr);
}

int stopSignal()
{
    return caught.load();
}

void endBySignal(int signal)
{
    struct sigaction action
    {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    // Not reached for the handled signals, whose default action ends the program.
    _exit(128 + signal);
}
