// SPDX-License-Identifier: GPL-3.0-or-later
#include <climits>

#include <QTemporaryDir>

#include "engine/tiles/tileinfo.h"
#include "tests/support/testmain.h"

namespace {

QList<int> toList(const std::vector<int>& ids)
{
    return QList<int>(ids.begin(), ids.end());
}

QByteArray phoneTileLine()
{
    QByteArray line;
    for (int i = 1; i <= 48; ++i)
        line += QByteArray::number(i) + (i < 48 ? "," : "");
    return line;
}

QList<int> oneTo(int last)
{
    QList<int> ids;
    for (int i = 1; i <= last; ++i)
        ids.append(i);
    return ids;
}

} // namespace

class TileInfoTest final : public QObject
{
    Q_OBJECT

private slots:
    void parsesAsTheSplitterWritesAndToleratesTheRest_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QList<int>>("tileIds");

        const QByteArray tiles = phoneTileLine();
        QTest::newRow("phone picture") << "width=4032\nheight=3024\nrow=6\ncol=8\n" + tiles + "\n"
                                       << 6 << 8 << 4032 << 3024 << oneTo(48);
        QTest::newRow("carriage returns and a blank line")
            << "width=4032\r\n\r\nheight=3024\r\nrow=6\r\ncol=8\r\n" + tiles + "\r\n"
            << 6 << 8 << 4032 << 3024 << oneTo(48);
        QTest::newRow("any line order, no final line feed")
            << "1,2,3,4\ncol=2\nheight=20\nrow=2\nwidth=10" + QByteArray() << 2 << 2 << 10 << 20
            << QList<int>{1, 2, 3, 4};
        QTest::newRow("empty elements are skipped")
            << QByteArray("1,2,,3,") << 0 << 0 << 0 << 0 << QList<int>{1, 2, 3};
        QTest::newRow("several tile lines append")
            << QByteArray("1,2\n\n3,4\n") << 0 << 0 << 0 << 0 << QList<int>{1, 2, 3, 4};
        QTest::newRow("a one-character tile line is ignored")
            << QByteArray("row=1\ncol=1\n1\n") << 1 << 1 << 0 << 0 << QList<int>{};
        QTest::newRow("one tile with a trailing comma")
            << QByteArray("1,\n") << 0 << 0 << 0 << 0 << QList<int>{1};
        QTest::newRow("width==100") << QByteArray("width==100\n") << 0 << 0 << 100 << 0 << QList<int>{};
        QTest::newRow("the later key wins")
            << QByteArray("col=4\ncol=8\n") << 0 << 8 << 0 << 0 << QList<int>{};
        QTest::newRow("key without number")
            << QByteArray("row=6\nrow=\n") << 0 << 0 << 0 << 0 << QList<int>{};
        QTest::newRow("text ends at a NUL byte")
            << QByteArray("row=6\0\ncol=8\nwidth=9\n1,2\n", 22) << 6 << 0 << 0 << 0 << QList<int>{};
        QTest::newRow("unknown key is a tile number line")
            << QByteArray("depth=5\n") << 0 << 0 << 0 << 0 << QList<int>{0};
        QTest::newRow("keys are case-sensitive and must start the line")
            << QByteArray("ROW=6\n row=6\n") << 0 << 0 << 0 << 0 << QList<int>{0, 0};
        QTest::newRow("numbers read like atol")
            << QByteArray("1, 2,\t3,x,7z,-4,+5\n") << 0 << 0 << 0 << 0 << QList<int>{1, 2, 3, 0, 7, -4, 5};
        QTest::newRow("signed keys") << QByteArray("row=-3\ncol=+4\n") << -3 << 4 << 0 << 0 << QList<int>{};
        QTest::newRow("out of range saturates")
            << QByteArray("width=99999999999999999999\nheight=-99999999999\nrow=2147483648\n") << INT_MAX << 0
            << INT_MAX << INT_MIN << QList<int>{};
        QTest::newRow("absurd grid") << QByteArray("row=2000000000\ncol=2000000000\n") << 2000000000
                                     << 2000000000 << 0 << 0 << QList<int>{};
        QTest::newRow("empty text") << QByteArray() << 0 << 0 << 0 << 0 << QList<int>{};
        QTest::newRow("no keys at all") << QByteArray("hello\n") << 0 << 0 << 0 << 0 << QList<int>{0};
    }
    void parsesAsTheSplitterWritesAndToleratesTheRest()
    {
        QFETCH(QByteArray, text);
        const TileInfo info = parseTileInfo(std::string_view(text.constData(), size_t(text.size())));
        QTEST(info.rows, "rows");
        QTEST(info.cols, "cols");
        QTEST(info.width, "width");
        QTEST(info.height, "height");
        QTEST(toList(info.tileIds), "tileIds");
    }

    void splitTextDropsEmptyPieces()
    {
        const auto pieces = splitText(",,a,,bc,", ',');
        QCOMPARE(pieces.size(), size_t(2));
        QCOMPARE(pieces[0], std::string_view("a"));
        QCOMPARE(pieces[1], std::string_view("bc"));
        QVERIFY(splitText("", '\n').empty());
        QVERIFY(splitText("\n\n", '\n').empty());
    }

    void readWholeFileKeepsEveryByte()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("hevcinfo");
        const QByteArray bytes("row=6\r\n\0col=8\r\n", 15);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        const auto read = readWholeFile(path.toStdString());
        QVERIFY(read.has_value());
        QCOMPARE(QByteArray(read->data(), qsizetype(read->size())), bytes);

        QVERIFY(!readWholeFile(dir.filePath("missing").toStdString()).has_value());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.close();
        QVERIFY(!readWholeFile(path.toStdString()).has_value());
        QVERIFY(!readWholeFile(dir.path().toStdString()).has_value());
    }
};

VORNETTA_TEST_MAIN(TileInfoTest)
#include "tst_tileinfo.moc"
