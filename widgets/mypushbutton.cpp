// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/mypushbutton.h"

#include <QBrush>
#include <QColor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include "widgets/labelbutton.h"

MyPushButton::MyPushButton(QWidget* parent)
    : QLabel(parent, Qt::WindowFlags())
{
    setContentsMargins(0, 0, 0, 0);
    setAutoFillBackground(true);
    setAlignment(Qt::AlignCenter);
    fillBackground(QBrush(QColor(174, 174, 174)));
    setUpLabelButton(*this);
}

void MyPushButton::setStateRects(const QRect& normal, const QRect& hover, const QRect& pressed,
                                 const QRect& fourth)
{
    normalRect = normal;
    hoverRect = hover;
    pressedRect = pressed;
    fourthRect = fourth;
}

void MyPushButton::setSprite(const QPixmap& pixmap)
{
    sprite = pixmap;
    useSprite = true;
}

void MyPushButton::setDisplayMode(int mode)
{
    displayMode = mode;
    refreshLook();
}

void MyPushButton::setButtonGeometry(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
    setDisplayMode(displayMode);
}

void MyPushButton::refreshLook()
{
    if (useSprite)
        showCell(normalRect);
    else
        fillBackground(QBrush(Qt::gray));
}

void MyPushButton::showCell(const QRect& cell)
{
    // Before setSprite there is no cell to cut: the button keeps its plain grey look instead of
    // being painted with an empty texture.
    if (!useSprite)
        return;
    const QPixmap picture =
        sprite.copy(cell).scaled(width(), height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (picture.isNull())
        return;
    fillBackground(QBrush(picture));
}

void MyPushButton::fillBackground(const QBrush& brush)
{
    QPalette copy = palette();
    copy.setBrush(QPalette::All, QPalette::Window, brush);
    setPalette(copy);
    setAutoFillBackground(true);
}

void MyPushButton::enterEvent(QEnterEvent* event)
{
    showCell(hoverRect);
    emit enterButton();
    QLabel::enterEvent(event);
}

void MyPushButton::leaveEvent(QEvent* event)
{
    showCell(normalRect);
    emit leaveButton();
    QLabel::leaveEvent(event);
}

void MyPushButton::mousePressEvent(QMouseEvent* event)
{
    showCell(pressedRect);
    emit Pressclicked();
    QLabel::mousePressEvent(event);
}

void MyPushButton::mouseReleaseEvent(QMouseEvent* event)
{
    showCell(normalRect);
    emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void MyPushButton::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
}

void MyPushButton::keyPressEvent(QKeyEvent* event)
{
    if (!isPressKey(*event)) {
        QLabel::keyPressEvent(event);
        return;
    }
    emit clicked();
}
