// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QString>

class QEnterEvent;
class QKeyEvent;
class QEvent;
class QMouseEvent;
class QPaintEvent;

// A text button whose whole look is a style sheet: one for normal, one under the pointer while
// enabled, one while disabled. The owner assigns the three style sheets, then calls
// setButtonEnabled(true).
class MyTempButton2 final : public QLabel
{
    Q_OBJECT

public:
    explicit MyTempButton2(QWidget* parent);

    // Enables or disables the button and, when a disabled style is set, shows the normal or the
    // disabled style at once, even with the pointer over the button.
    void setButtonEnabled(bool on);

    QString normalStyle;
    QString hoverStyle;
    QString disabledStyle;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Space and Return press the button that has the keyboard focus.
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The state last given to setButtonEnabled; the hover look follows the pointer only while it is set.
    bool buttonEnabled = false;
};
