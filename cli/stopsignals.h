// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Lets vornetta-convert end cleanly when it is interrupted: SIGINT, SIGTERM, SIGHUP and SIGPIPE (its
// output closed) only note the signal, the batch stops its running conversion (the tool is killed, no
// output is left, the work folder goes) and the program then ends by that same signal.
void installStopSignalHandlers();

// The signal that asked to stop, or 0. Safe to ask from any thread.
int stopSignal();

// Ends the program as the signal would have, with its default action.
[[noreturn]] void endBySignal(int signal);
