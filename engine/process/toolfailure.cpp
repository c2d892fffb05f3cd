// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/process/toolfailure.h"

QString toolName(Tool tool)
{
    switch (tool) {
    case Tool::Splitter:
        return QStringLiteral("the splitter");
    case Tool::TileDecoder:
        return QStringLiteral("the tile decoder");
    case Tool::PictureReader:
        return QStringLiteral("the picture reader");
    }
    return {};
}

StepResult toolNotStarted(Tool tool)
{
    return StepResult::failed(FailureKind::Tool, toolName(tool) + QStringLiteral(" could not be started"));
}

StepResult toolRunFailure(const ToolRun& run, Tool tool)
{
    switch (run.end) {
    case ToolEnd::Stopped:
        return StepResult::stopped();
    case ToolEnd::NotStarted:
        return toolNotStarted(tool);
    case ToolEnd::TimedOut:
        return StepResult::failed(FailureKind::Tool, toolName(tool) + QStringLiteral(" took too long"));
    case ToolEnd::Ended:
        break;
    }
    if (run.exitStatus > 128)
        return StepResult::failed(FailureKind::Tool, toolName(tool) + QStringLiteral(" crashed"));
    return {};
}
