// SPDX-License-Identifier: GPL-3.0-or-later
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QtEndian>

#include "fixtures/heifwriter.h"
#include "fixtures/sequenceheaderwriter.h"
#include "splitter/container.h"
#include "splitter/images.h"
#include "splitter/limits.h"
#include "splitter/range.h"
#include "splitter/source.h"
#include "splitter/split.h"
#include "tests/support/testmain.h"

using namespace vornetta::test;

namespace {

const QByteArray kStart("\0\0\0\1", 4);

// A stand-in HEVC stream: parameter sets, then two slices whose bytes name the tile. Parsing looks inside
// the sequence parameter set only (for the picture size), so any other bytes do; the splitter must hand
// them on unchanged.
QByteArray fakeStream(int tile, quint32 width = 64, quint32 height = 64)
{
    const QByteArray vps("\x40\x01\x0c\x01\xff\xff", 6);
    const QByteArray sps = vornetta::test::hevc::sequenceParameterSet(width, height);
    const QByteArray pps("\x44\x01\xc1\x72\xb4\x62\x40", 7);
    QByteArray slice1("\x26\x01\xaf", 3);
    slice1 += QByteArray(20 + tile * 7, char('a' + tile % 26));
    QByteArray slice2("\x02\x01\xd0", 3);
    slice2 += QByteArray(5 + tile, char('A' + tile % 26));
    return kStart + vps + kStart + sps + kStart + pps + kStart + slice1 + kStart + slice2;
}

// A grid of rows x cols fake tiles of tileSize; item 1 the grid, items 2.. the tiles.
heif::File fakeGrid(int rows, int cols, quint32 tileSize, quint32 width, quint32 height)
{
    heif::File file;
    file.properties = {heif::hvcCProperty(fakeStream(0, tileSize, tileSize)),
                       heif::ispeProperty(tileSize, tileSize), heif::ispeProperty(width, height)};
    heif::Item grid;
    grid.id = 1;
    grid.type = "grid";
    grid.data = heif::gridData(rows, cols, width, height);
    grid.properties = {3};
    file.items.append(grid);
    heif::Reference dimg;
    dimg.from = 1;
    for (int n = 1; n <= rows * cols; ++n) {
        heif::Item tile;
        tile.id = quint32(n + 1);
        tile.data = heif::codedData(fakeStream(n, tileSize, tileSize));
        tile.properties = {1, 2};
        file.items.append(tile);
        dimg.to.append(tile.id);
    }
    file.references = {dimg};
    return file;
}

heif::File fakeSingle(quint32 width, quint32 height)
{
    heif::File file;
    file.properties = {heif::hvcCProperty(fakeStream(0, width, height)), heif::ispeProperty(width, height)};
    heif::Item image;
    image.id = 1;
    image.data = heif::codedData(fakeStream(1, width, height));
    image.properties = {1, 2};
    file.items.append(image);
    return file;
}

// A file of several pictures and the items around them. Listed: 5 (the primary, 96 x 48), 1 (turned a
// quarter), 2 (a grid of tiles 3 and 4) and 10 (a derived image of 11). Not listed: 6 (a thumbnail), 7 (an
// auxiliary image), 8 (Exif), 9 (hidden), and the tiles.
heif::File fakeCollection()
{
    heif::File file;
    file.primary = 5;
    file.properties = {heif::hvcCProperty(fakeStream(0)),
                       heif::ispeProperty(64, 64),
                       heif::ispeProperty(128, 64),
                       heif::hvcCProperty(fakeStream(0, 96, 48)),
                       heif::ispeProperty(96, 48),
                       heif::irotProperty(1),
                       heif::fullBox("auxC", 0, 0, QByteArray("urn:mpeg:hevc:2015:auxid:1\0", 27))};
    const auto add = [&file](quint32 id, const QByteArray& type, QList<int> properties) {
        heif::Item item;
        item.id = id;
        item.type = type;
        item.data = type == "hvc1"
                        ? heif::codedData(fakeStream(int(id), id == 5 ? 96 : 64, id == 5 ? 48 : 64))
                        : QByteArray("\0\0\0\0", 4);
        item.properties = properties;
        file.items.append(item);
    };
    add(1, "hvc1", {1, 2, 6});
    add(2, "grid", {3});
    file.items.last().data = heif::gridData(1, 2, 128, 64);
    add(3, "hvc1", {1, 2});
    add(4, "hvc1", {1, 2});
    add(5, "hvc1", {4, 5});
    add(6, "hvc1", {1, 2});
    add(7, "hvc1", {1, 2, 7});
    add(8, "Exif", {});
    add(9, "hvc1", {1, 2});
    file.items.last().hidden = true;
    add(10, "iden", {2});
    add(11, "hvc1", {1, 2});
    file.references = {
        {"dimg", 2, {3, 4}}, {"thmb", 6, {1}}, {"auxl", 7, {1}}, {"cdsc", 8, {1}}, {"dimg", 10, {11}}};
    return file;
}

// A file of a 128 x 64 grid (item 1; its tiles 2 and 3), a 96 x 48 image (item 4), both hidden, and a
// derived image of them, the primary: item 10, an overlay with the given data of items 1 and 4, or an
// identity of item 4 when the data is empty.
heif::File fakeDerived(const QByteArray& overlay)
{
    heif::File file = fakeGrid(1, 2, 64, 128, 64);
    file.properties += {heif::hvcCProperty(fakeStream(0, 96, 48)), heif::ispeProperty(96, 48)};
    heif::Item image;
    image.id = 4;
    image.data = heif::codedData(fakeStream(4, 96, 48));
    image.properties = {4, 5};
    file.items.append(image);
    heif::Item derived;
    derived.id = 10;
    derived.type = overlay.isEmpty() ? "iden" : "iovl";
    derived.data = overlay;
    file.items.append(derived);
    file.references.append({"dimg", 10, overlay.isEmpty() ? QList<quint32>{4} : QList<quint32>{1, 4}});
    for (heif::Item& item : file.items)
        item.hidden = item.id != 10;
    file.primary = 10;
    return file;
}

// Gives item colour an alpha plane: item alpha, one fake image of width x height named by an auxC of type.
void addFakeAlpha(heif::File& file, quint32 colour, quint32 alpha, quint32 width, quint32 height,
                  const QByteArray& type = heif::kAlphaType)
{
    file.properties += {heif::hvcCProperty(fakeStream(0, width, height)), heif::ispeProperty(width, height),
                        heif::auxCProperty(type)};
    heif::Item item;
    item.id = alpha;
    item.data = heif::codedData(fakeStream(int(alpha), width, height));
    const int first = int(file.properties.size()) - 2;
    item.properties = {first, first + 1, first + 2};
    item.hidden = true;
    file.items.append(item);
    file.references.append({"auxl", alpha, {colour}});
}

QList<QPoint> points(int count, QPoint point = {})
{
    return QList<QPoint>(count, point);
}

class CollectingSink final : public heifsplit::TileSink
{
public:
    bool writeTile(std::uint32_t number, const std::vector<std::uint8_t>& stream,
                   heifsplit::Failure&) override
    {
        numbers.append(int(number));
        tiles.append(QByteArray(reinterpret_cast<const char*>(stream.data()), qsizetype(stream.size())));
        return true;
    }
    bool writeSideFile(const std::string& name, const std::vector<std::uint8_t>& data,
                       heifsplit::Failure&) override
    {
        sideFiles.append(QByteArray::fromStdString(name));
        contents.insert(sideFiles.last(),
                        QByteArray(reinterpret_cast<const char*>(data.data()), qsizetype(data.size())));
        if (name == "transform")
            transform = contents.value(sideFiles.last());
        return data.size() < 1024 * 1024;
    }
    bool writeInfo(const std::string& name, const std::string& text, heifsplit::Failure&) override
    {
        (name == "info" ? info : derived) = QByteArray::fromStdString(text);
        return true;
    }
    QList<int> numbers;
    QList<QByteArray> sideFiles;
    QHash<QByteArray, QByteArray> contents;
    QByteArray transform;
    QList<QByteArray> tiles;
    QByteArray info;
    QByteArray derived;
};

struct SplitResult
{
    bool done = false;
    heifsplit::Failure failure;
    CollectingSink sink;
};

SplitResult splitBytes(const QByteArray& bytes, quint32 item = 0)
{
    SplitResult result;
    heifsplit::MemorySource source(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   size_t(bytes.size()));
    result.done = heifsplit::split(source, result.sink, result.failure, item);
    return result;
}

// What `heic --list` gives the primary.
quint64 primaryPixels(const QByteArray& bytes)
{
    heifsplit::MemorySource source(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   size_t(bytes.size()));
    heifsplit::Failure failure;
    heifsplit::Container container;
    const bool parsed = heifsplit::parseContainer(source, container, failure);
    const heifsplit::Item* primary = container.item(container.primaryItem);
    return parsed && primary ? heifsplit::decodedPixels(source, container, *primary) : 0;
}

heifsplit::Container parseBytes(const QByteArray& bytes, heifsplit::Failure& failure)
{
    heifsplit::MemorySource source(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                   size_t(bytes.size()));
    heifsplit::Container container;
    heifsplit::parseContainer(source, container, failure);
    return container;
}

// Where a box's four-character type first occurs in the file; its size field starts 4 bytes earlier.
qsizetype boxAt(const QByteArray& bytes, const char* type)
{
    return bytes.indexOf(type) - 4;
}

void putAt(QByteArray& bytes, qsizetype at, quint64 value, int byteCount)
{
    QByteArray field;
    heif::putUInt(field, value, byteCount);
    bytes.replace(at, byteCount, field);
}

} // namespace

class HeifParseTest final : public QObject
{
    Q_OBJECT

private slots:
    void rangeKeepsTheFirstFailure()
    {
        const std::uint8_t bytes[] = {0, 1, 2, 3, 4};
        heifsplit::Failure failure;
        heifsplit::Range range(bytes, sizeof bytes, failure, "test");
        QCOMPARE(range.u32(), std::uint32_t(0x00010203));
        QCOMPARE(range.u16(), std::uint16_t(0)); // one byte left: fails and yields zero
        QVERIFY(failure.failed());
        QCOMPARE(failure.kind(), heifsplit::FailureKind::Truncated);
        const std::string first = failure.reason();
        QCOMPARE(range.u8(), std::uint8_t(0)); // the rest is gone with the failure
        range.fail(heifsplit::FailureKind::Malformed, "something else");
        QCOMPARE(failure.reason(), first);

        heifsplit::Failure deep;
        heifsplit::Range tooDeep(bytes, sizeof bytes, deep, "deep", heifsplit::kMaxNestingDepth + 1);
        QCOMPARE(deep.kind(), heifsplit::FailureKind::Limit);
        QCOMPARE(tooDeep.u8(), std::uint8_t(0));
    }

    // Every way of storing the same grid gives the same tiles, byte for byte.
    void layoutsGiveTheSameTiles_data()
    {
        QTest::addColumn<QString>("layout");
        for (const char* layout :
             {"plain", "iloc v0", "iloc v2, infe v3, 32-bit ids", "8-byte offsets and a base offset",
              "grid in idat", "tiles in several extents", "mdat with a 64-bit size",
              "mdat to the end of the file", "mdat before meta", "15-bit property indices",
              "2-byte NAL lengths", "1-byte NAL lengths", "32-bit grid sizes", "properties before items"}) {
            QTest::newRow(layout) << QString(layout);
        }
    }
    void layoutsGiveTheSameTiles()
    {
        QFETCH(QString, layout);
        heif::File file = fakeGrid(2, 3, 64, 150, 100);
        if (layout == "iloc v0") {
            file.ilocVersion = 0;
        } else if (layout == "iloc v2, infe v3, 32-bit ids") {
            file.ilocVersion = 2;
            file.infeVersion = 3;
            file.irefVersion = 1;
            file.ipmaVersion = 1;
            for (heif::Item& item : file.items) {
                item.id += 70000;
            }
            file.primary = 70001;
            file.references[0].from = 70001;
            for (quint32& to : file.references[0].to) {
                to += 70000;
            }
        } else if (layout == "8-byte offsets and a base offset") {
            file.ilocOffsetSize = 8;
            file.ilocLengthSize = 8;
            file.ilocBaseOffsetSize = 8;
        } else if (layout == "grid in idat") {
            file.items[0].constructionMethod = 1;
            file.items[0].extentCount = 2;
        } else if (layout == "tiles in several extents") {
            for (heif::Item& item : file.items) {
                item.extentCount = 3;
            }
            file.ilocBaseOffsetSize = 4;
        } else if (layout == "mdat with a 64-bit size") {
            file.mdatSize = 64;
        } else if (layout == "mdat to the end of the file") {
            file.mdatSize = 0;
        } else if (layout == "mdat before meta") {
            file.metaFirst = false;
        } else if (layout == "15-bit property indices") {
            file.ipmaLargeIndex = true;
        } else if (layout == "2-byte NAL lengths" || layout == "1-byte NAL lengths") {
            const int size = layout.startsWith('2') ? 2 : 1;
            file.properties[0] = heif::hvcCProperty(fakeStream(0), size);
            for (int n = 1; n < file.items.size(); ++n) {
                file.items[n].data = heif::codedData(fakeStream(n), size);
            }
        } else if (layout == "32-bit grid sizes") {
            file.items[0].data = heif::gridData(2, 3, 150, 100, true);
        } else if (layout == "properties before items") {
            file.items[3].properties = {2, 1}; // ipma order is free
        }

        const SplitResult result = splitBytes(file.build());
        QVERIFY2(result.done, result.failure.reason().c_str());
        QCOMPARE(result.sink.info, QByteArray("width=150\nheight=100\nrow=2\ncol=3\n1,2,3,4,5,6,\n"));
        QCOMPARE(result.sink.numbers, QList<int>({1, 2, 3, 4, 5, 6}));
        for (int n = 1; n <= 6; ++n) {
            QCOMPARE(result.sink.tiles[n - 1], fakeStream(n));
        }
    }

    void tilesFollowTheReferenceOrder()
    {
        heif::File file = fakeGrid(2, 2, 64, 128, 128);
        file.references[0].to = {5, 3, 4, 2}; // row-major by reference, not by item id
        const SplitResult result = splitBytes(file.build());
        QVERIFY2(result.done, result.failure.reason().c_str());
        QCOMPARE(result.sink.tiles[0], fakeStream(4));
        QCOMPARE(result.sink.tiles[1], fakeStream(2));
        QCOMPARE(result.sink.tiles[3], fakeStream(1));
    }

    void singleImageIsOneTile()
    {
        const SplitResult result = splitBytes(fakeSingle(1280, 854).build());
        QVERIFY2(result.done, result.failure.reason().c_str());
        QCOMPARE(result.sink.info, QByteArray("width=1280\nheight=854\nrow=1\ncol=1\n1,\n"));
        QCOMPARE(result.sink.tiles, QList<QByteArray>({fakeStream(1, 1280, 854)}));
    }

    // The pictures a file holds as its own, the primary first; thumbnails, auxiliary images, hidden items,
    // metadata and the inputs of derived images are not among them.
    void topLevelImagesAreListed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<quint32>>("images");
        QTest::addColumn<int>("kind");
        const int none = int(heifsplit::FailureKind::None);
        QTest::newRow("one image") << fakeSingle(64, 64).build() << QList<quint32>{1} << none;
        QTest::newRow("one grid") << fakeGrid(2, 2, 64, 128, 100).build() << QList<quint32>{1} << none;
        QTest::newRow("a collection") << fakeCollection().build() << QList<quint32>{5, 1, 2, 10} << none;
        heif::File tilePrimary = fakeCollection();
        tilePrimary.primary = 3;
        QTest::newRow("a tile as the primary")
            << tilePrimary.build() << QList<quint32>{3, 1, 2, 5, 10} << none;
        heif::File missing = fakeCollection();
        missing.primary = 77;
        QTest::newRow("a missing primary")
            << missing.build() << QList<quint32>{} << int(heifsplit::FailureKind::Malformed);
    }
    void topLevelImagesAreListed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<quint32>, images);
        QFETCH(int, kind);
        heifsplit::Failure failure;
        const heifsplit::Container container = parseBytes(bytes, failure);
        QVERIFY2(!failure.failed(), failure.reason().c_str());
        std::vector<std::uint32_t> ids;
        QCOMPARE(heifsplit::topLevelImages(container, ids, failure),
                 kind == int(heifsplit::FailureKind::None));
        QCOMPARE(int(failure.kind()), kind);
        QCOMPARE(QList<quint32>(ids.begin(), ids.end()), images);
    }

    // Any image item can be taken apart with its own size, tiles and transform; other items fail.
    void theGivenItemIsSplit_data()
    {
        QTest::addColumn<quint32>("item");
        QTest::addColumn<QByteArray>("info"); // empty: the split fails
        QTest::addColumn<QList<QByteArray>>("tiles");
        QTest::addColumn<QByteArray>("transform");
        QTest::newRow("0, the primary") << 0u << QByteArray("width=96\nheight=48\nrow=1\ncol=1\n1,\n")
                                        << QList<QByteArray>{fakeStream(5, 96, 48)} << QByteArray();
        QTest::newRow("a turned image") << 1u << QByteArray("width=64\nheight=64\nrow=1\ncol=1\n1,\n")
                                        << QList<QByteArray>{fakeStream(1)} << QByteArray("rotate 1\n");
        QTest::newRow("a grid") << 2u << QByteArray("width=128\nheight=64\nrow=1\ncol=2\n1,2,\n")
                                << QList<QByteArray>{fakeStream(3), fakeStream(4)} << QByteArray();
        QTest::newRow("a thumbnail") << 6u << QByteArray("width=64\nheight=64\nrow=1\ncol=1\n1,\n")
                                     << QList<QByteArray>{fakeStream(6)} << QByteArray();
        QTest::newRow("Exif") << 8u << QByteArray() << QList<QByteArray>{} << QByteArray();
        QTest::newRow("a missing item") << 42u << QByteArray() << QList<QByteArray>{} << QByteArray();
    }
    void theGivenItemIsSplit()
    {
        QFETCH(quint32, item);
        QFETCH(QByteArray, info);
        QFETCH(QList<QByteArray>, tiles);
        QFETCH(QByteArray, transform);
        const SplitResult result = splitBytes(fakeCollection().build(), item);
        QCOMPARE(result.done, !info.isEmpty());
        QCOMPARE(result.sink.info, info);
        if (result.done) {
            QCOMPARE(result.sink.tiles, tiles);
            QCOMPARE(result.sink.transform, transform);
        } else {
            QCOMPARE(result.failure.kind(), heifsplit::FailureKind::Unsupported);
        }
    }

    // An alpha plane is split beside the colour: its tiles and information under names of their own.
    void alphaPlanesGoBesideTheColour_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<QByteArray>>("sideFiles");
        QTest::addColumn<QByteArray>("alphaInfo");
        QTest::addColumn<quint64>("pixels"); // what `heic --list` says
        heif::File single = fakeSingle(64, 64);
        addFakeAlpha(single, 1, 2, 64, 64);
        QTest::newRow("one alpha image")
            << single.build() << QList<QByteArray>{"alpha1", "transform", "alphainfo"}
            << QByteArray("width=64\nheight=64\nrow=1\ncol=1\n1,\n") << quint64(2 * 64 * 64);
        heif::File smaller = fakeGrid(1, 2, 64, 128, 64);
        addFakeAlpha(smaller, 1, 9, 64, 32, "urn:mpeg:mpegB:cicp:systems:auxiliary:alpha");
        smaller.references.append({"prem", 1, {9}});
        QTest::newRow("a grid's smaller alpha, premultiplied")
            << smaller.build() << QList<QByteArray>{"alpha1", "transform", "alphainfo", "premultiplied"}
            << QByteArray("width=64\nheight=32\nrow=1\ncol=1\n1,\n") << quint64(2 * 64 * 64 + 64 * 32);
        heif::File depth = fakeSingle(64, 64);
        addFakeAlpha(depth, 1, 2, 64, 64, "urn:mpeg:hevc:2015:auxid:2");
        QTest::newRow("a depth map is no alpha")
            << depth.build() << QList<QByteArray>{"transform"} << QByteArray() << quint64(64 * 64);
    }
    void alphaPlanesGoBesideTheColour()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<QByteArray>, sideFiles);
        QFETCH(QByteArray, alphaInfo);
        QFETCH(quint64, pixels);
        const SplitResult result = splitBytes(bytes);
        QVERIFY2(result.done, result.failure.reason().c_str());
        QCOMPARE(result.sink.sideFiles, sideFiles);
        QCOMPARE(result.sink.contents.value("alphainfo"), alphaInfo);
        QCOMPARE(result.sink.contents.value("premultiplied"), QByteArray());
        QCOMPARE(result.sink.tiles.size(), result.sink.info.count(','));
        QCOMPARE(primaryPixels(bytes), pixels);
    }

    // Overlay and identity pictures are described, not taken apart; they decode what their inputs do.
    void derivedPicturesAreDescribed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QByteArray>("transform");
        QTest::addColumn<quint64>("pixels");
        const QList<quint16> red{65535, 0, 0, 65535};
        const quint64 inputs = 128 * 64 + 96 * 48;
        QTest::newRow("overlay of a grid and an image")
            << fakeDerived(heif::overlayData(red, 200, 100, {{0, 0}, {-10, 50}})).build()
            << QByteArray("derived iovl\ncanvas 200 100\nfill 65535 0 0 65535\ninput 1 0 0\ninput 4 -10 50\n")
            << QByteArray() << inputs;
        QTest::newRow("32-bit fields")
            << fakeDerived(heif::overlayData({1, 2, 3, 4}, 10000, 3, {{-70000, 2}, {100000, -1}}, true))
                   .build()
            << QByteArray("derived iovl\ncanvas 10000 3\nfill 1 2 3 4\ninput 1 -70000 2\ninput 4 100000 -1\n")
            << QByteArray() << inputs;
        // The input turned a quarter, then cropped by the identity's own clean aperture.
        heif::File turned = fakeDerived({});
        turned.properties += {heif::irotProperty(1), heif::clapProperty(40, 1, 80, 1, 0, 1, 0, 1)};
        turned.items[3].properties.append(int(turned.properties.size()) - 1);
        turned.items[4].properties.append(int(turned.properties.size()));
        QTest::newRow("identity of a turned image")
            << turned.build() << QByteArray("derived iden\ncanvas 48 96\nfill 0 0 0 0\ninput 4 0 0\n")
            << QByteArray("crop 4 8 40 80\n") << quint64(96 * 48);
        heif::File transparent = fakeDerived(heif::overlayData(red, 200, 100, points(2)));
        addFakeAlpha(transparent, 4, 5, 96, 48);
        QTest::newRow("an input with an alpha plane")
            << transparent.build()
            << QByteArray("derived iovl\ncanvas 200 100\nfill 65535 0 0 65535\ninput 1 0 0\ninput 4 0 0\n")
            << QByteArray() << inputs + 96 * 48;
    }
    void derivedPicturesAreDescribed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, description);
        QFETCH(QByteArray, transform);
        QFETCH(quint64, pixels);
        const SplitResult result = splitBytes(bytes);
        QVERIFY2(result.done, result.failure.reason().c_str());
        QCOMPARE(result.sink.derived, description);
        QCOMPARE(result.sink.transform, transform);
        QVERIFY(result.sink.tiles.isEmpty() && result.sink.info.isEmpty());
        QCOMPARE(primaryPixels(bytes), pixels);
    }

    // A sound picture of a kind that is not converted says which; the file is not called damaged.
    void otherKindsAreNamed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("kind");
        for (const char* type : {"av01", "jpeg", "mski", "tmap"}) {
            heif::File file = fakeSingle(64, 64);
            file.items[0].type = type;
            QTest::newRow(type) << file.build() << QString(type);
        }
        heif::File tiles = fakeGrid(1, 2, 64, 128, 64);
        tiles.items[1].type = "av01";
        QTest::newRow("a grid of av01 tiles") << tiles.build() << "av01 in grid";
        heif::File nested = fakeDerived({});
        nested.items[3].type = "iovl";
        QTest::newRow("an identity of an overlay") << nested.build() << "iovl in iden";
        heif::File alpha = fakeSingle(64, 64);
        addFakeAlpha(alpha, 1, 2, 64, 64);
        alpha.items[1].type = "av01";
        QTest::newRow("an av01 alpha plane") << alpha.build() << "av01 alpha";
    }
    void otherKindsAreNamed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, kind);
        const SplitResult result = splitBytes(bytes);
        QVERIFY(!result.done);
        QCOMPARE(result.failure.kind(), heifsplit::FailureKind::PictureKind);
        QCOMPARE(QString::fromStdString(result.failure.pictureKind()), kind);
        QCOMPARE(QString::fromStdString(result.failure.reason()), "picture kind not supported: " + kind);
        QVERIFY(result.sink.tiles.isEmpty() && result.sink.sideFiles.isEmpty());
        QCOMPARE(primaryPixels(bytes), quint64(0));
    }

    // What a later reader of orientation, colour profile and Exif needs is kept in stored order.
    void propertiesAndReferencesAreKept()
    {
        heif::File file = fakeGrid(1, 2, 64, 128, 64);
        file.properties += {heif::imirProperty(1), heif::irotProperty(3),
                            heif::clapProperty(120, 1, 60, 1, 0, 1, 0, 1), heif::colrIccProperty("ICCDATA")};
        file.items[0].properties = {3, 7, 6, 5, 4};
        heif::Item exif;
        exif.id = 9;
        exif.type = "Exif";
        exif.data = QByteArray("\0\0\0\0Exif", 8);
        file.items.append(exif);
        heif::Reference cdsc;
        cdsc.type = "cdsc";
        cdsc.from = 9;
        cdsc.to = {1};
        file.references.append(cdsc);

        heifsplit::Failure failure;
        const heifsplit::Container container = parseBytes(file.build(), failure);
        QVERIFY2(!failure.failed(), failure.reason().c_str());
        const heifsplit::Item* primary = container.item(container.primaryItem);
        QVERIFY(primary);
        QStringList types;
        for (const heifsplit::Property* property : container.propertiesOf(*primary)) {
            types.append(QString::fromStdString(property->type));
        }
        QCOMPARE(types, QStringList({"ispe", "colr", "clap", "irot", "imir"}));
        QCOMPARE(container.property(*primary, "irot")->body, std::vector<std::uint8_t>({3}));
        QCOMPARE(container.referencesTo(1, "cdsc"), std::vector<std::uint32_t>({9}));
        QCOMPARE(container.item(9)->type, std::string("Exif"));
    }

    void badFilesFail_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        const int truncated = int(heifsplit::FailureKind::Truncated);
        const int malformed = int(heifsplit::FailureKind::Malformed);
        const int limit = int(heifsplit::FailureKind::Limit);
        const int unsupported = int(heifsplit::FailureKind::Unsupported);
        const heif::File good = fakeGrid(2, 2, 64, 128, 100);
        const QByteArray goodBytes = good.build();

        QTest::newRow("empty") << QByteArray() << unsupported;
        QTest::newRow("seven bytes") << goodBytes.left(7) << truncated;
        QTest::newRow("text") << QByteArray("hello, this is not a picture\n") << unsupported;
        {
            QByteArray bytes = goodBytes;
            putAt(bytes, boxAt(bytes, "meta"), 0xffffffff, 4);
            QTest::newRow("meta larger than the file") << bytes << truncated;
        }
        {
            QByteArray bytes = goodBytes;
            putAt(bytes, boxAt(bytes, "meta"), 4, 4);
            QTest::newRow("meta smaller than its header") << bytes << malformed;
        }
        {
            QByteArray bytes = goodBytes;
            const qsizetype mdat = boxAt(bytes, "mdat");
            putAt(bytes, mdat, 1, 4);
            bytes.insert(mdat + 8, QByteArray("\x7f\xff\xff\xff\xff\xff\xff\xff", 8));
            QTest::newRow("64-bit mdat size of 2^63") << bytes << truncated;
        }
        {
            QByteArray bytes = goodBytes;
            putAt(bytes, boxAt(bytes, "ipco") + 8, 0x7fffffff, 4);
            QTest::newRow("property larger than ipco") << bytes << truncated;
        }
        {
            QByteArray bytes = goodBytes;
            putAt(bytes, boxAt(bytes, "ipma") + 12, 0xffffffff, 4);
            QTest::newRow("ipma with 2^32-1 entries") << bytes << truncated;
        }
        {
            heif::File file = good;
            file.ilocLengthSize = 8;
            QByteArray bytes = file.build();
            // the last extent's length: the last 8 bytes of iloc
            const qsizetype ilocEnd =
                boxAt(bytes, "iloc") +
                qsizetype(qFromBigEndian<quint32>(bytes.constData() + boxAt(bytes, "iloc")));
            putAt(bytes, ilocEnd - 8, 0xffffffffffffffffull, 8);
            QTest::newRow("extent of 2^64-1 bytes") << bytes << truncated;
        }
        {
            heif::File file = good;
            file.items[0].data = heif::gridData(256, 256, 65535, 65535);
            QTest::newRow("grid of 256 x 256 tiles, 4 named") << file.build() << limit;
        }
        {
            heif::File file = good;
            file.items[0].data = heif::gridData(2, 2, 65535, 65535);
            QTest::newRow("grid of 65535 x 65535 from four small tiles") << file.build() << malformed;
        }
        {
            heif::File file = good;
            file.items[0].data = heif::gridData(2, 2, 0xffffffff, 0xffffffff, true);
            QTest::newRow("grid of 2^32-1 pixels a side") << file.build() << limit;
        }
        {
            heif::File file = good;
            file.items[0].data = heif::gridData(2, 2, 128, 60);
            QTest::newRow("a row of tiles below the picture") << file.build() << malformed;
        }
        {
            heif::File file = good;
            file.items[0].data = heif::gridData(2, 2, 128, 100).left(6);
            QTest::newRow("grid description cut short") << file.build() << truncated;
        }
        {
            heif::File file = good;
            file.references[0].to.removeLast();
            QTest::newRow("three tiles for a 2 x 2 grid") << file.build() << malformed;
        }
        {
            heif::File file = good;
            file.references[0].to[2] = 1;
            QTest::newRow("grid naming itself") << file.build() << malformed;
        }
        {
            heif::File file = good;
            file.references[0].to[2] = 42;
            QTest::newRow("grid naming a missing item") << file.build() << malformed;
        }
        {
            heif::File file = good;
            file.references.clear();
            QTest::newRow("grid without tiles") << file.build() << malformed;
        }
        {
            heif::File file = fakeDerived(heif::overlayData({0, 0, 0, 0}, 200, 100, points(65)));
            file.references.last().to = QList<quint32>(65, 4);
            QTest::newRow("overlay of 65 images") << file.build() << limit;
            // A small file of 64 inputs that are each a grid of 20 x 20 tiles claiming 10000 x 10000 pixels.
            file = fakeDerived(heif::overlayData({0, 0, 0, 0}, 1000, 1000, points(64)));
            file.items[0].data = heif::gridData(20, 20, 10000, 10000);
            file.properties[1] = heif::ispeProperty(512, 512);
            file.references.last().to = QList<quint32>(64, 1);
            QTest::newRow("overlay of 64 grids of 10000 x 10000") << file.build() << limit;
            file = fakeDerived(heif::overlayData({0, 0, 0, 0}, 10240, 100, points(2)));
            QTest::newRow("overlay canvas 10240 wide") << file.build() << limit;
            file = fakeDerived(heif::overlayData({0, 0, 0, 0}, 0, 100, points(2)));
            QTest::newRow("overlay of an empty canvas") << file.build() << malformed;
            file = fakeDerived(heif::overlayData({0, 0, 0, 0}, 200, 100, points(2)).chopped(1));
            QTest::newRow("overlay description cut short") << file.build() << truncated;
            file = fakeDerived(heif::overlayData({0, 0, 0, 0}, 200, 100, points(2)));
            file.items.last().data[0] = 1;
            QTest::newRow("overlay of version 1") << file.build() << unsupported;
            file.items.last().data[0] = 0;
            file.references.last().to = {1, 10};
            QTest::newRow("overlay naming itself") << file.build() << malformed;
            file = fakeDerived({});
            file.references.last().to = {4, 1};
            QTest::newRow("identity of two images") << file.build() << malformed;
        }
        {
            heif::File file = fakeSingle(64, 64);
            addFakeAlpha(file, 1, 2, 128, 64);
            QTest::newRow("alpha plane larger than its picture") << file.build() << limit;
            file = fakeSingle(64, 64);
            file.properties.append(heif::auxCProperty(heif::kAlphaType));
            file.items[0].properties.append(int(file.properties.size()));
            file.references.append({"auxl", 1, {1}});
            QTest::newRow("picture that is its own alpha plane") << file.build() << malformed;
        }
        {
            heif::File file = good;
            file.primary = 77;
            QTest::newRow("missing primary") << file.build() << malformed;
        }
        {
            heif::File file = good;
            file.items[3].properties = {2};
            QTest::newRow("tile without hvcC") << file.build() << malformed;
        }
        {
            heif::File file = good;
            file.properties.append(heif::ispeProperty(32, 32));
            file.items[4].properties = {1, 4};
            QTest::newRow("tiles of different sizes") << file.build() << malformed;
        }
        {
            // Tiles that claim 1 x 1 pixels but whose streams make 8192 x 8192.
            heif::File file = fakeGrid(2, 2, 1, 2, 2);
            file.properties[0] = heif::hvcCProperty(fakeStream(0, 8192, 8192));
            for (int n = 1; n <= 4; ++n)
                file.items[n].data = heif::codedData(fakeStream(n, 8192, 8192));
            QTest::newRow("tiles coded larger than they claim") << file.build() << malformed;
        }
        {
            heif::File file = good;
            // codedData keeps the slices only; the larger parameter set goes after them, as in-band data.
            const QByteArray larger = vornetta::test::hevc::sequenceParameterSet(65, 64);
            file.items[4].data = heif::codedData(fakeStream(4));
            heif::putU32(file.items[4].data, quint64(larger.size()));
            file.items[4].data += larger;
            QTest::newRow("a tile's own data redefining its size") << file.build() << malformed;
        }
        {
            heif::File file = fakeSingle(1280, 854);
            file.properties[0] = heif::hvcCProperty(fakeStream(0, 1280, 856));
            file.items[0].data = heif::codedData(fakeStream(1, 1280, 856));
            QTest::newRow("single image without its conformance window") << file.build() << malformed;
        }
        {
            const QByteArray sps = vornetta::test::hevc::sequenceParameterSet(64, 64);
            QByteArray damaged = sps.left(15) + QByteArray(sps.size() - 15, '\0');
            heif::File file = good;
            file.properties[0] = heif::hvcCProperty(fakeStream(0)).replace(sps, damaged);
            QTest::newRow("damaged sequence parameter set") << file.build() << malformed;
            QByteArray notSps = sps;
            notSps[0] = '\x4e'; // a supplemental enhancement unit in its place
            file.properties[0] = heif::hvcCProperty(fakeStream(0)).replace(sps, notSps);
            for (int n = 1; n <= 4; ++n)
                file.items[n].data = heif::codedData(fakeStream(n).replace(sps, notSps));
            QTest::newRow("no sequence parameter set") << file.build() << malformed;
        }
        {
            heif::File file = good;
            file.items[1].properties = {1, 9};
            QTest::newRow("missing property index") << file.build() << malformed;
        }
        {
            heif::File file = good;
            file.items[2].id = 2;
            QTest::newRow("item declared twice") << file.build() << malformed;
        }
        {
            heif::File file = good;
            file.brand = "avif";
            QByteArray bytes = file.build();
            bytes.replace("mif1", "avis");
            QTest::newRow("not a HEIF brand") << bytes << unsupported;
        }
        {
            QByteArray bytes = goodBytes;
            bytes.replace("pict", "vide");
            QTest::newRow("handler other than pict") << bytes << unsupported;
        }
        {
            heif::File file = good;
            file.items[4].data.chop(3);
            QTest::newRow("NAL unit running past its item") << file.build() << truncated;
        }
        {
            heif::File file = good;
            file.items[4].data = QByteArray(4, '\0');
            QTest::newRow("empty NAL unit") << file.build() << malformed;
        }
        {
            heif::File file = fakeSingle(64, 64);
            file.items[0].constructionMethod = 2;
            QTest::newRow("item offset construction") << file.build() << unsupported;
        }
        {
            heif::File file = fakeSingle(64, 64);
            file.properties[1] = heif::ispeProperty(0, 64);
            QTest::newRow("zero width") << file.build() << malformed;
        }
        {
            // Every tile names the same large item: the tiles would write far more than the file holds.
            heif::File file = fakeGrid(16, 16, 64, 1024, 1024);
            file.items[1].data =
                heif::codedData(fakeStream(1) + kStart + "\x26\x01" + QByteArray(20000, 'x'));
            file.items.resize(2);
            file.references[0].to = QList<quint32>(256, 2);
            QTest::newRow("tiles sharing data") << file.build() << limit;
        }
        {
            QByteArray bytes = goodBytes;
            const qsizetype iinf = boxAt(bytes, "iinf");
            putAt(bytes, iinf + 8 + 4 + 2, 0xffff, 4); // the first infe's size
            QTest::newRow("infe larger than iinf") << bytes << truncated;
        }
    }
    void badFilesFail()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        const SplitResult result = splitBytes(bytes);
        QVERIFY(!result.done);
        QVERIFY(result.failure.failed());
        QVERIFY(!result.failure.reason().empty());
        QVERIFY2(result.failure.reason().find('\n') == std::string::npos, result.failure.reason().c_str());
        QCOMPARE(int(result.failure.kind()), kind);
        QVERIFY(result.sink.info.isEmpty());
    }

    // A file with as many items as one may declare splits; one more is refused.
    void manyItemsSplitUpToTheLimit()
    {
        heif::File file = fakeSingle(64, 64);
        file.infeVersion = 3;
        file.ilocVersion = 2;
        file.ipmaVersion = 1;
        for (quint32 n = 0; n < heifsplit::kMaxItems; ++n) {
            heif::Item extra;
            extra.id = 100 + n;
            extra.type = "Exif";
            extra.hidden = true;
            extra.data = "x";
            extra.properties = {2};
            file.items.append(extra);
        }
        SplitResult result = splitBytes(file.build()); // one item more than the limit
        QCOMPARE(result.failure.kind(), heifsplit::FailureKind::Limit);
        QVERIFY2(result.failure.reason().find("items") != std::string::npos, result.failure.reason().c_str());

        file.items.removeLast();
        result = splitBytes(file.build());
        QVERIFY2(result.done, result.failure.reason().c_str());
    }

    // Any cut of a good file fails; no cut makes a tile from bytes that are not there.
    void everyCutFails()
    {
        heif::File file = fakeGrid(2, 2, 64, 128, 100);
        file.items[0].constructionMethod = 1;
        file.items[2].extentCount = 2;
        const QByteArray bytes = file.build();
        for (qsizetype length = 0; length < bytes.size(); ++length) {
            const SplitResult result = splitBytes(bytes.left(length));
            QVERIFY2(!result.done, qPrintable(QString("cut at %1").arg(length)));
            QVERIFY(result.sink.info.isEmpty());
        }
    }

    // Flipped bits may leave a readable file; what must never happen is a tile from outside the file, a
    // crash (the sanitizer build watches), or success without the information.
    void flippedBitsFailOrSplit()
    {
        const QByteArray bytes = fakeGrid(2, 2, 64, 128, 100).build();
        const qsizetype metaEnd = bytes.indexOf("mdat");
        for (qsizetype at = 0; at < metaEnd; ++at) {
            for (int bit = 0; bit < 8; ++bit) {
                QByteArray flipped = bytes;
                flipped[at] = char(flipped[at] ^ (1 << bit));
                const SplitResult result = splitBytes(flipped);
                QCOMPARE(result.done, !result.failure.failed());
                if (result.done) {
                    QVERIFY(result.sink.info.endsWith(",\n"));
                    QCOMPARE(result.sink.tiles.size(), result.sink.info.count(','));
                }
            }
        }
    }
};

VORNETTA_TEST_MAIN(HeifParseTest)
#include "tst_heifparse.moc"
