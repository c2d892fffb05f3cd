// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window does with a conversion batch: the convert button, one file after another on the
// worker, the loading panel with its progress line and Stop, the rows' outcomes and the closing question.
#include "mainwindow/heicmainwidget.h"

#include <QAction>
#include <QBrush>
#include <QColor>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMovie>
#include <QTreeWidget>

#include "core/filerules.h"
#include "core/settings.h"
#include "engine/covertthread.h"
#include "engine/files/workfolder.h"
#include "gui/webpages.h"
#include "mainwindow/failurereasons.h"
#include "mainwindow/listcolumns.h"
#include "widgets/mymessageboxwidget.h"
#include "widgets/mytempbutton2.h"

namespace {

// How long closing waits for a stopped conversion: the worker kills its tool at once, so this is
// only a bound for a machine under heavy load.
constexpr unsigned long kStopWaitMs = 2000;

// A failed row's state: a red of its own that reads at 6.5:1 on the list's white, 5:1 on a selected row.
const QColor kFailedColour(0xb7, 0x1c, 0x1c);

// A path cut in the middle to a length the message dialog shows on one line: the label breaks lines
// only at blanks.
QString elidedPath(const QString& path)
{
    constexpr int kLongest = 60;
    return path.size() <= kLongest ? path
                                   : path.left(kLongest / 2 - 1) + QChar(0x2026) + path.right(kLongest / 2);
}

} // namespace

void HEICMainWidget::toJpgButton_slots()
{
    if (listWidget->topLevelItemCount() == 0) {
        toJpgButton->setButtonEnabled(false);
        return;
    }
    const QString start = readFolderSetting("SaveVideoPath");
    const QString chosen = QFileDialog::getExistingDirectory(
        this, tr("Open Directory"), start, QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    activateWindow();
    if (chosen.isEmpty())
        return;
    savePath = chosen;
    if (!savePath.isEmpty())
        writeSetting("SaveVideoPath", savePath);
    // Every row goes again, converted ones too, into the folder just picked.
    batch.restart();
    for (int row = 0; row < batch.size(); ++row)
        showRow(row);
    startNextFile();
}

void HEICMainWidget::startNextFile()
{
    if (closing || covertThread->isRunning())
        return;
    const int row = findNextWaitingRow();
    if (row < 0) {
        if (!savePath.isEmpty())
            endBatch();
        return;
    }
    batch.start(row);
    showRow(row);
    QTreeWidgetItem* item = listWidget->topLevelItem(row);
    listWidget->scrollToItem(item);
    const QString source = item->text(kSourceColumn);
    // Only one file converts at a time, so a name found free here is still free when it is written.
    covertThread->itemIndex = row;
    covertThread->inputFile = source;
    covertThread->outputFile = freeOutputName(savePath, source, saveFormat);
    covertThread->format = saveFormat;
    // The quality is the JPG writer's; PNG's writer would take it as a compression level.
    covertThread->quality = saveFormat == "jpg" ? readJpgQuality() : -1;
    covertThread->start(QThread::InheritPriority);
    showProgress();
    stopButton->setButtonEnabled(true);
    showLoadingPanel(true);
}

void HEICMainWidget::covertThread_Finished()
{
    showLoadingPanel(false);
    const int row = covertThread->itemIndex;
    const bool stopped = stopping;
    stopping = false;
    if (row < 0)
        return;
    const bool listed = row < batch.size();
    if (stopped && !covertThread->succeeded) {
        // The stopped file waits again, like the rows after it; its tiles go with the work folder.
        if (listed) {
            batch.stop(row);
            showRow(row);
        }
        removeSharedWorkFolder();
        return;
    }
    // One bad file never holds up the rest of the batch.
    if (listed) {
        batch.finish(row, covertThread->succeeded, covertThread->failureReason);
        showRow(row);
    }
    if (!stopped)
        startNextFile();
}

void HEICMainWidget::stopButton_slots()
{
    if (!covertThread->isRunning())
        return;
    // The worker's end hides the panel, within a second: its tool is killed at once.
    stopping = true;
    // The panel keeps the focus of its disabled Stop until it hides, so the focus then goes back to Save.
    if (stopButton->hasFocus())
        loadingWidget->setFocus(Qt::OtherFocusReason);
    stopButton->setButtonEnabled(false);
    covertThread->requestStop();
}

void HEICMainWidget::showRow(int row)
{
    const Batch::Row& state = batch.row(row);
    QTreeWidgetItem* item = listWidget->topLevelItem(row);
    const bool done = state.state == Batch::State::Succeeded || state.state == Batch::State::Failed;
    item->setText(kDoneColumn, done ? "1" : "0");
    const QString reason = translatedFailureReason(state.reason);
    switch (state.state) {
    case Batch::State::Waiting:
        item->setText(kStateColumn, tr("waiting"));
        break;
    case Batch::State::Converting:
        item->setText(kStateColumn, tr("converting"));
        break;
    case Batch::State::Succeeded:
        item->setText(kStateColumn, tr("success"));
        break;
    case Batch::State::Failed:
        item->setText(kStateColumn, tr("failed: %1").arg(reason));
        break;
    }
    const bool failed = state.state == Batch::State::Failed;
    item->setToolTip(kStateColumn, reason);
    item->setForeground(kStateColumn, failed ? QBrush(kFailedColour) : QBrush());
}

void HEICMainWidget::showProgress()
{
    const int row = batch.converting();
    if (row < 0)
        return;
    const QString counted = tr("Converting %1 of %2: ").arg(batch.position()).arg(batch.size());
    // The style sheet's font size holds once the label is polished, which showing it does later.
    progressLabel->ensurePolished();
    const QFontMetrics metrics = progressLabel->fontMetrics();
    const int room = progressLabel->contentsRect().width() - metrics.horizontalAdvance(counted) - 12;
    const QString name = QFileInfo(batch.row(row).path).fileName();
    progressLabel->setText(counted + metrics.elidedText(name, Qt::ElideMiddle, room));
    // Said again when it changes to a screen reader on Stop, where a batch started by keyboard lands.
    stopButton->setAccessibleDescription(progressLabel->text());
}

void HEICMainWidget::endBatch()
{
    const int failed = batch.failedCount();
    QString text;
    switch (batch.outcome()) {
    case Batch::Outcome::AllConverted:
        text = tr("Do you want open the output folder? ");
        break;
    case Batch::Outcome::SomeFailed:
        text = tr("%1 of %2 files could not be converted.").arg(failed).arg(batch.size()) + "\n" +
               tr("Do you want open the output folder? ");
        break;
    case Batch::Outcome::NoneConverted:
        // An empty result is nothing to open.
        askOverWindow(tr("No file could be converted."), 1);
        return;
    }
    if (askOverWindow(text, 2))
        openButton_slots();
}

void HEICMainWidget::openButton_slots()
{
    if (savePath.isEmpty() || openFolderInFileManager(savePath))
        return;
    askOverWindow(tr("The output folder could not be opened:") + "\n" + elidedPath(savePath), 1);
}

bool HEICMainWidget::askOverWindow(const QString& text, int buttonCount)
{
    MyMessageBoxWidget dialog(nullptr);
    dialog.setMessage(text, buttonCount, 0);
    centerOnMainWindow(&dialog);
    dialog.exec();
    activateWindow();
    return dialog.okPressed;
}

void HEICMainWidget::slots_qualityAction(QAction* action)
{
    writeSetting("JpgQuality", QString::number(action->data().toInt()));
}

void HEICMainWidget::leaveNothingBehind()
{
    closing = true;
    if (covertThread->isRunning()) {
        stopping = true;
        covertThread->requestStop();
        covertThread->wait(kStopWaitMs);
    }
    removeSharedWorkFolder();
}
