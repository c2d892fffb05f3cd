// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/picture/outputformat.h"

QString outputFormatName(OutputFormat format)
{
    switch (format) {
    case OutputFormat::Jpg:
        return QStringLiteral("jpg");
    case OutputFormat::Png:
        return QStringLiteral("png");
    case OutputFormat::Bmp:
        return QStringLiteral("bmp");
    }
    return {};
}

std::optional<OutputFormat> parseOutputFormat(const QString& name)
{
    for (const OutputFormat format : kOutputFormats) {
        if (name.compare(outputFormatName(format), Qt::CaseInsensitive) == 0)
            return format;
    }
    return std::nullopt;
}

StepResult cannotWriteFormat(const QString& name)
{
    return StepResult::failed(FailureKind::Output,
                              QStringLiteral("cannot write %1 files").arg(name.toUpper()));
}
