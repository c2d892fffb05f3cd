// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLocalSocket>
#include <QMovie>
#include <QProcess>
#include <QScopeGuard>
#include <QScreen>
#include <QTreeWidget>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/weblinks.h"
#include "gui/singleinstance.h"
#include "gui/startup.h"
#include "mainwindow/heicmainwidget.h"
#include "mainwindow/listcolumns.h"
#include "tests/mainwindow/windowdriver.h"
#include "tests/support/files.h"
#include "tests/support/testmain.h"

class StartupTest final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The window's daily update check must never reach the maker's real server.
        overrideUpdateHost("http://127.0.0.1:9");
        vornetta::test::silenceDailyUpdateCheck();
    }

    void missingFontsAreSkipped()
    {
        const QFont before = QGuiApplication::font();
        loadApplicationFonts(QDir::tempPath() + "/no-such-folder");
        QCOMPARE(QGuiApplication::font(), before);
    }

    void latoRegularAloneBecomesTheApplicationFont()
    {
        const QString folder = QDir::tempPath() + "/only-lato";
        QVERIFY(QDir().mkpath(folder + "/font"));
        QVERIFY(QFile::copy(vornetta::test::programFolder() + "/font/Lato-Regular.ttf",
                            folder + "/font/Lato-Regular.ttf"));

        loadApplicationFonts(folder);
        QCOMPARE(QGuiApplication::font().family(), QString("Lato"));
        QCOMPARE(QGuiApplication::font().pointSize(), 10);
    }

    void shippedFontsAreRegistered()
    {
        loadApplicationFonts(vornetta::test::programFolder());
        const QStringList families = QFontDatabase::families();
        QVERIFY(families.contains("Lato"));
        QVERIFY(families.contains("Liberation Sans"));
        QVERIFY(QFontDatabase::isSmoothlyScalable("Lato", "Bold"));
        QCOMPARE(QGuiApplication::font().family(), QString("Lato"));
    }

    void imagesAreCompiledIn_data()
    {
        QTest::addColumn<QString>("resource");
        QTest::addColumn<QSize>("size");
        QTest::newRow("arrowDown") << ":/images/arrowDown.png" << QSize(14, 7);
        QTest::newRow("minclose") << ":/images/minclose.png" << QSize(82, 60);
        QTest::newRow("program") << ":/images/program.png" << QSize(256, 256);
        QTest::newRow("arrowtest") << ":/images/arrowtest.png" << QSize(2, 30);
        QTest::newRow("small_loadimg2") << ":/images/small_loadimg2.gif" << QSize(20, 20);
        QTest::newRow("small_loadimg") << ":/images/small_loadimg.gif" << QSize();
    }
    void imagesAreCompiledIn()
    {
        QFETCH(QString, resource);
        QFETCH(QSize, size);
        const QImage image(resource);
        QVERIFY2(!image.isNull(), qPrintable(resource));
        if (size.isValid())
            QCOMPARE(image.size(), size);
    }

    // "Open with Vornetta" and `vornetta FILE...`: what main hands the window.
    void filesNamedAtStartJoinTheList_data()
    {
        QTest::addColumn<QByteArrayList>("files"); // in the folder "photos"
        QTest::addColumn<bool>("relative");        // named from that folder as the working folder
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("told"); // the left-out message's lines
        const QString header = "Not added to the list:";
        QTest::newRow("two photos") << QByteArrayList{"a.heic", "b.HEIC"} << false
                                    << QStringList{"a.heic", "b.HEIC"} << QStringList();
        QTest::newRow("no file") << QByteArrayList() << false << QStringList() << QStringList();
        QTest::newRow("any suffix") << QByteArrayList{"notes.txt", "photo.heif", "c.HIF", ""} << false
                                    << QStringList{"notes.txt", "photo.heif", "c.HIF"} << QStringList();
        QTest::newRow("a folder walked")
            << QByteArrayList{"album"} << false
            << QStringList{"album/sub/y.HEIF", "album/x.heic", "album/z.hif"} << QStringList();
        QTest::newRow("each file once")
            << QByteArrayList{"a.heic", "album/x.heic", "./a.heic", "album"} << true
            << QStringList{"a.heic", "album/x.heic", "album/sub/y.HEIF", "album/z.hif"} << QStringList();
        QTest::newRow("missing, pipe, empty folder, bad name: told, five of them")
            << QByteArrayList{"gone.heic", "fifo.heic", "a.heic", "empty", "\xff.heic", "gone2", "gone3"}
            << false << QStringList{"a.heic"}
            << QStringList{header,
                           "gone.heic: not found",
                           "fifo.heic: not a file",
                           "empty: no .heic, .heif or .hif file in it",
                           QString(QChar(0xfffd)) + ".heic: the file name is not valid UTF-8",
                           "gone2: not found",
                           "and 1 more"};
        QTest::newRow("a name led by U+FEFF, walked")
            << QByteArrayList{"marked"} << false << QStringList{"marked/\uFEFFx.heic"} << QStringList();
        QTest::newRow("below a folder of a bad name")
            << QByteArrayList{"odd"} << false << QStringList()
            << QStringList{header, "y.heic: the file name is not valid UTF-8",
                           "odd: no .heic, .heif or .hif file in it"};
    }
    void filesNamedAtStartJoinTheList()
    {
        QFETCH(QByteArrayList, files);
        QFETCH(bool, relative);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, told);
        const QString photos = QDir::tempPath() + "/photos";
        for (const char* name :
             {"a.heic", "b.HEIC", "notes.txt", "photo.heif", "c.HIF", "album/x.heic", "album/sub/y.HEIF",
              "album/z.hif", "album/.hidden.heic", "album/readme.txt", "marked/\uFEFFx.heic"})
            QVERIFY(vornetta::test::writeFile(photos + "/" + name));
        QVERIFY(QDir().mkpath(photos + "/empty"));
        const QByteArray folder = QFile::encodeName(photos);
        mkfifo(folder + "/fifo.heic", 0600);
        close(open(folder + "/\xff.heic", O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
        mkdir(folder + "/odd", 0700);
        mkdir(folder + "/odd/\xff", 0700);
        close(open(folder + "/odd/\xff/y.heic", O_CREAT | O_WRONLY | O_CLOEXEC, 0600));
        // No QString names them, so the temporary folder's removal cannot.
        const auto unnamed = qScopeGuard([&folder] {
            unlink(folder + "/\xff.heic");
            unlink(folder + "/odd/\xff/y.heic");
            rmdir(folder + "/odd/\xff");
        });
        const QString startedIn = QDir::currentPath();
        const auto back = qScopeGuard([&startedIn] { QDir::setCurrent(startedIn); });
        QVERIFY(QDir::setCurrent(relative ? photos : QDir::tempPath()));

        for (QByteArray& name : files)
            name = relative || name.isEmpty() ? name : folder + "/" + name;
        const std::unique_ptr<HEICMainWidget> window = openMainWindow(files);
        QVERIFY(window->isVisible());
        QStringList paths;
        QStringList states;
        for (int row = 0; row < window->listWidget->topLevelItemCount(); ++row) {
            paths.append(window->listWidget->topLevelItem(row)->text(kPathColumn));
            states.append(window->listWidget->topLevelItem(row)->text(kStateColumn));
        }
        for (QString& row : rows)
            row.prepend(photos + "/");
        QCOMPARE(paths, rows);
        QCOMPARE(states, QStringList(rows.size(), "waiting"));
        QCOMPARE(window->dropLabel->isHidden(), !rows.isEmpty());
        QCOMPARE(vornetta::test::leftOutMessage(window.get()), told);
    }

    // One window a session: later starts hand their files to it over its socket, even one left by a
    // window that was killed; a termination signal ends the window with its work folder.
    void laterStartsHandTheirFilesOver_data()
    {
        QTest::addColumn<bool>("killedBefore");
        QTest::newRow("to this window") << false;
        QTest::newRow("to a window that took over a dead one's socket") << true;
    }
    void laterStartsHandTheirFilesOver()
    {
        QFETCH(bool, killedBefore);
        const QString photo = QDir::tempPath() + "/handed/a.heic";
        QVERIFY(vornetta::test::writeFile(photo));
        const QString vornetta = vornetta::test::programFolder() + "/vornetta";
        const auto listening = [] {
            QLocalSocket probe;
            probe.connectToServer(SingleInstance::socketPath());
            return probe.waitForConnected(100);
        };
        const auto later = [&](const QStringList& arguments) {
            QProcess process;
            process.start(vornetta, arguments);
            return QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 5000) &&
                   process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        };

        SingleInstance instance;
        std::unique_ptr<HEICMainWidget> window;
        QProcess first;
        if (!killedBefore) {
            QCOMPARE(instance.start({}), SingleInstance::Role::Window);
            window = openMainWindow({}, &instance);
        } else {
            QProcess dead;
            dead.start(vornetta, {});
            QTRY_VERIFY(listening());
            dead.kill();
            dead.waitForFinished();
            QVERIFY(QFileInfo::exists(SingleInstance::socketPath()));
            QVERIFY(!listening());
            // A photo's tiles left in the work folder, as a conversion leaves them.
            QVERIFY(vornetta::test::writeFile(QDir::tempPath() + "/Brembloc/Vornetta/thumb/hevc/hevc1"));
            first.start(vornetta, {});
            QTRY_VERIFY(listening());
        }
        QVERIFY(later({photo}));
        QVERIFY(later({}));
        if (!killedBefore) {
            QTRY_COMPARE(window->listWidget->topLevelItemCount(), 1);
            QCOMPARE(window->listWidget->topLevelItem(0)->text(kPathColumn), photo);
            return;
        }
        first.terminate();
        QVERIFY(first.waitForFinished(5000));
        QCOMPARE(first.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + "/Brembloc/Vornetta/thumb"));
        QVERIFY(!QFileInfo::exists(SingleInstance::socketPath()));
    }

    // A fixed-size window at any DPI or Qt scale still fits its screen's free area, in its middle.
    void windowFitsTheScreen()
    {
        const std::unique_ptr<HEICMainWidget> window = openMainWindow({});
        const QRect available = window->screen()->availableGeometry();
        QCOMPARE(available, QRect(100, 50, 640, 400));
        QCOMPARE(window->size(), QSize(523, 400));
        QCOMPARE(window->geometry().center(), available.center());
        QCOMPARE(window->findChild<QWidget*>("loadingWidget")->geometry(), QRect(0, 23, 523, 377));
    }

    void loadingAnimationIsAnimated()
    {
        QMovie movie(":/images/small_loadimg2.gif");
        QVERIFY(movie.isValid());
        QVERIFY(movie.frameCount() > 1);
    }
};

VORNETTA_TEST_MAIN_ON_SCREEN(StartupTest, QRect(100, 50, 640, 400))
#include "tst_startup.moc"
