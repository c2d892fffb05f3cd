// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>

#include "fixtures/heicfixtures.h"
#include "tests/support/testenvironment.h"
#include "tests/support/toolprocess.h"

// Runs the real heic/heic and reads back what it wrote, for the splitter's process-level tests.
namespace vornetta::test {

using SplitterRun = ToolRun;

inline QString splitterPath()
{
    return programFolder() + "/heic/heic";
}

inline SplitterRun runSplitter(const QStringList& arguments, int timeoutMs = 10000)
{
    return runProgram(splitterPath(), arguments, timeoutMs);
}

inline SplitterRun runSplitter(const QString& input, const QString& prefix)
{
    return runSplitter(QStringList{input, prefix});
}

// The information text the splitter must write for a grid of rows x cols.
inline QByteArray expectedInfo(int width, int height, int rows, int cols)
{
    QByteArray text =
        QString("width=%1\nheight=%2\nrow=%3\ncol=%4\n").arg(width).arg(height).arg(rows).arg(cols).toUtf8();
    for (int n = 1; n <= rows * cols; ++n) {
        text += QByteArray::number(n) + ',';
    }
    return text + '\n';
}

// A fresh, empty folder for one run's output.
inline QString freshFolder(const QString& name)
{
    QDir folder(QDir::temp().filePath(name));
    folder.removeRecursively();
    QDir().mkpath(folder.path());
    return folder.path();
}

} // namespace vornetta::test
