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

std::optional<qint64> decimalField(const QByteArray& field, qint64 low, qint64 high)
{
    const bool negative = low < 0 && field.startsWith('-');
    const QByteArray digits = negative ? field.mid(1) : field;
    if (digits.isEmpty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0') ||
        (negative && digits == "0"))
        return std::nullopt;
    qint64 value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    value = negative ? -value : value;
    if (value < low || value > high)
        return std::nullopt;
    return value;
}
