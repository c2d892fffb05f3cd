// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QString>
#include <QStringList>

class HEICMainWidget;

// The folder of the running executable, read once by main and kept until exit.
extern QString applicationFolder;

// Registers folder/font/Arial.ttf, Lato-Bold.ttf and Lato-Regular.ttf, and makes Lato Regular at
// 10 points the application font. Missing or unreadable files are skipped silently.
void loadApplicationFonts(const QString& folder);

// What vornetta does once its application and fonts are set up: creates the main window, shows it and
// offers it the files named in arguments, which are the application's arguments with QApplication's own
// options already taken out: everything after the program's name is a file. They join the list through
// the window's own rules, so a name that is not .heic or a missing file is silently left out.
std::unique_ptr<HEICMainWidget> openMainWindow(const QStringList& arguments);
