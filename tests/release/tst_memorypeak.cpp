// SPDX-License-Identifier: GPL-3.0-or-later
#include <QColorSpace>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "engine/picture/imagesaver.h"
#include "tests/support/exiftags.h"
#include "tests/support/memory.h"
#include "tests/support/testmain.h"

using namespace vornetta::test;

// The largest picture the program takes, made of noise so that it encodes as large as a picture can, saved
// with a colour profile and Exif: the saver holds at most one copy of the picture and one of the encoded
// file at a time.
class MemoryPeakTest final : public QObject
{
    Q_OBJECT

private slots:
    void savingTheLargestPictureHoldsOneCopyOfEach_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("jpg at quality 100") << QByteArray("JPG");
        QTest::newRow("png") << QByteArray("PNG");
    }
    void savingTheLargestPictureHoldsOneCopyOfEach()
    {
        QFETCH(QByteArray, format);
        QTemporaryDir dir;
        QImage picture(10239, 10239, QImage::Format_RGB32);
        QRandomGenerator noise(7);
        for (int y = 0; y < picture.height(); ++y)
            noise.fillRange(reinterpret_cast<quint32*>(picture.scanLine(y)), picture.width());
        picture.setColorSpace(QColorSpace::DisplayP3);
        const qint64 pictureKiB = picture.sizeInBytes() / 1024;
        const QByteArray exif = exifBlock({{"Exif.Image.Make", "Brembloc"}, {"Exif.Image.Orientation", "6"}});

        if (!resetPeakResident())
            QSKIP("the kernel does not let the peak memory be reset");
        const long before = residentKiB();
        const SaveResult saved =
            saveImage(std::move(picture), OutputNames(dir.path(), "noise.heic", format.toLower()),
                      *parseOutputFormat(QString::fromLatin1(format)), {}, SaveExtras{exif, {}, 100});
        const long peak = peakResidentKiB();
        QVERIFY2(saved.status.ok(), qPrintable(saved.status.reason));
        const qint64 encodedKiB = QFileInfo(saved.path).size() / 1024;
        qInfo("%s: encoded %lld MiB, picture %lld MiB, peak %ld MiB (%ld MiB above the picture)",
              format.constData(), encodedKiB / 1024, pictureKiB / 1024, peak / 1024, (peak - before) / 1024);
        QCOMPARE(exifTagsOf(saved.path).value("Exif.Image.Make"), QString("Brembloc"));
        // Held before the save: the picture. At its height: that, or the encoded file, and some room.
        QVERIFY2(peak - before < std::max<qint64>(0, encodedKiB - pictureKiB) + 64 * 1024,
                 qPrintable(QString("%1 KiB").arg(peak - before)));
    }
};

VORNETTA_TEST_MAIN(MemoryPeakTest)
#include "tst_memorypeak.moc"
