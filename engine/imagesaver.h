#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include "engine/toolrunner.h"

// Saves the picture in the given format ("JPG", "PNG", "BMP") with the writer's default quality. It is
// written under a temporary name in the output folder and renamed into place once complete, so a failed
// or stopped save leaves nothing behind and never replaces an existing file. False, with a few words in
// reason, when the file was not saved.
bool saveImageReplacing(const QImage& image, const QString& path, const QByteArray& format,
                        const StopCheck& stop = {}, QString* reason = nullptr);
