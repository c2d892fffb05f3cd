// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QTransform>

#include "fixtures/heicfixtures.h"
#include "splitter/container.h"
#include "splitter/source.h"
#include "tests/splitter/splitterprocess.h"
#include "tests/support/testmain.h"

using namespace vornetta::test;

// The real HEIC samples: each grid and single image splits in well under a second, and its tiles decoded by
// ffmpeg match heif-convert's decode of the same region.
class SplitterSamplesTest final : public QObject
{
    Q_OBJECT

private:
    // heif-convert's decode of the primary picture, turned back to the stored orientation; a null image when
    // there is none.
    static QImage referenceDecode(const QString& path)
    {
        const QString tool = QStandardPaths::findExecutable("heif-convert");
        heifsplit::Failure failure;
        heifsplit::FileSource source(path.toStdString(), failure);
        heifsplit::Container container;
        if (tool.isEmpty() || !heifsplit::parseContainer(source, container, failure)) {
            return QImage();
        }
        // heif-convert writes every top-level picture, numbered in item order when there are several:
        // visible images that are neither thumbnails nor auxiliary images.
        int count = 0;
        int primaryNumber = 0;
        for (const heifsplit::Item& item : container.items) {
            const bool image = item.type == "hvc1" || item.type == "grid" || item.type == "iden" ||
                               item.type == "iovl" || item.type == "av01" || item.type == "jpeg";
            if (!image || item.hidden || !container.referencesFrom(item.id, "thmb").empty() ||
                !container.referencesFrom(item.id, "auxl").empty()) {
                continue;
            }
            ++count;
            if (item.id == container.primaryItem) {
                primaryNumber = count;
            }
        }
        const QString folder = freshFolder("reference");
        QProcess process;
        process.start(tool, {"--quiet", path, folder + "/out.png"});
        if (!process.waitForFinished(600000) || process.exitCode() != 0 || primaryNumber == 0) {
            qWarning("heif-convert failed: %s", process.readAllStandardError().constData());
            return QImage();
        }
        QImageReader reader(folder + (count == 1 ? "/out.png" : QString("/out-%1.png").arg(primaryNumber)));
        reader.setAllocationLimit(0);
        const QImage decoded = reader.read().convertToFormat(QImage::Format_RGB32);
        QDir(folder).removeRecursively();

        // heif-convert shows the picture upright; the tiles are stored before the rotation.
        const heifsplit::Item* primary = container.item(container.primaryItem);
        const heifsplit::Property* irot = primary ? container.property(*primary, "irot") : nullptr;
        const int quarterTurns = irot && !irot->body.empty() ? irot->body[0] & 3 : 0;
        return quarterTurns == 0 ? decoded : decoded.transformed(QTransform().rotate(90.0 * quarterTurns));
    }

private slots:
    void initTestCase()
    {
        if (samplesFolder().isEmpty()) {
            QSKIP("no samples folder");
        }
        QVERIFY2(QFileInfo(splitterPath()).isExecutable(), qPrintable(splitterPath()));
    }

    void samplesSplit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("grid");   // columns x rows
        QTest::addColumn<int>("tileStep"); // every tileStep-th tile is decoded and compared
        QTest::newRow("iphone portrait")
            << "iphone-portrait-3024x4032.heic" << QSize(3024, 4032) << QSize(6, 8) << 1;
        QTest::newRow("iphone rotated")
            << "iphone-rotated-4032x3024-irot3.heic" << QSize(4032, 3024) << QSize(8, 6) << 1;
        QTest::newRow("phone grid") << "phone-grid-2592x1944.heic" << QSize(2592, 1944) << QSize(6, 4) << 1;
        QTest::newRow("single 1280x854")
            << "single-image-1280x854.heic" << QSize(1280, 854) << QSize(1, 1) << 1;
        QTest::newRow("single 1440x960")
            << "single-image-1440x960.heic" << QSize(1440, 960) << QSize(1, 1) << 1;
        QTest::newRow("grid of 480x320 tiles")
            << "grid-480x320-tiles-960x640.heic" << QSize(960, 640) << QSize(2, 2) << 1;
        QTest::newRow("over the converter's limit")
            << "over-limit-16320x12240.heic" << QSize(16320, 12240) << QSize(32, 24) << 29;
    }
    void samplesSplit()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(QSize, grid);
        QFETCH(int, tileStep);
        const QString input = samplesFolder() + "/" + name;
        if (!QFileInfo::exists(input)) {
            QSKIP("sample absent");
        }
        const QString folder = freshFolder("sample");
        const SplitterRun run = runSplitter(input, folder + "/hevc");
        QVERIFY2(run.succeeded(), run.errorOutput.constData());
        QCOMPARE(fileBytes(folder + "/hevcinfo"),
                 expectedInfo(size.width(), size.height(), grid.height(), grid.width()));

        const QImage reference = referenceDecode(input);
        if (reference.isNull()) {
            QSKIP("no reference decode (heif-convert absent or failed)");
        }
        QCOMPARE(reference.size(), size);
        const int tiles = grid.width() * grid.height();
        double worst = 1000;
        for (int n = 1; n <= tiles; n += (n + tileStep > tiles && n != tiles) ? tiles - n : tileStep) {
            QString error;
            const QImage tile = decodeWithFfmpeg(folder + "/hevc" + QString::number(n), &error);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            // Tile sizes come from the decode: grids of other sizes than 512 are split the same way.
            const QRect area = QRect((n - 1) % grid.width() * tile.width(),
                                     (n - 1) / grid.width() * tile.height(), tile.width(), tile.height())
                                   .intersected(reference.rect());
            QVERIFY(!area.isEmpty());
            const double quality = psnr(tile.copy(QRect(QPoint(0, 0), area.size())), reference.copy(area));
            QVERIFY2(quality >= 40, qPrintable(QString("tile %1: %2 dB").arg(n).arg(quality)));
            worst = std::min(worst, quality);
        }
        qInfo("%s: worst tile %.1f dB", qPrintable(name), worst);
    }

    void damagedSamplesFailCleanly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("truncated") << "truncated.heic";
        QTest::newRow("corrupted") << "corrupted.heic";
    }
    void damagedSamplesFailCleanly()
    {
        QFETCH(QString, name);
        const QString input = samplesFolder() + "/" + name;
        if (!QFileInfo::exists(input)) {
            QSKIP("sample absent");
        }
        const QString folder = freshFolder("damaged");
        const SplitterRun run = runSplitter(input, folder + "/hevc");
        QVERIFY2(run.failedCleanly(), run.errorOutput.constData());
        qInfo("%s failed: %s", qPrintable(name), run.errorOutput.trimmed().constData());
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList());
    }
};

VORNETTA_TEST_MAIN(SplitterSamplesTest)
#include "tst_splitter_samples.moc"
