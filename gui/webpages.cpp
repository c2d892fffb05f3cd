// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/webpages.h"

#include <QDesktopServices>
#include <QUrl>

#include "core/weblinks.h"
#include "mainwindow/heicmainwidget.h"

QString buildWebUrl(const QString& base)
{
    return buildWebUrl(base, mainWidget->language);
}

void openWebPage(const QString& base)
{
    QDesktopServices::openUrl(QUrl(buildWebUrl(base)));
}

bool openFolderInFileManager(const QString& folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}
