// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <thread>

#include <QImage>

// Writes a picture to a 32-bit BMP file (bmpwriter.h) on a thread of its own while the caller goes on: the
// conversion writes the stitched picture to bmp.bmp while it encodes the output. The picture's pixels must
// stay as they are, and alive, until finish(): the writer reads them where they lie, so that no reference
// to the picture makes a later change of it copy the whole picture.
class BackgroundBmpWrite final
{
public:
    // An empty path writes nothing.
    BackgroundBmpWrite(std::string path, const QImage& picture);
    ~BackgroundBmpWrite() { finish(); }
    BackgroundBmpWrite(const BackgroundBmpWrite&) = delete;
    BackgroundBmpWrite& operator=(const BackgroundBmpWrite&) = delete;

    // Waits for the write; whether the file was written in full.
    bool finish();

private:
    bool written = false;
    std::thread writer;
};
