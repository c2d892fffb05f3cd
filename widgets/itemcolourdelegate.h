// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

// Paints items as the standard delegate does, except that an item with a colour of its own
// (Qt::ForegroundRole) shows its text in that colour even where a style sheet sets the items' colour,
// which would otherwise win.
class ItemColourDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit ItemColourDelegate(QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
