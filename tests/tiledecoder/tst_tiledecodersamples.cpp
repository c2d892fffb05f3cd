// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/support/testmain.h"
#include "tests/tiledecoder/decoderprocess.h"

using namespace vornetta::test;

// The tiles of real phone photos, split by our splitter, decoded by our tile decoder and by the system's
// ffmpeg: the pictures must agree within the bound of decoderprocess.h.
class TileDecoderSamplesTest final : public QObject
{
    Q_OBJECT

private:
    // A picture of hundreds of tiles (the converter refuses those anyway) is checked on a spread of them.
    static constexpr int kMaxTilesPerFile = 64;

private slots:
    void agreesOnSampleTiles_data()
    {
        QTest::addColumn<QString>("file");
        const QString samples = samplesFolder();
        if (samples.isEmpty())
            QSKIP("no sample folder");
        for (const QString& file : QDir(samples).entryList({"*.heic", "*.HEIC"}, QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(file)) << QDir(samples).filePath(file);
    }
    void agreesOnSampleTiles()
    {
        QFETCH(QString, file);
        const QString splitter = programFolder() + "/heic/heic";
        if (!QFileInfo(splitter).isExecutable())
            QSKIP("the tile splitter is not built");
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const DecoderRun split = runDecoder(splitter, {file, folder.filePath("hevc")});
        if (!split.succeeded())
            QSKIP(qPrintable("not split: " + QString::fromLocal8Bit(split.errorOutput).trimmed()));

        QStringList tiles = QDir(folder.path()).entryList({"hevc[0-9]*"}, QDir::Files);
        QVERIFY(!tiles.isEmpty());
        std::sort(tiles.begin(), tiles.end(),
                  [](const QString& a, const QString& b) { return a.mid(4).toInt() < b.mid(4).toInt(); });
        const int step = std::max(1, int(tiles.size() + kMaxTilesPerFile - 1) / kMaxTilesPerFile);
        int compared = 0;
        int identical = 0;
        double worst = qInf();
        int largestDifference = 0;
        for (int i = 0; i < tiles.size(); i += step) {
            const Comparison comparison = compareWithSystemFfmpeg(
                folder.filePath(tiles[i]), folder.filePath("decoded" + QString::number(i)));
            QVERIFY2(comparison.failure.isEmpty(), qPrintable(tiles[i] + ": " + comparison.failure));
            ++compared;
            identical += comparison.sameBytes ? 1 : 0;
            worst = std::min(worst, comparison.psnr);
            largestDifference = std::max(largestDifference, comparison.largestDifference);
        }
        qInfo(
            "%d of %lld tiles compared, lowest PSNR %s dB, channels at most %d apart, %d byte-identical BMPs",
            compared, static_cast<long long>(tiles.size()),
            qIsInf(worst) ? "inf" : qPrintable(QString::number(worst)), largestDifference, identical);
    }
};

VORNETTA_TEST_MAIN(TileDecoderSamplesTest)
#include "tst_tiledecodersamples.moc"
