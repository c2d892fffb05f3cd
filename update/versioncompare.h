// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The program's own version (the project's version, "2.0.0"), the one the update check compares the
// endpoint's answer against.
inline constexpr char kCurrentVersion[] = VORNETTA_VERSION;

// Compares two dotted version texts part by part, as numbers: -1 when a is older than b, 0 when they
// are the same version, 1 when a is newer. Surrounding white space is ignored, a missing part counts 0
// (so 3 equals 3.0.0) and a part that is not a plain decimal number counts 0 (so an error page is
// version 0). Parts of any length compare correctly; nothing overflows.
int compareVersions(const QString& a, const QString& b);

// True when candidate is strictly newer than current.
bool isNewerVersion(const QString& candidate, const QString& current);
