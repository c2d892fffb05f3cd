// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include <QAccessible>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMovie>
#include <QRegularExpression>
#include <QTreeWidget>

#include "core/filerules.h"
#include "core/settings.h"
#include "core/weblinks.h"
#include "engine/covertthread.h"
#include "engine/process/toolrunner.h"
#include "mainwindow/heicmainwidget.h"
#include "tests/mainwindow/windowdriver.h"
#include "tests/support/testmain.h"
#include "update/updatewidget.h"
#include "update/versioncompare.h"
#include "widgets/focusmark.h"
#include "widgets/mymessageboxwidget.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton2.h"
#include "widgets/scalefactor.h"

using namespace vornetta::test;

namespace {

void touch(const QString& path, const QByteArray& bytes = "x")
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class MainWindowTest final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<HEICMainWidget> window;
    UrlCatcher catcher;
    QString work;

    void openWindow(float scale = 1.0f)
    {
        scaleFactor = scale;
        window = std::make_unique<HEICMainWidget>(nullptr);
        window->move(20, 40);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    // A drop arrives after the drag entered the window and was welcomed there.
    void dropUrls(const QList<QUrl>& urls)
    {
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &drop);
    }

private slots:
    void initTestCase()
    {
        overrideProgramFolder(vornetta::test::programFolder().toStdString());
        // The update dialog's daily check must never reach the maker's real server.
        overrideUpdateHost("http://127.0.0.1:9");
        QDesktopServices::setUrlHandler("http", &catcher, "open");
        QDesktopServices::setUrlHandler("https", &catcher, "open");
        QDesktopServices::setUrlHandler("file", &catcher, "open");
    }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
        QDesktopServices::unsetUrlHandler("file");
        overrideUpdateHost(QString());
    }
    void init()
    {
        QSettings(kOrganisationName, kApplicationName).clear();
        silenceDailyUpdateCheck();
        catcher.urls.clear();
        work = QDir::tempPath() + "/work";
        QDir(work).removeRecursively();
        QVERIFY(QDir().mkpath(work));
    }
    void cleanup()
    {
        window.reset();
        scaleFactor = 1.0f;
    }

    void scaleFactorFollowsTheSmallerDpi_data()
    {
        QTest::addColumn<double>("dpiX");
        QTest::addColumn<double>("dpiY");
        QTest::addColumn<float>("expected");
        QTest::newRow("96") << 96.0 << 96.0 << 1.0f;
        QTest::newRow("120") << 120.0 << 120.0 << 1.25f;
        QTest::newRow("144") << 144.0 << 144.0 << 1.5f;
        QTest::newRow("192 clamps") << 192.0 << 192.0 << 1.5f;
        QTest::newRow("72 clamps") << 72.0 << 72.0 << 1.0f;
        QTest::newRow("smaller wins") << 144.0 << 96.0 << 1.0f;
        QTest::newRow("smaller wins down") << 120.0 << 144.0 << 1.25f;
    }
    void scaleFactorFollowsTheSmallerDpi()
    {
        QFETCH(double, dpiX);
        QFETCH(double, dpiY);
        QFETCH(float, expected);
        QCOMPARE(scaleFactorFromDpi(dpiX, dpiY), expected);
    }

    void geometryFollowsTheScale_data()
    {
        QTest::addColumn<float>("scale");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("expected");
        const QList<std::pair<const char*, QRect>> atOne = {
            {"window", {20, 40, 680, 520}},        {"frameWidget", {0, 0, 680, 520}},
            {"titleWidget", {0, 0, 680, 30}},      {"iconLabel", {10, 5, 20, 20}},
            {"titleLabel", {40, 1, 400, 28}},      {"closeButton", {650, 0, 26, 26}},
            {"minButton", {620, 0, 26, 26}},       {"menuButton", {590, 0, 26, 26}},
            {"versionLabel", {480, 8, 90, 20}},    {"toolWidget", {1, 30, 678, 45}},
            {"addMediaButton", {10, 5, 130, 35}},  {"formatLabel", {370, 8, 60, 30}},
            {"fliterComboBox", {435, 11, 60, 24}}, {"toJpgButton", {535, 5, 130, 35}},
            {"listWidget", {1, 75, 678, 444}},     {"dropLabel", {1, 75, 678, 444}},
            {"loadingWidget", {0, 30, 680, 490}},  {"loadingLabel", {330, 235, 20, 20}},
        };
        // At 120 DPI: 30 x 1.25 = 37.5 truncates to 37, the close button sits at trunc(850 - 37.5).
        const QList<std::pair<const char*, QRect>> atOneQuarter = {
            {"window", {20, 40, 850, 650}},        {"frameWidget", {0, 0, 850, 650}},
            {"titleWidget", {0, 0, 850, 37}},      {"iconLabel", {12, 6, 25, 25}},
            {"titleLabel", {50, 1, 500, 35}},      {"closeButton", {812, 0, 32, 32}},
            {"minButton", {775, 0, 32, 32}},       {"menuButton", {737, 0, 32, 32}},
            {"versionLabel", {600, 10, 112, 25}},  {"toolWidget", {1, 37, 848, 56}},
            {"addMediaButton", {12, 6, 162, 43}},  {"formatLabel", {462, 10, 75, 37}},
            {"fliterComboBox", {542, 13, 75, 30}}, {"toJpgButton", {669, 6, 162, 43}},
            {"listWidget", {1, 93, 848, 556}},     {"dropLabel", {1, 93, 848, 556}},
            {"loadingWidget", {0, 37, 850, 613}},  {"loadingLabel", {412, 294, 25, 25}},
        };
        for (const auto& [name, rect] : atOne)
            QTest::addRow("1.0 %s", name) << 1.0f << QString(name) << rect;
        for (const auto& [name, rect] : atOneQuarter)
            QTest::addRow("1.25 %s", name) << 1.25f << QString(name) << rect;
    }
    void geometryFollowsTheScale()
    {
        QFETCH(float, scale);
        QFETCH(QString, name);
        QFETCH(QRect, expected);
        openWindow(scale);
        QCOMPARE(scaleFactor, scale);
        const QWidget* widget = name == "window" ? window.get() : window->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->geometry(), expected);
    }

    void listAndTextSizesFollowTheScale_data()
    {
        QTest::addColumn<float>("scale");
        QTest::addColumn<int>("pathWidth");
        QTest::addColumn<int>("stateWidth");
        QTest::addColumn<int>("listFont");
        QTest::addColumn<int>("rowHeight");
        QTest::addColumn<int>("comboFont");
        QTest::addColumn<QSize>("movieSize");
        // A row is T(35) high plus its 1 px line.
        QTest::newRow("1.0") << 1.0f << 578 << 100 << 13 << 36 << 9 << QSize(20, 20);
        QTest::newRow("1.25") << 1.25f << 723 << 125 << 16 << 44 << 11 << QSize(25, 25);
    }
    void listAndTextSizesFollowTheScale()
    {
        QFETCH(float, scale);
        QFETCH(int, pathWidth);
        QFETCH(int, stateWidth);
        QFETCH(int, listFont);
        QFETCH(int, rowHeight);
        QFETCH(int, comboFont);
        QFETCH(QSize, movieSize);
        openWindow(scale);
        touch(work + "/a.heic");
        window->addHeicFiles({work + "/a.heic"});

        QTreeWidget* list = window->listWidget;
        QCOMPARE(list->columnCount(), 4);
        QCOMPARE(list->columnWidth(0), pathWidth);
        QCOMPARE(list->columnWidth(3), stateWidth);
        QVERIFY(list->isColumnHidden(1));
        QVERIFY(list->isColumnHidden(2));
        QVERIFY(list->header()->isHidden());
        QCOMPARE(list->font().pixelSize(), listFont);
        QCOMPARE(list->visualItemRect(list->topLevelItem(0)).height(), rowHeight);
        QCOMPARE(window->fliterComboBox->font().pixelSize(), comboFont);
        QCOMPARE(window->loadingMovie->scaledSize(), movieSize);
    }

    void windowOpensEmptyFramelessAndRounded()
    {
        openWindow();
        QVERIFY(window->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(window->dropLabel->isVisible());
        QVERIFY(!window->toJpgButton->isEnabled());
        QVERIFY(window->loadingWidget->isHidden());
        QCOMPARE(window->saveFormat, QString("jpg"));
        QCOMPARE(window->findChild<QLabel*>("versionLabel")->text(), QString("Ver: ") + kCurrentVersion);

        // The corner pixels are cut away at a 3 px radius, the edges between them kept.
        const QRegion mask = window->mask();
        QVERIFY(!mask.contains(QPoint(0, 0)));
        QVERIFY(!mask.contains(QPoint(679, 519)));
        QVERIFY(mask.contains(QPoint(340, 0)));
        QVERIFY(mask.contains(QPoint(0, 260)));

        // As rendered: the frame line, the dark title strip, the light tool strip, the grey hint
        // over the white list, the pale disabled convert button.
        const QImage shot = window->grab().toImage();
        QCOMPARE(QColor(shot.pixel(0, 300)), QColor(0x4e, 0x4e, 0x4e));
        QCOMPARE(QColor(shot.pixel(340, 519)), QColor(0x4e, 0x4e, 0x4e));
        QCOMPARE(QColor(shot.pixel(300, 15)), QColor(111, 111, 111));
        QCOMPARE(QColor(shot.pixel(300, 50)), QColor(243, 243, 243));
        QCOMPARE(QColor(shot.pixel(300, 300)), QColor(0xec, 0xec, 0xec));
        QCOMPARE(QColor(shot.pixel(536, 52)), QColor(0x95, 0xb7, 0x9d));
        QCOMPARE(QColor(shot.pixel(11, 52)), QColor(0x3d, 0xb5, 0x57));
    }

    void onlyExistingHeicPathsJoinTheList()
    {
        openWindow();
        QVERIFY(QDir().mkpath(work + "/x.heic"));
        QVERIFY(QDir().mkpath(work + "/pics"));
        touch(work + "/pics/inside.heic");
        for (const char* name : {"photo.HEIC", "photo.heic.jpg", "photo.heif", "my.photo.heic"})
            touch(work + "/" + name);
        const QStringList offered = {
            work + "/photo.HEIC",
            work + "/photo.heic.jpg",
            work + "/photo.heif",
            work + "/gone.heic",
            work + "/x.heic",
            work + "/pics",
            QString(),
            work + "/my.photo.heic",
            work + "/./photo.HEIC",
        };
        window->addHeicFiles(offered);

        // The same file a second time keeps its one row.
        const QStringList expected = {work + "/photo.HEIC", work + "/x.heic", work + "/my.photo.heic"};
        QTreeWidget* list = window->listWidget;
        QCOMPARE(column(list, 0), expected);
        QCOMPARE(column(list, 1), expected);
        QCOMPARE(column(list, 2), QStringList(3, "0"));
        QCOMPARE(column(list, 3), QStringList(3, "waiting"));
        QCOMPARE(
            leftOutMessage(window.get()),
            (QStringList{"Not added to the list:", "photo.heic.jpg: not a .heic file",
                         "photo.heif: not a .heic file", "gone.heic: not found", "pics: not a .heic file"}));
        QCOMPARE(list->topLevelItem(1)->toolTip(0), work + "/x.heic");
        QCOMPARE(list->topLevelItem(0)->textAlignment(0), int(Qt::AlignLeft | Qt::AlignVCenter));
        QCOMPARE(window->findNextWaitingRow(), 0);
        QVERIFY(window->toJpgButton->isEnabled());
        QVERIFY(window->dropLabel->isHidden());

        // Nothing acceptable: no row, the empty list keeps its hint.
        window->removeAllAction->trigger();
        window->addHeicFiles({work + "/photo.heif"});
        QCOMPARE(list->topLevelItemCount(), 0);
        QCOMPARE(window->findNextWaitingRow(), -1);
        QVERIFY(!window->toJpgButton->isEnabled());
        QVERIFY(window->dropLabel->isVisible());
    }

    void droppedFilesJoinTheList()
    {
        openWindow();
        touch(work + "/drop.heic");
        touch(work + "/drop.jpg");

        QMimeData text;
        text.setText("not files");
        QDragEnterEvent refused(QPoint(300, 300), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &refused);
        QVERIFY(!refused.isAccepted());

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(work + "/drop.heic")});
        QDragEnterEvent welcome(QPoint(300, 300), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &welcome);
        QVERIFY(welcome.isAccepted());

        dropUrls({QUrl::fromLocalFile(work + "/drop.heic"), QUrl::fromLocalFile(work + "/drop.jpg"),
                  QUrl("http://example.org/remote.heic")});
        QCOMPARE(column(window->listWidget, 0), QStringList{work + "/drop.heic"});
        QVERIFY(window->toJpgButton->isEnabled());
        QCOMPARE(
            leftOutMessage(window.get()),
            (QStringList{"Not added to the list:", "drop.jpg: not a .heic file", "remote.heic: not a file"}));

        // A second drop joins the end of the queue; a file waiting there already keeps its one row.
        touch(work + "/second.heic");
        dropUrls({QUrl::fromLocalFile(work + "/drop.heic"), QUrl::fromLocalFile(work + "/second.heic")});
        QCOMPARE(column(window->listWidget, 0), (QStringList{work + "/drop.heic", work + "/second.heic"}));
    }

    void removeAllFromTheListsContextMenu()
    {
        openWindow();
        touch(work + "/a.heic");
        touch(work + "/b.heic");
        window->addHeicFiles({work + "/a.heic", work + "/b.heic"});
        QTreeWidget* list = window->listWidget;
        const QPoint onRow = list->visualItemRect(list->topLevelItem(0)).center();

        // A left press opens nothing.
        QMenu* opened = nullptr;
        answerWhenShown<QMenu>(
            [&opened](QMenu* menu) {
                opened = menu;
                menu->close();
            },
            300);
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, onRow);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, onRow);
        QTest::qWait(400);
        QVERIFY(!opened);
        QCOMPARE(list->topLevelItemCount(), 2);

        // A right press opens the list's menu; its one entry empties the list.
        QStringList entries;
        answerWhenShown<QMenu>([&](QMenu* menu) {
            opened = menu;
            for (QAction* action : menu->actions())
                entries.append(action->text());
            QTest::mouseClick(menu, Qt::LeftButton, {},
                              menu->actionGeometry(menu->actions().first()).center());
        });
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, onRow);
        QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, onRow);
        QCOMPARE(opened, window->listMenu);
        QCOMPARE(entries, QStringList{"Remove All"});
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(!window->toJpgButton->isEnabled());
        QVERIFY(window->dropLabel->isVisible());

        // On an empty list it changes nothing.
        window->removeAllAction->trigger();
        QCOMPARE(list->topLevelItemCount(), 0);
        QVERIFY(!window->toJpgButton->isEnabled());
    }

    void captionNamesTheFormat_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("caption");
        QTest::newRow("PNG") << 1 << "png"
                             << "Save to PNG";
        QTest::newRow("BMP") << 2 << "bmp"
                             << "Save to BMP";
        QTest::newRow("JPG") << 0 << "jpg"
                             << "Save to JPG";
        QTest::newRow("none") << -1 << "jpg"
                              << "Save to JPG";
    }
    void captionNamesTheFormat()
    {
        QFETCH(int, index);
        QFETCH(QString, format);
        QFETCH(QString, caption);
        openWindow();
        window->fliterComboBox->setCurrentIndex(2 - index % 2); // start elsewhere, so the change is real
        window->fliterComboBox->setCurrentIndex(index);
        QCOMPARE(window->saveFormat, format);
        QCOMPARE(window->toJpgButton->text(), caption);
    }

    void addButtonRemembersTheFolderOfThePick()
    {
        openWindow();
        QVERIFY(QDir().mkpath(work + "/pics"));
        touch(work + "/pics/a.heic");
        writeSetting("addVideoPath", work + "/pics");

        // Cancelled: nothing stored, nothing added.
        QString startFolder;
        answerWhenShown<QFileDialog>([&startFolder](QFileDialog* dialog) {
            startFolder = dialog->directory().absolutePath();
            dialog->reject();
        });
        QTest::mouseClick(window->addMediaButton, Qt::LeftButton);
        QCOMPARE(startFolder, work + "/pics");
        QCOMPARE(readSetting("addVideoPath"), work + "/pics");
        QCOMPARE(window->listWidget->topLevelItemCount(), 0);

        QString title;
        answerWhenShown<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            pickInFileDialog(dialog, work + "/pics/a.heic");
        });
        QTest::mouseClick(window->addMediaButton, Qt::LeftButton);
        QCOMPARE(title, QString("Open File"));
        QCOMPARE(readSetting("addVideoPath"), work + "/pics/");
        QCOMPARE(column(window->listWidget, 0), QStringList{work + "/pics/a.heic"});
    }

    void cancellingTheFolderChooserChangesNothing()
    {
        openWindow();
        touch(work + "/a.heic");
        window->addHeicFiles({work + "/a.heic"});
        const QString before = window->savePath;

        QString title;
        answerFolderChooser(QString(), &title);
        QTest::mouseClick(window->toJpgButton, Qt::LeftButton);
        QCOMPARE(title, QString("Open Directory"));
        QCOMPARE(window->savePath, before);
        QCOMPARE(readSetting("SaveVideoPath"), QString());
        QCOMPARE(column(window->listWidget, 3), QStringList{"waiting"});
        QVERIFY(!window->covertThread->isRunning());
        QVERIFY(window->loadingWidget->isHidden());
    }

    void menuOpensUnderItsButtonAndOpensThePages_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("page");
        QTest::newRow("Help") << 0 << supportPageBase();
        QTest::newRow("Support") << 1 << supportPageBase();
        QTest::newRow("Homepage") << 2 << homePageBase();
    }
    void menuOpensUnderItsButtonAndOpensThePages()
    {
        QFETCH(int, entry);
        QFETCH(QString, page);
        openWindow();
        QPoint menuAt;
        QMenu* opened = nullptr;
        answerWhenShown<QMenu>([&](QMenu* menu) {
            opened = menu;
            menuAt = menu->pos();
            QTest::mouseClick(menu, Qt::LeftButton, {},
                              menu->actionGeometry(menu->actions().at(entry)).center());
        });
        QTest::mouseClick(window->menuButton, Qt::LeftButton);
        QCOMPARE(opened, window->mainMenu);
        QCOMPARE(menuAt, QPoint(20 + 680 - 125, 40 + 26));
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls.first().toString(), page + "?id=vornetta&Lang=EN&Platform=Win");
    }

    void checkForUpdatesOpensTheUpdateDialogOverTheWindow()
    {
        openWindow();
        QRect shownAt;
        answerWhenShown<UpdateWidget>([&shownAt](UpdateWidget* dialog) {
            shownAt = dialog->geometry();
            dialog->hide();
        });
        answerWhenShown<QMenu>([](QMenu* menu) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions().at(3)).center());
        });
        QTest::mouseClick(window->menuButton, Qt::LeftButton);
        QVERIFY(shownAt.isValid());
        QCOMPARE(shownAt.center(), window->geometry().center());
        QVERIFY(catcher.urls.isEmpty());
    }

    void titleButtonsMinimiseAndClose()
    {
        openWindow();
        QTest::mouseClick(window->minButton, Qt::LeftButton);
        QTRY_VERIFY(window->isMinimized());
        window->showNormal();
        QTest::mouseClick(window->closeButton, Qt::LeftButton);
        QTRY_VERIFY(!window->isVisible());
    }

    void draggingTheWindowMovesIt()
    {
        openWindow();
        // A press on the title strip's free area reaches the window.
        const QPoint grip(470, 15);
        QTest::mousePress(window.get(), Qt::LeftButton, {}, grip);
        QTest::mouseMove(window.get(), grip + QPoint(10, 5));
        QTRY_COMPARE(window->pos(), QPoint(30, 45));
        QTest::mouseRelease(window.get(), Qt::LeftButton, {}, grip);
        QTest::mouseMove(window.get(), grip + QPoint(40, 40));
        QTest::qWait(50);
        QCOMPARE(window->pos(), QPoint(30, 45));
    }

    // From the window's start, each press of Tab (or Shift+Tab) and where the focus lands; the mark shows
    // from the first press and goes with the next click.
    void tabVisitsTheWindowInOrder_data()
    {
        QTest::addColumn<bool>("withRows");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<QStringList>("visited");
        const QStringList forward = {"addMediaButton", "listWidget", "fliterComboBox", "toJpgButton",
                                     "menuButton",     "minButton",  "closeButton",    "addMediaButton"};
        QTest::newRow("Tab") << true << false << forward;
        QTest::newRow("Tab, nothing to save")
            << false << false << QStringList(forward).filter(QRegularExpression("^(?!toJpg)"));
        QTest::newRow("Shift+Tab") << true << true
                                   << QStringList{"closeButton",    "minButton",      "menuButton",
                                                  "toJpgButton",    "fliterComboBox", "listWidget",
                                                  "addMediaButton", "closeButton"};
    }
    void tabVisitsTheWindowInOrder()
    {
        QFETCH(bool, withRows);
        QFETCH(bool, backwards);
        QFETCH(QStringList, visited);
        openWindow();
        if (withRows) {
            touch(work + "/a.heic");
            window->addHeicFiles({work + "/a.heic"});
        }
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::mouseClick(window->titleLabel, Qt::LeftButton);
        QVERIFY(!FocusMark::keyboardInUse());
        QStringList seen;
        for (int press = 0; press < visited.size(); ++press) {
            QTest::keyClick(QApplication::focusWidget(), backwards ? Qt::Key_Backtab : Qt::Key_Tab);
            seen.append(QApplication::focusWidget()->objectName());
        }
        QCOMPARE(seen, visited);
        const auto* mark = window->findChild<FocusMark*>();
        QVERIFY(mark && mark->isVisible());
        QCOMPARE(mark->geometry(), QRect(QApplication::focusWidget()->mapTo(window.get(), QPoint()),
                                         QApplication::focusWidget()->size()));
        QTest::mouseClick(window->listWidget->viewport(), Qt::LeftButton);
        QVERIFY(!FocusMark::keyboardInUse());
        QVERIFY(mark->isHidden());
    }

    // Each shortcut with no conversion running, on a list of so many rows (the first and the last selected):
    // the dialog or menu it opens (its title or first entry), and the rows left. Nothing opens where the
    // mouse would be refused.
    void shortcutsDoWhatTheMouseDoes_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("Ctrl+O") << QKeySequence("Ctrl+O") << 0 << "Open File" << QStringList();
        QTest::newRow("Ctrl+S") << QKeySequence("Ctrl+S") << 1 << "Open Directory" << QStringList{"a"};
        QTest::newRow("Ctrl+S, nothing to save") << QKeySequence("Ctrl+S") << 0 << "" << QStringList();
        QTest::newRow("Delete") << QKeySequence(Qt::Key_Delete) << 3 << "" << QStringList{"b"};
        QTest::newRow("Ctrl+A, Delete") << QKeySequence("Ctrl+A, Del") << 3 << "" << QStringList();
        QTest::newRow("Menu") << QKeySequence(Qt::Key_Menu) << 2 << "Remove All" << QStringList{"a", "b"};
        QTest::newRow("Shift+F10") << QKeySequence("Shift+F10") << 2 << "Remove All" << QStringList{"a", "b"};
        QTest::newRow("Menu, no row") << QKeySequence(Qt::Key_Menu) << 0 << "" << QStringList();
        QTest::newRow("Alt+F") << QKeySequence("Alt+F") << 0 << "Help" << QStringList();
        QTest::newRow("F10") << QKeySequence(Qt::Key_F10) << 0 << "Help" << QStringList();
        QTest::newRow("Escape, no batch") << QKeySequence(Qt::Key_Escape) << 1 << "" << QStringList{"a"};
    }
    void shortcutsDoWhatTheMouseDoes()
    {
        QFETCH(QKeySequence, keys);
        QFETCH(int, rows);
        QFETCH(QString, opened);
        QFETCH(QStringList, left);
        openWindow();
        QStringList paths;
        for (int row = 0; row < rows; ++row) {
            paths.append(work + "/" + QChar('a' + row) + ".heic");
            touch(paths.last());
        }
        window->addHeicFiles(paths);
        QTreeWidget* list = window->listWidget;
        if (rows > 0) {
            list->topLevelItem(0)->setSelected(true);
            list->topLevelItem(rows - 1)->setSelected(true);
        }
        QVERIFY(QTest::qWaitForWindowActive(window.get()));

        QString seen;
        answerWhenShown<QWidget>(
            [&seen](QWidget* shown) {
                seen = shownName(shown);
                shown->close();
            },
            opened.isEmpty() ? 300 : 20000);
        QTest::keySequence(window.get(), keys);
        if (opened.isEmpty())
            QTest::qWait(400);
        QCOMPARE(seen, opened);
        QStringList names;
        for (const QString& path : column(list, 0))
            names.append(QFileInfo(path).completeBaseName());
        QCOMPARE(names, left);
        QCOMPARE(window->toJpgButton->isEnabled(), !left.isEmpty());
    }

    void ctrlQClosesTheWindow()
    {
        openWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keySequence(window.get(), QKeySequence("Ctrl+Q"));
        QTRY_VERIFY(!window->isVisible());
    }

    // What a screen reader finds for each part a user acts on: its role, its name, and what its press does
    // (the dialog's title or the menu's first entry that opens, or what becomes of the window).
    void screenReadersFindAndPressEveryControl_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("withRow");
        QTest::addColumn<QAccessible::Role>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pressed");
        QTest::newRow("Add HEIC") << "addMediaButton" << false << QAccessible::Button << "Add HEIC"
                                  << "Open File";
        QTest::newRow("Save") << "toJpgButton" << true << QAccessible::Button << "Save to JPG"
                              << "Open Directory";
        QTest::newRow("Save, disabled") << "toJpgButton" << false << QAccessible::Button << "Save to JPG"
                                        << "";
        QTest::newRow("format") << "fliterComboBox" << false << QAccessible::ComboBox << "JPG"
                                << "QComboBoxPrivateContainer";
        QTest::newRow("menu") << "menuButton" << false << QAccessible::Button << "Menu"
                              << "Help";
        QTest::newRow("minimise") << "minButton" << false << QAccessible::Button << "Minimise"
                                  << "minimised";
        QTest::newRow("close") << "closeButton" << false << QAccessible::Button << "Close"
                               << "closed";
    }
    void screenReadersFindAndPressEveryControl()
    {
        QFETCH(QString, control);
        QFETCH(bool, withRow);
        QFETCH(QAccessible::Role, role);
        QFETCH(QString, name);
        QFETCH(QString, pressed);
        openWindow();
        touch(work + "/a.heic");
        if (withRow)
            window->addHeicFiles({work + "/a.heic"});
        QAccessibleInterface* iface =
            QAccessible::queryAccessibleInterface(window->findChild<QWidget*>(control));
        QVERIFY(iface);
        QCOMPARE(iface->role(), role);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->state().disabled, pressed.isEmpty());
        QVERIFY(iface->actionInterface());
        QVERIFY(
            iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()) ||
            iface->actionInterface()->actionNames().contains(QAccessibleActionInterface::showMenuAction()));

        QString seen;
        const bool opens = !pressed.isEmpty() && pressed != "minimised" && pressed != "closed";
        if (opens || pressed.isEmpty()) {
            answerWhenShown<QWidget>(
                [&seen](QWidget* shown) {
                    seen = shownName(shown);
                    shown->close();
                },
                opens ? 20000 : 300);
        }
        const QStringList actions = iface->actionInterface()->actionNames();
        iface->actionInterface()->doAction(actions.contains(QAccessibleActionInterface::pressAction())
                                               ? QAccessibleActionInterface::pressAction()
                                               : QAccessibleActionInterface::showMenuAction());
        if (pressed == "minimised")
            QTRY_VERIFY(window->isMinimized());
        else if (pressed == "closed")
            QTRY_VERIFY(!window->isVisible());
        else if (opens)
            QTRY_COMPARE(seen, pressed);
        else
            QTest::qWait(400);
        QCOMPARE(seen, opens ? pressed : QString());
    }

    // The list as a screen reader reads it: a table named "Files" with the shown columns only.
    void screenReadersReadTheListsShownColumns()
    {
        openWindow();
        touch(work + "/a.heic");
        touch(work + "/b.heic");
        window->addHeicFiles({work + "/a.heic", work + "/b.heic"});
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(window->listWidget);
        QCOMPARE(list->role(), QAccessible::Table);
        QCOMPARE(list->text(QAccessible::Name), QString("Files"));
        QVERIFY(list->tableInterface());
        QCOMPARE(list->tableInterface()->columnCount(), 2);
        QCOMPARE(list->tableInterface()->rowCount(), 2);
        QStringList children;
        for (int child = 0; child < list->childCount(); ++child) {
            QAccessibleInterface* cell = list->child(child);
            QCOMPARE(cell->parent(), list);
            QCOMPARE(list->indexOfChild(cell), child);
            children.append(cell->text(QAccessible::Name));
        }
        QCOMPARE(children,
                 (QStringList{"File", "Status", work + "/a.heic", "waiting", work + "/b.heic", "waiting"}));
        QCOMPARE(list->child(0)->role(), QAccessible::ColumnHeader);
        QCOMPARE(list->tableInterface()->cellAt(1, 1)->role(), QAccessible::Cell);
        const QModelIndex path = window->listWidget->model()->index(1, 0);
        QCOMPARE(list->tableInterface()->cellAt(1, 0)->rect().center(),
                 window->listWidget->viewport()->mapToGlobal(window->listWidget->visualRect(path).center()));
    }

    void outputNamesNeverOverwrite()
    {
        const QString out = work + "/out";
        QVERIFY(QDir().mkpath(out));
        QCOMPARE(freeOutputName(out, work + "/IMG_0001.heic", "jpg"), out + "/IMG_0001.jpg");
        touch(out + "/IMG_0001.jpg");
        QCOMPARE(freeOutputName(out, work + "/IMG_0001.heic", "jpg"), out + "/IMG_0001(0).jpg");
        touch(out + "/IMG_0001(0).jpg");
        QCOMPARE(freeOutputName(out, work + "/IMG_0001.heic", "jpg"), out + "/IMG_0001(1).jpg");
        QCOMPARE(freeOutputName(out, work + "/IMG_0001.heic", "png"), out + "/IMG_0001.png");
        QCOMPARE(freeOutputName(out, work + "/my.photo.heic", "bmp"), out + "/my.bmp");
        // A folder in the way counts as taken too.
        QVERIFY(QDir().mkpath(out + "/dir.png"));
        QCOMPARE(freeOutputName(out, "/elsewhere/dir.HEIC", "png"), out + "/dir(0).png");
        // So does a link, even one that points nowhere: writing there would create its target.
        QVERIFY(QFile::link(work + "/nowhere", out + "/link.jpg"));
        QCOMPARE(freeOutputName(out, "/elsewhere/link.heic", "jpg"), out + "/link(0).jpg");
        // A base as long as a name may be is shortened, at a character boundary, so the numbered names fit.
        const QString longBase = "a" + QString(124, QChar(0xe9)) + "b"; // 250 bytes in UTF-8
        QCOMPARE(freeOutputName(out, work + "/" + longBase + ".heic", "jpg"), out + "/" + longBase + ".jpg");
        touch(out + "/" + longBase + ".jpg");
        QCOMPARE(freeOutputName(out, work + "/" + longBase + ".heic", "jpg"),
                 out + "/a" + QString(123, QChar(0xe9)) + "(0).jpg");
        // A file's later pictures keep their number however short the base becomes.
        QCOMPARE(freeOutputName(out, work + "/" + longBase + ".heic", "jpg", {}, 2),
                 out + "/a" + QString(124, QChar(0xe9)) + "-2.jpg");
    }

    // The worker goes on from the name it was given when another program takes that name meanwhile.
    void outputNamesContinueFromTheGivenName_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("the plain name")
            << "/o/IMG.jpg"
            << "/i/IMG.heic" << QStringList{"IMG.jpg", "IMG(0).jpg", "IMG(1).jpg"};
        QTest::newRow("a numbered name")
            << "/o/IMG(7).jpg"
            << "/i/IMG.heic" << QStringList{"IMG(7).jpg", "IMG(8).jpg", "IMG(9).jpg"};
        QTest::newRow("a source named like a numbered name")
            << "/o/IMG(3).png"
            << "/i/IMG(3).heic" << QStringList{"IMG(3).png", "IMG(3)(0).png", "IMG(3)(1).png"};
        QTest::newRow("a later picture's name")
            << "/o/IMG-2.jpg"
            << "/i/IMG.heic" << QStringList{"IMG-2.jpg", "IMG-2(0).jpg", "IMG-2(1).jpg"};
        QTest::newRow("a later picture's numbered name")
            << "/o/IMG-3(4).jpg"
            << "/i/IMG.heic" << QStringList{"IMG-3(4).jpg", "IMG-3(5).jpg", "IMG-3(6).jpg"};
        QTest::newRow("a source named like a later picture")
            << "/o/IMG-2(0).jpg"
            << "/i/IMG-2.heic" << QStringList{"IMG-2(0).jpg", "IMG-2(1).jpg", "IMG-2(2).jpg"};
        QTest::newRow("a name of the caller's own")
            << "/o/picture.bmp"
            << "/i/holiday.heic" << QStringList{"picture.bmp", "picture(0).bmp", "picture(1).bmp"};
    }
    void outputNamesContinueFromTheGivenName()
    {
        QFETCH(QString, given);
        QFETCH(QString, source);
        QFETCH(QStringList, names);
        const OutputNames continued = OutputNames::from(given, source);
        QCOMPARE(continued.path(0), given);
        for (int n = 0; n < names.size(); ++n)
            QCOMPARE(continued.fileName(n), names[n]);
    }
};

VORNETTA_TEST_MAIN_ON_SCREEN(MainWindowTest, QRect(0, 0, 1920, 1080))
#include "tst_mainwindow.moc"
