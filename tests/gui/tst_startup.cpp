// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMovie>
#include <QScopeGuard>
#include <QScreen>
#include <QTreeWidget>

#include "core/weblinks.h"
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

    // "Open with Vornetta" and `vornetta FILE...`: what main hands the window, after QApplication took
    // its own options out.
    void filesNamedAtStartJoinTheList_data()
    {
        QTest::addColumn<QStringList>("files"); // in the folder "photos"
        QTest::addColumn<bool>("relative");     // named from that folder as the working folder
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("two photos") << QStringList{"a.heic", "b.HEIC"} << false
                                    << QStringList{"a.heic", "b.HEIC"};
        QTest::newRow("no file") << QStringList() << false << QStringList();
        QTest::newRow("not .heic, missing or empty: left out")
            << QStringList{"notes.txt", "a.heic", "photo.heif", "gone.heic", ""} << false
            << QStringList{"a.heic"};
        QTest::newRow("relative names kept absolute")
            << QStringList{"b.HEIC", "./a.heic"} << true << QStringList{"b.HEIC", "a.heic"};
    }
    void filesNamedAtStartJoinTheList()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, relative);
        QFETCH(QStringList, rows);
        const QString photos = QDir::tempPath() + "/photos";
        for (const char* name : {"a.heic", "b.HEIC", "notes.txt", "photo.heif"})
            QVERIFY(vornetta::test::writeFile(photos + "/" + name));
        const QString startedIn = QDir::currentPath();
        const auto back = qScopeGuard([&startedIn] { QDir::setCurrent(startedIn); });
        QVERIFY(QDir::setCurrent(relative ? photos : QDir::tempPath()));

        QStringList arguments{"vornetta"};
        for (const QString& name : files)
            arguments.append(relative || name.isEmpty() ? name : photos + "/" + name);
        const std::unique_ptr<HEICMainWidget> window = openMainWindow(arguments);
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
