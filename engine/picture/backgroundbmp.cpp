// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/backgroundbmp.h"

#include <system_error>

#include "engine/picture/bmpwriter.h"

BackgroundBmpWrite::BackgroundBmpWrite(std::string path, const QImage& picture)
{
    if (path.empty()) {
        written = true;
        return;
    }
    const std::uint8_t* const pixels = picture.constBits();
    const int width = picture.width();
    const int height = picture.height();
    try {
        writer = std::thread([this, path = std::move(path), pixels, width, height] {
            written = writeBmp32(path, pixels, width, height);
        });
    } catch (const std::system_error&) {
        // No thread to be had: the write happens here and now.
        written = writeBmp32(path, pixels, width, height);
    }
}

bool BackgroundBmpWrite::finish()
{
    if (writer.joinable())
        writer.join();
    return written;
}
