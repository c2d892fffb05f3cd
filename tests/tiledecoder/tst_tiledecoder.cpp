// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "fixtures/heicfixtures.h"
#include "fixtures/sequenceheaderwriter.h"
#include "tests/support/testmain.h"
#include "tests/tiledecoder/decoderprocess.h"

using namespace vornetta::test;

namespace {

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Encodes one picture, from a lavfi source or a drawn picture saved as PNG, with libx265.
QString encodeTile(const QString& path, const QStringList& input, const QStringList& options,
                   const QString& x265Parameters)
{
    QStringList arguments{"-v", "error", "-nostdin", "-y"};
    arguments << input << "-frames:v"
              << "1" << options << "-c:v"
              << "libx265"
              << "-x265-params"
              << "log-level=error" + (x265Parameters.isEmpty() ? "" : ":" + x265Parameters) << "-f"
              << "hevc" << path;
    const DecoderRun run = runDecoder(ffmpegPath(), arguments);
    return run.succeeded() && QFileInfo(path).size() > 0 ? QString() : run.describe();
}

// The offset of the first coded slice's start code in a raw stream, or -1.
int firstSliceOffset(const QByteArray& stream)
{
    const QByteArray startCode("\0\0\1", 3);
    for (int at = stream.indexOf(startCode); at >= 0 && at + 3 < stream.size();
         at = stream.indexOf(startCode, at + 3)) {
        const int type = (quint8(stream[at + 3]) >> 1) & 0x3f;
        if (type <= 9 || (type >= 16 && type <= 21))
            return at;
    }
    return -1;
}

// A stream whose only sequence parameter set declares width x height, followed by an IDR slice of junk.
QByteArray streamDeclaring(quint32 width, quint32 height)
{
    const QByteArray startCode("\0\0\0\1", 4);
    return startCode + vornetta::test::hevc::sequenceParameterSet(width, height) + startCode +
           QByteArray("\x28\x01", 2) + QByteArray(64, '\x5a');
}

} // namespace

// Our tile decoder in the program folder, checked against the system's ffmpeg on the same tiles, and on
// input that must fail cleanly.
class TileDecoderTest final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir work;
    QString plainTile;    // 512 x 512, 4:2:0, no colour description
    QString plainPicture; // plainTile decoded by us

    QString path(const QString& name) const { return work.filePath(name); }

    // Decodes tile with both decoders and requires the same picture, within the bound; returns our file's
    // path and gives its size.
    QString compareDecoders(const QString& tile, const QString& name, int bound = kMaxChannelDifference,
                            TileForm form = TileForm::Bmp, QSize* size = nullptr)
    {
        const Comparison comparison = compareWithSystemFfmpeg(tile, path(name), bound, form);
        if (!comparison.failure.isEmpty()) {
            QTest::qFail(qPrintable(name + ": " + comparison.failure), __FILE__, __LINE__);
            return {};
        }
        qInfo("%s: %dx%d, %s", qPrintable(name), comparison.size.width(), comparison.size.height(),
              qPrintable(comparison.describe()));
        if (size)
            *size = comparison.size;
        return comparison.ours;
    }

    static bool ownDecoderBuilt()
    {
#ifdef VORNETTA_OWN_TILE_DECODER
        return true;
#else
        return false;
#endif
    }

    // A clean failure: status 1 (2 for a wrong command line), one line on standard error, soon, and
    // nothing left in the output folder.
    void checkCleanFailure(const DecoderRun& run, int exitCode, const QString& outputFolder)
    {
        QVERIFY2(run.started && !run.crashed && !run.timedOut, qPrintable(run.describe()));
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.errorOutput.endsWith('\n') && run.errorOutput.count('\n') == 1,
                 run.errorOutput.constData());
        QCOMPARE(QDir(outputFolder).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(work.isValid());
        QVERIFY2(QFileInfo(ffmpegPath()).isExecutable(), "the system's ffmpeg is needed");
        QVERIFY2(QFileInfo(ourDecoder()).isExecutable(), qPrintable(ourDecoder()));
        if (ownDecoderBuilt())
            QVERIFY2(!QFileInfo(ourDecoder()).isSymLink(), "the program folder's ffmpeg is still a link");
        plainTile = path("plain.hevc");
        const QString failure = encodeTile(plainTile, {"-f", "lavfi", "-i", "testsrc2=size=512x512"}, {}, {});
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void agreesWithSystemFfmpeg_data()
    {
        QTest::addColumn<int>("bound");      // largest channel difference allowed
        QTest::addColumn<QString>("source"); // "testsrc2" (lavfi) or "drawn" (a drawn picture as PNG)
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("x265");
        const QSize tile(512, 512);
        const auto row = [](const char* name, int bound = kMaxChannelDifference) -> QTestData& {
            return QTest::newRow(name) << bound;
        };
        row("testsrc2 512x512") << "testsrc2" << tile << QStringList() << "";
        row("drawn 512x512") << "drawn" << tile << QStringList() << "";
        row("drawn edge tile 464x448") << "drawn" << QSize(464, 448) << QStringList() << "";
        row("drawn 480x320") << "drawn" << QSize(480, 320) << QStringList() << "";
        row("cropped to 510x302") << "testsrc2" << QSize(510, 302) << QStringList() << "";
        row("full range") << "testsrc2" << tile << QStringList{"-color_range", "pc"} << "";
        row("BT.709") << "testsrc2" << tile << QStringList{"-colorspace", "bt709"} << "";
        row("BT.709 full range") << "drawn" << tile
                                 << QStringList{"-colorspace", "bt709", "-color_range", "pc"} << "";
        row("BT.2020") << "testsrc2" << tile << QStringList{"-colorspace", "bt2020nc"} << "";
        row("BT.2020 full range") << "testsrc2" << tile
                                  << QStringList{"-colorspace", "bt2020nc", "-color_range", "pc"} << "";
        row("monochrome") << "drawn" << tile << QStringList{"-pix_fmt", "gray"} << "";
        row("monochrome limited range")
            << "testsrc2" << tile << QStringList{"-pix_fmt", "gray", "-color_range", "tv"} << "";
        row("monochrome 10-bit") << "testsrc2" << tile << QStringList{"-pix_fmt", "gray10le"} << "";
        row("monochrome 12-bit full range")
            << "drawn" << tile << QStringList{"-pix_fmt", "gray12le", "-color_range", "pc"} << "";
        row("10-bit") << "drawn" << tile << QStringList{"-pix_fmt", "yuv420p10le"} << "";
        row("10-bit BT.709 full range")
            << "testsrc2" << tile
            << QStringList{"-pix_fmt", "yuv420p10le", "-colorspace", "bt709", "-color_range", "pc"} << "";
        row("12-bit") << "testsrc2" << tile << QStringList{"-pix_fmt", "yuv420p12le"} << "";
        row("4:2:2") << "testsrc2" << tile << QStringList{"-pix_fmt", "yuv422p"} << "";
        row("4:4:4") << "testsrc2" << tile << QStringList{"-pix_fmt", "yuv444p"} << "";
        row("4:4:4 10-bit") << "drawn" << tile << QStringList{"-pix_fmt", "yuv444p10le"} << "";
        row("4:2:2 10-bit cropped to 510x302")
            << "testsrc2" << QSize(510, 302) << QStringList{"-pix_fmt", "yuv422p10le"} << "";
        row("4:4:4 12-bit BT.709") << "testsrc2" << tile
                                   << QStringList{"-pix_fmt", "yuv444p12le", "-colorspace", "bt709"} << "";
        row("GBR") << "testsrc2" << tile << QStringList{"-pix_fmt", "gbrp"} << "";
        row("GBR 10-bit") << "drawn" << tile << QStringList{"-pix_fmt", "gbrp10le"} << "";
        row("monochrome odd size 511x509")
            << "drawn" << QSize(511, 509) << QStringList{"-pix_fmt", "gray"} << "";
        // 16-bit rows longer than the decoder's output buffer go in parts.
        row("wide 11008x64") << "testsrc2" << QSize(11008, 64) << QStringList() << "";
        row("wide 10-bit 4:2:2 11002x32")
            << "testsrc2" << QSize(11002, 32) << QStringList{"-pix_fmt", "yuv422p10le"} << "";
        // libde265 and ffmpeg's decoder disagree by up to 4 on a few dozen chroma samples at the slice edges.
        row("four slices", 8) << "testsrc2" << tile << QStringList() << "slices=4";
        row("no wavefronts") << "testsrc2" << tile << QStringList() << "no-wpp=1";
        row("lossless") << "drawn" << tile << QStringList() << "lossless=1";
    }
    void agreesWithSystemFfmpeg()
    {
        QFETCH(int, bound);
        QFETCH(QString, source);
        QFETCH(QSize, size);
        QFETCH(QStringList, options);
        QFETCH(QString, x265);
        const QString name =
            QString(QTest::currentDataTag()).replace(QRegularExpression("[^A-Za-z0-9]"), "_");
        QStringList input;
        if (source == "drawn") {
            const QString png = path(name + ".png");
            QVERIFY(drawTestPicture(size.width(), size.height()).save(png, "PNG"));
            input = QStringList{"-i", png};
        } else {
            input = QStringList{"-f", "lavfi", "-i",
                                QString("testsrc2=size=%1x%2").arg(size.width()).arg(size.height())};
        }
        const QString tile = path(name + ".hevc");
        const QString failure = encodeTile(tile, input, options, x265);
        if (!failure.isEmpty())
            QSKIP(qPrintable("libx265 cannot make this tile: " + failure));
        // Both forms: the BMP of every conversion and the 16-bit PPM of deeper pictures.
        QSize decoded;
        QVERIFY(!compareDecoders(tile, name, bound, TileForm::Bmp, &decoded).isEmpty());
        QCOMPARE(decoded, size);
        QVERIFY(!compareDecoders(tile, name + "_16bit", bound, TileForm::Ppm16, &decoded).isEmpty());
        QCOMPARE(decoded, size);
    }

    // The same coded picture with only its colour description changed must decode differently, and still
    // as the system's ffmpeg decodes it: the matrix and the range are read from the stream.
    void colourDescriptionIsHonoured_data()
    {
        QTest::addColumn<QString>("metadata");
        QTest::addColumn<bool>("differs"); // clearly, from the untagged picture
        QTest::newRow("BT.709") << "matrix_coefficients=1" << true;
        QTest::newRow("full range") << "video_full_range_flag=1" << true;
        QTest::newRow("BT.709 full range") << "matrix_coefficients=1:video_full_range_flag=1" << true;
        // Close to BT.601, or treated as unspecified (BT.601) by ffmpeg.
        QTest::newRow("FCC") << "matrix_coefficients=4" << false;
        QTest::newRow("SMPTE 240M") << "matrix_coefficients=7" << false;
        QTest::newRow("reserved value 3") << "matrix_coefficients=3" << false;
        QTest::newRow("YCgCo") << "matrix_coefficients=8" << false;
        QTest::newRow("ICtCp") << "matrix_coefficients=14" << false;
    }
    void colourDescriptionIsHonoured()
    {
        QFETCH(QString, metadata);
        QFETCH(bool, differs);
        const QString name =
            QString(QTest::currentDataTag()).replace(QRegularExpression("[^A-Za-z0-9]"), "_");
        const QString tagged = path("tagged_" + name + ".hevc");
        const DecoderRun retag =
            runDecoder(ffmpegPath(), {"-v", "error", "-nostdin", "-y", "-i", plainTile, "-c:v", "copy",
                                      "-bsf:v", "hevc_metadata=" + metadata, "-f", "hevc", tagged});
        QVERIFY2(retag.succeeded(), qPrintable(retag.describe()));

        if (plainPicture.isEmpty())
            plainPicture = compareDecoders(plainTile, "untagged");
        const QString ours = compareDecoders(tagged, "tagged_" + name);
        QVERIFY(!plainPicture.isEmpty() && !ours.isEmpty());
        if (differs)
            QVERIFY2(psnr(QImage(plainPicture), QImage(ours)) < 40,
                     "the colour description made no difference");
    }

    void refusesBadInput_data()
    {
        QTest::addColumn<QByteArray>("content"); // what the tile file holds
        QTest::addColumn<QString>("kind");       // "file", "missing", "folder" or "pipe"
        const QByteArray stream = fileBytes(plainTile);
        QVERIFY(!stream.isEmpty());
        const int slice = firstSliceOffset(stream);
        QVERIFY(slice > 0);
        QRandomGenerator random(9);
        QByteArray noise(64 * 1024, '\0');
        for (char& byte : noise)
            byte = char(random.bounded(256));

        QTest::newRow("missing file") << QByteArray() << "missing";
        QTest::newRow("empty file") << QByteArray() << "file";
        QTest::newRow("random bytes") << noise << "file";
        QTest::newRow("start code and random bytes") << QByteArray("\0\0\1", 3) + noise << "file";
        QTest::newRow("parameter sets only") << stream.left(slice) << "file";
        QTest::newRow("parameter sets and a random slice")
            << stream.left(slice + 5) + noise.left(stream.size() - slice) << "file";
        QTest::newRow("slice without parameter sets") << stream.mid(slice) << "file";
        QTest::newRow("cut in the slice") << stream.left(slice + (stream.size() - slice) / 2) << "file";
        QTest::newRow("cut near the end") << stream.left(stream.size() - 10) << "file";
        QTest::newRow("picture 65536 wide") << streamDeclaring(65536, 16) << "file";
        QTest::newRow("picture 16384 x 16384") << streamDeclaring(16384, 16384) << "file";
        QTest::newRow("width 0") << streamDeclaring(0, 512) << "file";
        QTest::newRow("folder") << QByteArray() << "folder";
        QTest::newRow("named pipe with no writer") << QByteArray() << "pipe";
    }
    void refusesBadInput()
    {
        if (!ownDecoderBuilt())
            QSKIP("the program folder's ffmpeg is the system's");
        QFETCH(QByteArray, content);
        QFETCH(QString, kind);
        const QString name = QString(QTest::currentDataTag()).replace(' ', '_');
        const QString tile = path("bad_" + name);
        if (kind == "file")
            QVERIFY(writeAll(tile, content));
        else if (kind == "folder")
            QVERIFY(QDir().mkpath(tile));
        else if (kind == "pipe")
            QCOMPARE(::mkfifo(QFile::encodeName(tile).constData(), 0600), 0);
        const QString output = path("bad_out_" + name);
        QVERIFY(QDir().mkpath(output));

        // The same checks hold for the 16-bit form.
        checkCleanFailure(runDecoder(ourDecoder(), {"-i", tile, output + "/out.bmp"}), 1, output);
        checkCleanFailure(runDecoder(ourDecoder(), {"-i", tile, "-pix_fmt", "rgb48be", output + "/out.ppm"}),
                          1, output);
    }

    void refusesOtherCommandLines_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("only -i") << QStringList{"-i"};
        QTest::newRow("no output") << QStringList{"-i", "TILE"};
        QTest::newRow("no -i") << QStringList{"TILE", "OUT.bmp"};
        QTest::newRow("an option before") << QStringList{"-y", "-i", "TILE", "OUT.bmp"};
        QTest::newRow("an argument after") << QStringList{"-i", "TILE", "OUT.bmp", "-y"};
        QTest::newRow("capital -I") << QStringList{"-I", "TILE", "OUT.bmp"};
        QTest::newRow("output as PNG") << QStringList{"-i", "TILE", "OUT.png"};
        QTest::newRow("PPM without its pixel format") << QStringList{"-i", "TILE", "OUT.ppm"};
        QTest::newRow("16 bits into a BMP") << QStringList{"-i", "TILE", "-pix_fmt", "rgb48be", "OUT.bmp"};
        QTest::newRow("another pixel format") << QStringList{"-i", "TILE", "-pix_fmt", "rgb48le", "OUT.ppm"};
        QTest::newRow("pixel format first") << QStringList{"-pix_fmt", "rgb48be", "-i", "TILE", "OUT.ppm"};
        QTest::newRow("empty tile name") << QStringList{"-i", "", "OUT.bmp"};
    }
    void refusesOtherCommandLines()
    {
        if (!ownDecoderBuilt())
            QSKIP("the program folder's ffmpeg is the system's");
        QFETCH(QStringList, arguments);
        const QString output = path("arguments_" + QString(QTest::currentDataTag()).replace(' ', '_'));
        QVERIFY(QDir().mkpath(output));
        arguments.replaceInStrings("TILE", plainTile);
        arguments.replaceInStrings("OUT", output + "/out");

        const DecoderRun run = runDecoder(ourDecoder(), arguments);
        checkCleanFailure(run, 2, output);
        QVERIFY(run.errorOutput.startsWith("usage: "));
    }

    void writesTheWholeFileOrNothing()
    {
        if (!ownDecoderBuilt())
            QSKIP("the program folder's ffmpeg is the system's");
        // An existing output is replaced whole, and nothing else is left beside it.
        const QString folder = path("replace");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeAll(folder + "/out.BMP", QByteArray(10, 'x')));
        const DecoderRun run = runDecoder(ourDecoder(), {"-i", plainTile, folder + "/out.BMP"});
        QVERIFY2(run.succeeded(), qPrintable(run.describe()));
        QCOMPARE(QImage(folder + "/out.BMP").size(), QSize(512, 512));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"out.BMP"});

        // An output folder that does not exist is a clean failure.
        const QString parent = path("parent");
        QVERIFY(QDir().mkpath(parent));
        checkCleanFailure(runDecoder(ourDecoder(), {"-i", plainTile, parent + "/missing/out.bmp"}), 1,
                          parent);
    }

    // Damaged tiles end in a picture or a clean failure, never a crash, a hang or a half-written file.
    void survivesDamagedTiles()
    {
        if (!ownDecoderBuilt())
            QSKIP("the program folder's ffmpeg is the system's");
        const QByteArray stream = fileBytes(plainTile);
        QRandomGenerator random(2024);
        const QString folder = path("damaged");
        QVERIFY(QDir().mkpath(folder));
        int decoded = 0;
        for (int round = 0; round < 60; ++round) {
            QByteArray damaged = stream;
            const int changes = 1 + int(random.bounded(12));
            for (int i = 0; i < changes; ++i)
                damaged[int(random.bounded(damaged.size()))] = char(random.bounded(256));
            const QString tile = folder + "/tile";
            QVERIFY(writeAll(tile, damaged));
            const QString output = folder + "/out.bmp";
            QFile::remove(output);
            const DecoderRun run = runDecoder(ourDecoder(), {"-i", tile, output}, 20000);
            QVERIFY2(run.started && !run.crashed && !run.timedOut, qPrintable(run.describe()));
            QVERIFY2(run.exitCode == 0 || run.exitCode == 1, qPrintable(run.describe()));
            QCOMPARE(QFileInfo::exists(output), run.exitCode == 0);
            if (run.exitCode == 0) {
                QCOMPARE(QImage(output).size(), QSize(512, 512));
                ++decoded;
            }
            QCOMPARE(QDir(folder).entryList(QDir::Files).size(), run.exitCode == 0 ? 2 : 1);
        }
        qInfo("%d of 60 damaged tiles still decoded", decoded);
    }
};

VORNETTA_TEST_MAIN(TileDecoderTest)
#include "tst_tiledecoder.moc"
