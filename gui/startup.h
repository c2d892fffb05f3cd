// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QByteArray>
#include <QList>
#include <QString>

class HEICMainWidget;
class SingleInstance;

// The folder of the running executable, read once by main and kept until exit.
extern QString applicationFolder;

// Registers folder/font/Arial.ttf, Lato-Bold.ttf and Lato-Regular.ttf, and makes Lato Regular at
// 10 points the application font. Missing or unreadable files are skipped silently.
void loadApplicationFonts(const QString& folder);

// The files named on vornetta's command line, after QApplication took its own options (-platform,
// -style ...) out of argv: the system's bytes, relative names made absolute.
QList<QByteArray> commandLineFiles(int argc, char** argv);

// What vornetta does once its application and fonts are set up: creates the main window, shows it and
// offers it the files (absolute paths, as the system's bytes). A file joins whatever its suffix, a folder
// gives its HEIC files, and what is left out is told (HEICMainWidget::addNamedFiles). With an instance,
// later starts hand their files to this window, which comes to the front.
std::unique_ptr<HEICMainWidget> openMainWindow(const QList<QByteArray>& files,
                                               SingleInstance* instance = nullptr);
