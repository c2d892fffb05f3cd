// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/batchoutput.h"

#include <algorithm>
#include <cstdio>

#include <QFile>

#include <unistd.h>

#include "core/rawpaths.h"

QByteArray printablePath(const QByteArray& path)
{
    QByteArray printable;
    for (qsizetype at = 0; at < path.size();) {
        const char c = path[at];
        const auto byte = static_cast<unsigned char>(c);
        const int length = utf8SequenceLength(path.constData() + at, path.size() - at);
        if (c == '\\')
            printable += "\\\\";
        else if (c == '\n')
            printable += "\\n";
        else if (c == '\t')
            printable += "\\t";
        else if (byte < 0x20 || byte == 0x7f || length == 0)
            printable += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
        else
            printable += path.mid(at, length);
        at += std::max(length, 1);
    }
    return printable;
}

QByteArray printablePath(const QString& path)
{
    return printablePath(QFile::encodeName(path));
}

void writeLine(const QByteArray& line)
{
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

ProgressLine::ProgressLine(int total)
    : total(total)
    , shown(isatty(STDERR_FILENO) == 1)
{}

void ProgressLine::show(int number) const
{
    if (shown)
        std::fprintf(stderr, "\r[%d/%d]", number, total);
}

void ProgressLine::clear() const
{
    if (shown)
        std::fputs("\r\033[K", stderr);
}
