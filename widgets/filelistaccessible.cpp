// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/filelistaccessible.h"

#include <algorithm>
#include <utility>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPointer>

#include "widgets/filelistwidget.h"

namespace {

// One cell of the table, by row and shown column; row -1 is the column headers' row. It reads the list
// whenever asked, so it never holds a stale text.
class CellAccessible final : public QAccessibleInterface, public QAccessibleTableCellInterface
{
public:
    CellAccessible(FileListWidget* list, int row, int column)
        : list(list)
        , row(row)
        , column(column)
    {}

    bool isValid() const override
    {
        return list && row < list->topLevelItemCount() && column < list->shownColumns().size();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return list ? list->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(list); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text kind) const override
    {
        if (!isValid())
            return QString();
        const QModelIndex cell = index();
        if (row < 0)
            return kind == QAccessible::Name ? headerText() : QString();
        switch (kind) {
        case QAccessible::Name:
            return cell.data(Qt::DisplayRole).toString();
        case QAccessible::Description:
            return cell.data(Qt::ToolTipRole).toString();
        default:
            return QString();
        }
    }

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        if (row < 0) {
            const QHeaderView* header = list->header();
            if (header->isHidden())
                return QRect();
            const int logical = list->shownColumns().at(column);
            return QRect(header->mapToGlobal(QPoint(header->sectionViewportPosition(logical), 0)),
                         QSize(header->sectionSize(logical), header->height()));
        }
        const QRect area = list->visualRect(index());
        return QRect(list->viewport()->mapToGlobal(area.topLeft()), area.size());
    }

    QAccessible::Role role() const override
    {
        return row < 0 ? QAccessible::ColumnHeader : QAccessible::Cell;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const QRect shown = rect();
        if (shown.isEmpty() || !list->isVisible())
            state.invisible = true;
        if (row < 0)
            return state;
        state.selectable = true;
        state.focusable = true;
        state.selected = isSelected();
        state.focused = list->hasFocus() && list->currentIndex().row() == row &&
                        list->currentIndex().column() == list->shownColumns().at(column);
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this)
                                                       : nullptr;
    }

    bool isSelected() const override
    {
        return isValid() && row >= 0 && list->selectionModel()->isRowSelected(row, QModelIndex());
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        QAccessibleInterface* table = parent();
        if (row < 0 || !table || !table->tableInterface())
            return {};
        return {table->child(column)};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column; }
    int rowIndex() const override { return row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QModelIndex index() const { return list->model()->index(row, list->shownColumns().at(column)); }
    QString headerText() const
    {
        return list->model()->headerData(list->shownColumns().at(column), Qt::Horizontal).toString();
    }

    QPointer<FileListWidget> list;
    const int row;
    const int column;
};

// The list itself: a table of its shown columns. The cells it handed out are kept until the rows change.
class FileListAccessible final : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit FileListAccessible(FileListWidget* list)
        : QAccessibleWidget(list, QAccessible::Table)
    {}
    ~FileListAccessible() override { forgetCells(); }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.multiSelectable = true;
        state.extSelectable = true;
        return state;
    }

    int childCount() const override { return (rowCount() + 1) * columnCount(); }

    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        const auto known = cells.constFind(index);
        if (known != cells.constEnd())
            return QAccessible::accessibleInterface(*known);
        auto* cell = new CellAccessible(list(), index / columnCount() - 1, index % columnCount());
        cells.insert(index, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* cell = child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
        if (!cell || child->parent() != this)
            return -1;
        return (cell->rowIndex() + 1) * columnCount() + cell->columnIndex();
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint inViewport = list()->viewport()->mapFromGlobal(QPoint(x, y));
        const QModelIndex index = list()->indexAt(inViewport);
        const int column = list()->shownColumns().indexOf(index.column());
        return index.isValid() && column >= 0 ? cellAt(index.row(), column) : nullptr;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
            return nullptr;
        return child((row + 1) * columnCount() + column);
    }
    QString columnDescription(int column) const override
    {
        if (column < 0 || column >= columnCount())
            return QString();
        return list()->model()->headerData(list()->shownColumns().at(column), Qt::Horizontal).toString();
    }
    QString rowDescription(int) const override { return QString(); }
    int columnCount() const override { return static_cast<int>(list()->shownColumns().size()); }
    int rowCount() const override { return list()->topLevelItemCount(); }

    int selectedCellCount() const override { return selectedRowCount() * columnCount(); }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> selected;
        for (int row : selectedRows())
            for (int column = 0; column < columnCount(); ++column)
                selected.append(cellAt(row, column));
        return selected;
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override
    {
        QList<int> rows;
        for (const QModelIndex& index : list()->selectionModel()->selectedRows())
            rows.append(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override
    {
        return list()->selectionModel()->isRowSelected(row, QModelIndex());
    }
    bool selectRow(int row) override { return selectRows(row, QItemSelectionModel::Select); }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override { return selectRows(row, QItemSelectionModel::Deselect); }
    bool unselectColumn(int) override { return false; }

    // Rows came, went or moved: the cells handed out so far no longer stand for the same rows.
    void modelChange(QAccessibleTableModelChangeEvent* event) override
    {
        if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
            forgetCells();
    }

private:
    FileListWidget* list() const { return static_cast<FileListWidget*>(widget()); }

    bool selectRows(int row, QItemSelectionModel::SelectionFlag how)
    {
        const QModelIndex index = list()->model()->index(row, 0);
        if (!index.isValid())
            return false;
        list()->selectionModel()->select(index, how | QItemSelectionModel::Rows);
        return true;
    }

    void forgetCells()
    {
        for (QAccessible::Id id : std::as_const(cells))
            QAccessible::deleteAccessibleInterface(id);
        cells.clear();
    }

    mutable QHash<int, QAccessible::Id> cells;
};

QAccessibleInterface* fileListFactory(const QString& className, QObject* object)
{
    if (className != "FileListWidget")
        return nullptr;
    auto* list = qobject_cast<FileListWidget*>(object);
    return list ? new FileListAccessible(list) : nullptr;
}

} // namespace

void installFileListAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(fileListFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

QAccessibleInterface* fileListCell(FileListWidget* list, const QModelIndex& index)
{
    const int column = list->shownColumns().indexOf(index.column());
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
    if (column < 0 || !table || !table->tableInterface())
        return nullptr;
    return table->tableInterface()->cellAt(index.row(), column);
}
