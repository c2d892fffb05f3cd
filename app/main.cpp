// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include <QApplication>
#include <QCoreApplication>

#include "gui/quitsignals.h"
#include "gui/startup.h"
#include "mainwindow/heicmainwidget.h"

int main(int argc, char* argv[])
{
    // QApplication takes its own options (-platform, -style ...) out of argv; the rest are files.
    QApplication application(argc, argv);
    applicationFolder = QCoreApplication::applicationDirPath();
    QCoreApplication::addLibraryPath(applicationFolder);
    loadApplicationFonts(applicationFolder);
    quitOnTerminationSignals();

    const std::unique_ptr<HEICMainWidget> window = openMainWindow(QCoreApplication::arguments());
    return application.exec();
}
