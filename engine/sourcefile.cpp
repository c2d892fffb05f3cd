#include "engine/sourcefile.h"

#include <QFile>
#include <QFileInfo>

QString sourceFileProblem(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("cannot read the file");
    // Checked before opening: opening a pipe for reading blocks until a writer comes.
    if (!info.isFile())
        return QStringLiteral("not a file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read the file");
    return {};
}
