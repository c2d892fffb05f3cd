// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

// A small file a tool left in the work folder, read whole: its bytes, or nothing when it is missing,
// unreadable or larger than limit.
std::optional<QByteArray> readSmallFile(const QString& path, qint64 limit);

// A number in such a file: decimal digits without leading zeros, a minus sign before them only where low is
// below 0, at most 10 digits, from low to high. Nothing for anything else.
std::optional<qint64> decimalField(const QByteArray& field, qint64 low, qint64 high);
