// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QKeyEvent;
class QLabel;

// What makes the label-based buttons (MyPushButton, MyTempButton1, MyTempButton2) buttons for people who
// do not use a mouse. Each takes the focus by Tab only, so a click never moves the focus and the mouse look
// stays as it is; Space and Return press the focused one. To screen readers each is a push button named by
// its caption (or its accessible name, for the picture buttons), with a press action that does what a click
// does and that a disabled button refuses.
void setUpLabelButton(QLabel& button);

// Space, Return or Enter without a modifier, and not a key held down: the keys that press a button.
bool isPressKey(const QKeyEvent& event);
