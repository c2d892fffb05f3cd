#pragma once

#include <QString>

// The folder of the running executable, read once by main and kept until exit.
extern QString applicationFolder;

// Registers folder/font/Arial.ttf, Lato-Bold.ttf and Lato-Regular.ttf, and makes Lato Regular at
// 10 points the application font. Missing or unreadable files are skipped silently.
void loadApplicationFonts(const QString& folder);
