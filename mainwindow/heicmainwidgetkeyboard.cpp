// SPDX-License-Identifier: GPL-3.0-or-later
// How the main window is reached without a mouse: the Tab order, the shortcuts and their tool-tips, what the
// keyboard may reach while the loading panel covers the window, and the names screen readers read. Nothing
// here changes what a mouse user sees, but for the shortcuts' tool-tips.
#include "mainwindow/heicmainwidget.h"

#include <algorithm>
#include <functional>
#include <memory>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMovie>
#include <QShortcut>
#include <QTreeWidget>

#include "mainwindow/windowkeys.h"
#include "widgets/focusmark.h"
#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton2.h"

namespace {

// To screen readers the main window is a window of its own, named by its title, not an anonymous panel.
QAccessibleInterface* mainWindowFactory(const QString& className, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (className != "HEICMainWidget" || !widget)
        return nullptr;
    return new QAccessibleWidget(widget, QAccessible::Window);
}

} // namespace

void HEICMainWidget::setUpKeyboard()
{
    static const bool installed = [] {
        QAccessible::installFactory(mainWindowFactory);
        return true;
    }();
    Q_UNUSED(installed);
    FocusMark::install();

    // The list and the format box take the focus by Tab only, like the buttons (labelbutton.h).
    listWidget->setFocusPolicy(Qt::TabFocus);
    fliterComboBox->setFocusPolicy(Qt::TabFocus);
    // The window itself holds the focus until the first Tab, which then goes to Add HEIC
    // (focusNextPrevChild).
    setFocus(Qt::OtherFocusReason);

    const auto bind = [this](const QList<QKeySequence>& keys, std::function<void()> action) {
        QList<QShortcut*> made;
        for (const QKeySequence& key : keys) {
            auto* shortcut = new QShortcut(key, this);
            connect(shortcut, &QShortcut::activated, this, action);
            made.append(shortcut);
        }
        return made;
    };
    idleShortcuts = bind(windowkeys::addFiles(), [this] { addMediaButton_slots(); }) +
                    bind(windowkeys::convert(), [this] { toJpgButton_slots(); }) +
                    bind(windowkeys::removeRows(), [this] { removeSelectedRows(); }) +
                    bind(windowkeys::selectAllRows(), [this] { listWidget->selectAll(); }) +
                    bind(windowkeys::listMenu(), [this] { openListMenuFromKeyboard(); }) +
                    bind(windowkeys::mainMenu(), [this] { menuButton_slots(); });
    stopShortcut = bind(windowkeys::stop(), [this] {
                       if (stopButton->isEnabled())
                           stopButton_slots();
                   }).constFirst();
    stopShortcut->setEnabled(false);
    bind(windowkeys::close(), [this] { closeButton_slots(); });

    addMediaButton->setToolTip(withKeys(addMediaButton->text(), windowkeys::addFiles()));
    stopButton->setToolTip(withKeys(stopButton->text(), windowkeys::stop()));
    menuButton->setToolTip(withKeys(tr("Menu"), windowkeys::mainMenu()));
    closeButton->setToolTip(withKeys(tr("Close"), windowkeys::close()));
    menuButton->setAccessibleName(tr("Menu"));
    minButton->setAccessibleName(tr("Minimise"));
    closeButton->setAccessibleName(tr("Close"));
    listWidget->setAccessibleName(tr("Files"));
    // The label names the format box for screen readers.
    formatLabel->setBuddy(fliterComboBox);
}

bool HEICMainWidget::focusNextPrevChild(bool next)
{
    // Add HEIC, the list, the format, Save, Stop while it shows, then the title strip from left to right.
    const QList<QWidget*> order = {addMediaButton, listWidget, fliterComboBox, toJpgButton,
                                   stopButton,     menuButton, minButton,      closeButton};
    const qsizetype from = order.indexOf(focusWidget());
    const qsizetype count = order.size();
    for (qsizetype step = 1; step <= count; ++step) {
        const qsizetype at =
            from < 0 ? (next ? step - 1 : count - step) : (from + (next ? step : count - step)) % count;
        QWidget* candidate = order[at];
        if (candidate->isVisible() && candidate->isEnabled() && (candidate->focusPolicy() & Qt::TabFocus)) {
            candidate->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

QString HEICMainWidget::withKeys(const QString& name, const QList<QKeySequence>& keys) const
{
    QStringList said;
    for (const QKeySequence& key : keys)
        said.append(key.toString(QKeySequence::NativeText));
    return name + " (" + said.join(", ") + ")";
}

void HEICMainWidget::showLoadingPanel(bool shown)
{
    QWidget* focused = focusWidget();
    const QList<QWidget*> covered = {addMediaButton, listWidget, fliterComboBox, toJpgButton};
    for (QWidget* widget : covered)
        widget->setFocusPolicy(shown ? Qt::NoFocus : Qt::TabFocus);
    for (QShortcut* shortcut : std::as_const(idleShortcuts))
        shortcut->setEnabled(!shown);
    stopShortcut->setEnabled(shown);
    if (shown) {
        loadingWidget->show();
        loadingMovie->start();
        // A keyboard user who started the batch lands on Stop.
        if (!focused || focused == this || covered.contains(focused))
            stopButton->setFocus(Qt::OtherFocusReason);
        return;
    }
    // Off the panel before it hides, so the focus does not wander to the title strip.
    if (focused && (focused == loadingWidget || loadingWidget->isAncestorOf(focused)))
        (toJpgButton->isEnabled() ? toJpgButton : static_cast<QWidget*>(addMediaButton))
            ->setFocus(Qt::OtherFocusReason);
    loadingWidget->hide();
    loadingMovie->stop();
}

void HEICMainWidget::removeSelectedRows()
{
    QList<int> rows;
    for (QTreeWidgetItem* item : listWidget->selectedItems())
        rows.append(listWidget->indexOfTopLevelItem(item));
    if (rows.isEmpty())
        return;
    // From the bottom up, so the rows still to go keep their places.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : rows) {
        std::unique_ptr<QTreeWidgetItem> gone(listWidget->takeTopLevelItem(row));
        batch.remove(row);
    }
    refreshListState();
}

void HEICMainWidget::openListMenuFromKeyboard()
{
    // A right press opens the menu only on a row.
    if (listWidget->topLevelItemCount() == 0)
        return;
    QTreeWidgetItem* item = listWidget->currentItem();
    if (!item)
        item = listWidget->topLevelItem(0);
    listWidget->scrollToItem(item);
    const QRect row = listWidget->visualItemRect(item);
    listMenu->exec(listWidget->viewport()->mapToGlobal(row.bottomLeft()));
}
