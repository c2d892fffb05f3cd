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
        QTest::addColumn<QList<quint32>>("items");
        QTest::addColumn<QString>("reason"); // empty: listed
        const QString wrong = "the splitter listed the pictures wrongly";
        QList<quint32> many{0};
        for (quint32 id = 2; id <= 1024; ++id)
            many.append(id);
        QTest::newRow("three pictures")
            << QByteArray("printf '7\\n3\\n90000\\n'") << QList<quint32>{0, 3, 90000} << "";
        QTest::newRow("a file it refuses") << QByteArray("exit 1") << QList<quint32>{0} << "";
        QTest::newRow("1024 pictures") << QByteArray("seq 1 1024") << many << "";
        QTest::newRow("1025 pictures")
            << QByteArray("seq 1 1025") << QList<quint32>{} << "more than 1024 pictures";
        QTest::newRow("more than a pipe holds")
            << QByteArray("seq 1 100000") << QList<quint32>{} << "more than 1024 pictures";
        QTest::newRow("a megabyte of zeros")
            << QByteArray("head -c 1000000 /dev/zero") << QList<quint32>{} << wrong;
        QTest::newRow("nothing") << QByteArray("true") << QList<quint32>{} << wrong;
        QTest::newRow("no line end") << QByteArray("printf 1") << QList<quint32>{} << wrong;
        QTest::newRow("item 0") << QByteArray("printf '1\\n0\\n'") << QList<quint32>{} << wrong;
        QTest::newRow("a signed id") << QByteArray("printf '1\\n+2\\n'") << QList<quint32>{} << wrong;
        QTest::newRow("an id past 32 bits")
            << QByteArray("printf '1\\n4294967296\\n'") << QList<quint32>{} << wrong;
        QTest::newRow("an id twice") << QByteArray("printf '1\\n2\\n1\\n'") << QList<quint32>{} << wrong;
        QTest::newRow("a usage error")
            << QByteArray("exit 2") << QList<quint32>{} << "the splitter could not list the pictures";
        QTest::newRow("a crash") << QByteArray("echo 1; kill -SEGV $$") << QList<quint32>{}
                                 << "the splitter crashed";
    }
    void theSplittersListIsReadStrictly()
    {
        QFETCH(QByteArray, splitter);
        QFETCH(QList<quint32>, items);
        QFETCH(QString, reason);
        vornetta::test::FakeProgramFolder folder;
        QVERIFY(folder.addTool("heic/heic", "printf '%s\\n' \"$@\" > \"$0.args\"\n" + splitter));
        const QString input = folder.file("in.heic");
        QVERIFY(vornetta::test::writeFile(input, "any"));
        // Far longer than any row takes, unless a full pipe keeps the splitter waiting.
        setToolTimeLimit(10s);

        const ImageList list = listImages(input);
        QCOMPARE(list.status.reason, reason);
        QCOMPARE(list.items, items);
        QCOMPARE(vornetta::test::fileBytes(folder.file("heic/heic.args")),
                 "--list\n" + input.toUtf8() + "\n");
    }
};

VORNETTA_TEST_MAIN(ImageListTest)
#include "tst_imagelist.moc"
