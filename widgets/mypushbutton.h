// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QPixmap>
#include <QRect>

class QColor;
class QEnterEvent;
class QKeyEvent;
class QEvent;
class QMouseEvent;
class QPaintEvent;

// An image button: shows one cell of a sprite sheet, stretched to the button's size, a different cell
// for normal, hover and pressed. A click is any mouse-button release; presses and releases also travel
// on to the parent, which the frameless windows use for dragging.
class MyPushButton final : public QLabel
{
    Q_OBJECT

public:
    explicit MyPushButton(QWidget* parent);

    // The cells, in sprite pixels (x, y, width, height). The fourth is kept but never shown.
    // Does not refresh the look.
    void setStateRects(const QRect& normal, const QRect& hover, const QRect& pressed, const QRect& fourth);
    // Does not refresh the look.
    void setSprite(const QPixmap& pixmap);
    // Mode 3 is the plain image button, the only mode in use. Refreshes the look.
    void setDisplayMode(int mode);
    // Places the button and rescales the picture to its new size at once.
    void setButtonGeometry(int x, int y, int width, int height);

signals:
    void clicked();
    void Pressclicked();
    void enterButton();
    void leaveButton();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Space and Return press the button that has the keyboard focus.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refreshLook();
    void showCell(const QRect& cell);
    void fillBackground(const QBrush& brush);

    QPixmap sprite;
    bool useSprite = false;
    QRect normalRect;
    QRect hoverRect;
    QRect pressedRect;
    QRect fourthRect;
    int displayMode = 3;
};
