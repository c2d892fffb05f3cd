// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the benchmark's grid HEIC: the tests' drawn picture, cut into tiles that the system's ffmpeg
// (libx265) encodes, wrapped as a grid image the way the tests make theirs.
//   makegrid OUT.heic [WIDTH HEIGHT [TILE]]     (4032 x 3024 in tiles of 512 x 512 unless given)

#include <cstdio>

#include <QGuiApplication>
#include <QStringList>

#include "fixtures/heicfixtures.h"

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 2 && arguments.size() != 4 && arguments.size() != 5) {
        std::fprintf(stderr, "usage: makegrid OUT.heic [WIDTH HEIGHT [TILE]]\n");
        return 2;
    }
    int width = 4032;
    int height = 3024;
    int tile = 512;
    bool valid = true;
    if (arguments.size() >= 4) {
        bool widthValid = false;
        bool heightValid = false;
        width = arguments[2].toInt(&widthValid);
        height = arguments[3].toInt(&heightValid);
        valid = widthValid && heightValid;
    }
    if (arguments.size() == 5)
        tile = arguments[4].toInt(&valid);
    if (!valid || width < 1 || height < 1 || tile < 16) {
        std::fprintf(stderr, "makegrid: the sizes must be whole numbers, the tile at least 16\n");
        return 2;
    }

    const QString failure = vornetta::test::writeGridHeic(vornetta::test::drawTestPicture(width, height),
                                                          tile, tile, arguments[1]);
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "makegrid: %s\n", qPrintable(failure));
        return 1;
    }
    return 0;
}
