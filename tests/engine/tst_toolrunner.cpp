// SPDX-License-Identifier: GPL-3.0-or-later
#include <csignal>

#include "engine/process/toolrunner.h"
#include "tests/engine/fakeprogramfolder.h"
#include "tests/support/testmain.h"

using namespace std::chrono_literals;
using vornetta::test::FakeProgramFolder;

namespace {

// Records the tool's current folder and its arguments, NUL-separated, beside the script.
const QByteArray kRecorder = "printf '%s\\0' \"$PWD\" \"$@\" > \"$0.args\"";

QStringList recordedArguments(const QString& scriptPath)
{
    QFile file(scriptPath + QStringLiteral(".args"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList values;
    for (const QByteArray& value : file.readAll().split('\0'))
        values.append(QString::fromUtf8(value));
    values.removeLast(); // behind the last NUL
    return values;
}

} // namespace

class ToolRunnerTest final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        setToolTimeLimit(60s);
        QVERIFY(vornetta::test::childProcesses().isEmpty());
    }

    void defaultProgramFolderIsTheExecutablesFolder()
    {
        overrideProgramFolder(std::string());
        QCOMPARE(QString::fromStdString(programFolder()), QCoreApplication::applicationDirPath());
        QCOMPARE(toolTimeLimit(), 60s);
    }

    void argumentsReachTheToolIntact_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("blanks") << "/pictures/summer holiday/IMG 0001.heic"
                                << "/tmp/work dir/hevc/hevc";
        QTest::newRow("double quotes") << "/pictures/\"quoted\" name\".heic"
                                       << "/tmp/a\"b/hevc/hevc";
        QTest::newRow("non-ASCII") << "/Bilder/Überraschung été 写真.HEIC"
                                   << "/tmp/ünï/hevc/hevc";
        QTest::newRow("shell characters") << "/p/$(touch pwned); `id` | & > x * ?.heic"
                                          << "/t/'single'\\back";
        QTest::newRow("longer than 1024 bytes") << "/" + QString("folder name ").repeated(120) + "/end.heic"
                                                << "/" + QString("x").repeated(2000);
    }
    void argumentsReachTheToolIntact()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        FakeProgramFolder folder;
        QVERIFY(folder.addTool("heic/heic", kRecorder));
        QVERIFY(folder.addTool("ffmpeg", kRecorder));
        QVERIFY(folder.addTool("picturereader/picturereader", kRecorder));

        QCOMPARE(runSplitter(first.toStdString(), second.toStdString()).end, ToolEnd::Ended);
        QCOMPARE(recordedArguments(folder.file("heic/heic")), (QStringList{folder.path(), first, second}));
        // Another picture than the primary is named by its item.
        QCOMPARE(runSplitter(first.toStdString(), second.toStdString(), {}, 7).end, ToolEnd::Ended);
        QCOMPARE(recordedArguments(folder.file("heic/heic")),
                 (QStringList{folder.path(), "--item", "7", first, second}));

        QCOMPARE(runDecoder(first.toStdString(), second.toStdString()).end, ToolEnd::Ended);
        QCOMPARE(recordedArguments(folder.file("ffmpeg")), (QStringList{folder.path(), "-i", first, second}));

        QCOMPARE(runPictureReader(first.toStdString(), second.toStdString()).end, ToolEnd::Ended);
        QCOMPARE(recordedArguments(folder.file("picturereader/picturereader")),
                 (QStringList{folder.path(), first, second}));
        QVERIFY(!QFile::exists(folder.file("pwned")));
    }

    void aToolThatCannotStartGivesMinusOne()
    {
        FakeProgramFolder folder;
        QCOMPARE(runSplitter("/in.heic", "/tmp/hevc").end, ToolEnd::NotStarted);
        QCOMPARE(runDecoder("/tile", "/tile.bmp").end, ToolEnd::NotStarted);

        // Present but not executable.
        QVERIFY(folder.addTool("ffmpeg", "exit 0"));
        QVERIFY(QFile::setPermissions(folder.file("ffmpeg"), QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(runDecoder("/tile", "/tile.bmp").end, ToolEnd::NotStarted);
    }

    void exitStatusIsReportedButAnEndedToolIsNotAFailure()
    {
        FakeProgramFolder folder;
        QVERIFY(folder.addTool("ffmpeg", "exit 3"));
        ToolRun run = runDecoder("a", "b");
        QCOMPARE(run.end, ToolEnd::Ended);
        QCOMPARE(run.exitStatus, 3);

        QVERIFY(folder.addTool("ffmpeg", "kill -SEGV $$"));
        run = runDecoder("a", "b");
        QCOMPARE(run.end, ToolEnd::Ended);
        QCOMPARE(run.exitStatus, 128 + SIGSEGV);
    }

    void aToolThatFloodsItsOutputDoesNotBlock()
    {
        FakeProgramFolder folder;
        // Reads its standard input to the end first: that is /dev/null, so it ends at once.
        QVERIFY(folder.addTool("ffmpeg", "cat > \"$0.stdin\"\n"
                                         "head -c 30000000 /dev/zero\n"
                                         "head -c 30000000 /dev/zero >&2\n"
                                         "echo done > \"$0.done\""));
        setToolTimeLimit(20s);
        QCOMPARE(runDecoder("a", "b").end, ToolEnd::Ended);
        QVERIFY(QFile::exists(folder.file("ffmpeg.done")));
        QCOMPARE(QFileInfo(folder.file("ffmpeg.stdin")).size(), 0);
    }

    void aToolThatHangsIsKilledAtTheTimeLimit_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("hangs itself") << QByteArray("echo $$ > \"$0.child\"\nexec sleep 1000");
        QTest::newRow("waits for a child") << QByteArray("sleep 1000 &\necho $! > \"$0.child\"\nwait");
        QTest::newRow("ignores TERM")
            << QByteArray("trap '' TERM\nsleep 1000 &\necho $! > \"$0.child\"\nwait");
    }
    void aToolThatHangsIsKilledAtTheTimeLimit()
    {
        QFETCH(QByteArray, script);
        FakeProgramFolder folder;
        QVERIFY(folder.addTool("heic/heic", script));
        setToolTimeLimit(400ms);
        QCOMPARE(runSplitter("in", "out").end, ToolEnd::TimedOut);
        assertGone(folder.file("heic/heic.child"));
    }

    void aChildLeftBehindByAToolIsKilled()
    {
        FakeProgramFolder folder;
        QVERIFY(folder.addTool("ffmpeg", "sleep 1000 &\necho $! > \"$0.child\"\nexit 0"));
        QCOMPARE(runDecoder("a", "b").end, ToolEnd::Ended);
        assertGone(folder.file("ffmpeg.child"));
    }

    void aStopRequestKillsTheTool()
    {
        FakeProgramFolder folder;
        QVERIFY(folder.addTool("ffmpeg", "sleep 1000 &\necho $! > \"$0.child\"\nwait"));
        // Asked again and again while the tool runs, until the third answer says stop.
        int asked = 0;
        const StopCheck stop = [&] { return ++asked >= 3; };
        const ToolRun run = runDecoder("a", "b", stop);
        QCOMPARE(run.end, ToolEnd::Stopped);
        QCOMPARE(asked, 3);
        QCOMPARE(run.exitStatus, -1); // none: the tool did not end by itself
        assertGone(folder.file("ffmpeg.child"));
    }

private:
    void assertGone(const QString& pidFile)
    {
        QFile file(pidFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const pid_t pid = file.readAll().trimmed().toInt();
        QVERIFY(pid > 0);
        QTRY_VERIFY_WITH_TIMEOUT(!vornetta::test::processRuns(pid), 2000);
        QVERIFY(vornetta::test::childProcesses().isEmpty());
    }
};

VORNETTA_TEST_MAIN(ToolRunnerTest)
#include "tst_toolrunner.moc"
