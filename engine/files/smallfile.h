// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

// A small file a tool left in the work folder, read whole: its bytes, or nothing when it is missing,
// unreadable or larger than limit.
std::optional<QByteArray> readSmallFile(const QString& path, qint64 limit);
