// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The columns of the file list's rows: the path that shows, the source the worker converts, the done flag
// ("0" or "1") and the state ("waiting", "converting", "success", "failed"). Only the path and the state
// show.
enum ListColumn : int {
    kPathColumn = 0,
    kSourceColumn = 1,
    kDoneColumn = 2,
    kStateColumn = 3,
    kColumnCount = 4,
};
