// SPDX-License-Identifier: GPL-3.0-or-later
#include <thread>

#include "engine/process/decoderslots.h"
#include "engine/process/tiledecoding.h"
#include "engine/tiles/tilestitcher.h"
#include "fixtures/heicfixtures.h"
#include "tests/engine/fakeprogramfolder.h"
#include "tests/support/files.h"
#include "tests/support/testmain.h"

using vornetta::test::fileBytes;

using namespace std::chrono_literals;
using vornetta::test::FakeProgramFolder;

namespace {

// A work folder with the sub-folders the splitter and the decoder write into.
class WorkFolder final
{
public:
    WorkFolder()
    {
        QDir().mkpath(path() + "/hevc");
        QDir().mkpath(path() + "/jpeg");
    }
    QString path() const { return dir.path() + "/thumb"; }
    std::string work() const { return path().toStdString(); }

    // Tile files 1..count that the fake decoders below accept (they only look at the name).
    std::vector<int> writeTiles(int count) const
    {
        std::vector<int> ids;
        for (int n = 1; n <= count; ++n) {
            QFile tile(path() + "/hevc/hevc" + QString::number(n));
            if (tile.open(QIODevice::WriteOnly))
                tile.write("tile");
            ids.push_back(n);
        }
        return ids;
    }

private:
    QTemporaryDir dir;
};

// A decoder that logs "start N" and "end N" around a pause, so the log shows which decoders overlapped.
// Tile files named in hang never end by themselves.
QByteArray loggingDecoder(const QByteArray& pause, const QByteArray& hang = "none")
{
    return "log=\"$(dirname \"$0\")/decoded\"\n"
           "tile=\"${2##*/}\"\n"
           "echo \"start $tile\" >> \"$log\"\n"
           "[ \"$tile\" = \"" +
           hang + "\" ] && sleep 300\n" + "sleep " + pause +
           "\n"
           "printf 'BM' > \"$3\"\n"
           "echo \"end $tile\" >> \"$log\"";
}

// The most decoders that ran at one time, read from a logging decoder's log.
int mostAtOnce(const QStringList& log)
{
    int running = 0;
    int most = 0;
    for (const QString& line : log) {
        running += line.startsWith("start") ? 1 : -1;
        most = std::max(most, running);
    }
    return most;
}

QStringList linesStarting(const QStringList& log, const QString& word)
{
    QStringList lines;
    for (const QString& line : log)
        if (line.startsWith(word))
            lines.append(line);
    return lines;
}

} // namespace

class TileDecodingTest final : public QObject
{
    Q_OBJECT

private slots:
    void init() { setToolTimeLimit(60s); }
    void cleanup()
    {
        setTileDecoderCount(0);
        setToolTimeLimit(60s);
        QVERIFY(vornetta::test::childProcesses().isEmpty());
    }

    void decoderCountDefaultsToTheIdealThreadCount()
    {
        QCOMPARE(tileDecoderCount(), std::max(QThread::idealThreadCount(), 1));
        setTileDecoderCount(3);
        QCOMPARE(tileDecoderCount(), 3);
        setTileDecoderCount(-2);
        QCOMPARE(tileDecoderCount(), std::max(QThread::idealThreadCount(), 1));
    }

    void runsAtMostTheSetNumberOfDecodersAtOnce_data()
    {
        QTest::addColumn<int>("decoders");
        QTest::addColumn<int>("tiles");
        QTest::addColumn<int>("atOnce");
        QTest::newRow("one after another") << 1 << 5 << 1;
        QTest::newRow("three at once") << 3 << 8 << 3;
        QTest::newRow("more decoders than tiles") << 8 << 2 << 2;
    }
    void runsAtMostTheSetNumberOfDecodersAtOnce()
    {
        QFETCH(int, decoders);
        QFETCH(int, tiles);
        QFETCH(int, atOnce);
        FakeProgramFolder program;
        QVERIFY(program.addTool("ffmpeg", loggingDecoder("0.3")));
        WorkFolder folder;
        std::vector<int> ids = folder.writeTiles(tiles);
        // Listed twice and with a number the splitter never wrote: still one decode per written tile.
        ids.push_back(1);
        ids.push_back(tiles + 7);
        setTileDecoderCount(decoders);

        // Each decoded tile is handed back once, on the calling thread.
        const Qt::HANDLE caller = QThread::currentThreadId();
        QList<int> handed;
        const auto decoded = [&](int tileId) {
            if (QThread::currentThreadId() == caller)
                handed.append(tileId);
            return true;
        };
        QCOMPARE(decodeTiles(folder.work(), ids, {}, decoded).end, TileDecoding::End::Done);
        std::sort(handed.begin(), handed.end());
        QCOMPARE(handed, QList<int>(ids.begin(), ids.begin() + tiles));
        const QStringList log = program.decodedTiles();
        QCOMPARE(linesStarting(log, "start").size(), tiles);
        QCOMPARE(linesStarting(log, "end").size(), tiles);
        QCOMPARE(mostAtOnce(log), atOnce);
        // One at a time they run in list order; all of them had ended when the call returned.
        if (decoders == 1)
            QCOMPARE(linesStarting(log, "start"), QStringList({"start hevc1", "start hevc2", "start hevc3",
                                                               "start hevc4", "start hevc5"}));
        for (int n = 1; n <= tiles; ++n)
            QVERIFY(QFile::exists(folder.path() + "/jpeg/jpeg" + QString::number(n) + ".bmp"));
    }

    // Two conversions decoding at once share the decoders: no more run than the set number, and the one
    // that started first gets them first, so it finishes decoding first.
    void conversionsAtOnceShareTheDecodersOldestFirst()
    {
        FakeProgramFolder program;
        QVERIFY(program.addTool("ffmpeg", "echo \"$2\" >> \"$(dirname \"$0\")/decoded\"\nsleep 0.2\n"
                                          "echo end >> \"$(dirname \"$0\")/decoded\"\nprintf BM > \"$3\""));
        WorkFolder first;
        WorkFolder second;
        setTileDecoderCount(2);
        std::thread older([&] { decodeTiles(first.work(), first.writeTiles(4)); });
        QTRY_VERIFY(!program.decodedTiles().isEmpty());
        QCOMPARE(decodeTiles(second.work(), second.writeTiles(4)).end, TileDecoding::End::Done);
        older.join();

        const QStringList log = program.decodedTiles();
        int running = 0;
        int most = 0;
        QStringList started;
        for (const QString& line : log) {
            running += line == "end" ? -1 : 1;
            most = std::max(most, running);
            if (line != "end")
                started.append(line.startsWith(first.path()) ? "first" : "second");
        }
        QCOMPARE(most, 2);
        QCOMPARE(started,
                 QStringList({"first", "first", "first", "first", "second", "second", "second", "second"}));
    }

    void aStopKillsEveryRunningDecoderAndStartsNoMore()
    {
        FakeProgramFolder program;
        QVERIFY(program.addTool("ffmpeg", loggingDecoder("300")));
        WorkFolder folder;
        const std::vector<int> ids = folder.writeTiles(10);
        setTileDecoderCount(4);

        // Stops once four decoders have been seen running; only the calling thread asks.
        const Qt::HANDLE caller = QThread::currentThreadId();
        bool askedElsewhere = false;
        bool stopped = false;
        const StopCheck stop = [&] {
            askedElsewhere = askedElsewhere || QThread::currentThreadId() != caller;
            stopped = stopped || linesStarting(program.decodedTiles(), "start").size() == 4;
            return stopped;
        };
        QCOMPARE(decodeTiles(folder.work(), ids, stop).end, TileDecoding::End::Stopped);
        QVERIFY(stopped);
        QVERIFY(!askedElsewhere);
        QCOMPARE(linesStarting(program.decodedTiles(), "start").size(), 4);
        QVERIFY(linesStarting(program.decodedTiles(), "end").isEmpty());
        // The decoders and the pauses they started are gone, not left to run on.
        QVERIFY(vornetta::test::childProcesses().isEmpty());
        QTest::qWait(500);
        QCOMPARE(linesStarting(program.decodedTiles(), "start").size(), 4);
    }

    void aStopBeforeTheFirstDecoderStartsNone()
    {
        FakeProgramFolder program;
        QVERIFY(program.addTool("ffmpeg", loggingDecoder("0")));
        WorkFolder folder;
        setTileDecoderCount(4);
        QCOMPARE(decodeTiles(folder.work(), folder.writeTiles(6), [] { return true; }).end,
                 TileDecoding::End::Stopped);
        QVERIFY(program.decodedTiles().isEmpty());
    }

    void aHangingDecoderIsKilledAtTheTimeLimitWhileTheOthersFinish()
    {
        FakeProgramFolder program;
        QVERIFY(program.addTool("ffmpeg", loggingDecoder("0.1", "hevc2")));
        WorkFolder folder;
        setTileDecoderCount(2);
        setToolTimeLimit(1500ms);

        QCOMPARE(decodeTiles(folder.work(), folder.writeTiles(6)).end, TileDecoding::End::Done);
        const QStringList log = program.decodedTiles();
        QCOMPARE(linesStarting(log, "start").size(), 6);
        QCOMPARE(linesStarting(log, "end").size(), 5);
        QVERIFY(!linesStarting(log, "end").contains("end hevc2"));
        QVERIFY(!QFile::exists(folder.path() + "/jpeg/jpeg2.bmp"));
        QVERIFY(QFile::exists(folder.path() + "/jpeg/jpeg6.bmp"));
    }

    // The real splitter and ffmpeg on a drawn grid picture whose tiles are not all of one size.
    void theStitchedBmpIsTheSameWhateverTheDecoderCount()
    {
        const QString programFolder = vornetta::test::programFolder();
        if (!QFileInfo(programFolder + "/heic/heic").isExecutable() ||
            !QFileInfo(programFolder + "/ffmpeg").isExecutable())
            QSKIP("the program folder has no heic/heic or no ffmpeg");
        QTemporaryDir dir;
        const QString input = dir.filePath("grid.heic");
        const QString failure =
            vornetta::test::writeGridHeic(vornetta::test::drawTestPicture(1000, 700), 256, 256, input);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        overrideProgramFolder(programFolder.toStdString());

        QByteArray reference;
        for (const int decoders : {1, 4, 3}) {
            setTileDecoderCount(decoders);
            WorkFolder folder;
            const std::string bmp = folder.work() + "/bmp.bmp";
            const StitchResult stitched = convertHeicToBmp(input.toStdString(), bmp, folder.work());
            QCOMPARE(stitched.failure, StitchFailure::None);
            QCOMPARE(stitched.missingCells, 0);
            const QByteArray bytes = fileBytes(QString::fromStdString(bmp));
            QCOMPARE(bytes.size(), 54 + 1000 * 700 * 4);
            if (reference.isEmpty())
                reference = bytes;
            QVERIFY2(bytes == reference, qPrintable(QString("%1 decoders").arg(decoders)));
        }
        overrideProgramFolder(std::string());
    }
};

VORNETTA_TEST_MAIN(TileDecodingTest)
#include "tst_tiledecoding.moc"
