#include <QApplication>
#include <QCoreApplication>

#include "gui/startup.h"
#include "mainwindow/heicmainwidget.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    applicationFolder = QCoreApplication::applicationDirPath();
    QCoreApplication::addLibraryPath(applicationFolder);
    loadApplicationFonts(applicationFolder);

    HEICMainWidget window(nullptr);
    window.show();
    return application.exec();
}
