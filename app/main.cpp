// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QCoreApplication>
#include <QLocale>

#include "gui/quitsignals.h"
#include "gui/singleinstance.h"
#include "gui/startup.h"
#include "gui/translations.h"
#include "mainwindow/heicmainwidget.h"

int main(int argc, char* argv[])
{
    // QApplication takes its own options (-platform, -style ...) out of argv; the rest are files.
    QApplication application(argc, argv);
    applicationFolder = QCoreApplication::applicationDirPath();
    QCoreApplication::addLibraryPath(applicationFolder);

    // One window per session: a window already running takes the files, and this start ends.
    const QList<QByteArray> files = commandLineFiles(argc, argv);
    SingleInstance instance;
    switch (instance.start(files)) {
    case SingleInstance::Role::HandedOver:
        return 0;
    case SingleInstance::Role::NoAnswer:
        std::fputs("vornetta: the running window does not answer\n", stderr);
        return 1;
    case SingleInstance::Role::Window:
        break;
    }

    installTranslations(applicationFolder + "/translations", QLocale::system().uiLanguages());
    loadApplicationFonts(applicationFolder);
    quitOnTerminationSignals();
    const std::unique_ptr<HEICMainWidget> window = openMainWindow(files, &instance);
    return application.exec();
}
