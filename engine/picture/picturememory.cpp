// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/picturememory.h"

QImage newPicture(QSize size, QImage::Format format)
{
    return QImage(size, format);
}
