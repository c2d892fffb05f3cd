// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>
#include <memory>
#include <numeric>

#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QSet>
#include <QTreeWidget>

#include "core/settings.h"
#include "core/weblinks.h"
#include "engine/covertthread.h"
#include "engine/process/toolrunner.h"
#include "fixtures/heicfixtures.h"
#include "mainwindow/heicmainwidget.h"
#include "tests/engine/fakeprogramfolder.h"
#include "tests/mainwindow/windowdriver.h"
#include "tests/support/memory.h"
#include "tests/support/testmain.h"
#include "widgets/mymessageboxwidget.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton2.h"

using namespace vornetta::test;

namespace {

constexpr int kFileCount = 200;

double mean(const QList<qint64>& values, int from, int count)
{
    return std::accumulate(values.begin() + from, values.begin() + from + count, 0.0) / count;
}

// Least-squares slope of values against their index.
double slope(const QList<qint64>& values)
{
    const int n = int(values.size());
    const double meanX = (n - 1) / 2.0;
    const double meanY = mean(values, 0, n);
    double covariance = 0;
    double variance = 0;
    for (int i = 0; i < n; ++i) {
        covariance += (i - meanX) * (values[i] - meanY);
        variance += (i - meanX) * (i - meanX);
    }
    return covariance / variance;
}

// The name of file number index: blanks, quotes, brackets, letters from many scripts, and pairs of names
// that differ only in case. Base names hold no dot, since the output takes the name up to the first dot.
QString soakName(int index)
{
    static const QStringList patterns = {
        "photo %1.heic",          "PHOTO %1.heic",      "Ünïcödé été %1.HEIC", "фото отпуск %1.heic",
        "写真 %1.heic",           "it's mine %1.heic",  "\"quoted\" %1.heic",  "[bracket] (copy) %1.HEIC",
        " leading blank %1.heic", "ελληνικά 😀 %1.heic",
    };
    return patterns[index % patterns.size()].arg(index / patterns.size());
}

} // namespace

// Hundreds of files in one batch through the window with the real splitter and decoder: nothing is lost or
// mixed up, memory stays flat, and the window keeps answering all along.
class SoakTest final : public QObject
{
    Q_OBJECT

private:
    UrlCatcher catcher;
    QList<QImage> pictures;

private slots:
    void initTestCase()
    {
        overrideProgramFolder(vornetta::test::programFolder().toStdString());
        overrideUpdateHost("http://127.0.0.1:9");
        QDesktopServices::setUrlHandler("file", &catcher, "open");
        QSettings(kOrganisationName, kApplicationName).clear();
        silenceDailyUpdateCheck();
    }
    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler("file");
        overrideUpdateHost(QString());
    }

    void twoHundredFilesConvertInOneBatch()
    {
        // Four small fixtures, made once: two grids of 64 x 64 tiles and two single images.
        const QString fixtures = QDir::tempPath() + "/fixtures";
        QVERIFY(QDir().mkpath(fixtures));
        pictures = {drawTestPicture(128, 128), drawTestPicture(192, 128), drawTestPicture(96, 64),
                    drawTestPicture(64, 96)};
        QCOMPARE(writeGridHeic(pictures[0], 64, 64, fixtures + "/0.heic"), QString());
        QCOMPARE(writeGridHeic(pictures[1], 64, 64, fixtures + "/1.heic"), QString());
        QCOMPARE(writeSingleHeic(pictures[2], fixtures + "/2.heic"), QString());
        QCOMPARE(writeSingleHeic(pictures[3], fixtures + "/3.heic"), QString());

        const QString sources = QDir::tempPath() + "/sources";
        const QString out = QDir::tempPath() + "/out";
        QVERIFY(QDir().mkpath(sources));
        QVERIFY(QDir().mkpath(out));
        QList<QUrl> urls;
        QSet<QString> names;
        for (int i = 0; i < kFileCount; ++i) {
            const QString path = sources + "/" + soakName(i);
            QVERIFY2(QFile::copy(fixtures + "/" + QString::number(i % pictures.size()) + ".heic", path),
                     qPrintable(path));
            urls.append(QUrl::fromLocalFile(path));
            names.insert(soakName(i));
        }
        QCOMPARE(names.size(), kFileCount);

        HEICMainWidget window(nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
        QTreeWidget* list = window.listWidget;
        QCOMPARE(list->topLevelItemCount(), kFileCount);

        // The resident set after each row ends, in the order the rows end.
        QList<qint64> residentAfterRow;
        QStringList endStates(kFileCount);
        // Goes before the lists it fills, whatever the window does while it closes.
        QObject rowWatcher;
        connect(list->model(), &QAbstractItemModel::dataChanged, &rowWatcher,
                [&](const QModelIndex& from, const QModelIndex& to) {
                    for (int row = from.row(); row <= to.row(); ++row) {
                        const QString state = rowState(list->topLevelItem(row));
                        if ((state == "success" || state == "failed") && endStates[row].isEmpty()) {
                            endStates[row] = state;
                            residentAfterRow.append(residentKiB());
                        }
                    }
                });

        bool asked = false;
        answerFolderChooser(out);
        answerWhenShown<MyMessageBoxWidget>(
            [&](MyMessageBoxWidget* dialog) {
                asked = true;
                dialog->No_slots();
            },
            150000);
        QTest::mouseClick(window.toJpgButton, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(asked, 150000);
        QVERIFY(!window.covertThread->isRunning());

        // Every row succeeded, each into its own file holding its own picture.
        for (int row = 0; row < kFileCount; ++row)
            QVERIFY2(list->topLevelItem(row)->text(3) == "success",
                     qPrintable(soakName(row) + ": " + list->topLevelItem(row)->toolTip(3)));
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden).size(), kFileCount);
        for (int i = 0; i < kFileCount; ++i) {
            const QString path = out + "/" + QFileInfo(soakName(i)).baseName() + ".jpg";
            const QImage image(path);
            const QImage& picture = pictures[i % pictures.size()];
            QVERIFY2(image.size() == picture.size(), qPrintable(path));
            const double quality = psnr(image.convertToFormat(QImage::Format_RGB32), picture);
            // Two lossy steps (HEVC, then JPG) on pictures this small and sharp: high 20s dB at worst.
            QVERIFY2(quality > 26, qPrintable(path + ": " + QString::number(quality)));
        }
        QVERIFY(childProcesses().isEmpty());

        // Memory: the last quarter of the batch against the first, past the first few files that warm up
        // Qt's caches and the thread's buffers.
        QCOMPARE(residentAfterRow.size(), kFileCount);
        QVERIFY(residentAfterRow.first() > 0);
        const int quarter = kFileCount / 4;
        const double firstQuarter = mean(residentAfterRow, 5, quarter);
        const double lastQuarter = mean(residentAfterRow, kFileCount - quarter, quarter);
        const double growthPerFile = slope(residentAfterRow.mid(5));
        qInfo("batch of %d files: resident set %lld kB after the first file, %lld kB after the last; "
              "first quarter %.0f kB, last quarter %.0f kB, fitted growth %.2f kB per file",
              kFileCount, residentAfterRow.first(), residentAfterRow.last(), firstQuarter, lastQuarter,
              growthPerFile);
        // Keeping one decoded picture per file (24 to 96 kB here) would pass both bounds: 150 files apart,
        // the quarters would differ by more than 4 MB, and the fit would rise by more than 16 kB a file.
        QVERIFY2(lastQuarter - firstQuarter < 4 * 1024,
                 qPrintable(QString::number(lastQuarter - firstQuarter)));
        QVERIFY2(growthPerFile < 16, qPrintable(QString::number(growthPerFile)));
    }
};

VORNETTA_TEST_MAIN(SoakTest)
#include "tst_soak.moc"
