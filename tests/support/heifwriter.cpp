#include "tests/support/heifwriter.h"

#include <QFile>
#include <QSaveFile>

namespace vornetta::test::heif {

void putUInt(QByteArray& out, quint64 value, int byteCount)
{
    for (int shift = (byteCount - 1) * 8; shift >= 0; shift -= 8) {
        out.append(char((value >> shift) & 0xff));
    }
}

void putU8(QByteArray& out, quint64 value)
{
    putUInt(out, value, 1);
}
void putU16(QByteArray& out, quint64 value)
{
    putUInt(out, value, 2);
}
void putU32(QByteArray& out, quint64 value)
{
    putUInt(out, value, 4);
}
void putU64(QByteArray& out, quint64 value)
{
    putUInt(out, value, 8);
}

QByteArray box(const char* type, const QByteArray& payload)
{
    QByteArray out;
    putU32(out, quint64(payload.size()) + 8);
    out.append(type, 4);
    return out + payload;
}

QByteArray largeBox(const char* type, const QByteArray& payload)
{
    QByteArray out;
    putU32(out, 1);
    out.append(type, 4);
    putU64(out, quint64(payload.size()) + 16);
    return out + payload;
}

QByteArray fullBox(const char* type, int version, quint32 flags, const QByteArray& payload)
{
    QByteArray body;
    putU8(body, quint64(version));
    putUInt(body, flags, 3);
    return box(type, body + payload);
}

QByteArray ispeProperty(quint32 width, quint32 height)
{
    QByteArray body;
    putU32(body, width);
    putU32(body, height);
    return fullBox("ispe", 0, 0, body);
}

QList<QByteArray> nalUnits(const QByteArray& annexB)
{
    QList<QByteArray> units;
    qsizetype start = -1;
    qsizetype i = 0;
    const auto finish = [&](qsizetype end) {
        if (start < 0) {
            return;
        }
        QByteArray unit = annexB.mid(start, end - start);
        while (unit.endsWith('\0')) {
            unit.chop(1);
        }
        if (!unit.isEmpty()) {
            units.append(unit);
        }
    };
    while (i + 2 < annexB.size()) {
        if (annexB[i] == 0 && annexB[i + 1] == 0 && annexB[i + 2] == 1) {
            finish(i);
            i += 3;
            start = i;
        } else {
            ++i;
        }
    }
    finish(annexB.size());
    return units;
}

namespace {

int nalType(const QByteArray& unit)
{
    return unit.isEmpty() ? -1 : (quint8(unit[0]) >> 1) & 0x3f;
}

// The first bytes of a NAL unit's payload with emulation prevention bytes removed.
QByteArray unescaped(const QByteArray& unit, int count)
{
    QByteArray out;
    int zeros = 0;
    for (qsizetype i = 2; i < unit.size() && out.size() < count; ++i) {
        const char byte = unit[i];
        if (zeros >= 2 && byte == 3) {
            zeros = 0;
            continue;
        }
        zeros = byte == 0 ? zeros + 1 : 0;
        out.append(byte);
    }
    out.resize(count, '\0');
    return out;
}

} // namespace

QByteArray hvcCProperty(const QByteArray& annexB, int lengthSize)
{
    const QList<QByteArray> units = nalUnits(annexB);
    QByteArray sps;
    for (const QByteArray& unit : units) {
        if (nalType(unit) == 33) {
            sps = unit;
            break;
        }
    }
    // profile_tier_level follows the first byte of the SPS payload.
    const QByteArray ptl = unescaped(sps, 13);

    QByteArray body;
    putU8(body, 1);
    body.append(ptl.mid(1, 12)); // profile space, tier, profile, compatibility, constraints, level
    putU16(body, 0xf000);
    putU8(body, 0xfc);
    putU8(body, 0xfd); // 4:2:0
    putU8(body, 0xf8); // 8-bit luma
    putU8(body, 0xf8); // 8-bit chroma
    putU16(body, 0);
    putU8(body, (1 << 3) | (1 << 2) | quint64(lengthSize - 1));

    QByteArray arrays;
    int arrayCount = 0;
    for (const int type : {32, 33, 34, 39}) {
        QList<QByteArray> ofType;
        for (const QByteArray& unit : units) {
            if (nalType(unit) == type) {
                ofType.append(unit);
            }
        }
        if (ofType.isEmpty()) {
            continue;
        }
        ++arrayCount;
        putU8(arrays, 0x80 | quint64(type));
        putU16(arrays, quint64(ofType.size()));
        for (const QByteArray& unit : ofType) {
            putU16(arrays, quint64(unit.size()));
            arrays.append(unit);
        }
    }
    putU8(body, quint64(arrayCount));
    return box("hvcC", body + arrays);
}

QByteArray codedData(const QByteArray& annexB, int lengthSize)
{
    QByteArray out;
    for (const QByteArray& unit : nalUnits(annexB)) {
        if (nalType(unit) < 32) {
            putUInt(out, quint64(unit.size()), lengthSize);
            out.append(unit);
        }
    }
    return out;
}

QByteArray irotProperty(int angle)
{
    QByteArray body;
    putU8(body, quint64(angle & 3));
    return box("irot", body);
}

QByteArray imirProperty(int axis)
{
    QByteArray body;
    putU8(body, quint64(axis & 1));
    return box("imir", body);
}

QByteArray clapProperty(quint32 widthN, quint32 widthD, quint32 heightN, quint32 heightD, qint32 horizOffN,
                        quint32 horizOffD, qint32 vertOffN, quint32 vertOffD)
{
    QByteArray body;
    for (const quint32 value :
         {widthN, widthD, heightN, heightD, quint32(horizOffN), horizOffD, quint32(vertOffN), vertOffD}) {
        putU32(body, value);
    }
    return box("clap", body);
}

QByteArray colrIccProperty(const QByteArray& icc, const char* colourType)
{
    QByteArray body(colourType, 4);
    return box("colr", body + icc);
}

QByteArray gridData(int rows, int cols, quint32 outputWidth, quint32 outputHeight, bool wide)
{
    QByteArray out;
    putU8(out, 0);
    putU8(out, wide ? 1 : 0);
    putU8(out, quint64(rows - 1));
    putU8(out, quint64(cols - 1));
    putUInt(out, outputWidth, wide ? 4 : 2);
    putUInt(out, outputHeight, wide ? 4 : 2);
    return out;
}

namespace {

struct Placed
{
    quint64 offset = 0; // where the item's data starts in the mdat data or the idat data
};

QByteArray ftypBox(const QByteArray& brand)
{
    QByteArray body = brand;
    putU32(body, 0);
    body += "mif1";
    body += brand;
    return box("ftyp", body);
}

QByteArray hdlrBox()
{
    QByteArray body;
    putU32(body, 0);
    body += "pict";
    putU32(body, 0);
    putU32(body, 0);
    putU32(body, 0);
    body.append('\0');
    return fullBox("hdlr", 0, 0, body);
}

QByteArray iinfBox(const File& file)
{
    QByteArray body;
    putU16(body, quint64(file.items.size()));
    for (const Item& item : file.items) {
        QByteArray entry;
        putUInt(entry, item.id, file.infeVersion >= 3 ? 4 : 2);
        putU16(entry, 0);
        entry += item.type.left(4);
        entry.append('\0');
        if (item.type == "mime") {
            entry += item.contentType;
            entry.append('\0');
        }
        body += fullBox("infe", file.infeVersion, item.hidden ? 1 : 0, entry);
    }
    return fullBox("iinf", 0, 0, body);
}

QByteArray irefBox(const File& file)
{
    QByteArray body;
    const int idSize = file.irefVersion == 0 ? 2 : 4;
    for (const Reference& reference : file.references) {
        QByteArray entry;
        putUInt(entry, reference.from, idSize);
        putU16(entry, quint64(reference.to.size()));
        for (const quint32 to : reference.to) {
            putUInt(entry, to, idSize);
        }
        body += box(reference.type.constData(), entry);
    }
    return fullBox("iref", file.irefVersion, 0, body);
}

QByteArray iprpBox(const File& file)
{
    QByteArray properties;
    for (const QByteArray& property : file.properties) {
        properties += property;
    }
    QByteArray associations;
    int entries = 0;
    for (const Item& item : file.items) {
        if (item.properties.isEmpty()) {
            continue;
        }
        ++entries;
        putUInt(associations, item.id, file.ipmaVersion == 0 ? 2 : 4);
        putU8(associations, quint64(item.properties.size()));
        for (const int index : item.properties) {
            const bool essential = item.essential.contains(index);
            if (file.ipmaLargeIndex) {
                putU16(associations, (essential ? 0x8000 : 0) | quint64(index));
            } else {
                putU8(associations, (essential ? 0x80 : 0) | quint64(index));
            }
        }
    }
    QByteArray ipma;
    putU32(ipma, quint64(entries));
    ipma += associations;
    return box("iprp", box("ipco", properties) +
                           fullBox("ipma", file.ipmaVersion, file.ipmaLargeIndex ? 1 : 0, ipma));
}

// The extents of an item: the data cut into extentCount pieces. Several extents are stored back to front,
// so that a reader that takes one range from the first offset reads the wrong bytes.
QList<QPair<quint64, quint64>> extentsOf(const Item& item, quint64 start)
{
    const int count = qMax(1, item.extentCount);
    const quint64 piece = quint64(item.data.size()) / quint64(count);
    QList<QPair<quint64, quint64>> logical;
    quint64 at = 0;
    for (int i = 0; i < count; ++i) {
        const quint64 length = i == count - 1 ? quint64(item.data.size()) - at : piece;
        logical.append({at, length});
        at += length;
    }
    QList<QPair<quint64, quint64>> stored; // (file position, length) for each logical piece
    quint64 position = start;
    for (int i = count - 1; i >= 0; --i) {
        stored.prepend({position, logical[i].second});
        position += logical[i].second;
    }
    return stored;
}

QByteArray storedBytes(const Item& item)
{
    const QList<QPair<quint64, quint64>> extents = extentsOf(item, 0);
    QByteArray out(item.data.size(), '\0');
    quint64 logical = 0;
    for (const auto& [position, length] : extents) {
        out.replace(qsizetype(position), qsizetype(length),
                    item.data.mid(qsizetype(logical), qsizetype(length)));
        logical += length;
    }
    return out;
}

QByteArray ilocBox(const File& file, quint64 mdatDataStart)
{
    QByteArray body;
    putU8(body, quint64((file.ilocOffsetSize << 4) | file.ilocLengthSize));
    putU8(body, quint64(file.ilocBaseOffsetSize << 4));
    putUInt(body, quint64(file.items.size()), file.ilocVersion < 2 ? 2 : 4);
    quint64 mdatAt = 0;
    quint64 idatAt = 0;
    for (const Item& item : file.items) {
        putUInt(body, item.id, file.ilocVersion < 2 ? 2 : 4);
        if (file.ilocVersion >= 1) {
            putU16(body, quint64(item.constructionMethod));
        }
        putU16(body, 0);
        const bool inIdat = item.constructionMethod == 1;
        const quint64 start = inIdat ? idatAt : mdatDataStart + mdatAt;
        const quint64 base = file.ilocBaseOffsetSize > 0 && !inIdat ? start : 0;
        putUInt(body, base, file.ilocBaseOffsetSize);
        const QList<QPair<quint64, quint64>> extents = extentsOf(item, start);
        putU16(body, quint64(extents.size()));
        for (const auto& [position, length] : extents) {
            putUInt(body, position - base, file.ilocOffsetSize);
            putUInt(body, length, file.ilocLengthSize);
        }
        (inIdat ? idatAt : mdatAt) += quint64(item.data.size());
    }
    return fullBox("iloc", file.ilocVersion, 0, body);
}

} // namespace

QByteArray File::build() const
{
    QByteArray mdatData;
    QByteArray idatData;
    for (const Item& item : items) {
        (item.constructionMethod == 1 ? idatData : mdatData) += storedBytes(item);
    }

    const auto metaBox = [&](quint64 mdatDataStart) {
        QByteArray body = hdlrBox();
        QByteArray pitm;
        const bool widePrimary = primary > 0xffff;
        putUInt(pitm, primary, widePrimary ? 4 : 2);
        body += fullBox("pitm", widePrimary ? 1 : 0, 0, pitm);
        body += iinfBox(*this);
        if (!references.isEmpty()) {
            body += irefBox(*this);
        }
        body += iprpBox(*this);
        body += ilocBox(*this, mdatDataStart);
        if (!idatData.isEmpty()) {
            body += box("idat", idatData);
        }
        return fullBox("meta", 0, 0, body);
    };

    QByteArray mdat;
    if (mdatSize == 64) {
        mdat = largeBox("mdat", mdatData);
    } else if (mdatSize == 0) {
        mdat = box("mdat", mdatData);
        mdat[0] = mdat[1] = mdat[2] = mdat[3] = '\0';
    } else {
        mdat = box("mdat", mdatData);
    }
    const quint64 mdatHeader = quint64(mdat.size() - mdatData.size());

    const QByteArray ftyp = ftypBox(brand);
    if (metaFirst) {
        const quint64 metaSize = quint64(metaBox(0).size());
        return ftyp + metaBox(quint64(ftyp.size()) + metaSize + mdatHeader) + mdat;
    }
    return ftyp + mdat + metaBox(quint64(ftyp.size()) + mdatHeader);
}

QString writeFile(const QByteArray& data, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return QString("cannot create %1: %2").arg(path, file.errorString());
    }
    if (file.write(data) != data.size() || !file.commit()) {
        return QString("cannot write %1: %2").arg(path, file.errorString());
    }
    return QString();
}

} // namespace vornetta::test::heif
