// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QMimeData>
#include <QMovie>
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
#include "widgets/mymessageboxwidget.h"
#include "widgets/mypushbutton.h"
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
                        const QString state = list->topLevelItem(row)->text(3);
                        if (lastState.value(row) != state)
                            stateChanges.append(QString::number(row) + ":" + state);
                        lastState[row] = state;
                    }
                });
    }

    // Clicks the convert button, picks the output folder, and answers the closing question.
    void convertInto(const QString& folder, bool openFolder = false)
    {
        const int asked = questionsAsked;
        answerFolderChooser(folder);
        answerWhenShown<MyMessageBoxWidget>(
            [this, openFolder](MyMessageBoxWidget* dialog) {
                ++questionsAsked;
                questionCentre = dialog->geometry().center();
                if (openFolder)
                    dialog->OK_slots();
                else
                    dialog->No_slots();
            },
            120000);
        QTest::mouseClick(window->toJpgButton, Qt::LeftButton);
        // The first file is under way: the loading panel covers the window and turns.
        QVERIFY(window->loadingWidget->isVisible());
        QCOMPARE(window->loadingMovie->state(), QMovie::Running);
        QTRY_COMPARE_WITH_TIMEOUT(questionsAsked, asked + 1, 120000);
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
        window->addHeicFiles({sources + "/grid.heic", sources + "/single.HEIC", sources + "/grid.heic"});
        window->fliterComboBox->setCurrentIndex(formatIndex);
        stateChanges.clear();

        convertInto(out, true);

        // One row at a time, top to bottom; the same file twice gets a numbered second name.
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
        QCOMPARE(column(window->listWidget, 3), (QStringList{"failed", "success", "success"}));
        QCOMPARE(column(window->listWidget, 2), (QStringList{"1", "1", "1"}));
        const QString reason = window->listWidget->topLevelItem(0)->toolTip(3);
        QVERIFY(!reason.isEmpty());
        QVERIFY(window->listWidget->topLevelItem(1)->toolTip(3).isEmpty());
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

    void closingMidBatchStopsTheWorkerAndLeavesNothing()
    {
        openWindow();
        window->addHeicFiles({sources + "/large.heic", sources + "/grid.heic"});
        bool closedWhileConverting = false;
        QElapsedTimer closing;
        qint64 closeTook = -1;
        bool watching = false;
        connect(window->listWidget->model(), &QAbstractItemModel::dataChanged, this, [&] {
            if (watching || window->listWidget->topLevelItem(0)->text(3) != "converting")
                return;
            watching = true;
            // Close once the decoders are under way: the first tile picture is there.
            auto* poll = new QTimer(this);
            connect(poll, &QTimer::timeout, this, [&, poll] {
                const QDir decoded(QDir::tempPath() + "/Brembloc/Vornetta/thumb/jpeg");
                if (decoded.entryList(QDir::Files).isEmpty() && window->covertThread->isRunning())
                    return;
                poll->deleteLater();
                closedWhileConverting = window->covertThread->isRunning();
                closing.start();
                QTest::mouseClick(window->closeButton, Qt::LeftButton);
                closeTook = closing.elapsed();
            });
            poll->start(2);
        });
        answerFolderChooser(out);
        answerWhenShown<MyMessageBoxWidget>(
            [this](MyMessageBoxWidget* dialog) {
                ++questionsAsked;
                dialog->No_slots();
            },
            30000);
        QTest::mouseClick(window->toJpgButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(closeTook >= 0, 30000);

        QVERIFY(closedWhileConverting);
        QVERIFY2(closeTook < 2500, QByteArray::number(closeTook));
        QVERIFY(!window->isVisible());
        QVERIFY(!window->covertThread->isRunning());
        QVERIFY(childProcesses().isEmpty());
        // The worker's end arrives after the close and starts nothing more.
        QTest::qWait(300);
        QCOMPARE(column(window->listWidget, 3), (QStringList{"failed", "waiting"}));
        QVERIFY(!window->covertThread->isRunning());
        QCOMPARE(questionsAsked, 0);
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList());
    }
};

VORNETTA_TEST_MAIN(ConversionBatchTest)
#include "tst_conversionbatch.moc"
