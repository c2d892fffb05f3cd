// SPDX-License-Identifier: GPL-3.0-or-later
// Takes the screenshot the AppStream metadata shows: vornetta's main window with a few photos waiting in
// its list, drawn under Qt's offscreen platform so that the build needs no display.
//
//   vornetta-screenshot <program folder> <picture.png>

#include <cstdio>
#include <memory>

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include "core/settings.h"
#include "gui/startup.h"
#include "mainwindow/heicmainwidget.h"
#include "mainwindow/listcolumns.h"

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vornetta-screenshot <program folder> <picture.png>\n");
        return 2;
    }
    // A home of its own: the window reads its settings and makes its default output folder there, not in
    // the home of whoever builds.
    const QTemporaryDir home;
    if (!home.isValid() || !QDir(home.path()).mkpath("runtime") || !QDir(home.path()).mkpath("Pictures")) {
        std::fprintf(stderr, "vornetta-screenshot: cannot make a temporary home\n");
        return 1;
    }
    QFile::setPermissions(home.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(".config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.filePath(".local/share")));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.filePath("runtime")));
    qputenv("QT_QPA_PLATFORM", "offscreen");

    // The offscreen platform cannot shape windows and says so for the window's rounded corners; the
    // picture is the window's own painting all the same.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (message != QLatin1String("This plugin does not support setting window masks"))
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    });
    QApplication application(argc, argv);
    loadApplicationFonts(QString::fromLocal8Bit(argv[1]));
    // Today's update check counts as done, so the window stays off the network.
    QSettings(kOrganisationName, kApplicationName)
        .setValue("LastCheckUpdateTime", QDate::currentDate().toString("MM-dd-yyyy"));

    const QStringList names{"IMG_0412.HEIC", "IMG_0413.HEIC", "IMG_0419.HEIC", "IMG_0427.HEIC",
                            "IMG_0430.HEIC"};
    QStringList photos;
    for (const QString& name : names) {
        QFile photo(home.filePath("Pictures/" + name));
        if (!photo.open(QIODevice::WriteOnly)) {
            std::fprintf(stderr, "vornetta-screenshot: cannot write %s\n", qPrintable(photo.fileName()));
            return 1;
        }
        photos.append(photo.fileName());
    }

    HEICMainWidget window(nullptr);
    window.show();
    window.addHeicFiles(photos);
    // The rows show the photos where a user keeps them, not in the throwaway home.
    for (int row = 0; row < window.listWidget->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = window.listWidget->topLevelItem(row);
        item->setText(kPathColumn, "~/Pictures/" + QFileInfo(item->text(kPathColumn)).fileName());
    }
    QApplication::processEvents();
    const QString picture = QString::fromLocal8Bit(argv[2]);
    if (!window.grab().save(picture, "PNG")) {
        std::fprintf(stderr, "vornetta-screenshot: cannot write %s\n", qPrintable(picture));
        return 1;
    }
    return 0;
}
