// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QApplication>
#include <QDate>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSettings>
#include <QStringList>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "core/settings.h"
#include "tests/support/urlcatcher.h"

// Helpers that let a test drive the main window as a user would: answer its modal dialogs and menus,
// catch the URLs it hands to the desktop.
namespace vornetta::test {

// Calls answer with the first widget of type T that becomes the active modal widget (or, for
// menus, the active popup) while the test's own code blocks in exec(). The poll stops after
// timeoutMs, so a dialog that never shows fails the test's later checks instead of hanging.
template <typename T>
void answerWhenShown(std::function<void(T*)> answer, int timeoutMs = 20000)
{
    auto* timer = new QTimer(qApp);
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, deadline, answer]() {
        QWidget* shown = QApplication::activePopupWidget();
        if (!shown)
            shown = QApplication::activeModalWidget();
        T* widget = qobject_cast<T*>(shown);
        if (!widget && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (widget)
            answer(widget);
    });
    timer->start(10);
}

// Picks path in an open file dialog as a user would type it into the name field, then accepts.
inline void pickInFileDialog(QFileDialog* dialog, const QString& path)
{
    // selectFile() leaves the name field alone while it has focus, so type into it directly.
    if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit"))
        name->setText(path);
    else
        dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
    // A dialog that refused the pick would block the test for ever; cancel it instead.
    if (dialog->isVisible())
        dialog->reject();
}

// Answers the next folder chooser by picking folder, or cancels it when folder is empty.
inline void answerFolderChooser(const QString& folder, QString* title = nullptr)
{
    answerWhenShown<QFileDialog>([folder, title](QFileDialog* dialog) {
        if (title)
            *title = dialog->windowTitle();
        if (folder.isEmpty())
            dialog->reject();
        else
            pickInFileDialog(dialog, folder);
    });
}

// What a widget that showed up is known by: a menu's first entry, else the window's title, else its class.
inline QString shownName(const QWidget* shown)
{
    if (const auto* menu = qobject_cast<const QMenu*>(shown))
        return menu->actions().value(0)->text();
    return shown->windowTitle().isEmpty() ? shown->metaObject()->className() : shown->windowTitle();
}

// The lines of the message telling what an offer of files left out; none when nothing was.
inline QStringList leftOutMessage(const QWidget* window)
{
    const auto* label = window->findChild<QLabel*>("messageLabel");
    return label ? label->text().split('\n') : QStringList();
}

// The automatic update check runs at most once a day; marking today as done keeps it off the
// network for the whole test.
inline void silenceDailyUpdateCheck()
{
    QSettings(kOrganisationName, kApplicationName)
        .setValue("LastCheckUpdateTime", QDate::currentDate().toString("MM-dd-yyyy"));
}

// The texts of one column of the list, row by row.
inline QStringList column(const QTreeWidget* list, int col)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts.append(list->topLevelItem(row)->text(col));
    return texts;
}

// A row's state without its reason: "failed: why" as "failed".
inline QString rowState(const QTreeWidgetItem* item)
{
    return item->text(3).section(':', 0, 0);
}

// The states of the list's rows, row by row, without their reasons.
inline QStringList states(const QTreeWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        texts.append(rowState(list->topLevelItem(row)));
    return texts;
}

} // namespace vornetta::test
