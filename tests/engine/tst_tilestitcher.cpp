// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstring>

#include <malloc.h>

#include <QStandardPaths>
#include <QTemporaryDir>

#include "engine/picture/bmpwriter.h"
#include "engine/process/decoderslots.h"
#include "engine/tiles/tileplacement.h"
#include "engine/tiles/tilestitcher.h"
#include "protocol/tilebmp.h"
#include "tests/engine/fakeprogramfolder.h"
#include "tests/support/files.h"
#include "tests/support/testmain.h"

using vornetta::test::FakeProgramFolder;
using vornetta::test::writeFile;

namespace {

QRgb tileColour(int n)
{
    return qRgb(n * 5 % 256, n * 37 % 256, 255 - n % 256);
}

QImage solid(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Every pixel different, so any shift or misplacement shows.
QImage gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256 * 40 + y / 256 * 90) % 256));
    return image;
}

TileInfo infoOf(int rows, int cols, int width, int height)
{
    TileInfo info;
    info.rows = rows;
    info.cols = cols;
    info.width = width;
    info.height = height;
    return info;
}

// A work folder with hevc/ and jpeg/, tiles written as BMP pictures, and the copying decoder.
class StitchBench final
{
public:
    StitchBench()
    {
        QDir().mkpath(work() + "/hevc");
        QDir().mkpath(work() + "/jpeg");
        program.addCopyingDecoder();
    }

    QString work() const { return dir.path() + "/thumb"; }
    QString bmp() const { return work() + "/bmp.bmp"; }

    void writeInfo(const QByteArray& text) const
    {
        QFile file(work() + "/hevc/hevcinfo");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    void writeTile(int n, const QImage& picture) const
    {
        QVERIFY(picture.save(work() + "/hevc/hevc" + QString::number(n), "BMP"));
    }
    // Splits the picture into cells of the given size, numbered in grid order from 1.
    QByteArray writeGrid(const QImage& picture, int cellWidth, int cellHeight) const
    {
        const int cols = (picture.width() + cellWidth - 1) / cellWidth;
        const int rows = (picture.height() + cellHeight - 1) / cellHeight;
        QByteArray ids;
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) {
                const int n = r * cols + c + 1;
                writeTile(n, picture.copy(c * cellWidth, r * cellHeight, cellWidth, cellHeight));
                ids += QByteArray::number(n) + ",";
            }
        return QByteArray("width=%1\nheight=%2\nrow=%3\ncol=%4\n")
                   .replace("%1", QByteArray::number(picture.width()))
                   .replace("%2", QByteArray::number(picture.height()))
                   .replace("%3", QByteArray::number(rows))
                   .replace("%4", QByteArray::number(cols)) +
               ids + "\n";
    }

    StitchResult stitch(const StopCheck& stop = {}) const
    {
        return stitchTiles(work().toStdString(), bmp().toStdString(), stop);
    }

    // What is left of the decoders' output.
    QStringList decodedPictures() const { return QDir(work() + "/jpeg").entryList(QDir::Files); }

    // The stitched picture straight from the file's bytes, alpha included.
    QImage result() const
    {
        QFile file(bmp());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        if (bytes.size() < qsizetype(protocol::kTileBmpHeaderBytes))
            return {};
        const auto field = [&bytes](int offset) {
            quint32 value = 0;
            for (int i = 3; i >= 0; --i)
                value = value << 8 | quint8(bytes.at(offset + i));
            return qint32(value);
        };
        const int width = field(18);
        const int height = -field(22);
        if (bytes.size() != qsizetype(protocol::kTileBmpHeaderBytes) + qsizetype(width) * height * 4)
            return {};
        return QImage(reinterpret_cast<const uchar*>(bytes.constData()) +
                          qsizetype(protocol::kTileBmpHeaderBytes),
                      width, height, width * 4, QImage::Format_ARGB32)
            .copy();
    }

    FakeProgramFolder program;

private:
    QTemporaryDir dir;
};

} // namespace

class TileStitcherTest final : public QObject
{
    Q_OBJECT

private slots:
    void placesTilesAndCutsThemAtTheEdges_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QSize>("cell");
        QTest::addColumn<qint64>("tile");
        QTest::addColumn<QRect>("expected"); // null: not placed

        const QSize phone(512, 512);
        QTest::newRow("first") << 6 << 8 << 4032 << 3024 << phone << 1LL << QRect(0, 0, 512, 512);
        QTest::newRow("right column is 448 wide")
            << 6 << 8 << 4032 << 3024 << phone << 8LL << QRect(3584, 0, 448, 512);
        QTest::newRow("bottom row is 464 high")
            << 6 << 8 << 4032 << 3024 << phone << 41LL << QRect(0, 2560, 512, 464);
        QTest::newRow("corner") << 6 << 8 << 4032 << 3024 << phone << 48LL << QRect(3584, 2560, 448, 464);
        QTest::newRow("beyond the grid") << 6 << 8 << 4032 << 3024 << phone << 49LL << QRect();
        QTest::newRow("number 0") << 6 << 8 << 4032 << 3024 << phone << 0LL << QRect();
        QTest::newRow("extra column off the picture") << 1 << 10 << 4032 << 512 << phone << 9LL << QRect();
        QTest::newRow("extra row off the picture") << 7 << 8 << 4032 << 3024 << phone << 49LL << QRect();
        QTest::newRow("single image")
            << 1 << 1 << 1280 << 854 << QSize(1280, 854) << 1LL << QRect(0, 0, 1280, 854);
        QTest::newRow("480x320 grid")
            << 2 << 2 << 960 << 640 << QSize(480, 320) << 4LL << QRect(480, 320, 480, 320);
        QTest::newRow("absurd grid, on the picture")
            << 2000000000 << 2000000000 << 1024 << 1024 << phone << 2000000001LL << QRect(0, 512, 512, 512);
        QTest::newRow("absurd grid, last tile")
            << 2000000000 << 2000000000 << 1024 << 1024 << phone << 4000000000000000000LL << QRect();
        QTest::newRow("no rows") << 0 << 8 << 4032 << 3024 << phone << 1LL << QRect();
        QTest::newRow("negative columns") << 6 << -8 << 4032 << 3024 << phone << 1LL << QRect();
    }
    void placesTilesAndCutsThemAtTheEdges()
    {
        QFETCH(int, rows);
        QFETCH(int, cols);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QSize, cell);
        QFETCH(qint64, tile);
        QFETCH(QRect, expected);

        const auto rect =
            placeTile(tile, infoOf(rows, cols, width, height), CellSize{cell.width(), cell.height()});
        QCOMPARE(rect.has_value(), !expected.isNull());
        if (rect)
            QCOMPARE(QRect(rect->x, rect->y, rect->width, rect->height), expected);
    }

    void bmpHeaderIsExact()
    {
        const auto small = protocol::tileBmpHeader(3, 2);
        const QByteArray expected = QByteArray::fromHex("424d"
                                                        "4e000000"
                                                        "00000000"
                                                        "36000000"
                                                        "28000000"
                                                        "03000000"
                                                        "feffffff"
                                                        "0100"
                                                        "2000"
                                                        "00000000"
                                                        "18000000"
                                                        "00000000000000000000000000000000");
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(small.data()), int(small.size())), expected);

        const auto largest = protocol::tileBmpHeader(10239, 10239);
        const QByteArray bytes(reinterpret_cast<const char*>(largest.data()), int(largest.size()));
        QCOMPARE(bytes.mid(2, 4), QByteArray::fromHex("3ac0fe18"));
        QCOMPARE(bytes.mid(18, 8), QByteArray::fromHex("ff270000"
                                                       "01d8ffff"));
        QCOMPARE(bytes.mid(34, 4), QByteArray::fromHex("04c0fe18"));
    }

    void writeBmp32WritesHeaderAndRowsTopFirst()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("out.bmp");
        const std::array<quint32, 6> pixels{0x11223344, 0x55667788, 0x99aabbcc,
                                            0xff000000, 0x00ff0000, 0x0000ff00};
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(pixels.data());
        // A longer file of that name is replaced, not overwritten in part.
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(500, 'x'));
        old.close();

        QVERIFY(writeBmp32(path.toStdString(), bytes, 3, 2));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        const auto header = protocol::tileBmpHeader(3, 2);
        QCOMPARE(content.left(54), QByteArray(reinterpret_cast<const char*>(header.data()), 54));
        QCOMPARE(content.mid(54), QByteArray(reinterpret_cast<const char*>(bytes), 24));

        const QImage image(path);
        QCOMPARE(image.size(), QSize(3, 2));
        QCOMPARE(image.pixel(0, 0) & 0xffffff, 0x223344u);
        QCOMPARE(image.pixel(2, 1) & 0xffffff, 0x00ff00u);

        QVERIFY(!writeBmp32(dir.filePath("no such folder/out.bmp").toStdString(), bytes, 3, 2));
        QVERIFY(!QFile::exists(dir.filePath("no such folder/out.bmp")));
    }

    void stitchesAPhoneGrid()
    {
        StitchBench bench;
        QByteArray ids;
        for (int n = 1; n <= 48; ++n) {
            bench.writeTile(n, solid(512, 512, tileColour(n)));
            ids += QByteArray::number(n) + ",";
        }
        bench.writeInfo("width=4032\nheight=3024\nrow=6\ncol=8\n" + ids + "\n");

        const StitchResult stitched = bench.stitch();
        QCOMPARE(stitched.failure, StitchFailure::None);
        QCOMPARE(stitched.missingCells, 0);
        QCOMPARE(bench.program.decodedTiles().size(), 48);
        QCOMPARE(QFileInfo(bench.bmp()).size(), 54 + 4032LL * 3024 * 4);
        const QImage result = bench.result();
        QCOMPARE(result.size(), QSize(4032, 3024));
        for (int n = 1; n <= 48; ++n) {
            const int x = (n - 1) % 8 * 512;
            const int y = (n - 1) / 8 * 512;
            const int right = std::min(x + 511, 4031);
            const int bottom = std::min(y + 511, 3023);
            QCOMPARE(result.pixel(x, y), tileColour(n));
            QCOMPARE(result.pixel(right, bottom), tileColour(n));
        }
    }

    void tileNumbersTwoToFortyNineShiftTheGrid()
    {
        StitchBench bench;
        QByteArray ids;
        for (int n = 2; n <= 49; ++n) {
            bench.writeTile(n, solid(512, 512, tileColour(n)));
            ids += QByteArray::number(n) + ",";
        }
        bench.writeInfo("width=4032\nheight=3024\nrow=6\ncol=8\n" + ids + "\n");

        const StitchResult stitched = bench.stitch();
        QCOMPARE(stitched.failure, StitchFailure::None);
        QCOMPARE(stitched.missingCells, 1);
        QCOMPARE(bench.program.decodedTiles().size(), 48);
        QVERIFY(QFile::exists(bench.work() + "/jpeg/jpeg49.bmp"));
        const QImage result = bench.result();
        QCOMPARE(result.pixel(100, 100), 0u); // black with alpha 0
        QCOMPARE(result.pixel(512, 0), tileColour(2));
        QCOMPARE(result.pixel(4031, 3023), tileColour(48));
    }

    void missingOrUndecodableTilesStayBlackAndAreCounted()
    {
        StitchBench bench;
        bench.writeTile(1, solid(512, 512, tileColour(1)));
        bench.writeTile(2, solid(512, 512, tileColour(2)));
        QFile garbage(bench.work() + "/hevc/hevc4");
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("not a picture");
        garbage.close();
        bench.writeInfo("width=1024\nheight=1000\nrow=2\ncol=2\n1,2,3,4\n");

        const StitchResult stitched = bench.stitch();
        QCOMPARE(stitched.failure, StitchFailure::None);
        QCOMPARE(stitched.missingCells, 2);
        // Tile 3 was never written, so the decoder was not even started for it.
        QCOMPARE(bench.program.decodedTiles().size(), 3);
        const QImage result = bench.result();
        QCOMPARE(result.pixel(600, 10), tileColour(2));
        QCOMPARE(result.pixel(10, 600), 0u);
        QCOMPARE(result.pixel(1023, 999), 0u);
    }

    // Our tile decoder writes 32-bit BMPs top row first, which are read straight; a file whose header
    // promises more than it holds is no tile.
    void topDownTilesAreReadStraight()
    {
        StitchBench bench;
        const QImage drawing = gradient(700, 450);
        bench.writeInfo(bench.writeGrid(drawing, 300, 200));
        for (int n = 1; n <= 9; ++n) {
            const QImage tile = drawing.copy((n - 1) % 3 * 300, (n - 1) / 3 * 200, 300, 200);
            QByteArray file("BM", 2);
            const auto put = [&file](quint32 value, int bytes) {
                for (int i = 0; i < bytes; ++i)
                    file.append(i < 4 ? char(value >> (8 * i)) : '\0');
            };
            put(54 + 300 * 200 * 4, 4);
            put(0, 4);
            put(54, 4);
            put(40, 4);
            put(300, 4);
            put(quint32(-200), 4);
            put(1, 2);
            put(32, 2);
            put(0, 4);
            put(300 * 200 * 4, 4);
            put(0, 16);
            for (int y = 0; y < 200; ++y)
                file.append(reinterpret_cast<const char*>(tile.constScanLine(y)), 300 * 4);
            QVERIFY(
                writeFile(bench.work() + "/hevc/hevc" + QString::number(n), n == 5 ? file.left(5000) : file));
        }
        const StitchResult stitched = bench.stitch();
        QCOMPARE(stitched.failure, StitchFailure::None);
        QCOMPARE(stitched.missingCells, 1);
        const QImage result = bench.result();
        QCOMPARE(result.copy(0, 0, 300, 200),
                 drawing.copy(0, 0, 300, 200).convertToFormat(QImage::Format_ARGB32));
        QCOMPARE(result.copy(600, 400, 100, 50),
                 drawing.copy(600, 400, 100, 50).convertToFormat(QImage::Format_ARGB32));
        QCOMPARE(result.pixel(350, 250), 0u);
    }

    // The canvas is not cleared up front: a batch may give it the memory of the picture before. Cells
    // without a tile must come out all zero all the same.
    void emptyCellsShowNothingOfAnEarlierPicture()
    {
        // Keep freed pictures in the heap, as vornetta-convert does, so the next canvas takes their memory.
        mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
        for (const bool withGaps : {false, true}) {
            StitchBench bench;
            for (int n = 1; n <= 4; ++n) {
                if (!withGaps || n == 1)
                    bench.writeTile(n, solid(512, 512, qRgb(255, 255, 255)));
            }
            bench.writeInfo("width=1024\nheight=1000\nrow=2\ncol=2\n1,2,3,4\n");
            const StitchResult stitched = bench.stitch();
            QCOMPARE(stitched.missingCells, withGaps ? 3 : 0);
            const QImage result = bench.result();
            QCOMPARE(result.pixel(0, 0), qRgb(255, 255, 255));
            QCOMPARE(result.pixel(1023, 999), withGaps ? 0u : qRgb(255, 255, 255));
            QCOMPARE(result.pixel(600, 10), withGaps ? 0u : qRgb(255, 255, 255));
            QCOMPARE(result.pixel(10, 600), withGaps ? 0u : qRgb(255, 255, 255));
        }
        mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    }

    void gridsWithoutTilesGiveAnAllZeroPicture_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<int>("missing");
        QTest::addColumn<int>("decoded");
        QTest::newRow("empty tile list") << QByteArray("width=1000\nheight=600\nrow=2\ncol=2\n") << 4 << 0;
        // A grid without cells has no tile to decode.
        QTest::newRow("no rows") << QByteArray("width=1000\nheight=600\nrow=0\ncol=2\n1,2\n") << 4 << 0;
    }
    void gridsWithoutTilesGiveAnAllZeroPicture()
    {
        QFETCH(QByteArray, info);
        QFETCH(int, missing);
        QFETCH(int, decoded);
        StitchBench bench;
        bench.writeTile(1, solid(512, 512, tileColour(1)));
        bench.writeTile(2, solid(512, 512, tileColour(2)));
        bench.writeInfo(info);

        const StitchResult stitched = bench.stitch();
        QCOMPARE(stitched.failure, StitchFailure::None);
        QCOMPARE(stitched.missingCells, missing);
        QCOMPARE(bench.program.decodedTiles().size(), decoded);
        const QImage result = bench.result();
        QCOMPARE(result.size(), QSize(1000, 600));
        QImage zero(1000, 600, QImage::Format_ARGB32);
        zero.fill(0);
        QCOMPARE(result, zero);
    }

    void pictureSizeLimits_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<int>("failure"); // StitchFailure
        QTest::newRow("10239 wide") << QByteArray("width=10239\nheight=1\nrow=1\ncol=20\n")
                                    << int(StitchFailure::None);
        QTest::newRow("10239 high") << QByteArray("width=1\nheight=10239\nrow=20\ncol=1\n")
                                    << int(StitchFailure::None);
        QTest::newRow("10240 wide") << QByteArray("width=10240\nheight=1\n") << int(StitchFailure::TooLarge);
        QTest::newRow("10240 high") << QByteArray("width=1\nheight=10240\n") << int(StitchFailure::TooLarge);
        QTest::newRow("saturated") << QByteArray("width=99999999999\nheight=1\n")
                                   << int(StitchFailure::TooLarge);
        QTest::newRow("width 0") << QByteArray("width=0\nheight=100\n") << int(StitchFailure::NoPicture);
        QTest::newRow("negative height")
            << QByteArray("width=10\nheight=-100\n") << int(StitchFailure::NoPicture);
        QTest::newRow("no keys") << QByteArray("hello\n") << int(StitchFailure::NoPicture);
        QTest::newRow("no file") << QByteArray() << int(StitchFailure::NoPicture);
    }
    void pictureSizeLimits()
    {
        QFETCH(QByteArray, info);
        QFETCH(int, failure);
        StitchBench bench;
        if (!info.isEmpty())
            bench.writeInfo(info);

        const StitchResult stitched = bench.stitch();
        QCOMPARE(int(stitched.failure), failure);
        QCOMPARE(QFile::exists(bench.bmp()), stitched.failure == StitchFailure::None);
        if (stitched.failure == StitchFailure::None)
            QCOMPARE(QFileInfo(bench.bmp()).size(), 54 + 10239LL * 4);
    }

    // Tiles that do not make the grid the file declares refuse the whole file at once: no picture, and no
    // decoded tile left behind.
    void tilesThatDoNotMakeTheGridRefuseTheFile_data()
    {
        QTest::addColumn<QByteArray>("info");
        QTest::addColumn<QList<QSize>>("tiles"); // tile n + 1 of size tiles[n]
        const QSize phone(512, 512);
        QTest::newRow("a narrower tile") << QByteArray("width=1024\nheight=512\nrow=1\ncol=2\n1,2\n")
                                         << QList<QSize>{phone, QSize(100, 512)};
        QTest::newRow("too few rows")
            << QByteArray("width=1000\nheight=600\nrow=1\ncol=2\n1,2\n") << QList<QSize>{phone, phone};
        QTest::newRow("a column to spare") << QByteArray("width=600\nheight=512\nrow=1\ncol=3\n1,2,3\n")
                                           << QList<QSize>{phone, phone, phone};
        QTest::newRow("tiles far larger than their cells")
            << QByteArray("width=4\nheight=4\nrow=2\ncol=2\n1,2,3,4\n")
            << QList<QSize>{phone, phone, phone, phone};
        QTest::newRow("absurd grid")
            << QByteArray(
                   "width=1024\nheight=1024\nrow=2000000000\ncol=2000000000\n1,2000000001,2147483647\n")
            << QList<QSize>{phone};
    }
    void tilesThatDoNotMakeTheGridRefuseTheFile()
    {
        QFETCH(QByteArray, info);
        QFETCH(QList<QSize>, tiles);
        StitchBench bench;
        for (int n = 0; n < tiles.size(); ++n)
            bench.writeTile(n + 1, gradient(tiles[n].width(), tiles[n].height()));
        bench.writeTile(2000000001, solid(512, 512, tileColour(3)));
        bench.writeInfo(info);

        const StitchResult stitched = bench.stitch();
        QCOMPARE(stitched.failure, StitchFailure::BadTiles);
        QVERIFY(stitched.picture.isNull());
        QVERIFY(!QFile::exists(bench.bmp()));
        QCOMPARE(bench.decodedPictures(), QStringList());
    }

    // The first tile that refuses the file stops the decoders still at work: the file fails at once.
    void aRefusedTileStopsTheOtherDecoders()
    {
        StitchBench bench;
        for (int n = 1; n <= 4; ++n)
            bench.writeTile(n, solid(512, 512, tileColour(n)));
        bench.writeInfo("width=4\nheight=4\nrow=2\ncol=2\n1,2,3,4\n");
        bench.program.addTool(
            "ffmpeg", "case \"$2\" in *hevc1) cp \"$2\" \"$3\";; *) : > \"$3.part\"; sleep 300;; esac");
        setTileDecoderCount(4);

        const StitchResult stitched = bench.stitch();
        setTileDecoderCount(0);
        QCOMPARE(stitched.failure, StitchFailure::BadTiles);
        QCOMPARE(bench.decodedPictures(), QStringList());
        QCOMPARE(vornetta::test::childProcesses(), QList<pid_t>());
    }

    void tilesOfAnySizeArePlacedExactly_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("cell");
        QTest::newRow("single image") << QSize(1280, 854) << QSize(1280, 854);
        QTest::newRow("2 x 2 tiles of 480 x 320") << QSize(960, 640) << QSize(480, 320);
        QTest::newRow("cut tiles of 300 x 200") << QSize(700, 450) << QSize(300, 200);
        QTest::newRow("phone tiles cut at both edges") << QSize(1100, 700) << QSize(512, 512);
    }
    void tilesOfAnySizeArePlacedExactly()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, cell);
        StitchBench bench;
        const QImage drawing = gradient(picture.width(), picture.height());
        bench.writeInfo(bench.writeGrid(drawing, cell.width(), cell.height()));

        const StitchResult stitched = bench.stitch();
        QCOMPARE(stitched.failure, StitchFailure::None);
        QCOMPARE(stitched.missingCells, 0);
        QCOMPARE(bench.result(), drawing.convertToFormat(QImage::Format_ARGB32));
    }

    // The worker saves the handed-over picture instead of reading bmp.bmp back: they must not differ in
    // a single byte, gaps (alpha 0 in the file) included.
    void theHandedOverPictureIsTheBmpReadBack_data()
    {
        QTest::addColumn<bool>("withGap");
        QTest::newRow("complete") << false;
        QTest::newRow("one tile missing") << true;
    }
    void theHandedOverPictureIsTheBmpReadBack()
    {
        QFETCH(bool, withGap);
        StitchBench bench;
        bench.writeInfo(bench.writeGrid(gradient(700, 450), 300, 200));
        if (withGap)
            QVERIFY(QFile::remove(bench.work() + "/hevc/hevc5"));

        const StitchResult stitched = bench.stitch();
        QCOMPARE(stitched.failure, StitchFailure::None);
        QCOMPARE(stitched.missingCells, withGap ? 1 : 0);
        const QImage& handedOver = stitched.picture;
        const QImage readBack(bench.bmp());
        QCOMPARE(handedOver.format(), readBack.format());
        QCOMPARE(handedOver.size(), readBack.size());
        QCOMPARE(handedOver.sizeInBytes(), readBack.sizeInBytes());
        QVERIFY(std::memcmp(handedOver.constBits(), readBack.constBits(), size_t(readBack.sizeInBytes())) ==
                0);
        // The file keeps the gap's alpha 0 all the same.
        if (withGap)
            QCOMPARE(bench.result().pixel(350, 250), 0u);
    }

    void aStopEndsTheStitchWithoutPicture()
    {
        StitchBench bench;
        bench.writeTile(1, solid(512, 512, tileColour(1)));
        bench.writeInfo("width=512\nheight=512\nrow=1\ncol=1\n1,\n");
        QCOMPARE(bench.stitch([] { return true; }).failure, StitchFailure::Stopped);
        QVERIFY(!QFile::exists(bench.bmp()));
        QVERIFY(bench.program.decodedTiles().isEmpty());
    }

    // The tiles here are BMP pictures, which the system's ffmpeg reads as readily as HEVC.
    void theSystemsFfmpegDecodesTiles()
    {
        const QString ffmpeg = QStandardPaths::findExecutable("ffmpeg");
        if (ffmpeg.isEmpty())
            QSKIP("no ffmpeg on the PATH");
        QTemporaryDir programFolder;
        QVERIFY(QFile::link(ffmpeg, programFolder.path() + "/ffmpeg"));
        StitchBench bench;
        overrideProgramFolder(programFolder.path().toStdString());
        const QImage drawing = gradient(150, 100);
        bench.writeInfo(bench.writeGrid(drawing, 64, 64));

        const StitchResult stitched = bench.stitch();
        overrideProgramFolder(bench.program.path().toStdString());
        QCOMPARE(stitched.failure, StitchFailure::None);
        QCOMPARE(stitched.missingCells, 0);
        QCOMPARE(bench.result(), drawing.convertToFormat(QImage::Format_ARGB32));
    }
};

VORNETTA_TEST_MAIN(TileStitcherTest)
#include "tst_tilestitcher.moc"
