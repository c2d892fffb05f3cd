// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Paths as the bytes the file system knows them by. Names need not be UTF-8, while Qt decodes every name as
// UTF-8 and puts U+FFFD for what is not: such a path, decoded, names nothing. Both programs take named paths
// and walk folders as bytes, so that no file can slip through unreported or under another file's name.

// The length of the valid UTF-8 sequence at the start of bytes (shortest form, no surrogates, at most
// U+10FFFF), or 0 when there is none.
int utf8SequenceLength(const char* bytes, qsizetype available);

// Whether QString::fromUtf8 keeps path whole, so that the decoded path names this file and no other: valid
// UTF-8 that does not start with U+FEFF, which fromUtf8 drops as a byte order mark. It is meant for whole
// paths: a folder's name on the way is as much a part of the path as the file's own.
bool decodesWhole(const QByteArray& path);

// The suffix .heic, .heif or .hif, in any case: phones name HEIF files .heic, cameras .hif (Canon, Sony,
// often 10-bit), other tools .heif.
bool hasHeifSuffix(const QByteArray& name);

// The names in folder, hidden ones left out, in byte order; empty when it cannot be read, and then
// readable, when given, is false.
QList<QByteArray> visibleEntries(const QByteArray& folder, bool* readable = nullptr);

// What a file is however it is named: its canonical path, or the absolute one when nothing is there.
QString fileIdentity(const QString& path);
// The same for a path by its bytes, which need not decode.
QByteArray fileIdentity(const QByteArray& path);
