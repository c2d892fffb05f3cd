// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// SIGTERM (a logout, a shutdown, kill), SIGHUP (the terminal went) and SIGINT (Ctrl+C) end vornetta as
// closing its window does: the event loop quits, so the window stops its conversion and removes its work
// folder before the process ends.
void quitOnTerminationSignals();
