// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/mymessageboxwidget.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QRect>

#include "widgets/mypushbutton.h"
#include "widgets/mytempbutton1.h"
#include "widgets/scalefactor.h"

namespace {

QString buttonStyle()
{
    return "QLabel{font-size:" + scaledText(16) + "px;color:#FFFFFF;}";
}

} // namespace

MyMessageBoxWidget::MyMessageBoxWidget(QWidget* parent)
    : QDialog(parent, Qt::WindowFlags())
{
    const int w = scaled(500);
    const int h = scaled(240);
    setFixedSize(w, h);

    // Frameless, with no window type of its own: without a parent that is a plain top-level window.
    // Given a parent it must still be a window of its own, not a child drawn inside that parent.
    const Qt::WindowFlags flags = Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                                  Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
    setWindowFlags(parent ? flags | Qt::Dialog : flags);
    setAutoFillBackground(true);

    // Creation order is the stacking order: the panel lowest, the close button on top.
    backgroundWidget = new QWidget(this);
    backgroundWidget->setObjectName("backgroundWidget");
    messageLabel = new QLabel(this);
    messageLabel->setObjectName("messageLabel");
    firstButton = new MyTempButton1(this);
    firstButton->setObjectName("firstButton");
    secondButton = new MyTempButton1(this);
    secondButton->setObjectName("secondButton");
    closeButton = new MyPushButton(this);
    closeButton->setObjectName("closeButton");

    backgroundWidget->setGeometry(0, 0, w, h);
    backgroundWidget->setStyleSheet(
        "QWidget{border-bottom: 1px solid #a7a7a7; border-right:1px solid #a7a7a7;border-left:1px solid "
        "#a7a7a7;border-top:4px solid #6f6f6f; background-color:#ffffff;}");

    closeButton->setButtonGeometry(w - scaled(30), 0, scaled(26), scaled(26));

    messageLabel->setGeometry(scaled(40), scaled(45), w - scaled(80), scaled(120));
    messageLabel->setStyleSheet("QLabel{font-size:" + scaledText(12) + "px;color:#333333;}");
    messageLabel->setWordWrap(true);
    messageLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // To screen readers a dialog named after the program, its message read as its description.
    setAccessibleName("Vornetta");
    closeButton->setAccessibleName(tr("Close"));

    connect(firstButton, &MyTempButton1::clicked, this, &MyMessageBoxWidget::OK_slots);
    connect(secondButton, &MyTempButton1::clicked, this, &MyMessageBoxWidget::No_slots);
    connect(closeButton, &MyPushButton::clicked, this, &MyMessageBoxWidget::No_slots);

    drag.release();
    okPressed = false;
}

void MyMessageBoxWidget::setMessage(const QString& text, int buttonCount, int buttonLabels)
{
    messageLabel->setText(text);
    setAccessibleDescription(text);

    // Only the hover look shows the lower, brighter close glyph.
    closeButton->setStateRects(QRect(55, 0, 26, 26), QRect(55, 28, 26, 26), QRect(55, 0, 26, 26),
                               QRect(55, 0, 26, 26));
    closeButton->setSprite(QPixmap(":/images/minclose.png"));
    closeButton->setDisplayMode(3);

    firstButton->setColours("#3db456", "#48bd60", "#45af5b");
    firstButton->setStyleSheet(buttonStyle());
    firstButton->setAlignment(Qt::AlignCenter);
    firstButton->setText(tr("OK"));

    secondButton->setColours("#576671", "#68757f", "#566169");
    secondButton->setStyleSheet(buttonStyle());
    secondButton->setAlignment(Qt::AlignCenter);
    secondButton->setText(tr("NO"));

    const int w = width();
    const int top = height() - scaled(60);
    const int buttonWidth = scaled(120);
    const int buttonHeight = scaled(32);
    if (buttonCount == 0) {
        firstButton->hide();
        secondButton->hide();
    } else if (buttonCount == 1) {
        firstButton->setGeometry(w - scaled(140), top, buttonWidth, buttonHeight);
        firstButton->show();
        secondButton->hide();
    } else {
        firstButton->setGeometry(w - scaled(280), top, buttonWidth, buttonHeight);
        firstButton->show();
        secondButton->setGeometry(w - scaled(140), top, buttonWidth, buttonHeight);
        secondButton->show();
    }

    switch (buttonLabels) {
    case 0:
        firstButton->setText(tr("OK"));
        secondButton->setText(tr("NO"));
        break;
    case 1:
        firstButton->setText(tr("Yes"));
        secondButton->setText(tr("NO"));
        break;
    case 2:
        firstButton->setText(tr("OK"));
        secondButton->setText(tr("Cancel"));
        break;
    case 3:
        firstButton->setText(tr("Yes"));
        secondButton->setText(tr("Cancel"));
        break;
    case 4:
        firstButton->setText(tr("Download"));
        secondButton->setText(tr("Cancel"));
        break;
    default:
        break;
    }

    // The focus starts on the answer Return gives: the first button, else the one way out there is.
    if (buttonCount != 0)
        firstButton->setFocus(Qt::OtherFocusReason);
    else
        closeButton->setFocus(Qt::OtherFocusReason);
}

void MyMessageBoxWidget::OK_slots()
{
    okPressed = true;
    close();
}

void MyMessageBoxWidget::No_slots()
{
    okPressed = false;
    close();
}

void MyMessageBoxWidget::mousePressEvent(QMouseEvent* event)
{
    // Any button starts a drag; the press is not passed on.
    drag.press(event->position().toPoint());
}

void MyMessageBoxWidget::mouseReleaseEvent(QMouseEvent* event)
{
    Q_UNUSED(event);
    drag.release();
}

void MyMessageBoxWidget::mouseMoveEvent(QMouseEvent* event)
{
    drag.move(event->position().toPoint());
}
