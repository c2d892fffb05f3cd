// SPDX-License-Identifier: GPL-3.0-or-later
#include <cmath>

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include "fixtures/heicfixtures.h"
#include "tests/support/testmain.h"

using namespace vornetta::test;

// The fixtures other tests rely on: checked against heif-convert, a reader that is not ours.
class HeicFixturesTest final : public QObject
{
    Q_OBJECT

private:
    // heif-convert's picture as it wrote it: 16 bits per channel when the file declares more than 8.
    static QImage decodeWithHeifConvert(const QString& path)
    {
        const QString tool = QStandardPaths::findExecutable("heif-convert");
        if (tool.isEmpty()) {
            return QImage();
        }
        const QString output = QDir::temp().filePath("reference.png");
        QFile::remove(output);
        QProcess process;
        process.start(tool, {path, output});
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            return QImage();
        }
        return QImage(output);
    }

private slots:
    void pictureIsDeterministic()
    {
        const QImage first = drawTestPicture(300, 200);
        QCOMPARE(first.size(), QSize(300, 200));
        QCOMPARE(first.format(), QImage::Format_RGB32);
        QCOMPARE(first, drawTestPicture(300, 200));
        QVERIFY(std::isinf(psnr(first, drawTestPicture(300, 200))));
        QCOMPARE(psnr(first, drawTestPicture(200, 300)), 0.0);
        // Not flat: the tiles of a grid must differ from one another.
        QVERIFY(psnr(first.copy(0, 0, 100, 100), first.copy(150, 100, 100, 100)) < 20);
    }

    void gridFileDecodesElsewhere_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("tile");
        QTest::addColumn<QString>("pixelFormat");
        QTest::addColumn<int>("channelBits");
        QTest::newRow("1000x700 in 512 tiles") << QSize(1000, 700) << QSize(512, 512) << "yuv420p" << 8;
        QTest::newRow("one tile") << QSize(256, 128) << QSize(256, 128) << "yuv420p" << 8;
        QTest::newRow("10-bit, as cameras write")
            << QSize(320, 240) << QSize(256, 256) << "yuv420p10le" << 16;
    }
    void gridFileDecodesElsewhere()
    {
        QFETCH(QSize, size);
        QFETCH(QSize, tile);
        QFETCH(QString, pixelFormat);
        QFETCH(int, channelBits);
        if (QStandardPaths::findExecutable("heif-convert").isEmpty()) {
            QSKIP("heif-convert is not installed");
        }
        const QImage picture = drawTestPicture(size.width(), size.height());
        const QString path = QDir::temp().filePath("grid.heic");
        QCOMPARE(writeGridHeic(picture, tile.width(), tile.height(), path, pixelFormat), QString());
        const QImage decoded = decodeWithHeifConvert(path);
        QCOMPARE(decoded.depth() / 4, channelBits);
        const double quality = psnr(decoded, picture);
        qInfo("PSNR %.1f dB", quality);
        QVERIFY2(quality > 35, qPrintable(QString::number(quality)));
    }

    void singleFileDecodesElsewhere()
    {
        if (QStandardPaths::findExecutable("heif-convert").isEmpty()) {
            QSKIP("heif-convert is not installed");
        }
        const QImage picture = drawTestPicture(640, 480);
        const QString path = QDir::temp().filePath("single.heic");
        QCOMPARE(writeSingleHeic(picture, path), QString());
        const double quality = psnr(decodeWithHeifConvert(path), picture);
        qInfo("PSNR %.1f dB", quality);
        QVERIFY2(quality > 35, qPrintable(QString::number(quality)));
    }

    void encodedTileDecodesWithFfmpeg()
    {
        const QImage picture = drawTestPicture(256, 128);
        QByteArray stream;
        QCOMPARE(encodeHevc(picture, &stream), QString());
        const QString path = QDir::temp().filePath("tile");
        QCOMPARE(heif::writeFile(stream, path), QString());
        QString error;
        const QImage decoded = decodeWithFfmpeg(path, &error);
        QCOMPARE(error, QString());
        const double quality = psnr(decoded, picture);
        qInfo("PSNR %.1f dB", quality);
        QVERIFY2(quality > 35, qPrintable(QString::number(quality)));
    }
};

VORNETTA_TEST_MAIN(HeicFixturesTest)
#include "tst_heicfixtures.moc"
