// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/startup.h"

#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

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

std::unique_ptr<HEICMainWidget> openMainWindow(const QStringList& arguments)
{
    auto window = std::make_unique<HEICMainWidget>(nullptr);
    window->show();
    // Rows keep their path until the conversion, like those from the dialog or a drop: absolute, so they
    // do not depend on the folder vornetta was started in.
    QStringList files;
    for (const QString& argument : arguments.mid(1))
        files.append(argument.isEmpty() ? argument : QFileInfo(argument).absoluteFilePath());
    window->addHeicFiles(files);
    return window;
}
