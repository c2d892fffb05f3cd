// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>

#include <QString>

#include "engine/stepresult.h"

// The formats a picture is saved in, from the window's format box and vornetta-convert's -f to the saver.

enum class OutputFormat { Jpg, Png, Bmp };

// Every format, in the order the window's format box lists them.
inline constexpr std::array<OutputFormat, 3> kOutputFormats{OutputFormat::Jpg, OutputFormat::Png,
                                                            OutputFormat::Bmp};

// "jpg", "png" or "bmp": the saved file's suffix, the format's name on the command line and in the window's
// worker, and the name Qt's image writers know it by.
QString outputFormatName(OutputFormat format);

// The format of that name, in any case; nothing for any other name.
std::optional<OutputFormat> parseOutputFormat(const QString& name);

// "cannot write NAME files", the name in capitals as the window shows formats: no writer for that format.
StepResult cannotWriteFormat(const QString& name);
