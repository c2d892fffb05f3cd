// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The per-user settings store. A fresh QSettings is opened for every single read or write, so nothing
// is cached and every caller sees what the last writer stored.
inline constexpr char kOrganisationName[] = "Brembloc";
inline constexpr char kApplicationName[] = "Vornetta";

// Stores value as a string under key. Failures are not reported.
void writeSetting(const QString& key, const QString& value);

// The string stored under key, empty when absent.
QString readSetting(const QString& key);

// HOME/Documents/Brembloc/Vornetta (or below "My Documents" when only that exists), created on disk
// when missing. The path is returned even when a folder could not be made.
QString defaultOutputFolder();

// The folder stored under key when it is set and still exists, otherwise the default output folder.
QString readFolderSetting(const QString& key);

// The JPG quality the window saves with, as the ▼ menu stored it under "JpgQuality": 0 to 100, or -1 for
// the writer's own default when nothing usable is stored.
int readJpgQuality();
