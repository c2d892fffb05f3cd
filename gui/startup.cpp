// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/startup.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

#include "gui/singleinstance.h"
#include "mainwindow/fileintake.h"
#include "mainwindow/heicmainwidget.h"

QString applicationFolder;

namespace {

// Returns the first family of the registered file, or an empty string when it could not be added.
QString registerFont(const QString& path, bool* added)
{
    const int id = QFontDatabase::addApplicationFont(path);
    *added = id >= 0;
    if (!*added)
        return QString();
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

} // namespace

void loadApplicationFonts(const QString& folder)
{
    bool added = false;
    registerFont(folder + "/font/Arial.ttf", &added);
    registerFont(folder + "/font/Lato-Bold.ttf", &added);
    const QString lato = registerFont(folder + "/font/Lato-Regular.ttf", &added);
    if (added)
        QGuiApplication::setFont(QFont(lato, 10));
}

QList<QByteArray> commandLineFiles(int argc, char** argv)
{
    QList<QByteArray> files;
    for (int index = 1; index < argc; ++index)
        files.append(QByteArray(argv[index]));
    return absolutePaths(files);
}

std::unique_ptr<HEICMainWidget> openMainWindow(const QList<QByteArray>& files, SingleInstance* instance)
{
    auto window = std::make_unique<HEICMainWidget>(nullptr);
    window->show();
    // Rows keep their path until the conversion: absolute, so they do not depend on the folder
    // vornetta was started in.
    window->addNamedFiles(absolutePaths(files));
    if (instance) {
        QObject::connect(instance, &SingleInstance::filesHandedOver, window.get(),
                         [window = window.get()](const QList<QByteArray>& handed) {
                             window->showNormal();
                             window->raise();
                             window->activateWindow();
                             // After the raise, so that a message about left-out files lies above it.
                             window->addNamedFiles(handed);
                         });
    }
    return window;
}
