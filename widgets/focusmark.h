// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

// The mark that shows a keyboard user where the focus is: a 2 px outline in the window's accent green, with
// a white line inside it so that it also reads on the dark title strip and the coloured dialog buttons. It
// shows once the keyboard moved the focus (Tab or Shift+Tab) and goes with the next mouse press, so a mouse
// user, whose clicks never move the focus, never sees it. One mark serves every window of the program.
class FocusMark final : public QWidget
{
    Q_OBJECT

public:
    // Makes the mark follow the focus; later calls change nothing.
    static void install();

    // Whether the keyboard is in use, so the focused widget shows the mark.
    static bool keyboardInUse();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FocusMark() = default;
    // Lays the mark over the focused widget, or hides it.
    void follow();

    class Watcher;
};
