// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStyledItemDelegate>

// Paints list items exactly as the standard delegate does, but never with the focus frame, so the
// format choice's drop-down shows only its selection colour.
class NoFocusFrameDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit NoFocusFrameDelegate(QObject* parent);
    ~NoFocusFrameDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};
