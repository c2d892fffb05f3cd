// SPDX-License-Identifier: GPL-3.0-or-later
#include <QByteArray>
#include <QList>

#include "fixtures/heifwriter.h"
#include "protocol/protocol.h"
#include "splitter//container.h"
#include "splitter/limits.h"
#include "splitter/pictureextras.h"
#include "splitter/source.h"
#include "tests/support/testmain.h"

using namespace vornetta::test;

namespace {

// A 320 x 240 picture coded as one stand-in HEVC image (item 1) plus whatever the test adds. The parser does
// not look inside coded data, so any bytes do.
heif::File picture()
{
    const QByteArray start("\0\0\0\1", 4);
    const QByteArray stream = start + QByteArray("\x40\x01\x0c", 3) + start + QByteArray("\x42\x01\x01", 3) +
                              start + QByteArray("\x44\x01\xc1", 3) + start +
                              QByteArray("\x26\x01\xaf\x11", 4);
    heif::File file;
    file.properties = {heif::hvcCProperty(stream), heif::ispeProperty(320, 240)};
    heif::Item image;
    image.id = 1;
    image.data = heif::codedData(stream);
    image.properties = {1, 2};
    file.items.append(image);
    return file;
}

// Appends properties to item 1, in order.
void addProperties(heif::File& file, const QList<QByteArray>& properties)
{
    for (const QByteArray& property : properties) {
        file.properties.append(property);
        file.items[0].properties.append(int(file.properties.size()));
    }
}

void addExifItem(heif::File& file, quint32 id, const QByteArray& data, quint32 describes = 1)
{
    heif::Item item;
    item.id = id;
    item.type = "Exif";
    item.data = data;
    file.items.append(item);
    file.references.append(heif::Reference{"cdsc", id, {describes}});
}

struct Extras
{
    bool done = false;
    heifsplit::Failure failure;
    heifsplit::PictureExtras extras;
    QByteArray text() const
    {
        return QByteArray::fromStdString(heifsplit::operationsText(extras.operations));
    }
    QByteArray icc() const
    {
        return QByteArray(reinterpret_cast<const char*>(extras.iccProfile.data()),
                          qsizetype(extras.iccProfile.size()));
    }
    QByteArray exif() const
    {
        return QByteArray(reinterpret_cast<const char*>(extras.exif.data()), qsizetype(extras.exif.size()));
    }
};

Extras extrasOf(const heif::File& file)
{
    const QByteArray bytes = file.build();
    heifsplit::MemorySource source(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   size_t(bytes.size()));
    heifsplit::Container container;
    Extras result;
    if (heifsplit::parseContainer(source, container, result.failure)) {
        const heifsplit::Item* primary = container.item(container.primaryItem);
        result.done = primary && heifsplit::pictureExtras(source, container, *primary, 320, 240,
                                                          result.extras, result.failure);
    }
    return result;
}

const QByteArray kTiff("II*\0\x08\0\0\0\0\0", 10);

} // namespace

class PictureExtrasTest final : public QObject
{
    Q_OBJECT

private slots:
    // The crop, rotation and mirror steps in ipma order, each crop worked out on the size the steps before
    // it leave.
    void operationsFollowTheIpmaOrder_data()
    {
        QTest::addColumn<QList<QByteArray>>("properties");
        QTest::addColumn<QByteArray>("text");
        const QByteArray centred = heif::clapProperty(200, 1, 120, 1, 0, 1, 0, 1);
        QTest::newRow("none") << QList<QByteArray>{} << QByteArray();
        QTest::newRow("irot 0 is no step") << QList<QByteArray>{heif::irotProperty(0)} << QByteArray();
        QTest::newRow("reserved bits ignored")
            << QList<QByteArray>{heif::box("irot", "\xfd"), heif::box("imir", "\xfe")}
            << QByteArray("rotate 1\nmirror 0\n");
        QTest::newRow("crop, turn, mirror")
            << QList<QByteArray>{centred, heif::irotProperty(3), heif::imirProperty(1)}
            << QByteArray("crop 60 60 200 120\nrotate 3\nmirror 1\n");
        QTest::newRow("crop after a quarter turn") << QList<QByteArray>{heif::irotProperty(1), centred}
                                                   << QByteArray("rotate 1\ncrop 20 100 200 120\n");
        QTest::newRow("crop after a half turn") << QList<QByteArray>{heif::irotProperty(2), centred}
                                                << QByteArray("rotate 2\ncrop 60 60 200 120\n");
        QTest::newRow("other properties between")
            << QList<QByteArray>{heif::imirProperty(0), heif::box("pixi", "\0\0\0\0\x03\x08\x08\x08"),
                                 heif::irotProperty(2)}
            << QByteArray("mirror 0\nrotate 2\n");
    }
    void operationsFollowTheIpmaOrder()
    {
        QFETCH(QList<QByteArray>, properties);
        QFETCH(QByteArray, text);
        heif::File file = picture();
        addProperties(file, properties);
        const Extras result = extrasOf(file);
        QVERIFY2(result.done, result.failure.reason().c_str());
        QCOMPARE(result.text(), text);
    }

    // Clean apertures of a 320 x 240 picture, rounded as libheif rounds them and cut at the picture's edges.
    void cleanApertures_data()
    {
        QTest::addColumn<QList<qint64>>(
            "fields");                        // width n/d, height n/d, horizontal offset n/d, vertical n/d
        QTest::addColumn<QByteArray>("crop"); // "" when the split fails
        QTest::newRow("centred") << QList<qint64>{200, 1, 120, 1, 0, 1, 0, 1}
                                 << QByteArray("crop 60 60 200 120\n");
        QTest::newRow("off centre") << QList<qint64>{200, 1, 120, 1, -40, 2, 10, 1}
                                    << QByteArray("crop 40 70 200 120\n");
        QTest::newRow("odd width") << QList<qint64>{201, 1, 240, 1, 0, 1, 0, 1}
                                   << QByteArray("crop 59 0 201 240\n");
        QTest::newRow("fractions") << QList<qint64>{3001, 20, 1001, 10, 7, 3, -5, 4}
                                   << QByteArray("crop 87 69 150 100\n");
        QTest::newRow("the whole picture") << QList<qint64>{320, 1, 240, 1, 0, 1, 0, 1} << QByteArray();
        QTest::newRow("wider than the picture")
            << QList<qint64>{400, 1, 100, 1, 0, 1, 0, 1} << QByteArray("crop 0 70 320 100\n");
        QTest::newRow("reaching past the bottom right")
            << QList<qint64>{100, 1, 100, 1, 150, 1, 100, 1} << QByteArray("crop 260 170 60 70\n");
        QTest::newRow("huge fractions") << QList<qint64>{0x7fffffff,  0x7fffffff, 0x7fffffff, 0x7fffffff,
                                                         -0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff}
                                        << QByteArray("crop 158 121 1 1\n");
        QTest::newRow("right of the picture")
            << QList<qint64>{100, 1, 100, 1, 1000, 1, 0, 1} << QByteArray("fail");
        QTest::newRow("no width") << QList<qint64>{0, 1, 100, 1, 0, 1, 0, 1} << QByteArray("fail");
        QTest::newRow("width denominator 0")
            << QList<qint64>{200, 0, 120, 1, 0, 1, 0, 1} << QByteArray("fail");
        QTest::newRow("height denominator 0")
            << QList<qint64>{200, 1, 120, 0, 0, 1, 0, 1} << QByteArray("fail");
        QTest::newRow("offset denominator 0")
            << QList<qint64>{200, 1, 120, 1, 0, 0, 0, 1} << QByteArray("fail");
        QTest::newRow("vertical denominator 0")
            << QList<qint64>{200, 1, 120, 1, 0, 1, 0, 0} << QByteArray("fail");
        QTest::newRow("past 31 bits")
            << QList<qint64>{0x80000000, 0x80000000, 120, 1, 0, 1, 0, 1} << QByteArray("fail");
    }
    void cleanApertures()
    {
        QFETCH(QList<qint64>, fields);
        QFETCH(QByteArray, crop);
        heif::File file = picture();
        addProperties(file, {heif::clapProperty(quint32(fields[0]), quint32(fields[1]), quint32(fields[2]),
                                                quint32(fields[3]), qint32(fields[4]), quint32(fields[5]),
                                                qint32(fields[6]), quint32(fields[7]))});
        const Extras result = extrasOf(file);
        if (crop == "fail") {
            QVERIFY(!result.done);
            QCOMPARE(result.failure.kind(), heifsplit::FailureKind::Malformed);
            QVERIFY(QByteArray::fromStdString(result.failure.reason()).startsWith("box 'clap' "));
            return;
        }
        QVERIFY2(result.done, result.failure.reason().c_str());
        QCOMPARE(result.text(), crop.isEmpty() ? QByteArray("crop 0 0 320 240\n") : crop);
    }

    void damagedOrTooManyStepsFail_data()
    {
        QTest::addColumn<QList<QByteArray>>("properties");
        QTest::addColumn<int>("kind");
        QTest::newRow("clap cut short") << QList<QByteArray>{heif::box("clap", QByteArray(31, '\1'))}
                                        << int(heifsplit::FailureKind::Truncated);
        QTest::newRow("empty irot") << QList<QByteArray>{heif::box("irot", {})}
                                    << int(heifsplit::FailureKind::Truncated);
        QTest::newRow("empty imir") << QList<QByteArray>{heif::box("imir", {})}
                                    << int(heifsplit::FailureKind::Truncated);
        QList<QByteArray> many;
        for (std::size_t i = 0; i <= protocol::kMaxPictureOperations; ++i)
            many.append(heif::imirProperty(int(i % 2)));
        QTest::newRow("too many steps") << many << int(heifsplit::FailureKind::Limit);
    }
    void damagedOrTooManyStepsFail()
    {
        QFETCH(QList<QByteArray>, properties);
        QFETCH(int, kind);
        heif::File file = picture();
        addProperties(file, properties);
        const Extras result = extrasOf(file);
        QVERIFY(!result.done);
        QCOMPARE(int(result.failure.kind()), kind);
    }

    void iccProfiles_data()
    {
        QTest::addColumn<QList<QByteArray>>("properties");
        QTest::addColumn<QByteArray>("profile");
        QTest::newRow("prof") << QList<QByteArray>{heif::colrIccProperty("P3 profile")}
                              << QByteArray("P3 profile");
        QTest::newRow("rICC") << QList<QByteArray>{heif::colrIccProperty("restricted", "rICC")}
                              << QByteArray("restricted");
        QTest::newRow("nclx carries none")
            << QList<QByteArray>{heif::colrIccProperty(QByteArray("\0\x01\0\x0d\0\x06\x80", 7), "nclx")}
            << QByteArray();
        QTest::newRow("the first profile after nclx")
            << QList<QByteArray>{heif::colrIccProperty(QByteArray("\0\x01\0\x0d\0\x06\x80", 7), "nclx"),
                                 heif::colrIccProperty("first"), heif::colrIccProperty("second")}
            << QByteArray("first");
        QTest::newRow("empty profile") << QList<QByteArray>{heif::colrIccProperty({})} << QByteArray();
        QTest::newRow("larger than the limit") << QList<QByteArray>{heif::colrIccProperty(QByteArray(
                                                      qsizetype(protocol::kMaxIccProfileBytes) + 1, 'p'))}
                                               << QByteArray();
    }
    void iccProfiles()
    {
        QFETCH(QList<QByteArray>, properties);
        QFETCH(QByteArray, profile);
        heif::File file = picture();
        addProperties(file, properties);
        const Extras result = extrasOf(file);
        QVERIFY2(result.done, result.failure.reason().c_str());
        QCOMPARE(result.icc(), profile);
    }

    // Phones may keep the profile with the tiles only: a grid, identity or overlay without a colour
    // description of its own takes its first part's, down to the coded image; one with a description keeps
    // that.
    void compositesWithoutAProfileTakeTheirFirstParts_data()
    {
        QTest::addColumn<QList<QByteArray>>("types"); // the composites over item 1, the primary last
        QTest::newRow("a grid") << QList<QByteArray>{"grid"};
        QTest::newRow("an identity") << QList<QByteArray>{"iden"};
        QTest::newRow("an overlay of a grid") << QList<QByteArray>{"grid", "iovl"};
    }
    void compositesWithoutAProfileTakeTheirFirstParts()
    {
        QFETCH(QList<QByteArray>, types);
        heif::File file = picture();
        addProperties(file, {heif::colrIccProperty("the tiles' profile")});
        for (const QByteArray& type : types) {
            heif::Item composite;
            composite.id = file.items.last().id + 1;
            composite.type = type;
            composite.data = type == "grid"   ? heif::gridData(1, 1, 320, 240)
                             : type == "iovl" ? heif::overlayData({0, 0, 0, 0}, 320, 240, {{0, 0}})
                                              : QByteArray();
            composite.properties = {2};
            file.items.append(composite);
            file.references.append(heif::Reference{"dimg", composite.id, {composite.id - 1}});
        }
        file.primary = file.items.last().id;
        QCOMPARE(extrasOf(file).icc(), QByteArray("the tiles' profile"));

        file.properties.append(heif::colrIccProperty(QByteArray("\0\x01\0\x0d\0\x06\x80", 7), "nclx"));
        file.items.last().properties.append(int(file.properties.size()));
        QCOMPARE(extrasOf(file).icc(), QByteArray());
    }

    void exifBlocks_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("offset 0") << QByteArray("\0\0\0\0", 4) + kTiff << kTiff;
        QTest::newRow("big-endian TIFF")
            << QByteArray("\0\0\0\0MM\0*\0\0\0\x08\0\0", 14) << QByteArray("MM\0*\0\0\0\x08\0\0", 10);
        QTest::newRow("offset past a marker") << QByteArray("\0\0\0\x06"
                                                            "Exif\0\0",
                                                            10) +
                                                     kTiff
                                              << kTiff;
        QTest::newRow("offset counting the marker") << QByteArray("\0\0\0\0"
                                                                  "Exif\0\0",
                                                                  10) +
                                                           kTiff
                                                    << kTiff;
        QTest::newRow("offset past the end") << QByteArray("\0\0\0\x40", 4) + kTiff << QByteArray();
        QTest::newRow("offset near 4 GiB") << QByteArray("\xff\xff\xff\xfc", 4) + kTiff << QByteArray();
        QTest::newRow("no offset") << QByteArray("\0\0", 2) << QByteArray();
        QTest::newRow("not TIFF") << QByteArray("\0\0\0\0XX*\0\x08\0\0\0\0\0", 14) << QByteArray();
        QTest::newRow("first directory outside")
            << QByteArray("\0\0\0\0II*\0\x09\0\0\0\0\0", 14) << QByteArray();
        QTest::newRow("first directory in the header")
            << QByteArray("\0\0\0\0II*\0\x04\0\0\0\0\0", 14) << QByteArray();
        QTest::newRow("larger than the limit")
            << QByteArray("\0\0\0\0", 4) + kTiff + QByteArray(qsizetype(protocol::kMaxExifBytes), '\0')
            << QByteArray();
    }
    void exifBlocks()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, block);
        heif::File file = picture();
        addExifItem(file, 7, data);
        const Extras result = extrasOf(file);
        // Metadata never fails the picture.
        QVERIFY2(result.done, result.failure.reason().c_str());
        QCOMPARE(result.exif(), block);
    }

    void onlyThePrimarysFirstExifCounts()
    {
        heif::File file = picture();
        heif::Item other;
        other.id = 2;
        file.items.append(other);
        addExifItem(file, 3, QByteArray("\0\0\0\0", 4) + "not the primary's", 2);
        addExifItem(file, 4, QByteArray("\0\0\0\0", 4) + kTiff);
        addExifItem(file, 5, QByteArray("\0\0\0\0", 4) + kTiff + "second");
        file.items[3].constructionMethod = 1; // in idat
        QCOMPARE(extrasOf(file).exif(), kTiff);
    }
};

VORNETTA_TEST_MAIN(PictureExtrasTest)
#include "tst_pictureextras.moc"
