#include "app/filerules.h"

#include <QFile>
#include <QFileInfo>

bool isAcceptedHeicPath(const QString& path)
{
    const QFileInfo info(path);
    return info.suffix().toLower() == "heic" && info.exists();
}

QString freeOutputName(const QString& folder, const QString& source, const QString& format)
{
    const QString base = QFileInfo(source).baseName();
    QString candidate = folder + "/" + base + "." + format;
    for (int n = 0; QFile::exists(candidate); ++n)
        candidate = folder + "/" + base + "(" + QString::number(n) + ")." + format;
    return candidate;
}
