// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>

class QWidget;

// Moves a frameless window with the mouse, as a title bar would: a press anywhere on the window grabs it,
// each move drags it with the grab point under the pointer, the release lets go. Any button does. On
// Wayland, where a client cannot place its own window, the press hands the move to the compositor.
class WindowDrag final
{
public:
    explicit WindowDrag(QWidget& window)
        : window(window)
    {}

    // Positions relative to the window, as mouse events give them.
    void press(const QPoint& position);
    void move(const QPoint& position);
    void release() { pressed = false; }

private:
    QWidget& window;
    bool pressed = false;
    QPoint pressPosition;
};
