#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A small ISOBMFF/HEIF writer for tests: it builds the container around coded data so that tests can make
// good files and every variant of them (construction methods, extents, field widths, box sizes) without
// any encoder library. It checks nothing: tests use it to make bad files too.
namespace vornetta::test::heif {

// Big-endian appenders.
void putU8(QByteArray& out, quint64 value);
void putU16(QByteArray& out, quint64 value);
void putU32(QByteArray& out, quint64 value);
void putU64(QByteArray& out, quint64 value);
// Appends value in byteCount bytes (0, 1, 2, 4 or 8).
void putUInt(QByteArray& out, quint64 value, int byteCount);

// A box with a 32-bit size, a box with size 1 and a 64-bit size, and a full box (version and flags first).
QByteArray box(const char* type, const QByteArray& payload);
QByteArray largeBox(const char* type, const QByteArray& payload);
QByteArray fullBox(const char* type, int version, quint32 flags, const QByteArray& payload);

// Item properties.
QByteArray ispeProperty(quint32 width, quint32 height);
// The hvcC of an Annex-B stream: VPS, SPS, PPS and prefix SEI units go into its arrays. lengthSize is the
// NAL length prefix size (1, 2 or 4) that the coded data of the item uses.
QByteArray hvcCProperty(const QByteArray& annexB, int lengthSize = 4);
QByteArray irotProperty(int angle); // angle in units of 90 degrees anticlockwise
QByteArray imirProperty(int axis);  // 0 vertical axis, 1 horizontal axis
QByteArray clapProperty(quint32 widthN, quint32 widthD, quint32 heightN, quint32 heightD, qint32 horizOffN,
                        quint32 horizOffD, qint32 vertOffN, quint32 vertOffD);
QByteArray colrIccProperty(const QByteArray& icc, const char* colourType = "prof");

// The ImageGrid payload of a grid item. wide selects 32-bit output sizes (flags bit 0).
QByteArray gridData(int rows, int cols, quint32 outputWidth, quint32 outputHeight, bool wide = false);

// The VCL units of an Annex-B stream with lengthSize-byte length prefixes: the coded data of an item.
QByteArray codedData(const QByteArray& annexB, int lengthSize = 4);

struct Item
{
    quint32 id = 0;
    QByteArray type = "hvc1";
    QByteArray data;
    int constructionMethod = 0; // 0: file offset (mdat), 1: idat
    int extentCount = 1;        // the data is cut into this many extents (the last takes the rest)
    bool hidden = false;
    QByteArray contentType; // for "mime" items
    QList<int> properties;  // 1-based indices into File::properties
    QList<int> essential;   // those of properties marked essential
};

struct Reference
{
    QByteArray type = "dimg";
    quint32 from = 0;
    QList<quint32> to;
};

struct File
{
    QByteArray brand = "heic";
    quint32 primary = 1;
    QList<Item> items;
    QList<QByteArray> properties; // whole property boxes, in ipco order
    QList<Reference> references;

    int infeVersion = 2;         // 2 or 3 (32-bit item ids)
    int ilocVersion = 1;         // 0, 1 or 2
    int ilocOffsetSize = 4;      // 4 or 8
    int ilocLengthSize = 4;      // 4 or 8
    int ilocBaseOffsetSize = 0;  // 0, 4 or 8; with a base offset the extents count from the mdat data
    int irefVersion = 0;         // 0: 16-bit ids, 1: 32-bit ids
    int ipmaVersion = 0;         // 0: 16-bit ids, 1: 32-bit ids
    bool ipmaLargeIndex = false; // 15-bit property indices (flags bit 0)
    int mdatSize = 32;           // 32, 64 (size 1 with a 64-bit size) or 0 (to the end of the file)
    bool metaFirst = true;       // false puts mdat before meta

    QByteArray build() const;
};

// Writes data to path; returns an empty string or the reason it failed.
QString writeFile(const QByteArray& data, const QString& path);

// Splits an Annex-B stream into its NAL units (without start codes).
QList<QByteArray> nalUnits(const QByteArray& annexB);

} // namespace vornetta::test::heif
