// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Output files written under a temporary name, where the file system cannot make a file without a name:
// ".vornetta-" and 16 lowercase hexadecimal digits, then ".tmp". Short, so that one fits beside the longest
// final names.

QByteArray newTemporaryName();
bool isTemporaryName(const QByteArray& name);

// Removes from the open folder the temporary files that runs killed outright left behind: entries of that
// name that are regular files of ours with a single link, not written for a minute and not locked by a live
// save (which holds a flock on its file while it writes). Links, folders, other users' files and anything
// that changes while it is looked at stay, and nothing is ever followed: the checks and the removal go by
// the folder's descriptor.
void removeLeftoverTemporaries(int folder);
