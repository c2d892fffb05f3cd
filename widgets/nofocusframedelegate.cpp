// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/nofocusframedelegate.h"

#include <QStyle>

NoFocusFrameDelegate::NoFocusFrameDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{}

NoFocusFrameDelegate::~NoFocusFrameDelegate() = default;

void NoFocusFrameDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    QStyleOptionViewItem withoutFocus(option);
    withoutFocus.state &= ~QStyle::State_HasFocus;
    QStyledItemDelegate::paint(painter, withoutFocus, index);
}
