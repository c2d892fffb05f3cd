#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "engine/toolrunner.h"

// Saves the picture in the given format ("JPG", "PNG", "BMP") at the writer's quality 0 to 100, or with
// its default for -1. It is written under a temporary name in the output folder and renamed into place
// once complete, so a failed or stopped save leaves nothing behind and never replaces an existing file.
// False, with a few words in reason, when the file was not saved.
bool saveImageReplacing(const QImage& image, const QString& path, const QByteArray& format,
                        const StopCheck& stop = {}, QString* reason = nullptr, int quality = -1);
