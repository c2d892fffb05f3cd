// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/files/smallfile.h"

#include <QFile>

std::optional<QByteArray> readSmallFile(const QString& path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > limit)
        return std::nullopt;
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}
