// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window does: the file list and queue, the conversion batch, and the window's own
// actions (title-strip buttons, menus, moving the frameless window).
#include "mainwindow/heicmainwidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QMovie>
#include <QTreeWidget>
#include <QUrl>

#include "core/filerules.h"
#include "core/settings.h"
#include "core/weblinks.h"
#include "engine/covertthread.h"
#include "engine/picture/outputformat.h"
#include "gui/webpages.h"
#include "mainwindow/listcolumns.h"
#include "update/updatewidget.h"
#include "widgets/mymessageboxwidget.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton2.h"
#include "widgets/scalefactor.h"

namespace {

// How long closing waits for a stopped conversion: the worker kills its tool at once, so this is
// only a bound for a machine under heavy load.
constexpr unsigned long kStopWaitMs = 2000;

void markWaiting(QTreeWidgetItem* item)
{
    item->setText(kDoneColumn, "0");
    item->setText(kStateColumn, "waiting");
    item->setToolTip(kStateColumn, QString());
}

} // namespace

// ---- The file list ----

void HEICMainWidget::addMediaButton_slots()
{
    const QString start = readFolderSetting("addVideoPath");
    const QStringList files = QFileDialog::getOpenFileNames(this, tr("Open File"), start, "Media (*.heic)");
    if (files.isEmpty())
        return;
    // The folder keeps its trailing "/"; it is stored even when no picked file turns out acceptable.
    const QString& first = files.first();
    writeSetting("addVideoPath", first.left(first.length() - QFileInfo(first).fileName().length()));
    addHeicFiles(files);
}

void HEICMainWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void HEICMainWidget::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasUrls())
        return;
    // A URL that is not a local file gives an empty path, which the suffix test turns away.
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        paths.append(url.toLocalFile());
    addHeicFiles(paths);
}

void HEICMainWidget::addHeicFiles(QStringList paths)
{
    if (paths.isEmpty())
        return;
    for (const QString& path : paths) {
        if (!isAcceptedHeicPath(path))
            continue;
        auto* item = new QTreeWidgetItem(listWidget);
        item->setText(kPathColumn, path);
        item->setText(kSourceColumn, path);
        item->setText(kDoneColumn, "0");
        item->setToolTip(kPathColumn, path);
        item->setText(kStateColumn, "waiting");
        item->setTextAlignment(kPathColumn, Qt::AlignLeft | Qt::AlignVCenter);
    }
    refreshListState();
}

void HEICMainWidget::refreshListState()
{
    const bool hasRows = listWidget->topLevelItemCount() > 0;
    toJpgButton->setButtonEnabled(hasRows);
    dropLabel->setVisible(!hasRows);
}

int HEICMainWidget::findNextWaitingRow()
{
    for (int row = 0; row < listWidget->topLevelItemCount(); ++row) {
        if (listWidget->topLevelItem(row)->text(kDoneColumn) == "0")
            return row;
    }
    return -1;
}

void HEICMainWidget::listWidgetPressed_slots(QTreeWidgetItem* item, int col)
{
    Q_UNUSED(item);
    Q_UNUSED(col);
    if (QApplication::mouseButtons() == Qt::RightButton)
        listMenu->exec(QCursor::pos());
}

void HEICMainWidget::slots_removeAllAction()
{
    listWidget->clear();
    refreshListState();
}

void HEICMainWidget::fliterComboBox_slots()
{
    // The box lists the formats in their own order; anything else (no item) is JPG.
    const int index = fliterComboBox->currentIndex();
    const bool listed = index >= 0 && index < int(kOutputFormats.size());
    saveFormat = outputFormatName(listed ? kOutputFormats[std::size_t(index)] : OutputFormat::Jpg);
    toJpgButton->setText(tr("Save to ") + saveFormat.toUpper());
}

// ---- The conversion batch ----

void HEICMainWidget::toJpgButton_slots()
{
    if (listWidget->topLevelItemCount() == 0) {
        toJpgButton->setButtonEnabled(false);
        return;
    }
    const QString start = readFolderSetting("SaveVideoPath");
    const QString chosen = QFileDialog::getExistingDirectory(
        this, tr("Open Directory"), start, QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (chosen.isEmpty())
        return;
    savePath = chosen;
    if (!savePath.isEmpty())
        writeSetting("SaveVideoPath", savePath);
    // Every row goes again, converted ones too, into the folder just picked.
    for (int row = 0; row < listWidget->topLevelItemCount(); ++row)
        markWaiting(listWidget->topLevelItem(row));
    startNextFile();
}

void HEICMainWidget::startNextFile()
{
    if (closing || covertThread->isRunning())
        return;
    const int row = findNextWaitingRow();
    if (row >= 0) {
        QTreeWidgetItem* item = listWidget->topLevelItem(row);
        item->setText(kStateColumn, "converting");
        const QString source = item->text(kSourceColumn);
        // Only one file converts at a time, so a name found free here is still free when it is written.
        covertThread->itemIndex = row;
        covertThread->inputFile = source;
        covertThread->outputFile = freeOutputName(savePath, source, saveFormat);
        covertThread->format = saveFormat;
        covertThread->start(QThread::InheritPriority);
        loadingWidget->show();
        loadingMovie->start();
        return;
    }
    if (savePath.isEmpty())
        return;
    MyMessageBoxWidget dialog(nullptr);
    dialog.setMessage(tr("Do you want open the output folder? "), 2, 0);
    centerOnMainWindow(&dialog);
    dialog.exec();
    if (dialog.okPressed)
        openButton_slots();
}

void HEICMainWidget::covertThread_Finished()
{
    loadingWidget->hide();
    loadingMovie->stop();
    const int row = covertThread->itemIndex;
    if (row < 0)
        return;
    // The flag moves on either way, so one bad file never holds up the rest of the batch.
    if (QTreeWidgetItem* item = listWidget->topLevelItem(row)) {
        item->setText(kDoneColumn, "1");
        if (covertThread->succeeded) {
            item->setText(kStateColumn, "success");
        } else {
            item->setText(kStateColumn, "failed");
            item->setToolTip(kStateColumn, covertThread->failureReason);
        }
    }
    startNextFile();
}

void HEICMainWidget::openButton_slots()
{
    if (savePath.isEmpty())
        return;
    openFolderInFileManager(savePath);
}

void HEICMainWidget::stopConversion()
{
    if (!covertThread->isRunning())
        return;
    covertThread->requestStop();
    covertThread->wait(kStopWaitMs);
}

// ---- The window's own actions ----

void HEICMainWidget::closeEvent(QCloseEvent* event)
{
    // A conversion in progress is stopped and awaited, so no tool outlives the program and no
    // half-written output is left behind.
    closing = true;
    stopConversion();
    loadingWidget->hide();
    loadingMovie->stop();
    event->accept();
}

void HEICMainWidget::closeButton_slots()
{
    close();
}

void HEICMainWidget::minButton_slots()
{
    showMinimized();
}

void HEICMainWidget::menuButton_slots()
{
    mainMenu->exec(QPoint(x() + width() - scaled(125), y() + menuButton->height()));
}

void HEICMainWidget::slots_helpAction()
{
    openWebPage(supportPageBase());
}

void HEICMainWidget::slots_supportAction()
{
    openWebPage(supportPageBase());
}

void HEICMainWidget::slots_homepageAction()
{
    openWebPage(homePageBase());
}

void HEICMainWidget::slots_checkUpgradeAction()
{
    showUpdateDialog(true);
}

void HEICMainWidget::showUpdateDialog(bool withCheck)
{
    updateWidget->layoutWidgets();
    updateWidget->refreshContent();
    if (withCheck)
        updateWidget->startCheck(false);
    centerOnMainWindow(updateWidget.get());
    updateWidget->exec();
}

void HEICMainWidget::centerOnMainWindow(QWidget* w)
{
    w->move(x() + (width() - w->width()) / 2, y() + (height() - w->height()) / 2);
}

void HEICMainWidget::mousePressEvent(QMouseEvent* e)
{
    windowDrag.press(e->pos());
}

void HEICMainWidget::mouseMoveEvent(QMouseEvent* e)
{
    windowDrag.move(e->pos());
}

void HEICMainWidget::mouseReleaseEvent(QMouseEvent* e)
{
    Q_UNUSED(e);
    windowDrag.release();
}
