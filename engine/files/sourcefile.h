// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "engine/stepresult.h"

// Whether the file at path can be converted, before anything is run on it: "cannot read the file" when
// it is gone or may not be read, "not a file" for a folder, a pipe or a device (which would leave the
// splitter waiting).
StepResult checkSourceFile(const QString& path);
