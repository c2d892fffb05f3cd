// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QMap>
#include <QRandomGenerator>
#include <QTreeWidget>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/settings.h"
#include "core/weblinks.h"
#include "engine/covertthread.h"
#include "engine/process/toolrunner.h"
#include "fixtures/heicfixtures.h"
#include "mainwindow/heicmainwidget.h"
#include "tests/engine/fakeprogramfolder.h"
#include "tests/mainwindow/windowdriver.h"
#include "tests/support/files.h"
#include "tests/support/testmain.h"
#include "widgets/mymessageboxwidget.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton2.h"

extern char** environ;

using namespace vornetta::test;

// Real camera files and damaged ones made here go through vornetta-convert and through the window. Every
// file must end as converted or as failed with a reason, each within the tools' time limit, with no
// crash, no half-written output, no tool left running and bounded memory.
namespace {

// A tool gets 60 s; a file may take a little longer than its slowest tool.
constexpr qint64 kPerFileLimitMs = 75000;
// Peak memory of vornetta-convert and every tool it ran. The largest picture it accepts is
// 10239 x 10239; the real camera files are 12 megapixels and need well under this.
constexpr long kPeakMemoryLimitKiB = 1536 * 1024;

quint32 readU32(const QByteArray& data, qsizetype at)
{
    return quint32(quint8(data[at])) << 24 | quint32(quint8(data[at + 1])) << 16 |
           quint32(quint8(data[at + 2])) << 8 | quint32(quint8(data[at + 3]));
}

void writeU32(QByteArray& data, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        data[at + i] = char(value >> (24 - 8 * i));
}

// The offsets of every box of the file that a reader walks into: the top level, and inside the
// containers of the item metadata.
void collectBoxes(const QByteArray& data, qsizetype from, qsizetype to, QList<qsizetype>* boxes)
{
    qsizetype at = from;
    while (at + 8 <= to) {
        const quint32 size = readU32(data, at);
        const QByteArray type = data.mid(at + 4, 4);
        if (size < 8 || at + size > to)
            return;
        boxes->append(at);
        // Where each container's children start: after its header, version and flags, entry counts.
        qsizetype children = -1;
        if (type == "meta" || type == "iref")
            children = at + 12;
        else if (type == "iprp" || type == "ipco" || type == "dinf")
            children = at + 8;
        else if (type == "iinf")
            children = at + 12 + (data[at + 8] == 0 ? 2 : 4);
        if (children > 0)
            collectBoxes(data, children, at + size, boxes);
        at += size;
    }
}

// The start of the ImageGrid data of a file built by buildGridHeif: the primary item's data is the
// first thing in mdat's payload after the header, as the writer places items in order.
qsizetype gridDataOffset(const QByteArray& data, const QByteArray& grid)
{
    return data.indexOf(grid);
}

struct SpawnResult
{
    bool finished = false;
    int status = -1;
    long peakKiB = 0;
    QStringList lines;
};

// Runs a program with its standard output read line by line, its peak memory (its own and that of every
// process it waited for) taken from wait4, and a hard time limit after which it is killed.
SpawnResult spawnAndWatch(const QString& program, const QStringList& arguments, qint64 limitMs)
{
    SpawnResult result;
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    QList<QByteArray> storage{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        storage.append(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& piece : storage)
        argv.push_back(piece.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    if (spawned != 0) {
        ::close(pipeEnds[0]);
        return result;
    }

    const QDeadlineTimer deadline(limitMs);
    QByteArray pending;
    bool open = true;
    while (open) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            break;
        pollfd watched{pipeEnds[0], POLLIN, 0};
        if (poll(&watched, 1, int(std::min<qint64>(left, 1000))) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got <= 0) {
            open = false;
            break;
        }
        pending.append(buffer, got);
        qsizetype end;
        while ((end = pending.indexOf('\n')) >= 0) {
            result.lines.append(QFile::decodeName(pending.left(end)));
            pending.remove(0, end + 1);
        }
    }
    ::close(pipeEnds[0]);
    if (open)
        ::kill(pid, SIGKILL);
    rusage usage{};
    int status = 0;
    if (wait4(pid, &status, 0, &usage) == pid) {
        result.finished = !open;
        result.status = status;
        result.peakKiB = usage.ru_maxrss;
    }
    return result;
}

// Orphaned tools come to this test (it is their subreaper); any still here were left behind.
QList<pid_t> leftBehind()
{
    QList<pid_t> running;
    for (const pid_t pid : childProcesses()) {
        if (processRuns(pid))
            running.append(pid);
        else
            waitpid(pid, nullptr, WNOHANG);
    }
    return running;
}

long peakMemoryOfThisProcessKiB()
{
    rusage usage{};
    return getrusage(RUSAGE_SELF, &usage) == 0 ? usage.ru_maxrss : -1;
}

QHash<QString, QByteArray> digests(const QStringList& paths)
{
    QHash<QString, QByteArray> sums;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        sums[path] = info.isFile() && info.isReadable()
                         ? QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha256)
                         : QByteArray::number(info.size()) + info.lastModified().toString().toUtf8();
    }
    return sums;
}

// An output folder holds the converted pictures only: nothing hidden, no temporary files, and every
// file a complete picture. Returns the reason when not.
QString outputProblem(const QString& folder, int expectedPictures)
{
    const QFileInfoList files =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    if (files.size() != expectedPictures)
        return QStringLiteral("%1 files for %2 converted").arg(files.size()).arg(expectedPictures);
    for (const QFileInfo& file : files) {
        if (file.suffix() != QLatin1String("jpg") || QImage(file.filePath()).isNull())
            return QStringLiteral("not a complete picture: ") + file.fileName();
    }
    return {};
}

} // namespace

class HostileCorpusTest final : public QObject
{
    Q_OBJECT

private:
    QString corpus;
    // Every file the runs must report on, and the files no reader can get at.
    QStringList inputs;
    int damagedCount = 0;
    QHash<QString, QByteArray> before;

    void add(const QString& name, const QByteArray& bytes)
    {
        const QString path = corpus + QLatin1Char('/') + name;
        QVERIFY(writeFile(path, bytes));
        inputs.append(path);
        ++damagedCount;
    }

    void makeDamagedFiles()
    {
        heif::File grid;
        const QImage picture = drawTestPicture(300, 200);
        QCOMPARE(buildGridHeif(picture, 128, 128, &grid), QString());
        const QByteArray good = grid.build();
        QVERIFY(writeFile(corpus + "/good-grid.heic", good));
        inputs.append(corpus + "/good-grid.heic");
        QCOMPARE(writeSingleHeic(picture, corpus + "/good-single.heic"), QString());
        inputs.append(corpus + "/good-single.heic");

        // Cut short: densely in the header and metadata, then across the coded data.
        const int metaEnd = int(good.indexOf("mdat"));
        QVERIFY(metaEnd > 0);
        QList<int> cuts;
        for (int at = 1; at < metaEnd; at += std::max(1, metaEnd / 40))
            cuts.append(at);
        for (int step = 1; step < 12; ++step)
            cuts.append(metaEnd + int(qint64(good.size() - metaEnd) * step / 12));
        cuts.append(int(good.size()) - 1);
        for (const int at : cuts)
            add(QStringLiteral("cut-%1.heic").arg(at, 6, 10, QLatin1Char('0')), good.left(at));

        // Flipped bytes, mostly in the metadata where every byte matters, a few in the coded data.
        QRandomGenerator random(20261207);
        for (int n = 0; n < 48; ++n) {
            QByteArray damaged = good;
            const int flips = 1 + n % 3;
            for (int f = 0; f < flips; ++f) {
                const int at = n < 36 ? int(random.bounded(metaEnd)) : int(random.bounded(good.size()));
                damaged[at] = char(damaged[at] ^ (1 << random.bounded(8)));
            }
            add(QStringLiteral("flip-%1.heic").arg(n, 2, 10, QLatin1Char('0')), damaged);
        }

        // Every box in turn with a size that no file can have, one past the end, "to the end", a 64-bit
        // size taken from what follows, and one too small for its own header.
        QList<qsizetype> boxes;
        collectBoxes(good, 0, good.size(), &boxes);
        QVERIFY(boxes.size() > 10);
        for (const qsizetype at : boxes) {
            const QByteArray type = good.mid(at + 4, 4);
            const quint32 pastEnd = quint32(good.size() - at + 1);
            for (const auto& [label, size] :
                 {std::pair{"huge", 0xffffffffu}, std::pair{"pastend", pastEnd}, std::pair{"toend", 0u},
                  std::pair{"large", 1u}, std::pair{"tiny", 7u}}) {
                QByteArray damaged = good;
                writeU32(damaged, at, size);
                add(QStringLiteral("box-%1-%2-%3.heic").arg(at).arg(QString::fromLatin1(type), label),
                    damaged);
            }
        }

        // Grids that claim far more than they hold: the most tiles the grid box can name (256 x 256,
        // 65536 tiles for 4 coded ones), a 65535 x 65535 picture, a 32-bit picture size, and a tile
        // list of 65535 references to the same tile.
        const QByteArray gridBox = heif::gridData(2, 3, 300, 200);
        const qsizetype gridAt = gridDataOffset(good, gridBox);
        QVERIFY(gridAt > 0);
        for (const auto& [label, replacement] :
             {std::pair{"tiles-256x256", heif::gridData(256, 256, 300, 200)},
              std::pair{"size-65535", heif::gridData(2, 3, 65535, 65535)},
              std::pair{"tiles-and-size", heif::gridData(256, 256, 65535, 65535)}}) {
            QByteArray damaged = good;
            damaged.replace(gridAt, gridBox.size(), replacement);
            add(QStringLiteral("grid-%1.heic").arg(QString::fromLatin1(label)), damaged);
        }
        heif::File wide = grid;
        wide.items[0].data = heif::gridData(2, 3, 0xffffffffu, 0xffffffffu, true);
        add("grid-wide-size.heic", wide.build());
        heif::File manyTiles = grid;
        manyTiles.items[0].data = heif::gridData(256, 256, 65535, 65535);
        manyTiles.references[0].to = QList<quint32>(65535, manyTiles.references[0].to.first());
        add("grid-65535-references.heic", manyTiles.build());

        // Things that are not files, or not readable ones.
        add("empty.heic", QByteArray());
        QVERIFY(QDir(corpus).mkdir("folder.heic"));
        inputs.append(corpus + "/folder.heic");
        ++damagedCount;
        QCOMPARE(mkfifo(QFile::encodeName(corpus + "/pipe.heic").constData(), 0600), 0);
        inputs.append(corpus + "/pipe.heic");
        ++damagedCount;
        // Permission bits do not stop root; as root the file is simply read and fails as damaged.
        add("unreadable.heic", good.left(good.size() / 2));
        QVERIFY(QFile::setPermissions(corpus + "/unreadable.heic", QFileDevice::WriteOwner));
    }

private slots:
    void initTestCase()
    {
        // Tools orphaned by a crashed or killed converter come to this test, which then sees them.
        QCOMPARE(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0);
        overrideProgramFolder(vornetta::test::programFolder().toStdString());
        overrideUpdateHost("http://127.0.0.1:9");
        corpus = QDir::tempPath() + "/corpus";
        QVERIFY(QDir().mkpath(corpus));
        makeDamagedFiles();
        if (!samplesFolder().isEmpty()) {
            QDirIterator samples(samplesFolder(), {"*.heic", "*.HEIC"}, QDir::Files);
            while (samples.hasNext())
                inputs.append(samples.next());
        }
        before = digests(inputs);
        qInfo("%d files: %d damaged, %d real samples, 2 good fixtures", int(inputs.size()), damagedCount,
              int(inputs.size()) - damagedCount - 2);
    }
    void cleanupTestCase()
    {
        overrideUpdateHost(QString());
        QFile::setPermissions(corpus + "/unreadable.heic", QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    void everyFileEndsThroughTheCommandLine()
    {
        const QString out = QDir::tempPath() + "/cli-out";
        QVERIFY(QDir().mkpath(out));
        const qint64 limit = kPerFileLimitMs * 4 + 4000 * qint64(inputs.size());
        const SpawnResult run = spawnAndWatch(vornetta::test::programFolder() + "/vornetta-convert",
                                              QStringList{"-o", out} + inputs, limit);
        QVERIFY2(run.finished, "vornetta-convert ran past the test's limit");
        QVERIFY2(WIFEXITED(run.status), "vornetta-convert crashed");
        QCOMPARE(WEXITSTATUS(run.status), 1); // the damaged files failed
        QVERIFY(leftBehind().isEmpty());

        // The directory is walked like any folder and holds nothing; every other input gets one line.
        QStringList reported;
        QMap<QString, int> reasons;
        int converted = 0;
        for (const QString& line : run.lines) {
            const qsizetype tab = line.indexOf('\t');
            if (tab < 0) {
                ++converted;
                continue;
            }
            reported.append(line.left(tab));
            ++reasons[line.mid(tab + 1)];
            QVERIFY2(!line.mid(tab + 1).trimmed().isEmpty(), qPrintable(line));
        }
        QCOMPARE(reported.size() + converted, inputs.size() - 1);
        QVERIFY(!reported.contains(corpus + "/good-grid.heic"));
        QVERIFY(!reported.contains(corpus + "/good-single.heic"));
        QVERIFY(reported.contains(corpus + "/pipe.heic"));
        QVERIFY(reported.contains(corpus + "/empty.heic"));
        QCOMPARE(outputProblem(out, converted), QString());
        QCOMPARE(digests(inputs), before);

        qInfo("vornetta-convert: %d of %d converted, peak memory %ld KiB", converted, int(inputs.size()),
              run.peakKiB);
        QVERIFY2(run.peakKiB > 0 && run.peakKiB < kPeakMemoryLimitKiB, QByteArray::number(run.peakKiB));
        for (auto it = reasons.cbegin(); it != reasons.cend(); ++it)
            qInfo("%4d x %s", it.value(), qPrintable(it.key()));
    }

    void everyFileEndsThroughTheWindow()
    {
        QSettings(kOrganisationName, kApplicationName).clear();
        silenceDailyUpdateCheck();
        const QString out = QDir::tempPath() + "/window-out";
        QVERIFY(QDir().mkpath(out));
        HEICMainWidget window(nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.addHeicFiles(inputs);
        QTreeWidget* list = window.listWidget;
        QCOMPARE(list->topLevelItemCount(), inputs.size());

        // Waits while the rows keep changing; a list quiet for longer than the tools' time limit is stuck.
        QDeadlineTimer quiet(kPerFileLimitMs);
        connect(list->model(), &QAbstractItemModel::dataChanged, &window,
                [&] { quiet.setRemainingTime(kPerFileLimitMs); });
        bool asked = false;
        answerFolderChooser(out);
        answerWhenShown<MyMessageBoxWidget>(
            [&asked](MyMessageBoxWidget* dialog) {
                asked = true;
                dialog->No_slots();
            },
            int(kPerFileLimitMs) * int(inputs.size()));
        QTest::mouseClick(window.toJpgButton, Qt::LeftButton);
        while (!asked && !quiet.hasExpired())
            QTest::qWait(50);
        QVERIFY2(asked, "a file took longer than the tools' time limit");
        QVERIFY(!window.covertThread->isRunning());
        QVERIFY(leftBehind().isEmpty());

        int converted = 0;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            const QString state = rowState(item);
            if (state == QLatin1String("success")) {
                ++converted;
                continue;
            }
            QCOMPARE(state, QStringLiteral("failed"));
            QVERIFY2(!item->toolTip(3).isEmpty(), qPrintable(item->text(0)));
        }
        QCOMPARE(list->topLevelItem(0)->text(3), QStringLiteral("success"));
        QCOMPARE(list->topLevelItem(1)->text(3), QStringLiteral("success"));
        QCOMPARE(outputProblem(out, converted), QString());
        QCOMPARE(digests(inputs), before);
        window.close();

        // The window converts in its own process: its peak memory stays bounded too.
        const long peakKiB = peakMemoryOfThisProcessKiB();
        qInfo("the window's process: %d of %d converted, peak memory %ld KiB", converted, int(inputs.size()),
              peakKiB);
        QVERIFY2(peakKiB > 0 && peakKiB < kPeakMemoryLimitKiB, QByteArray::number(peakKiB));
    }
};

VORNETTA_TEST_MAIN(HostileCorpusTest)
#include "tst_hostilecorpus.moc"
