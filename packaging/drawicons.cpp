// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program icon for the desktop's icon theme: <folder>/<N>x<N>/apps/vornetta.png for each size.
//
//   vornetta-icons <folder> <size>...

#include <cstdio>

#include <QDir>
#include <QImage>
#include <QString>

#include "tools/draw-images/programicon.h"

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: vornetta-icons <folder> <size>...\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int n = 2; n < argc; ++n) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[n]).toInt(&ok);
        if (!ok || size < 16 || size > 1024) {
            std::fprintf(stderr, "vornetta-icons: %s is not a size from 16 to 1024\n", argv[n]);
            return 2;
        }
        const QString apps = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = folder.filePath(apps + "/vornetta.png");
        if (!folder.mkpath(apps) ||
            !drawProgramIcon(size).convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
            std::fprintf(stderr, "vornetta-icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
