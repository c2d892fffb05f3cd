// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/mytempbutton1.h"

#include <QBrush>
#include <QColor>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include "widgets/labelbutton.h"

MyTempButton1::MyTempButton1(QWidget* parent)
    : QLabel(parent, Qt::WindowFlags())
{
    setUpLabelButton(*this);
}

void MyTempButton1::setColours(const QString& normal, const QString& hover, const QString& third)
{
    normalColour = normal;
    hoverColour = hover;
    thirdColour = third;
    if (!normalColour.isEmpty())
        paintBackground(normalColour);
}

void MyTempButton1::paintBackground(const QString& colourName)
{
    QPalette copy = palette();
    copy.setBrush(QPalette::All, QPalette::Window, QBrush(QColor(colourName)));
    setPalette(copy);
    setAutoFillBackground(true);
}

void MyTempButton1::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    if (!hoverColour.isEmpty())
        paintBackground(hoverColour);
}

void MyTempButton1::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    if (!normalColour.isEmpty())
        paintBackground(normalColour);
}

void MyTempButton1::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
}

void MyTempButton1::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    emit clicked();
}

void MyTempButton1::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
}

void MyTempButton1::keyPressEvent(QKeyEvent* event)
{
    if (!isPressKey(*event)) {
        QLabel::keyPressEvent(event);
        return;
    }
    emit clicked();
}
