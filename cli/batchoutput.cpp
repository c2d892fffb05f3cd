// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/batchoutput.h"

#include <cstdio>

#include <QFile>

#include <unistd.h>

QByteArray printablePath(const QString& path)
{
    QByteArray printable;
    for (const char c : QFile::encodeName(path)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\')
            printable += "\\\\";
        else if (c == '\n')
            printable += "\\n";
        else if (c == '\t')
            printable += "\\t";
        else if (byte < 0x20 || byte == 0x7f)
            printable += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
        else
            printable += c;
    }
    return printable;
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
