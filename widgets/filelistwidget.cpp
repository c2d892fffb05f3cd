// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/filelistwidget.h"

#include <QAccessible>
#include <QHeaderView>

#include "widgets/filelistaccessible.h"

namespace {

void announce(QAccessibleInterface* cell, QAccessible::Event kind)
{
    if (!cell)
        return;
    QAccessibleEvent event(cell, kind);
    QAccessible::updateAccessibility(&event);
}

} // namespace

FileListWidget::FileListWidget(QWidget* parent)
    : QTreeWidget(parent)
{
    installFileListAccessibility();
}

QList<int> FileListWidget::shownColumns() const
{
    QList<int> shown;
    const QHeaderView* sections = header();
    for (int visual = 0; visual < sections->count(); ++visual) {
        const int logical = sections->logicalIndex(visual);
        if (!sections->isSectionHidden(logical))
            shown.append(logical);
    }
    return shown;
}

void FileListWidget::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                 const QList<int>& roles)
{
    QTreeWidget::dataChanged(topLeft, bottomRight, roles);
    // A row's state that changes is told, whether or not the focus is on it.
    if (!QAccessible::isActive() || (!roles.isEmpty() && !roles.contains(Qt::DisplayRole)))
        return;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        for (int column = topLeft.column(); column <= bottomRight.column(); ++column)
            announce(fileListCell(this, model()->index(row, column)), QAccessible::NameChanged);
    }
}

// Qt's tree reports the focus and the selection by its own count of children, hidden columns included; these
// report them as cells of the shown columns.
void FileListWidget::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    viewport()->update();
    // QTreeView's own currentChanged adds only the repaint above and its report of the focus.
    QAbstractItemView::currentChanged(current, previous);
    if (QAccessible::isActive() && current.isValid() && hasFocus()) {
        const int column =
            shownColumns().contains(current.column()) ? current.column() : shownColumns().value(0);
        announce(fileListCell(this, current.siblingAtColumn(column)), QAccessible::Focus);
    }
}

void FileListWidget::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    // QTreeView's own selectionChanged adds only its report of the selection.
    QAbstractItemView::selectionChanged(selected, deselected);
    if (!QAccessible::isActive())
        return;
    for (const QModelIndex& index : selected.indexes())
        announce(fileListCell(this, index), QAccessible::Selection);
    for (const QModelIndex& index : deselected.indexes())
        announce(fileListCell(this, index), QAccessible::Selection);
}
