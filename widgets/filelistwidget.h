// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QTreeWidget>

// The main window's file list as screen readers should see it: a table of the columns that show, in their
// order on screen, named by the header's labels, the hidden columns left out altogether
// (filelistaccessible.h). A change of a shown cell's text is announced, and the focus and the selection are
// reported as cells of that table. On screen it is a plain QTreeWidget.
class FileListWidget final : public QTreeWidget
{
    Q_OBJECT

public:
    explicit FileListWidget(QWidget* parent);

    // The logical columns that show, in their order on screen.
    QList<int> shownColumns() const;

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
};
