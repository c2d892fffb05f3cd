// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Paths as the bytes the file system knows them by. Names need not be UTF-8, while Qt decodes every name as
// UTF-8 and puts U+FFFD for what is not: such a path, decoded, names nothing. vornetta-convert takes paths
// from the command line and its folder walks as bytes, so that no file can slip through unreported.

// The length of the valid UTF-8 sequence at the start of bytes (shortest form, no surrogates, at most
// U+10FFFF), or 0 when there is none.
int utf8SequenceLength(const char* bytes, qsizetype available);

bool isValidUtf8(const QByteArray& bytes);
