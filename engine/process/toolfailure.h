// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "engine/process/toolrunner.h"
#include "engine/stepresult.h"

// Our tools' runs in the user's words.

enum class Tool { Splitter, TileDecoder, PictureReader };

// "the splitter", "the tile decoder" or "the picture reader".
QString toolName(Tool tool);

// "... could not be started": missing, not executable, or the start failed.
StepResult toolNotStarted(Tool tool);

// How the run failed as a run: "stopped", or the tool could not be started, took too long or crashed (a
// signal ended it: the tool's fault, not the file's). Ok when the tool ended by itself, whatever its exit
// status, which is the caller's to read.
StepResult toolRunFailure(const ToolRun& run, Tool tool);
