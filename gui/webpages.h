// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The window's web links: the product query with the main window's language.
QString buildWebUrl(const QString& base);

// Opens buildWebUrl(base) in the desktop's browser; a browser that does not start is not reported.
void openWebPage(const QString& base);

// Shows folder in the desktop's file manager. No shell is involved, so blanks and quotes are safe.
// Whether a file manager could be started.
bool openFolderInFileManager(const QString& folder);
