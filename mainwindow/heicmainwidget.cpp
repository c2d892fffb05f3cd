#include "mainwindow/heicmainwidget.h"

#include <QIcon>

#include "app/settings.h"
#include "app/webpages.h"
#include "update/updatewidget.h"

HEICMainWidget* mainWidget = nullptr;

HEICMainWidget::HEICMainWidget(QWidget* parent)
    : QWidget(parent)
{
    mainWidget = this;
    language = "EN";
    setWindowTitle("Vornetta");
    setWindowIcon(QIcon(":/images/program.png"));
    resize(680, 520);
    updateWidget = new UpdateWidget;
    updateWidget->hide();
    savePath = readFolderSetting("SaveVideoPath");
}

void HEICMainWidget::openButton_slots()
{
    if (savePath.isEmpty())
        return;
    openFolderInFileManager(savePath);
}

void HEICMainWidget::centerOnMainWindow(QWidget* w)
{
    w->move(x() + (width() - w->width()) / 2, y() + (height() - w->height()) / 2);
}

void HEICMainWidget::showUpdateDialog(bool withCheck)
{
    updateWidget->layoutWidgets();
    updateWidget->refreshContent();
    if (withCheck)
        updateWidget->startCheck(false);
    centerOnMainWindow(updateWidget);
    updateWidget->exec();
}
