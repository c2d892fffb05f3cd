// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <cmath>
#include <memory>

#include <QAccessible>
#include <QActionGroup>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QMenu>
#include <QMimeData>
#include <QMovie>
#include <QRegularExpression>
#include <QTreeWidget>

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
#include "widgets/focusmark.h"
#include "widgets/mymessageboxwidget.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton1.h"
#include "widgets/mytempbutton2.h"
#include "widgets/scalefactor.h"

using namespace vornetta::test;

// Whole batches through the window with the real splitter and ffmpeg, answered as a user would.
class ConversionBatchTest final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<HEICMainWidget> window;
    UrlCatcher catcher;
    QString sources;
    QString out;
    QImage gridPicture;
    QImage singlePicture;
    QImage largePicture;
    // Every change of a row's state, in order, as "row:state".
    QStringList stateChanges;
    QHash<int, QString> lastState;
    int questionsAsked = 0;
    QPoint questionCentre;
    // Each message at the batch's end as "text|buttons shown".
    QStringList messages;
    // The progress line each time a file starts.
    QStringList progress;

    void openWindow()
    {
        window = std::make_unique<HEICMainWidget>(nullptr);
        window->move(20, 40);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTreeWidget* list = window->listWidget;
        connect(list->model(), &QAbstractItemModel::dataChanged, this,
                [this, list](const QModelIndex& from, const QModelIndex& to) {
                    if (from.column() > 3 || to.column() < 3)
                        return;
                    for (int row = from.row(); row <= to.row(); ++row) {
                        const QString state = rowState(list->topLevelItem(row));
                        if (lastState.value(row) != state)
                            stateChanges.append(QString::number(row) + ":" + state);
                        lastState[row] = state;
                        if (state == "converting")
                            QTimer::singleShot(0, this,
                                               [this] { progress.append(window->progressLabel->text()); });
                    }
                });
    }

    // The darkest pixel of a row's state text as the list draws it.
    QColor darkestInStateCell(int row)
    {
        QTreeWidget* list = window->listWidget;
        const QImage shot = list->viewport()->grab().toImage();
        const QRect cell = list->visualRect(list->model()->index(row, 3)) & shot.rect();
        QColor darkest(Qt::white);
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                darkest = std::min(darkest, QColor(shot.pixel(x, y)), [](const QColor& a, const QColor& b) {
                    return a.lightness() < b.lightness();
                });
        return darkest;
    }

    // WCAG's contrast ratio of a colour on white.
    static double contrastOnWhite(const QColor& colour)
    {
        const auto linear = [](double c) {
            return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        };
        return 1.05 / (0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
                       0.0722 * linear(colour.blueF()) + 0.05);
    }

    // Answers the next of count messages with its first button (OK) or its second, and notes it.
    void answerMessages(int count, bool ok)
    {
        answerWhenShown<MyMessageBoxWidget>(
            [this, count, ok](MyMessageBoxWidget* dialog) {
                ++questionsAsked;
                questionCentre = dialog->geometry().center();
                QStringList buttons;
                for (const auto* button : dialog->findChildren<MyTempButton1*>())
                    buttons.append(button->isVisible() ? button->text() : QString());
                messages.append(dialog->findChild<QLabel*>("messageLabel")->text() + "|" +
                                buttons.join(' ').trimmed());
                if (count > 1)
                    answerMessages(count - 1, ok);
                QTest::mouseClick(dialog->findChild<MyTempButton1*>(ok ? "firstButton" : "secondButton"),
                                  Qt::LeftButton);
            },
            120000);
    }

    // Clicks the convert button, picks the output folder, and answers the messages at the batch's end.
    void convertInto(const QString& folder, bool openFolder = false, int messageCount = 1)
    {
        const int asked = questionsAsked;
        answerFolderChooser(folder);
        answerMessages(messageCount, openFolder);
        QTest::mouseClick(window->toJpgButton, Qt::LeftButton);
        // The first file is under way: the loading panel covers the window and turns.
        QVERIFY(window->loadingWidget->isVisible());
        QCOMPARE(window->loadingMovie->state(), QMovie::Running);
        QTRY_COMPARE_WITH_TIMEOUT(questionsAsked, asked + messageCount, 120000);
        QVERIFY(window->loadingWidget->isHidden());
        QVERIFY(!window->covertThread->isRunning());
        QCOMPARE(questionCentre, window->geometry().center());
    }

private slots:
    void initTestCase()
    {
        overrideProgramFolder(vornetta::test::programFolder().toStdString());
        // The update dialog's daily check must never reach the maker's real server.
        overrideUpdateHost("http://127.0.0.1:9");
        QDesktopServices::setUrlHandler("file", &catcher, "open");

        sources = QDir::tempPath() + "/sources";
        QVERIFY(QDir().mkpath(sources));
        gridPicture = drawTestPicture(700, 500);
        singlePicture = drawTestPicture(320, 240);
        largePicture = drawTestPicture(2560, 2048);
        QCOMPARE(writeGridHeic(gridPicture, 512, 512, sources + "/grid.heic"), QString());
        QCOMPARE(writeSingleHeic(singlePicture, sources + "/single.HEIC"), QString());
        QCOMPARE(writeGridHeic(largePicture, 512, 512, sources + "/large.heic"), QString());
        QVERIFY(QDir().mkpath(sources + "/again"));
        QVERIFY(QFile::copy(sources + "/grid.heic", sources + "/again/grid.heic"));
        QFile broken(sources + "/broken.heic");
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(fileBytes(sources + "/grid.heic").left(900));
    }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler("file");
        overrideUpdateHost(QString());
    }
    void init()
    {
        QSettings(kOrganisationName, kApplicationName).clear();
        silenceDailyUpdateCheck();
        catcher.urls.clear();
        stateChanges.clear();
        lastState.clear();
        questionsAsked = 0;
        messages.clear();
        progress.clear();
        out = QDir::tempPath() + "/out";
        QDir(out).removeRecursively();
        QVERIFY(QDir().mkpath(out));
    }
    void cleanup() { window.reset(); }

    void batchConvertsEveryRowInTheChosenFormat_data()
    {
        QTest::addColumn<int>("formatIndex");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QByteArray>("imageFormat");
        QTest::newRow("JPG") << 0 << "jpg" << QByteArray("jpeg");
        QTest::newRow("PNG") << 1 << "png" << QByteArray("png");
        QTest::newRow("BMP") << 2 << "bmp" << QByteArray("bmp");
    }
    void batchConvertsEveryRowInTheChosenFormat()
    {
        QFETCH(int, formatIndex);
        QFETCH(QString, suffix);
        QFETCH(QByteArray, imageFormat);
        openWindow();
        window->addHeicFiles(
            {sources + "/grid.heic", sources + "/single.HEIC", sources + "/again/grid.heic"});
        window->fliterComboBox->setCurrentIndex(formatIndex);
        stateChanges.clear();

        convertInto(out, true);

        // One row at a time, top to bottom; a second file of the same name gets a numbered one.
        QCOMPARE(stateChanges, (QStringList{"0:converting", "0:success", "1:converting", "1:success",
                                            "2:converting", "2:success"}));
        QCOMPARE(column(window->listWidget, 2), QStringList(3, "1"));
        QCOMPARE(readSetting("SaveVideoPath"), out);
        const QStringList written = QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        QCOMPARE(written, (QStringList{"grid(0)." + suffix, "grid." + suffix, "single." + suffix}));
        for (const auto& [name, picture] :
             {std::pair{"grid", gridPicture}, std::pair{"single", singlePicture}}) {
            const QString path = out + "/" + name + "." + suffix;
            QCOMPARE(QImageReader(path).format(), imageFormat);
            const QImage image(path);
            QCOMPARE(image.size(), picture.size());
            QVERIFY2(psnr(image.convertToFormat(QImage::Format_RGB32), picture) > 30, qPrintable(path));
        }
        // The question's yes opened the output folder.
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls.first().toLocalFile(), out);
    }

    void outputNamesNeverReplaceExistingFiles()
    {
        openWindow();
        QFile existing(out + "/grid.jpg");
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("keep");
        existing.close();
        window->addHeicFiles({sources + "/grid.heic", sources + "/single.HEIC"});

        convertInto(out);
        QCOMPARE(fileBytes(out + "/grid.jpg"), QByteArray("keep"));
        QVERIFY(!QImage(out + "/grid(0).jpg").isNull());
        QVERIFY(!QImage(out + "/single.jpg").isNull());
        QVERIFY(catcher.urls.isEmpty());

        // Converting again goes through every row once more, into fresh names.
        stateChanges.clear();
        convertInto(out);
        QCOMPARE(stateChanges, (QStringList{"0:waiting", "1:waiting", "0:converting", "0:success",
                                            "1:converting", "1:success"}));
        QCOMPARE(QDir(out).entryList(QDir::Files, QDir::Name),
                 (QStringList{"grid(0).jpg", "grid(1).jpg", "grid.jpg", "single(0).jpg", "single.jpg"}));
    }

    void aBrokenFileFailsAndTheBatchGoesOn()
    {
        openWindow();
        const QString flaky = out + "/../flaky.heic";
        QFile::remove(flaky);
        QVERIFY(QFile::copy(sources + "/broken.heic", flaky));
        window->addHeicFiles({flaky, sources + "/single.HEIC"});
        window->fliterComboBox->setCurrentIndex(1);
        // A file dropped while the first converts joins the end of this batch, in its format.
        auto dropOnce = connect(window->listWidget->model(), &QAbstractItemModel::dataChanged, this, [this] {
            if (window->listWidget->topLevelItemCount() != 2 ||
                window->listWidget->topLevelItem(0)->text(3) != "converting")
                return;
            // Right after the worker has started.
            QTimer::singleShot(0, this, [this] {
                QMimeData mime;
                mime.setUrls({QUrl::fromLocalFile(sources + "/grid.heic")});
                QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton,
                                      Qt::NoModifier);
                QApplication::sendEvent(window.get(), &enter);
                QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(window.get(), &drop);
            });
        });

        convertInto(out);
        disconnect(dropOnce);
        QCOMPARE(questionsAsked, 1);
        // The count is of the batch as it stands: the dropped file joined it.
        QCOMPARE(progress, (QStringList{"Converting 1 of 2: flaky.heic", "Converting 2 of 3: single.HEIC",
                                        "Converting 3 of 3: grid.heic"}));
        const QString reason = window->listWidget->topLevelItem(0)->toolTip(3);
        QVERIFY(!reason.isEmpty());
        QCOMPARE(column(window->listWidget, 3), (QStringList{"failed: " + reason, "success", "success"}));
        QCOMPARE(column(window->listWidget, 2), (QStringList{"1", "1", "1"}));
        QVERIFY(window->listWidget->topLevelItem(1)->toolTip(3).isEmpty());
        // Drawn in a red that reads on the list's white (4.5:1 at least); the others stay as they were.
        QCOMPARE(darkestInStateCell(0).hue(), 0);
        QVERIFY2(contrastOnWhite(darkestInStateCell(0)) >= 4.5, qPrintable(darkestInStateCell(0).name()));
        QCOMPARE(darkestInStateCell(1).saturation(), 0);
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                 (QStringList{"grid.png", "single.png"}));

        // Mended and converted again: the old reason goes with the old state.
        QVERIFY(QFile::remove(flaky));
        QVERIFY(QFile::copy(sources + "/grid.heic", flaky));
        convertInto(out);
        QCOMPARE(column(window->listWidget, 3), (QStringList{"success", "success", "success"}));
        QVERIFY(window->listWidget->topLevelItem(0)->toolTip(3).isEmpty());
        QVERIFY(!QImage(out + "/flaky.png").isNull());
    }

    // Stop, or closing the window, mid-file: the tools are killed at once, nothing half-written stays, the
    // rows wait again, no question is asked, and the photo's tiles go with the work folder.
    void stoppingMidFileLeavesNothing_data()
    {
        QTest::addColumn<bool>("closing");
        QTest::newRow("Stop") << false;
        QTest::newRow("closing the window") << true;
    }
    void stoppingMidFileLeavesNothing()
    {
        QFETCH(bool, closing);
        openWindow();
        // A 12-megapixel phone photo where the samples are, else the largest fixture.
        const QString samples = samplesFolder();
        window->addHeicFiles(
            {samples.isEmpty() ? sources + "/large.heic" : samples + "/iphone-portrait-3024x4032.heic",
             sources + "/grid.heic"});
        bool pressedWhileConverting = false;
        bool pressed = false;
        bool watching = false;
        connect(window->listWidget->model(), &QAbstractItemModel::dataChanged, this, [&] {
            if (watching || !window->listWidget->topLevelItem(0)->text(3).startsWith("converting"))
                return;
            watching = true;
            // Once the decoders are under way: the first tile picture is there.
            auto* poll = new QTimer(this);
            connect(poll, &QTimer::timeout, this, [&, poll] {
                const QDir decoded(QDir::tempPath() + "/Brembloc/Vornetta/thumb/jpeg");
                if (decoded.entryList(QDir::Files).isEmpty() && window->covertThread->isRunning())
                    return;
                poll->deleteLater();
                pressedWhileConverting = window->covertThread->isRunning();
                pressed = true;
                QTest::mouseClick(closing ? static_cast<QWidget*>(window->closeButton) : window->stopButton,
                                  Qt::LeftButton);
            });
            poll->start(2);
        });
        answerFolderChooser(out);
        QTest::mouseClick(window->toJpgButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(pressed && window->loadingWidget->isHidden(), 30000);

        QVERIFY(pressedWhileConverting);
        QCOMPARE(window->isVisible(), !closing);
        QVERIFY(!window->covertThread->isRunning());
        QVERIFY(childProcesses().isEmpty());
        // The worker's end starts nothing more and asks nothing.
        QTest::qWait(300);
        QCOMPARE(column(window->listWidget, 3), (QStringList{"waiting", "waiting"}));
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + "/Brembloc/Vornetta/thumb"));
    }

    // The whole job by keyboard: Add HEIC twice, Ctrl+S, a batch that lands on
    // Stop and refuses what the mouse cannot reach under the panel, Escape, then Space on Save and Return on
    // the question at the end.
    void aBatchByKeyboard()
    {
        openWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), Qt::Key_Tab);
        for (const char* file : {"/large.heic", "/grid.heic"}) {
            answerWhenShown<QFileDialog>(
                [this, file](QFileDialog* dialog) { pickInFileDialog(dialog, sources + file); });
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            QTRY_COMPARE(QApplication::focusWidget(), window->addMediaButton);
        }
        QCOMPARE(column(window->listWidget, 3), (QStringList{"waiting", "waiting"}));

        answerFolderChooser(out);
        QTest::keySequence(window.get(), QKeySequence("Ctrl+S"));
        QVERIFY(window->loadingWidget->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), window->stopButton);
        QVERIFY(window->findChild<FocusMark*>()->isVisible());
        // Stop's description repeats the progress line for a screen reader resting on it.
        QCOMPARE(QAccessible::queryAccessibleInterface(window->stopButton)->text(QAccessible::Description),
                 QString("Converting 1 of 2: large.heic"));
        for (const char* refused : {"Ctrl+O", "Ctrl+S", "Ctrl+A", "Del", "Menu", "Alt+F"})
            QTest::keySequence(window.get(), QKeySequence(refused));
        QVERIFY(!QApplication::activeModalWidget() && !QApplication::activePopupWidget());
        QCOMPARE(window->listWidget->topLevelItemCount(), 2);
        QVERIFY(window->listWidget->selectedItems().isEmpty());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(window->loadingWidget->isHidden(), 30000);
        QCOMPARE(column(window->listWidget, 3), (QStringList{"waiting", "waiting"}));
        QCOMPARE(QApplication::focusWidget(), window->toJpgButton);

        answerFolderChooser(out);
        answerWhenShown<MyMessageBoxWidget>(
            [](MyMessageBoxWidget* dialog) {
                // The focus starts on OK, which Return then presses.
                QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
            },
            120000);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QTRY_COMPARE_WITH_TIMEOUT(catcher.urls.size(), 1, 120000);
        QCOMPARE(column(window->listWidget, 3), (QStringList{"success", "success"}));
    }

    // What the batch's end tells: the question when every file converted, the failures first when some
    // failed, no folder to open when none converted, and a folder that no file manager opened.
    void theEndOfABatchTellsHowItWent_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("fileManager");
        QTest::addColumn<QStringList>("told");
        QTest::addColumn<int>("opened");
        const QString question = "Do you want open the output folder? |OK NO";
        QTest::newRow("all converted") << QStringList{"single.HEIC"} << true << QStringList{question} << 1;
        QTest::newRow("some failed") << QStringList{"broken.heic", "single.HEIC"} << true
                                     << QStringList{"1 of 2 files could not be converted.\n" + question} << 1;
        QTest::newRow("none converted")
            << QStringList{"broken.heic"} << true << QStringList{"No file could be converted.|OK"} << 0;
        QTest::newRow("no file manager")
            << QStringList{"single.HEIC"} << false
            << QStringList{question, "The output folder could not be opened:\nOUT|OK"} << 0;
    }
    void theEndOfABatchTellsHowItWent()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, fileManager);
        QFETCH(QStringList, told);
        QFETCH(int, opened);
        openWindow();
        window->addHeicFiles(files.replaceInStrings(QRegularExpression("^"), sources + "/"));
        // A handler Qt cannot call fails the opening as a missing file manager does.
        if (!fileManager)
            QDesktopServices::setUrlHandler("file", &catcher, "noSuchSlot");
        convertInto(out, true, static_cast<int>(told.size()));
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        QCOMPARE(messages, told.replaceInStrings("OUT", out));
        QCOMPARE(catcher.urls.size(), opened);
    }

    // The ▼ menu's JPG quality reaches the saved file: its quantisation tables are the writer's at it.
    void jpgQualityFromTheMenu_data()
    {
        QTest::addColumn<QString>("stored");  // before the window opens
        QTest::addColumn<int>("pick");        // the quality menu's entry, or -1
        QTest::addColumn<QString>("checked"); // before the pick
        QTest::addColumn<int>("quality");
        QTest::newRow("the writer's own") << QString() << -1 << "Standard (75)" << 75;
        QTest::newRow("High") << QString() << 1 << "Standard (75)" << 90;
        QTest::newRow("Best") << QString() << 2 << "Standard (75)" << 95;
        QTest::newRow("back to Standard") << "95" << 0 << "Best (95)" << 75;
    }
    void jpgQualityFromTheMenu()
    {
        QFETCH(QString, stored);
        QFETCH(int, pick);
        QFETCH(QString, checked);
        QFETCH(int, quality);
        if (!stored.isEmpty())
            writeSetting("JpgQuality", stored);
        openWindow();
        QCOMPARE(window->qualityGroup->checkedAction()->text(), checked);
        if (pick >= 0) {
            // Down to "JPG quality", the fifth entry, into it, and down to the pick.
            answerWhenShown<QMenu>([pick](QMenu* menu) {
                for (int down = 0; down < 5; ++down)
                    QTest::keyClick(menu, Qt::Key_Down);
                QTest::keyClick(menu, Qt::Key_Right);
                for (int down = 0; down < pick; ++down)
                    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Down);
                QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Return);
            });
            QTest::mouseClick(window->menuButton, Qt::LeftButton);
            QCOMPARE(readSetting("JpgQuality"), QString::number(quality));
            QCOMPARE(window->qualityGroup->checkedAction()->data().toInt(), quality);
        }
        window->addHeicFiles({sources + "/single.HEIC"});
        convertInto(out);
        // The first quantisation table (DQT marker, length and 65 bytes), which the quality alone decides.
        const auto table = [](const QByteArray& jpeg) { return jpeg.mid(jpeg.indexOf("\xff\xdb"), 69); };
        QCOMPARE(table(fileBytes(out + "/single.jpg")),
                 table(encodedPicture(singlePicture, "JPEG", quality)));
    }
};

VORNETTA_TEST_MAIN(ConversionBatchTest)
#include "tst_conversionbatch.moc"
