// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/itemcolourdelegate.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QApplication>
#include <QBrush>
#include <QPainter>
#include <QStyle>

ItemColourDelegate::ItemColourDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{}

void ItemColourDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    const QVariant colour = index.data(Qt::ForegroundRole);
    if (!colour.canConvert<QBrush>()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The style draws the item without its text (background, selection, lines), then the text goes on top.
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget* widget = item.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    // The standard delegate's margin on either side of the text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    QRect area =
        style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget).adjusted(margin, 0, -margin, 0);
    // A column that runs on under the scroll bar elides its text where it is still seen.
    if (const auto* view = qobject_cast<const QAbstractItemView*>(widget))
        area.setRight(std::min(area.right(), view->viewport()->rect().right() - margin));
    painter->save();
    painter->setPen(colour.value<QBrush>().color());
    painter->setFont(item.font);
    painter->drawText(area, static_cast<int>(item.displayAlignment),
                      item.fontMetrics.elidedText(text, item.textElideMode, area.width()));
    painter->restore();
}
