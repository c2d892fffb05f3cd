// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class FileListWidget;
class QAccessibleInterface;
class QModelIndex;

// The screen reader's view of a FileListWidget: a table whose columns are the list's shown columns, a row of
// column headers first and then one row of cells per list row. (Qt's own view of a tree exposes every column
// of the model, hidden ones included, under the numbers a hidden header holds.)
void installFileListAccessibility();

// The table's cell for a model index of a shown column; null for a hidden column.
QAccessibleInterface* fileListCell(FileListWidget* list, const QModelIndex& index);
