// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window does with its list (files joining it, its menu, the format) and its own actions
// (title-strip buttons, menus, moving the frameless window). The conversion batch is in
// heicmainwidgetbatch.cpp.
#include "mainwindow/heicmainwidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
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

#include "core/settings.h"
#include "core/weblinks.h"
#include "engine/covertthread.h"
#include "engine/picture/outputformat.h"
#include "gui/webpages.h"
#include "mainwindow/listcolumns.h"
#include "mainwindow/windowkeys.h"
#include "update/updatewidget.h"
#include "widgets/mymessageboxwidget.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton2.h"
#include "widgets/scalefactor.h"

namespace {

// The left-out message names this many files, and counts the rest.
constexpr int kLeftOutNamesTold = 5;
// A long name is cut in the middle to this many characters, so that each stays one line of the dialog.
constexpr int kLeftOutNameLength = 32;

QString shortName(const QString& name)
{
    const QString file = QFileInfo(name).fileName();
    const QString shown = file.isEmpty() ? name : file;
    if (shown.size() <= kLeftOutNameLength)
        return shown;
    const int half = (kLeftOutNameLength - 1) / 2;
    return shown.left(half) + QChar(0x2026) + shown.right(half);
}

} // namespace

// ---- The file list ----

void HEICMainWidget::addMediaButton_slots()
{
    const QString start = readFolderSetting("addVideoPath");
    const QStringList files =
        QFileDialog::getOpenFileNames(this, tr("Open File"), start, tr("Media") + " (*.heic)");
    // Back to the window with the keyboard, where no window manager hands it back.
    activateWindow();
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
    addIntake(takeDroppedUrls(event->mimeData()->urls()));
}

void HEICMainWidget::addHeicFiles(QStringList paths)
{
    if (paths.isEmpty())
        return;
    addIntake(takeHeicPaths(paths));
}

void HEICMainWidget::addNamedFiles(const QList<QByteArray>& paths)
{
    addIntake(takeNamedPaths(paths));
}

void HEICMainWidget::addIntake(const FileIntake& intake)
{
    for (const QString& path : intake.files) {
        // A file already waiting or converting keeps its one row.
        if (!batch.add(path))
            continue;
        auto* item = new QTreeWidgetItem(listWidget);
        item->setText(kPathColumn, path);
        item->setText(kSourceColumn, path);
        item->setToolTip(kPathColumn, path);
        item->setTextAlignment(kPathColumn, Qt::AlignLeft | Qt::AlignVCenter);
        showRow(batch.size() - 1);
    }
    refreshListState();
    // Rows dropped during a batch join its count.
    if (covertThread->isRunning())
        showProgress();
    tellLeftOut(intake.leftOut);
}

void HEICMainWidget::tellLeftOut(const QList<LeftOut>& leftOut)
{
    if (leftOut.isEmpty())
        return;
    QStringList lines{tr("Not added to the list:")};
    for (const LeftOut& file : leftOut.mid(0, kLeftOutNamesTold)) {
        QString reason;
        switch (file.reason) {
        case LeftOutReason::NotHeic:
            reason = tr("not a .heic file");
            break;
        case LeftOutReason::NotFound:
            reason = tr("not found");
            break;
        case LeftOutReason::NotAFile:
            reason = tr("not a file");
            break;
        case LeftOutReason::NotUtf8:
            reason = tr("the file name is not valid UTF-8");
            break;
        case LeftOutReason::NoHeifFile:
            reason = tr("no .heic, .heif or .hif file in it");
            break;
        case LeftOutReason::TooManyFiles:
            reason = tr("more than %1 files, the rest left out").arg(kMostFilesFromAFolder);
            break;
        }
        lines.append(shortName(file.name) + ": " + reason);
    }
    if (leftOut.size() > kLeftOutNamesTold)
        lines.append(tr("and %1 more").arg(leftOut.size() - kLeftOutNamesTold));

    // Told once per offer, beside the window: the files that did join are in the list already.
    if (leftOutDialog)
        leftOutDialog->close();
    leftOutDialog = new MyMessageBoxWidget(this);
    leftOutDialog->setAttribute(Qt::WA_DeleteOnClose);
    leftOutDialog->setMessage(lines.join('\n'), 1, 0);
    centerOnMainWindow(leftOutDialog);
    connect(leftOutDialog, &QDialog::finished, this, &QWidget::activateWindow);
    leftOutDialog->show();
}

void HEICMainWidget::refreshListState()
{
    const bool hasRows = listWidget->topLevelItemCount() > 0;
    toJpgButton->setButtonEnabled(hasRows);
    dropLabel->setVisible(!hasRows);
}

int HEICMainWidget::findNextWaitingRow()
{
    return batch.nextWaiting();
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
    batch.clear();
    refreshListState();
}

void HEICMainWidget::fliterComboBox_slots()
{
    // The box lists the formats in their own order; anything else (no item) is JPG.
    const int index = fliterComboBox->currentIndex();
    const bool listed = index >= 0 && index < int(kOutputFormats.size());
    saveFormat = outputFormatName(listed ? kOutputFormats[std::size_t(index)] : OutputFormat::Jpg);
    toJpgButton->setText(tr("Save to %1").arg(saveFormat.toUpper()));
    toJpgButton->setToolTip(withKeys(toJpgButton->text(), windowkeys::convert()));
}

// ---- The window's own actions ----

void HEICMainWidget::closeEvent(QCloseEvent* event)
{
    // A conversion in progress is stopped and awaited, so no tool outlives the program and no
    // half-written output is left behind.
    leaveNothingBehind();
    showLoadingPanel(false);
    if (leftOutDialog)
        leftOutDialog->close();
    event->accept();
}

bool HEICMainWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == loadingWidget && event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(listWidget->viewport(), event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
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
    activateWindow();
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
