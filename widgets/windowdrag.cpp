// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/windowdrag.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

void WindowDrag::press(const QPoint& position)
{
    if (QGuiApplication::platformName().startsWith("wayland")) {
        if (QWindow* handle = window.windowHandle())
            handle->startSystemMove();
        return;
    }
    pressed = true;
    pressPosition = position;
}

void WindowDrag::move(const QPoint& position)
{
    // After each move the pointer again sits at the grab point, in window coordinates.
    if (pressed)
        window.setGeometry(window.geometry().translated(position - pressPosition));
}
