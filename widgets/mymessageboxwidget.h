// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>

#include "widgets/windowdrag.h"

class QLabel;
class QMouseEvent;
class MyPushButton;
class MyTempButton1;

// The program's own frameless yes/no question box, drawn like the main window and draggable with the
// mouse. Both buttons and the close button end it through close(), so exec() always returns Rejected:
// callers read okPressed afterwards. Built anew for each question; its creator owns it. By keyboard, the
// focus starts on the first button, Tab moves between the buttons, Space or Return presses the focused one
// and Escape answers no.
//
// Children by object name: "backgroundWidget", "messageLabel", "firstButton", "secondButton",
// "closeButton".
class MyMessageBoxWidget final : public QDialog
{
    Q_OBJECT

public:
    explicit MyMessageBoxWidget(QWidget* parent);

    // Shows text, sets up the buttons' looks, and chooses how many text buttons show (0, 1, or two for
    // any other value) and which labels they carry: 0 "OK"/"NO", 1 "Yes"/"NO", 2 "OK"/"Cancel",
    // 3 "Yes"/"Cancel", 4 "Download"/"Cancel"; any other value keeps "OK"/"NO".
    void setMessage(const QString& text, int buttonCount, int buttonLabels);

    // The answer: true after the first button, false after the second or the close button.
    bool okPressed = false;

public slots:
    void OK_slots();
    void No_slots();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QWidget* backgroundWidget = nullptr;
    QLabel* messageLabel = nullptr;
    MyPushButton* closeButton = nullptr;
    MyTempButton1* firstButton = nullptr;
    MyTempButton1* secondButton = nullptr;
    WindowDrag drag{*this};
};
