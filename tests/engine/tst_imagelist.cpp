// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/imagelist.h"
#include "tests/engine/fakeprogramfolder.h"
#include "tests/support/files.h"
#include "tests/support/testmain.h"

using namespace std::chrono_literals;

// The list of a file's pictures as the splitter prints it, read strictly: a splitter that lies, crashes or
// prints without end gives a reason, never a wrong list or a wait.
class ImageListTest final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setToolTimeLimit(60s); }

    void theSplittersListIsReadStrictly_data()
    {
        QTest::addColumn<QByteArray>("splitter"); // the body of a fake heic/heic
        QTest::addColumn<int>("fileBytes");
        QTest::addColumn<QList<quint32>>("items");
        QTest::addColumn<QList<quint32>>("beyondBudget"); // of items
        QTest::addColumn<QString>("reason");              // empty: listed
        const QString wrong = "the splitter listed the pictures wrongly";
        const QList<quint32> none;
        QList<quint32> many{0};
        for (quint32 id = 2; id <= 1024; ++id)
            many.append(id);
        QTest::newRow("three pictures") << QByteArray("printf '7 10\\n3 0\\n90000 20\\n'") << 3
                                        << QList<quint32>{0, 3, 90000} << none << "";
        // The budget of a small file is one picture of 10239 x 10239, 104837121 pixels; a picture that
        // decodes nothing costs nothing.
        QTest::newRow("pictures past the budget")
            << QByteArray("printf '1 60000000\\n2 40000000\\n3 10000000\\n4 0\\n5 4837121\\n'") << 3
            << QList<quint32>{0, 2, 3, 4, 5} << QList<quint32>{3} << "";
        QTest::newRow("a primary past the budget") << QByteArray("printf '1 104857600\\n2 1\\n3 0\\n'") << 3
                                                   << QList<quint32>{0, 2, 3} << QList<quint32>{2} << "";
        QTest::newRow("4000 pixels a byte of a larger file")
            << QByteArray("printf '1 100000000\\n2 60000000\\n3 1\\n'") << 40000 << QList<quint32>{0, 2, 3}
            << QList<quint32>{3} << "";
        QTest::newRow("a file it refuses") << QByteArray("exit 1") << 3 << QList<quint32>{0} << none << "";
        QTest::newRow("1024 pictures") << QByteArray("seq 1 1024 | sed 's/$/ 0/'") << 3 << many << none << "";
        QTest::newRow("1025 pictures")
            << QByteArray("seq 1 1025") << 3 << none << none << "more than 1024 pictures";
        QTest::newRow("more than a pipe holds")
            << QByteArray("seq 1 100000") << 3 << none << none << "more than 1024 pictures";
        QTest::newRow("a megabyte of zeros")
            << QByteArray("head -c 1000000 /dev/zero") << 3 << none << none << wrong;
        QTest::newRow("nothing") << QByteArray("true") << 3 << none << none << wrong;
        QTest::newRow("no line end") << QByteArray("printf '1 0'") << 3 << none << none << wrong;
        QTest::newRow("ids without pixels") << QByteArray("printf '1\\n2\\n'") << 3 << none << none << wrong;
        QTest::newRow("item 0") << QByteArray("printf '1 0\\n0 0\\n'") << 3 << none << none << wrong;
        QTest::newRow("a signed id") << QByteArray("printf '1 0\\n+2 0\\n'") << 3 << none << none << wrong;
        QTest::newRow("an id past 32 bits")
            << QByteArray("printf '1 0\\n4294967296 0\\n'") << 3 << none << none << wrong;
        QTest::newRow("pixels past 64 bits")
            << QByteArray("printf '1 0\\n2 18446744073709551616\\n'") << 3 << none << none << wrong;
        QTest::newRow("an id twice") << QByteArray("printf '1 0\\n2 0\\n1 0\\n'") << 3 << none << none
                                     << wrong;
        QTest::newRow("a usage error")
            << QByteArray("exit 2") << 3 << none << none << "the splitter could not list the pictures";
        QTest::newRow("a crash") << QByteArray("echo 1 0; kill -SEGV $$") << 3 << none << none
                                 << "the splitter crashed";
    }
    void theSplittersListIsReadStrictly()
    {
        QFETCH(QByteArray, splitter);
        QFETCH(int, fileBytes);
        QFETCH(QList<quint32>, items);
        QFETCH(QList<quint32>, beyondBudget);
        QFETCH(QString, reason);
        vornetta::test::FakeProgramFolder folder;
        QVERIFY(folder.addTool("heic/heic", "printf '%s\\n' \"$@\" > \"$0.args\"\n" + splitter));
        const QString input = folder.file("in.heic");
        QVERIFY(vornetta::test::writeFile(input, QByteArray(fileBytes, 'x')));
        // Far longer than any row takes, unless a full pipe keeps the splitter waiting.
        setToolTimeLimit(10s);

        const ImageList list = listImages(input);
        QCOMPARE(list.status.reason, reason);
        QList<quint32> listed;
        QList<quint32> beyond;
        for (const ListedImage& image : list.images) {
            listed.append(image.item);
            if (!image.withinBudget)
                beyond.append(image.item);
        }
        QCOMPARE(listed, items);
        QCOMPARE(beyond, beyondBudget);
        QCOMPARE(vornetta::test::fileBytes(folder.file("heic/heic.args")),
                 "--list\n" + input.toUtf8() + "\n");
    }
};

VORNETTA_TEST_MAIN(ImageListTest)
#include "tst_imagelist.moc"
