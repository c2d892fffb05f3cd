// SPDX-License-Identifier: GPL-3.0-or-later
#include <functional>
#include <memory>

#include <QComboBox>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QScopeGuard>
#include <QTreeWidget>

#include <sys/mount.h>
#include <sys/prctl.h>
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
#include "tests/support/testmain.h"
#include "widgets/mymessageboxwidget.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton2.h"

using namespace vornetta::test;

// Things going wrong around a batch in the window: the output folder vanishing or filling up, inputs
// changing after they were added, tools missing or crashing, the window closed at every step. Each
// must end the affected rows with a reason, keep the other rows working, leave no partial file and
// never touch the user's own files.
namespace {

QByteArray digest(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

// Everything in a folder, hidden and temporary files included.
QStringList everything(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

void writeText(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("not a picture\n");
}

QString quoted(const QString& path)
{
    return "'" + path + "'";
}

// Orphaned tools come to this test (it is their subreaper); any that still run were left behind.
bool noToolLeft()
{
    bool none = true;
    for (const pid_t pid : childProcesses()) {
        if (processRuns(pid))
            none = false;
        else
            waitpid(pid, nullptr, WNOHANG);
    }
    return none;
}

} // namespace

class ConversionFaultsTest final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<HEICMainWidget> window;
    QString sources;
    QString out;
    QHash<QString, QByteArray> originals;
    bool asked = false;

    void openWindow()
    {
        window = std::make_unique<HEICMainWidget>(nullptr);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    // A copy of a fixture for one test, so the test may change or delete it.
    QString copyOf(const QString& fixture, const QString& name)
    {
        const QString path = QDir::tempPath() + "/inputs/" + name;
        QDir().mkpath(QFileInfo(path).path());
        QFile::remove(path);
        return QFile::copy(sources + "/" + fixture, path) ? path : QString();
    }

    // Clicks convert, picks the folder and waits for the closing question, calling during (when given)
    // every few milliseconds meanwhile. False when the batch did not end within the limit.
    bool convertInto(const QString& folder, const std::function<void()>& during = {}, int limitMs = 120000)
    {
        asked = false;
        answerFolderChooser(folder);
        answerWhenShown<MyMessageBoxWidget>(
            [this](MyMessageBoxWidget* dialog) {
                asked = true;
                dialog->No_slots();
            },
            limitMs);
        QTest::mouseClick(window->toJpgButton, Qt::LeftButton);
        const QDeadlineTimer deadline(limitMs);
        while (!asked && !deadline.hasExpired()) {
            if (during)
                during();
            QTest::qWait(5);
        }
        return asked;
    }

    QString reason(int row) const { return window->listWidget->topLevelItem(row)->toolTip(3); }

    // When row first shows "converting", calls action once, delayMs later.
    void whenConverting(int row, int delayMs, const std::function<void()>& action)
    {
        auto done = std::make_shared<bool>(false);
        connect(window->listWidget->model(), &QAbstractItemModel::dataChanged, window.get(),
                [this, row, delayMs, action, done] {
                    if (*done || window->listWidget->topLevelItem(row)->text(3) != "converting")
                        return;
                    *done = true;
                    QTimer::singleShot(delayMs, window.get(), action);
                });
    }

    // A program folder whose splitter waits a while before the real one runs, so a test can act while
    // a file converts.
    void addSlowSplitter(const FakeProgramFolder& tools, const char* delay = "0.4")
    {
        const QString real = vornetta::test::programFolder();
        QVERIFY(tools.addTool("heic/heic", "sleep " + QByteArray(delay) + "\nexec " +
                                               quoted(real + "/heic/heic").toUtf8() + " \"$@\""));
        QVERIFY(QFile::link(real + "/ffmpeg", tools.file("ffmpeg")));
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0), 0);
        overrideUpdateHost("http://127.0.0.1:9");
        sources = QDir::tempPath() + "/sources";
        QVERIFY(QDir().mkpath(sources));
        QCOMPARE(writeGridHeic(drawTestPicture(300, 200), 128, 128, sources + "/grid.heic"), QString());
        QCOMPARE(writeSingleHeic(drawTestPicture(160, 120), sources + "/single.heic"), QString());
        QCOMPARE(writeGridHeic(drawTestPicture(1024, 768), 512, 512, sources + "/large.heic"), QString());
        for (const QString& name : everything(sources))
            originals[name] = digest(sources + "/" + name);
    }
    void cleanupTestCase() { overrideUpdateHost(QString()); }
    void init()
    {
        overrideProgramFolder(vornetta::test::programFolder().toStdString());
        QSettings(kOrganisationName, kApplicationName).clear();
        silenceDailyUpdateCheck();
        out = QDir::tempPath() + "/out";
        QDir(out).removeRecursively();
        QFile::remove(out);
        QVERIFY(QDir().mkpath(out));
    }
    void cleanup()
    {
        window.reset();
        overrideProgramFolder(vornetta::test::programFolder().toStdString());
        QVERIFY(noToolLeft());
        // The fixtures themselves were never written to.
        for (auto it = originals.cbegin(); it != originals.cend(); ++it)
            QCOMPARE(digest(sources + "/" + it.key()), it.value());
    }

    void outputFolderGoesMidBatch_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("deleted") << "deleted";
        QTest::newRow("replaced by a file") << "file";
        QTest::newRow("made read-only") << "read-only";
    }
    void outputFolderGoesMidBatch()
    {
        QFETCH(QString, how);
        if (how == "read-only" && geteuid() == 0)
            QSKIP("permission bits do not stop root; the folder replaced by a file stands in for it");
        FakeProgramFolder tools;
        addSlowSplitter(tools);
        openWindow();
        window->addHeicFiles({sources + "/grid.heic", sources + "/single.heic", sources + "/large.heic"});
        whenConverting(1, 100, [this, how] {
            if (how == "read-only") {
                QFile::setPermissions(out, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
                return;
            }
            QDir(out).removeRecursively();
            if (how == "file") {
                QFile blocker(out);
                blocker.open(QIODevice::WriteOnly);
                blocker.write("not a folder");
            }
        });
        QVERIFY(convertInto(out));

        // The first row was done before; the rest fail with a reason and nothing is written anywhere.
        QCOMPARE(states(window->listWidget), (QStringList{"success", "failed", "failed"}));
        QCOMPARE(reason(1), QStringLiteral("cannot write to the output folder"));
        QCOMPARE(reason(2), QStringLiteral("cannot write to the output folder"));
        const QString parent = QFileInfo(out).path();
        if (how == "read-only") {
            QCOMPARE(everything(out), QStringList{"grid.jpg"});
            QFile::setPermissions(out,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        } else {
            QCOMPARE(QFileInfo(out).exists(), how == "file");
            for (const QString& name : everything(parent))
                QVERIFY2(!name.startsWith("single") && !name.startsWith("large"), qPrintable(name));
        }

        // The same rows convert once there is a folder to write to again.
        const QString fresh = QDir::tempPath() + "/fresh";
        QDir(fresh).removeRecursively();
        QVERIFY(QDir().mkpath(fresh));
        QVERIFY(convertInto(fresh));
        QCOMPARE(states(window->listWidget), QStringList(3, "success"));
        QCOMPARE(everything(fresh), (QStringList{"grid.jpg", "large.jpg", "single.jpg"}));
    }

    void aFullDiskFailsOnlyTheFileThatDoesNotFit()
    {
        if (geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        const QString small = QDir::tempPath() + "/small-disk";
        QVERIFY(QDir().mkpath(small));
        if (mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=200k") != 0)
            QSKIP("cannot mount a tmpfs here");
        const auto unmount = qScopeGuard([&] { umount2(QFile::encodeName(small).constData(), MNT_DETACH); });

        openWindow();
        // As BMP the small pictures take 57 KB each and the large one 2.3 MB, far more than the disk has.
        window->addHeicFiles(
            {sources + "/single.heic", sources + "/large.heic", copyOf("single.heic", "again/single.heic")});
        window->fliterComboBox->setCurrentIndex(2);
        QVERIFY(convertInto(small));
        QCOMPARE(states(window->listWidget), (QStringList{"success", "failed", "success"}));
        QCOMPARE(reason(1), QStringLiteral("not enough disk space"));
        QCOMPARE(everything(small), (QStringList{"single(0).bmp", "single.bmp"}));
        QCOMPARE(QImage(small + "/single(0).bmp").size(), QSize(160, 120));
    }

    void aFullWorkFolderIsNotCalledADamagedFile()
    {
        if (geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        const QString small = QDir::tempPath() + "/small-temp";
        QVERIFY(QDir().mkpath(small));
        if (mount("tmpfs", QFile::encodeName(small).constData(), "tmpfs", 0, "size=16k") != 0)
            QSKIP("cannot mount a tmpfs here");
        const QByteArray temp = qgetenv("TMPDIR");
        const auto restore = qScopeGuard([&] {
            qputenv("TMPDIR", temp);
            umount2(QFile::encodeName(small).constData(), MNT_DETACH);
        });
        // The work folder lives in the temporary folder, here too small for the tiles of one file.
        qputenv("TMPDIR", QFile::encodeName(small));
        openWindow();
        window->addHeicFiles({sources + "/large.heic", sources + "/grid.heic"});
        QVERIFY(convertInto(out, {}, 60000));
        QCOMPARE(states(window->listWidget), (QStringList{"failed", "failed"}));
        QCOMPARE(reason(0), QStringLiteral("cannot write the work folder"));
        QCOMPARE(reason(1), QStringLiteral("cannot write the work folder"));
        QCOMPARE(everything(out), QStringList());

        // With room again the same rows convert.
        qputenv("TMPDIR", temp);
        QVERIFY(convertInto(out, {}, 60000));
        QCOMPARE(states(window->listWidget), (QStringList{"success", "success"}));
    }

    void inputChangesAfterItWasAdded_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("expected");
        QTest::newRow("deleted") << "delete"
                                 << "failed";
        QTest::newRow("replaced by another picture") << "picture"
                                                     << "success";
        QTest::newRow("replaced by text") << "text"
                                          << "failed";
        QTest::newRow("replaced by a folder") << "folder"
                                              << "failed";
        QTest::newRow("replaced by a pipe") << "pipe"
                                            << "failed";
        QTest::newRow("deleted while it converts") << "delete-while"
                                                   << "failed";
    }
    void inputChangesAfterItWasAdded()
    {
        QFETCH(QString, change);
        QFETCH(QString, expected);
        FakeProgramFolder tools;
        addSlowSplitter(tools);
        const QString changing = copyOf("grid.heic", "changing.heic");
        QVERIFY(!changing.isEmpty());
        openWindow();
        window->addHeicFiles({sources + "/single.heic", changing, sources + "/grid.heic"});

        const auto apply = [changing, change, this] {
            QFile::remove(changing);
            if (change == "picture")
                QFile::copy(sources + "/single.heic", changing);
            else if (change == "text")
                writeText(changing);
            else if (change == "folder")
                QDir().mkdir(changing);
            else if (change == "pipe")
                mkfifo(QFile::encodeName(changing).constData(), 0600);
        };
        if (change == "delete-while")
            whenConverting(1, 150, apply);
        else
            apply();
        QVERIFY(convertInto(out, {}, 60000));

        QCOMPARE(states(window->listWidget), (QStringList{"success", expected, "success"}));
        if (expected == "failed") {
            QVERIFY(!reason(1).isEmpty());
            QCOMPARE(everything(out), (QStringList{"grid.jpg", "single.jpg"}));
        } else {
            // Converted from what the file holds now.
            QCOMPARE(QImage(out + "/changing.jpg").size(), QSize(160, 120));
        }
        QDir(changing).removeRecursively();
        QFile::remove(changing);
    }

    void aMissingTileDecoderFailsEveryRowWithAReason()
    {
        FakeProgramFolder tools;
        QVERIFY(QFile::link(vornetta::test::programFolder() + "/heic", tools.file("heic")));
        openWindow();
        window->addHeicFiles({sources + "/grid.heic", sources + "/single.heic"});
        QVERIFY(convertInto(out, {}, 60000));
        QCOMPARE(states(window->listWidget), (QStringList{"failed", "failed"}));
        QCOMPARE(reason(0), QStringLiteral("the tile decoder could not be started"));
        QCOMPARE(reason(1), QStringLiteral("the tile decoder could not be started"));
        QCOMPARE(everything(out), QStringList());

        // With the decoder back the same rows convert.
        overrideProgramFolder(vornetta::test::programFolder().toStdString());
        QVERIFY(convertInto(out, {}, 60000));
        QCOMPARE(states(window->listWidget), (QStringList{"success", "success"}));
    }

    void aCrashingSplitterFailsItsFileOnly()
    {
        FakeProgramFolder tools;
        QVERIFY(tools.addTool(
            "heic/heic", "case \"$1\" in *crash*) kill -SEGV $$ ;; esac\nexec " +
                             quoted(vornetta::test::programFolder() + "/heic/heic").toUtf8() + " \"$@\""));
        QVERIFY(QFile::link(vornetta::test::programFolder() + "/ffmpeg", tools.file("ffmpeg")));
        const QString crashing = copyOf("grid.heic", "crash.heic");
        openWindow();
        window->addHeicFiles({sources + "/grid.heic", crashing, sources + "/single.heic"});
        QVERIFY(convertInto(out, {}, 60000));
        QCOMPARE(states(window->listWidget), (QStringList{"success", "failed", "success"}));
        QCOMPARE(reason(1), QStringLiteral("the splitter crashed"));
        QCOMPARE(everything(out), (QStringList{"grid.jpg", "single.jpg"}));
        QCOMPARE(digest(crashing), originals["grid.heic"]);
    }

    void closingAtEveryStepStopsAndLeavesNothing_data()
    {
        QTest::addColumn<QString>("step");
        QTest::newRow("splitting") << "splitting";
        QTest::newRow("decoding") << "decoding";
        QTest::newRow("stitching and saving") << "saving";
    }
    void closingAtEveryStepStopsAndLeavesNothing()
    {
        QFETCH(QString, step);
        FakeProgramFolder tools;
        const QString real = vornetta::test::programFolder();
        const QString marks = tools.file("decoded");
        if (step == "splitting") {
            QVERIFY(tools.addTool("heic/heic", "sleep 30"));
            QVERIFY(QFile::link(real + "/ffmpeg", tools.file("ffmpeg")));
        } else {
            QVERIFY(QFile::link(real + "/heic", tools.file("heic")));
            if (step == "decoding")
                QVERIFY(tools.addTool("ffmpeg", "sleep 30"));
            else
                // The real decoder, leaving a mark for each tile it finished.
                QVERIFY(tools.addTool("ffmpeg", quoted(real + "/ffmpeg").toUtf8() +
                                                    " \"$@\"\nstatus=$?\necho >> " + quoted(marks).toUtf8() +
                                                    "\nexit $status"));
        }
        const QString input = copyOf("large.heic", "large.heic");
        openWindow();
        window->addHeicFiles({input, sources + "/grid.heic"});

        bool closed = false;
        const auto closeNow = [&] {
            if (closed)
                return;
            QTest::mouseClick(window->closeButton, Qt::LeftButton);
            closed = true;
        };
        asked = false;
        answerFolderChooser(out);
        answerWhenShown<MyMessageBoxWidget>([this](MyMessageBoxWidget*) { asked = true; }, 5000);
        if (step != "saving")
            whenConverting(0, 300, closeNow);
        QTest::mouseClick(window->toJpgButton, Qt::LeftButton);
        const QDeadlineTimer waited(30000);
        // The large picture has 4 tiles: with the last one decoded the stitching and saving begin.
        while (!closed && !waited.hasExpired()) {
            if (step == "saving") {
                QFile file(marks);
                if (file.open(QIODevice::ReadOnly) && file.readAll().count('\n') >= 4)
                    closeNow();
            }
            QTest::qWait(1);
        }
        QVERIFY2(closed, "the step was never reached");
        QVERIFY(!window->isVisible());
        QVERIFY(!window->covertThread->isRunning());
        QVERIFY(noToolLeft());
        QTest::qWait(300);
        QVERIFY(!asked);
        QCOMPARE(window->listWidget->topLevelItem(1)->text(3), QStringLiteral("waiting"));
        // Stopped before its file was complete, or complete just before the close: never anything between.
        const QStringList written = everything(out);
        qInfo("closed while %s: the row ended %s", qPrintable(step),
              qPrintable(window->listWidget->topLevelItem(0)->text(3)));
        if (window->listWidget->topLevelItem(0)->text(3) == "success") {
            QCOMPARE(written, QStringList{"large.jpg"});
            QCOMPARE(QImage(out + "/large.jpg").size(), QSize(1024, 768));
        } else {
            QCOMPARE(written, QStringList());
        }
        QCOMPARE(digest(input), originals["large.heic"]);
    }
};

VORNETTA_TEST_MAIN(ConversionFaultsTest)
#include "tst_conversionfaults.moc"
