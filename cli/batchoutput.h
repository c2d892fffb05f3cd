// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// What vornetta-convert writes while a batch runs.

// A path as the bytes the file system knows it by, whatever the locale, with control characters escaped so
// that every file stays on one line: \n, \t, \\ for a backslash, \xHH for the others. Bytes that are not
// UTF-8 are written \xHH too, so that the line is text and still tells the name apart from any other.
QByteArray printablePath(const QByteArray& path);
QByteArray printablePath(const QString& path);

// One line on standard output, flushed at once: a script reading the lines sees each file as it is done.
void writeLine(const QByteArray& line);

// "[n/total]" on the last line of standard error while that is a terminal.
class ProgressLine final
{
public:
    explicit ProgressLine(int total);
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(int number) const;
    // Before a result line, so that the count never mixes with it on the terminal.
    void clear() const;

private:
    const int total;
    const bool shown;
};
