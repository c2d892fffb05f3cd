// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The engine says why a file failed in English, as vornetta-convert prints it for scripts; the window tells
// it in the user's language. A number in the reason ("3 tiles could not be decoded") stays a number; a
// reason the window does not know is shown as the engine wrote it.
QString translatedFailureReason(const QString& reason);
