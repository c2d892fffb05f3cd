// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <csignal>
#include <utility>

#include <QColorSpace>
#include <QDirIterator>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <pty.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include "fixtures/heicfixtures.h"
#include "tests/engine/fakeprogramfolder.h"
#include "tests/support/exiftags.h"
#include "tests/support/files.h"
#include "tests/support/testmain.h"

using vornetta::test::fileBytes;
using vornetta::test::writeFile;
namespace heif = vornetta::test::heif;

// vornetta-convert run as a user runs it: a process of the program folder, real tools, real files.
namespace {

struct CliRun
{
    int exitCode = -1; // the signal's number when a signal ended it
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QStringList lines; // standard output
    QString errors;    // standard error
};

QString cli()
{
    return vornetta::test::programFolder() + "/vornetta-convert";
}

CliRun finish(QProcess& process, int timeoutMs = 120000)
{
    CliRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.errors = "timed out";
        return run;
    }
    run.exitCode = process.exitCode();
    run.exitStatus = process.exitStatus();
    run.lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.errors += QString::fromUtf8(process.readAllStandardError());
    return run;
}

CliRun runCli(const QStringList& arguments, const QString& workingFolder = {})
{
    QProcess process;
    process.setWorkingDirectory(workingFolder);
    process.start(cli(), arguments);
    return finish(process);
}

// vornetta-convert given arguments as bytes, which need not be UTF-8 and which QProcess cannot pass: a shell
// makes each one from octal escapes.
CliRun runCliWithBytes(const QList<QByteArray>& arguments)
{
    QString script = "exec \"$0\"";
    for (const QByteArray& argument : arguments) {
        script += " \"$(printf '";
        for (const char c : argument)
            script += "\\" + QString::number(static_cast<unsigned char>(c), 8).rightJustified(3, '0');
        script += "')\"";
    }
    QProcess process;
    process.start("/bin/sh", {"-c", script, cli()});
    return finish(process);
}

// Every file below folder, relative to it and sorted.
QStringList filesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// What the programs left in the temporary folder's work area.
QStringList workAreaEntries()
{
    return QDir(QDir::tempPath() + "/Brembloc/Vornetta")
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class ConvertCliTest final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir sources;
    QImage drawing;
    QString gridFile;   // 1200 x 900 in 512 x 512 tiles
    QString singleFile; // 320 x 240, one coded image
    QString tenBitFile; // 320 x 240 in 256 x 256 tiles coded at 10 bits, as cameras write .HIF files
    QString jpegFile;   // the drawing as a JPEG file named .HEIC, as phones export it
    // Three pictures in one file: the primary (item 20), a grid (1) and one more (30), in that order; an
    // overlay (50) that cannot be converted; and a thumbnail and an alpha image of the primary, which are
    // not pictures of their own.
    QString burstFile;
    QList<QImage> burst;
    std::unique_ptr<QTemporaryDir> work;
    // What the test itself put in the work area, standing for the window's shared folder.
    QStringList windowsEntries;

    QString in(const QString& name) const { return work->filePath("in/" + name); }
    QString out(const QString& name = {}) const { return work->filePath("out/" + name); }
    // A copy of a fixture at the given place below in/.
    void place(const QString& fixture, const QString& name)
    {
        QVERIFY(QDir().mkpath(QFileInfo(in(name)).path()));
        QVERIFY(QFile::copy(fixture, in(name)));
    }

private slots:
    void initTestCase()
    {
        const QString program = vornetta::test::programFolder();
        if (!QFileInfo(cli()).isExecutable() || !QFileInfo(program + "/heic/heic").isExecutable() ||
            !QFileInfo(program + "/ffmpeg").isExecutable())
            QSKIP("the program folder has no vornetta-convert, heic/heic or ffmpeg");
        drawing = vornetta::test::drawTestPicture(1200, 900);
        gridFile = sources.filePath("grid.heic");
        QCOMPARE(vornetta::test::writeGridHeic(drawing, 512, 512, gridFile), QString());
        singleFile = sources.filePath("single.heic");
        QCOMPARE(vornetta::test::writeSingleHeic(vornetta::test::drawTestPicture(320, 240), singleFile),
                 QString());
        tenBitFile = sources.filePath("ten-bit.heic");
        QCOMPARE(vornetta::test::writeGridHeic(vornetta::test::drawTestPicture(320, 240), 256, 256,
                                               tenBitFile, "yuv420p10le"),
                 QString());
        jpegFile = sources.filePath("IMG_0001.HEIC");
        QVERIFY(drawing.save(jpegFile, "JPEG"));

        using vornetta::test::addCodedImage;
        namespace heif = vornetta::test::heif;
        burst = {vornetta::test::drawTestPicture(320, 240), vornetta::test::drawTestPicture(600, 400),
                 vornetta::test::drawTestPicture(240, 320)};
        heif::File file;
        QCOMPARE(vornetta::test::buildGridHeif(burst[1], 256, 256, &file), QString());
        QCOMPARE(addCodedImage(burst[0], 20, &file), QString());
        QCOMPARE(addCodedImage(burst[2], 30, &file), QString());
        QCOMPARE(addCodedImage(burst[0].scaled(64, 48), 40, &file), QString());
        QCOMPARE(
            addCodedImage(
                burst[0].convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB32), 41,
                &file),
            QString());
        file.properties.append(heif::auxCProperty(heif::kAlphaType));
        file.items.last().properties.append(int(file.properties.size()));
        heif::Item overlay;
        overlay.id = 50;
        overlay.type = "iovl";
        overlay.data = QByteArray(12, '\0');
        overlay.properties = {3};
        file.items.append(overlay);
        file.primary = 20;
        file.references += {{"thmb", 40, {20}}, {"auxl", 41, {20}}};
        burstFile = sources.filePath("burst.heic");
        QCOMPARE(heif::writeFile(file.build(), burstFile), QString());
    }
    void init()
    {
        work = std::make_unique<QTemporaryDir>();
        windowsEntries.clear();
    }
    void cleanup()
    {
        // Every run works in a folder of its own that goes when it ends; the shared one is never used.
        QCOMPARE(workAreaEntries(), windowsEntries);
        QVERIFY(QDir(QDir::tempPath() + "/Brembloc").removeRecursively());
        work.reset();
    }

    void convertsToEachFormat_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("magic");
        QTest::addColumn<bool>("jpegInside");
        QTest::newRow("jpg by default") << QStringList() << "grid.jpg" << QByteArray("\xff\xd8\xff") << false;
        QTest::newRow("png") << QStringList{"-f", "png"} << "grid.png" << QByteArray("\x89PNG") << false;
        QTest::newRow("bmp, any case")
            << QStringList{"--format", "BMP"} << "grid.bmp" << QByteArray("BM") << false;
        QTest::newRow("a JPEG named .heic")
            << QStringList{"-f", "png"} << "grid.png" << QByteArray("\x89PNG") << true;
    }
    void convertsToEachFormat()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, name);
        QFETCH(QByteArray, magic);
        QFETCH(bool, jpegInside);
        place(jpegInside ? jpegFile : gridFile, "grid.heic");
        const CliRun run = runCli(options + QStringList{"-o", out(), in("grid.heic")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.exitStatus, QProcess::NormalExit);
        QCOMPARE(run.lines, QStringList{out(name)});
        // Not a terminal: no progress count, and nothing else to say.
        QCOMPARE(run.errors, QString());
        QCOMPARE(filesBelow(out()), QStringList{name});
        QVERIFY(fileBytes(out(name)).startsWith(magic));
        QCOMPARE(QImage(out(name)).size(), drawing.size());
    }

    void aLowerQualityGivesASmallerJpg()
    {
        place(gridFile, "grid.heic");
        qint64 previous = 0;
        // Given from high to low, each into a folder of its own; the writer's default lies between.
        for (const QString quality : {"100", "", "0"}) {
            const QString folder = out("q" + quality);
            QStringList arguments{"-o", folder, in("grid.heic")};
            if (!quality.isEmpty())
                arguments = QStringList{"-q", quality} + arguments;
            const CliRun run = runCli(arguments);
            QCOMPARE(run.exitCode, 0);
            const qint64 size = QFileInfo(folder + "/grid.jpg").size();
            QVERIFY(size > 0);
            if (previous > 0)
                QVERIFY2(size < previous,
                         qPrintable(QString("%1: %2 >= %3").arg(quality).arg(size).arg(previous)));
            previous = size;
        }
    }

    void aFolderGivesEveryHeifFileBelowItMirroredUnderTheOutputFolder()
    {
        for (const QString name : {"b.heic", "a.HEIC", "sub/c.heic", "sub/deeper/d.Heic", "dir.heic/e.heic",
                                   "f.heif", "sub/deeper/e.hif", ".hidden/h.heic", ".h.heic"})
            place(singleFile, name);
        place(tenBitFile, "camera/IMG_0001.HIF");
        QVERIFY(writeFile(in("sub/notes.txt"), "not a picture"));
        QVERIFY(writeFile(in("sub/picture.jpg"), "not converted"));
        // A linked folder is not entered: this one would loop forever.
        QVERIFY(QFile::link(in(""), in("sub/loop")));
        QVERIFY(QDir().mkpath(work->filePath("elsewhere")));
        place(singleFile, "../elsewhere/linked.heic");
        QVERIFY(QFile::link(work->filePath("elsewhere"), in("linked folder")));

        const CliRun run = runCli({"-o", out("tree"), in("")});
        QCOMPARE(run.exitCode, 0);
        const QStringList mirrored{"a.jpg", "b.jpg",     "camera/IMG_0001.jpg", "dir.heic/e.jpg",
                                   "f.jpg", "sub/c.jpg", "sub/deeper/d.jpg",    "sub/deeper/e.jpg"};
        QStringList expected;
        for (const QString& name : mirrored)
            expected.append(out("tree/" + name));
        QCOMPARE(run.lines, expected);
        QCOMPARE(filesBelow(out("tree")), mirrored);
        for (const QString& line : run.lines)
            QCOMPARE(QImage(line).size(), QSize(320, 240));
        const double tenBit = vornetta::test::psnr(QImage(out("tree/camera/IMG_0001.jpg")),
                                                   vornetta::test::drawTestPicture(320, 240));
        QVERIFY2(tenBit > 30, qPrintable(QString::number(tenBit)));

        // Without -o every picture lands beside its source.
        const CliRun beside = runCli({"-f", "png", work->filePath("in/sub")});
        QCOMPARE(beside.exitCode, 0);
        QCOMPARE(beside.lines,
                 (QStringList{in("sub/c.png"), in("sub/deeper/d.png"), in("sub/deeper/e.png")}));
        QVERIFY(QFileInfo::exists(in("sub/deeper/d.png")));
    }

    void takesTheFirstFreeNameAndReplacesNothing()
    {
        place(singleFile, "x.heic");
        place(singleFile, "other/x.heic");
        QVERIFY(writeFile(in("x.jpg"), "the user's own x.jpg"));
        QVERIFY(writeFile(in("x(0).jpg"), "the user's own x(0).jpg"));
        const CliRun beside = runCli({in("x.heic")});
        QCOMPARE(beside.exitCode, 0);
        QCOMPARE(beside.lines, QStringList{in("x(1).jpg")});
        QCOMPARE(fileBytes(in("x.jpg")), QByteArray("the user's own x.jpg"));
        QCOMPARE(fileBytes(in("x(0).jpg")), QByteArray("the user's own x(0).jpg"));

        // Two sources of one name into one folder, and the same file named twice: converted once.
        const CliRun together =
            runCli({"-o", out(), in("x.heic"), in("other/x.heic"), in("other/../x.heic")});
        QCOMPARE(together.exitCode, 0);
        QCOMPARE(together.lines, (QStringList{out("x.jpg"), out("x(0).jpg")}));
    }

    void aBrokenFileFailsAloneWithItsReason()
    {
        place(singleFile, "good one.heic");
        QVERIFY(writeFile(in("broken.heic"), "this is not a picture"));
        place(singleFile, "good two.heic");
        const CliRun run = runCli(
            {"-o", out(), in("good one.heic"), in("broken.heic"), in("missing.heic"), in("good two.heic")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.lines,
                 (QStringList{out("good one.jpg"), in("broken.heic") + "\tnot a HEIC file or damaged",
                              in("missing.heic") + "\tcannot read the file", out("good two.jpg")}));
        QCOMPARE(filesBelow(out()), (QStringList{"good one.jpg", "good two.jpg"}));

        // A folder without any HEIC file converts nothing, and says so.
        QVERIFY(QDir().mkpath(work->filePath("empty")));
        const CliRun nothing = runCli({"-o", out("never made"), work->filePath("empty")});
        QCOMPARE(nothing.exitCode, 1);
        QCOMPARE(nothing.lines, QStringList());
        QVERIFY(nothing.errors.contains("no .heic, .heif or .hif file in " + work->filePath("empty")));
        QVERIFY(!QFileInfo::exists(out("never made")));
    }

    // For viewers that ignore colour profiles: --srgb moves a Display P3 photo's colours to where sRGB
    // shows them alike, and the file says sRGB. A photo without a profile is sRGB already.
    void srgbConvertsTheColoursAndSaysSo_data()
    {
        QTest::addColumn<bool>("displayP3");
        QTest::newRow("Display P3, with Exif") << true;
        QTest::newRow("no profile, no Exif") << false;
    }
    void srgbConvertsTheColoursAndSaysSo()
    {
        QFETCH(bool, displayP3);
        // Saturated red, green and blue patches, and a grey one.
        const QList<QRgb> colours{qRgb(210, 60, 50), qRgb(90, 200, 70), qRgb(50, 60, 210),
                                  qRgb(128, 128, 128)};
        QImage picture(128 * int(colours.size()), 128, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, colours[x / 128]);
        heif::File file;
        QCOMPARE(vornetta::test::buildGridHeif(picture, 256, 256, &file), QString());
        if (displayP3) {
            file.properties.append(heif::colrIccProperty(QColorSpace(QColorSpace::DisplayP3).iccProfile()));
            file.items[0].properties.append(int(file.properties.size()));
            heif::Item exif;
            exif.id = quint32(file.items.size() + 1);
            exif.type = "Exif";
            exif.data = vornetta::test::exifItemData(vornetta::test::exifBlock(
                {{"Exif.Image.Make", "Brembloc Optics"}, {"Exif.Photo.ColorSpace", "65535"}}));
            file.items.append(exif);
            file.references.append(heif::Reference{"cdsc", exif.id, {1}});
        }
        QVERIFY(QDir().mkpath(in("")));
        QCOMPARE(heif::writeFile(file.build(), in("patches.heic")), QString());

        QCOMPARE(runCli({"-f", "png", "-o", out("as taken"), in("patches.heic")}).exitCode, 0);
        QCOMPARE(runCli({"--srgb", "-f", "png", "-o", out("srgb"), in("patches.heic")}).exitCode, 0);
        const QImage taken(out("as taken/patches.png"));
        const QImage converted(out("srgb/patches.png"));
        const QMap<QString, QString> takenExif = vornetta::test::exifTagsOf(out("as taken/patches.png"));
        const QMap<QString, QString> convertedExif = vornetta::test::exifTagsOf(out("srgb/patches.png"));
        QCOMPARE(converted.colorSpace(), QColorSpace(QColorSpace::SRgb));
        if (!displayP3) {
            // The same pixels, now said to be sRGB; no Exif is made up for the tag alone.
            QVERIFY(!taken.colorSpace().isValid());
            QImage pixels = converted.convertToFormat(QImage::Format_RGB32);
            pixels.setColorSpace(QColorSpace());
            QCOMPARE(pixels, taken.convertToFormat(QImage::Format_RGB32));
            QVERIFY(convertedExif.isEmpty());
            return;
        }
        // Without the option the photo stays as the camera took it.
        QCOMPARE(taken.colorSpace(), QColorSpace(QColorSpace::DisplayP3));
        QCOMPARE(takenExif.value("Exif.Photo.ColorSpace"), QString("65535"));
        QCOMPARE(convertedExif.value("Exif.Photo.ColorSpace"), QString("1"));
        QCOMPARE(convertedExif.value("Exif.Image.Make"), QString("Brembloc Optics"));

        // Display P3 and sRGB share the sRGB curve and the D65 white; linear light goes from P3 to sRGB
        // through the matrix of their primaries, and what falls outside sRGB is cut at its edge.
        const double matrix[3][3] = {{1.2249, -0.2249, 0}, {-0.0421, 1.0421, 0}, {-0.0196, -0.0786, 1.0983}};
        const auto linear = [](int level) {
            const double v = level / 255.0;
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        const auto level = [](double v) {
            v = std::clamp(v, 0.0, 1.0);
            return 255 * (v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055);
        };
        for (int n = 0; n < colours.size(); ++n) {
            const QRgb p3 = taken.pixel(128 * n + 64, 64);
            const QRgb srgb = converted.pixel(128 * n + 64, 64);
            const double light[3] = {linear(qRed(p3)), linear(qGreen(p3)), linear(qBlue(p3))};
            const int got[3] = {qRed(srgb), qGreen(srgb), qBlue(srgb)};
            for (int c = 0; c < 3; ++c) {
                const double expected =
                    level(matrix[c][0] * light[0] + matrix[c][1] * light[1] + matrix[c][2] * light[2]);
                QVERIFY2(
                    std::abs(got[c] - expected) <= 2,
                    qPrintable(
                        QString("patch %1, channel %2: %3, not %4").arg(n).arg(c).arg(got[c]).arg(expected)));
            }
        }
    }

    void allImagesGivesEveryPictureOfAFileInItsOrder()
    {
        place(burstFile, "burst.heic");
        QVERIFY(writeFile(in("broken.heic"), "not a picture"));
        place(singleFile, "single.heic");
        QVERIFY(writeFile(out("burst-2.jpg"), "the user's own"));
        const CliRun run =
            runCli({"--all-images", "-o", out(), in("burst.heic"), in("broken.heic"), in("single.heic")});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.lines,
                 (QStringList{out("burst.jpg"), out("burst-2(0).jpg"), out("burst-3.jpg"),
                              in("burst.heic") + "\timage 4: not a HEIC file or damaged",
                              in("broken.heic") + "\tnot a HEIC file or damaged", out("single.jpg")}));
        QCOMPARE(fileBytes(out("burst-2.jpg")), QByteArray("the user's own"));
        for (int n = 0; n < burst.size(); ++n) {
            const QImage converted = QImage(run.lines[n]).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(converted.size(), burst[n].size());
            const double quality = vornetta::test::psnr(converted, burst[n]);
            QVERIFY2(quality > 30, qPrintable(QString("%1: %2 dB").arg(run.lines[n]).arg(quality)));
        }
        QCOMPARE(filesBelow(out()),
                 (QStringList{"burst-2(0).jpg", "burst-2.jpg", "burst-3.jpg", "burst.jpg", "single.jpg"}));

        // Without the option the primary alone, converted the very same way.
        const CliRun primary = runCli({"-o", out("primary"), in("burst.heic")});
        QCOMPARE(primary.exitCode, 0);
        QCOMPARE(primary.lines, QStringList{out("primary/burst.jpg")});
        QCOMPARE(fileBytes(out("primary/burst.jpg")), fileBytes(out("burst.jpg")));
    }

    // A disk that fills up never gives a cut file reported as converted: every write is checked, the Exif
    // rewrite too, and the file that does not fit is not left behind.
    void aFullDiskNeverGivesACutFile_data()
    {
        QTest::addColumn<QString>("room"); // a file size limit, or a small disk (root only)
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("side");
        QTest::addColumn<QString>("reason"); // empty: converted
        const QString full = "not enough disk space";
        QTest::newRow("16 KiB file size limit, jpg with 39 kB of Exif") << "limit 16384"
                                                                        << "jpg" << 32 << full;
        QTest::newRow("16 KiB file size limit, png with 39 kB of Exif") << "limit 16384"
                                                                        << "png" << 32 << full;
        QTest::newRow("room enough, jpg with 39 kB of Exif") << "limit 1048576"
                                                             << "jpg" << 32 << "";
        QTest::newRow("16 kB disk, jpg with 39 kB of Exif") << "disk 16k"
                                                            << "jpg" << 32 << full;
        QTest::newRow("16 kB disk, bmp") << "disk 16k"
                                         << "bmp" << 128 << full;
    }
    void aFullDiskNeverGivesACutFile()
    {
        QFETCH(QString, room);
        QFETCH(QString, format);
        QFETCH(int, side);
        QFETCH(QString, reason);
        // A JPEG named .heic: read without the work folder, whose tiles the limit would stop first.
        QVERIFY(QDir().mkpath(in("")) && QDir().mkpath(out()));
        QVERIFY(vornetta::test::drawTestPicture(side, side).save(in("photo.heic"), "JPEG"));
        // Letters at random, so that a PNG's compressed Exif text takes as much room as a JPEG's segment.
        QString description;
        QRandomGenerator letters(19);
        for (int n = 0; n < 39000; ++n)
            description += QChar('a' + letters.bounded(26));
        QVERIFY(
            vornetta::test::writeExifTags(in("photo.heic"), {{"Exif.Image.ImageDescription", description}}));
        const auto unmount =
            qScopeGuard([this] { umount2(QFile::encodeName(out()).constData(), MNT_DETACH); });
        QProcess process;
        if (room.startsWith("disk") && mount("tmpfs", QFile::encodeName(out()).constData(), "tmpfs", 0,
                                             ("size=" + room.mid(5)).toLatin1().constData()) != 0)
            QSKIP("cannot mount a small tmpfs here");
        const rlim_t limit = room.startsWith("limit") ? room.mid(6).toULong() : RLIM_INFINITY;
        process.setChildProcessModifier([limit] {
            const rlimit fileSize{limit, limit};
            setrlimit(RLIMIT_FSIZE, &fileSize);
            signal(SIGXFSZ, SIG_IGN);
        });
        process.start(cli(), {"-f", format, "-o", out(), in("photo.heic")});
        const CliRun run = finish(process);
        if (!reason.isEmpty()) {
            QCOMPARE(run.lines, QStringList{in("photo.heic") + "\t" + reason});
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(QDir(out()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList());
            return;
        }
        QCOMPARE(run.lines, QStringList{out("photo." + format)});
        QCOMPARE(vornetta::test::exifTagsOf(out("photo." + format)).value("Exif.Image.ImageDescription"),
                 description);
    }

    void usageErrorsConvertNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown format") << QStringList{"-f", "gif", "IN"} << "unknown format \"gif\"";
        QTest::newRow("quality too high") << QStringList{"-q", "101", "IN"} << "from 0 to 100, not \"101\"";
        QTest::newRow("quality below 0") << QStringList{"-q", "-1", "IN"} << "from 0 to 100, not \"-1\"";
        QTest::newRow("quality not a number") << QStringList{"-q", "high", "IN"} << "not \"high\"";
        QTest::newRow("no files") << QStringList{"-f", "png"} << "no FILE given";
        QTest::newRow("no file in flight") << QStringList{"-j", "0", "IN"} << "from 1 to 64, not \"0\"";
        QTest::newRow("too many in flight") << QStringList{"-j", "65", "IN"} << "from 1 to 64, not \"65\"";
        QTest::newRow("depth of 12 bits")
            << QStringList{"--depth", "12", "IN"} << "must be 8 or 16, not \"12\"";
        QTest::newRow("unknown option") << QStringList{"--size", "10", "IN"} << "Unknown option 'size'";
        QTest::newRow("option without value") << QStringList{"IN", "-o"} << "Missing value after '-o'";
        QTest::newRow("empty output folder") << QStringList{"-o", "", "IN"} << "the output folder is empty";
        QTest::newRow("output folder led by U+FEFF")
            << QStringList{"-o", QChar(0xfeff) + QString("/dev/null/out"), "IN"}
            << "the output folder given is not valid UTF-8";
        QTest::newRow("output folder is a file")
            << QStringList{"-o", "IN", "IN"} << "cannot make the output folder";
    }
    void usageErrorsConvertNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        place(singleFile, "a.heic");
        arguments.replaceInStrings(QRegularExpression("^IN$"), in("a.heic"));
        const CliRun run = runCli(arguments);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.lines, QStringList());
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QCOMPARE(filesBelow(work->path()), QStringList{"in/a.heic"});
    }

    void helpAndVersion()
    {
        const CliRun help = runCli({"--help"});
        QCOMPARE(help.exitCode, 0);
        const QString text = help.lines.join('\n');
        for (const char* expected :
             {"FILE...", ".heic, .heif and .hif", "-f, --format <format>", "-o, --output <folder>",
              "-q, --quality <quality>", "--srgb", "-v, --version"})
            QVERIFY2(text.contains(expected), expected);
        const CliRun version = runCli({"--version"});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.lines, QStringList{"vornetta-convert " VORNETTA_VERSION});
    }

    void pathsWithBlanksQuotesAndNonAsciiLetters()
    {
        const QString name = "it's a \"holiday\" photo $HOME; é 写真";
        place(singleFile, "my photos ü/" + name + ".heic");
        const CliRun run = runCli({"-o", out("into 'ü' \"folder\""), in("my photos ü/" + name + ".heic")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines, QStringList{out("into 'ü' \"folder\"/" + name + ".jpg")});
        QCOMPARE(QImage(run.lines.value(0)).size(), QSize(320, 240));

        // Relative paths mean the working folder, not the program folder the tools run in.
        const CliRun relative = runCli({"-f", "png", name + ".heic"}, in("my photos ü"));
        QCOMPARE(relative.exitCode, 0);
        QCOMPARE(relative.lines, QStringList{name + ".png"});
        QCOMPARE(QImage(in("my photos ü/" + name + ".png")).size(), QSize(320, 240));

        // Control characters are escaped, so that each file is one line of the output.
        place(singleFile, "two\nlines\tand a \\ and \x1b[31m.heic");
        QVERIFY(writeFile(in("broken\n.heic"), "not a picture"));
        const CliRun escaped =
            runCli({"-o", out(), in("two\nlines\tand a \\ and \x1b[31m.heic"), in("broken\n.heic")});
        QCOMPARE(escaped.lines, (QStringList{out("two\\nlines\\tand a \\\\ and \\x1b[31m.jpg"),
                                             in("broken\\n.heic") + "\tnot a HEIC file or damaged"}));
        QCOMPARE(QImage(out("two\nlines\tand a \\ and \x1b[31m.jpg")).size(), QSize(320, 240));

        // A name that is not UTF-8 is never passed over: in a walk and named alone it gets its line.
        for (const QString name : {"walk/a.heic", "walk/c.heic", "walk/b.heic"})
            place(singleFile, name);
        const QByteArray undecodable = QFile::encodeName(in("walk/")) + "b\xff\xfe.heic";
        QCOMPARE(rename(QFile::encodeName(in("walk/b.heic")).constData(), undecodable.constData()), 0);
        const QString failed = in("walk/b\\xff\\xfe.heic") + "\tthe file name is not valid UTF-8";
        const CliRun walk = runCli({"-o", out("walk"), in("walk")});
        QCOMPARE(walk.exitCode, 1);
        QCOMPARE(walk.lines, (QStringList{out("walk/a.jpg"), failed, out("walk/c.jpg")}));
        const CliRun alone = runCliWithBytes({"-o", QFile::encodeName(out("alone")), undecodable});
        QCOMPARE(alone.exitCode, 1);
        QCOMPARE(alone.lines, QStringList{failed});
        QCOMPARE(filesBelow(out("alone")), QStringList());
        // Nor is one led by U+FEFF, which QString::fromUtf8 would drop to name another file.
        const CliRun marked =
            runCli({"-o", out("marked"), "a.heic", QChar(0xfeff) + QString("a.heic")}, in("walk"));
        QCOMPARE(marked.lines,
                 (QStringList{out("marked/a.jpg"),
                              QChar(0xfeff) + QString("a.heic\tthe file name is not valid UTF-8")}));
    }

    void twoProgramsAtOnceBesideTheWindowsWorkFolder()
    {
        // The window's shared work folder, held by a running window: neither program may touch it.
        const QString shared = QDir::tempPath() + "/Brembloc/Vornetta/thumb";
        QVERIFY(writeFile(shared + "/the window's tile", "x"));
        QLockFile window(QDir::tempPath() + "/Brembloc/Vornetta/thumb.lock");
        QVERIFY(window.tryLock(0));
        windowsEntries = QStringList{"thumb"};

        place(gridFile, "first.heic");
        place(gridFile, "second.heic");
        QProcess first;
        QProcess second;
        first.start(cli(), {"-f", "png", "-o", out("first"), in("first.heic")});
        second.start(cli(), {"-f", "png", "-o", out("second"), in("second.heic")});
        const CliRun firstRun = finish(first);
        const CliRun secondRun = finish(second);
        QCOMPARE(firstRun.exitCode, 0);
        QCOMPARE(secondRun.exitCode, 0);
        QCOMPARE(fileBytes(out("first/first.png")), fileBytes(out("second/second.png")));
        QVERIFY(vornetta::test::psnr(QImage(out("first/first.png")).convertToFormat(QImage::Format_RGB32),
                                     drawing) > 35);
        QCOMPARE(filesBelow(shared), QStringList{"the window's tile"});
    }

    // Runs that all find the same name free each take a name of their own: nothing is lost or replaced.
    void runsAtOnceIntoOneFolderTakeANameEach()
    {
        place(gridFile, "photo.heic");
        std::vector<std::unique_ptr<QProcess>> runs;
        for (int n = 0; n < 4; ++n) {
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->start(cli(), {"-o", out(), in("photo.heic")});
        }
        QStringList printed;
        for (const auto& process : runs) {
            const CliRun run = finish(*process);
            QCOMPARE(run.exitCode, 0);
            QCOMPARE(run.lines.size(), 1);
            printed.append(run.lines);
        }
        printed.sort();
        QCOMPARE(printed, (QStringList{out("photo(0).jpg"), out("photo(1).jpg"), out("photo(2).jpg"),
                                       out("photo.jpg")}));
        for (const QString& path : printed)
            QVERIFY(vornetta::test::psnr(QImage(path).convertToFormat(QImage::Format_RGB32), drawing) > 30);
        QCOMPARE(filesBelow(out()).size(), 4);
    }

    void aProgressCountShowsOnlyOnATerminal()
    {
        place(singleFile, "a.heic");
        place(singleFile, "b.heic");
        int terminal = -1;
        int other = -1;
        QCOMPARE(openpty(&terminal, &other, nullptr, nullptr, nullptr), 0);
        const auto closeTerminal = qScopeGuard([&] {
            close(terminal);
            if (other >= 0)
                close(other);
        });
        QProcess process;
        process.setChildProcessModifier([other] { dup2(other, STDERR_FILENO); });
        process.start(cli(), {"-o", out(), in("a.heic"), in("b.heic")});
        const CliRun run = finish(process);
        // With the last writer gone, reading the terminal ends after what it holds.
        close(std::exchange(other, -1));
        QByteArray shown;
        char buffer[4096];
        for (ssize_t n; (n = read(terminal, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, n);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines, (QStringList{out("a.jpg"), out("b.jpg")}));
        QVERIFY2(shown.contains("[1/2]") && shown.contains("[2/2]"), shown.constData());
        // The count is wiped at the end, so the shell's prompt does not follow it.
        QVERIFY2(shown.endsWith("\r\033[K"), shown.toHex().constData());
    }

    void aStopSignalEndsTheRunPromptlyAndLeavesNothing_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("jobs");
        // Both files are in flight by default; one after another the second never starts.
        QTest::newRow("SIGTERM, two files in flight") << int(SIGTERM) << "2";
        QTest::newRow("SIGINT, one file at a time") << int(SIGINT) << "1";
        // No handler runs: the picture being written must not be left under any name.
        QTest::newRow("SIGKILL while a picture is written") << int(SIGKILL) << "1";
    }
    void aStopSignalEndsTheRunPromptlyAndLeavesNothing()
    {
        QFETCH(int, signal);
        QFETCH(QString, jobs);
        // A program folder of its own, where the decoder never ends and notes the processes it started.
        vornetta::test::FakeProgramFolder program;
        const QString copy = program.file("vornetta-convert");
        QVERIFY(QFile::copy(cli(), copy));
        QVERIFY(QFile::setPermissions(copy, QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(QDir().mkpath(program.file("heic")));
        QVERIFY(QFile::link(vornetta::test::programFolder() + "/heic/heic", program.file("heic/heic")));
        QVERIFY(QDir().mkpath(program.file("picturereader")));
        QVERIFY(QFile::link(vornetta::test::programFolder() + "/picturereader/picturereader",
                            program.file("picturereader/picturereader")));
        QVERIFY(program.addTool("ffmpeg", "sleep 1000 &\necho $$ $! >> \"$(dirname \"$0\")/started\"\nwait"));
        place(gridFile, "first.heic");
        place(gridFile, "second.heic");
        // A large JPEG named .heic takes a while to be written as PNG, and no tool is run for it.
        if (signal == SIGKILL)
            QVERIFY(vornetta::test::drawTestPicture(6000, 4000).save(in("first.heic"), "JPEG"));

        QProcess process;
        process.start(copy, {"-j", jobs, "-f", "png", "-o", out(), in("first.heic"), in("second.heic")});
        QVERIFY(process.waitForStarted());
        const QString descriptors = QString("/proc/%1/fd").arg(process.processId());
        const auto writing = [&] {
            for (const QFileInfo& fd : QDir(descriptors).entryInfoList(QDir::AllEntries | QDir::System))
                if (fd.symLinkTarget().startsWith(out()))
                    return true;
            return false;
        };
        if (signal == SIGKILL)
            QTRY_VERIFY_WITH_TIMEOUT(writing(), 30000);
        else
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(program.file("started")), 30000);
        QCOMPARE(kill(pid_t(process.processId()), signal), 0);
        const CliRun run = finish(process, 10000);

        // It ends by the signal, as an interrupted program should, after its report of the stopped files.
        QCOMPARE(run.exitStatus, QProcess::CrashExit);
        QCOMPARE(run.exitCode, signal);
        QCOMPARE(QDir(out()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        if (signal == SIGKILL) {
            QCOMPARE(run.lines, QStringList());
            // Work folders of runs killed outright go when the next conversion starts.
            windowsEntries = workAreaEntries();
            return;
        }
        QStringList stopped{in("first.heic") + "\tstopped"};
        if (jobs == "2")
            stopped.append(in("second.heic") + "\tstopped");
        QCOMPARE(run.lines, stopped);
        QCOMPARE(workAreaEntries(), QStringList());
        const QStringList tools = QString::fromLatin1(fileBytes(program.file("started")))
                                      .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
        QVERIFY(!tools.isEmpty());
        for (const QString& pid : tools)
            QTRY_VERIFY2_WITH_TIMEOUT(!vornetta::test::processRuns(pid.toInt()), qPrintable(pid), 1000);
    }
};

VORNETTA_TEST_MAIN(ConvertCliTest)
#include "tst_convertcli.moc"
