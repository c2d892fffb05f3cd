// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Removes the folder with everything below it. A symbolic link, at the top or below, is removed as a
// link; its target is never touched, even when a sub-folder turns into a link during the removal: the
// walk goes by descriptors, never by path. Stops at the first failure and returns whether all went.
bool removeFolderTree(const QString& folder);
