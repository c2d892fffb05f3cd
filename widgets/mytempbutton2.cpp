// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/mytempbutton2.h"

#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "widgets/labelbutton.h"

MyTempButton2::MyTempButton2(QWidget* parent)
    : QLabel(parent, Qt::WindowFlags())
{
    setFrameShape(QFrame::Box);
    setUpLabelButton(*this);
}

void MyTempButton2::setButtonEnabled(bool on)
{
    setEnabled(on);
    buttonEnabled = on;
    if (!disabledStyle.isEmpty())
        setStyleSheet(on ? normalStyle : disabledStyle);
}

void MyTempButton2::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    if (!hoverStyle.isEmpty() && buttonEnabled)
        setStyleSheet(hoverStyle);
}

void MyTempButton2::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    if (!normalStyle.isEmpty() && buttonEnabled)
        setStyleSheet(normalStyle);
}

void MyTempButton2::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
}

void MyTempButton2::mouseReleaseEvent(QMouseEvent* event)
{
    // Qt delivers no presses or releases to a disabled widget, so a disabled button never clicks.
    QLabel::mouseReleaseEvent(event);
    emit clicked();
}

void MyTempButton2::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
}

void MyTempButton2::keyPressEvent(QKeyEvent* event)
{
    if (!isPressKey(*event)) {
        QLabel::keyPressEvent(event);
        return;
    }
    emit clicked();
}
