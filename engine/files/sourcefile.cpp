// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/files/sourcefile.h"

#include <QFile>
#include <QFileInfo>

StepResult checkSourceFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return StepResult::failed(FailureKind::Input, QStringLiteral("cannot read the file"));
    // Checked before opening: opening a pipe for reading blocks until a writer comes.
    if (!info.isFile())
        return StepResult::failed(FailureKind::Input, QStringLiteral("not a file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return StepResult::failed(FailureKind::Input, QStringLiteral("cannot read the file"));
    return {};
}
