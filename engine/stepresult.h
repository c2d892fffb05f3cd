// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <utility>

#include <QString>

#include "protocol/protocol.h"

// What kind of thing stopped a conversion.
enum class FailureKind {
    None,
    Input,       // the file cannot be read, or is not a file
    WorkFolder,  // the work folder cannot be made, used safely or written
    Picture,     // not a HEIC file, damaged, too large, or tiles that would not decode
    Tool,        // the splitter or the tile decoder is missing, crashed or hung
    Memory,      // no memory for the picture
    Output,      // the output folder cannot be written, or the format has no writer
    Stopped,     // the caller asked to stop
    TookTooLong, // past the time one file may take
};

// How one step of a conversion ended: well, or with a failure and a few plain words for the user.
struct StepResult
{
    FailureKind failure = FailureKind::None;
    QString reason; // empty on success

    bool ok() const { return failure == FailureKind::None; }
    static StepResult failed(FailureKind kind, const QString& reason) { return StepResult{kind, reason}; }

    // The failures several steps give, in the same words.
    static StepResult stopped() { return failed(FailureKind::Stopped, QStringLiteral("stopped")); }
    static StepResult damaged()
    {
        return failed(FailureKind::Picture, QStringLiteral("not a HEIC file or damaged"));
    }
    static StepResult outOfMemory()
    {
        return failed(FailureKind::Memory, QStringLiteral("not enough memory"));
    }
    static StepResult tooLarge()
    {
        return failed(FailureKind::Picture,
                      QStringLiteral("picture larger than %1 pixels").arg(protocol::kMaxConvertedSide));
    }
    static StepResult workFolderUnwritable()
    {
        return failed(FailureKind::WorkFolder, QStringLiteral("cannot write the work folder"));
    }
};

// A step's value, or the failure that left it without one (as libheif's Result<T>). The value means
// nothing unless ok().
template <typename T>
struct Result
{
    Result(T value)
        : value(std::move(value))
    {}
    Result(StepResult failure)
        : status(std::move(failure))
    {}

    bool ok() const { return status.ok(); }

    StepResult status;
    T value{};
};

// A step's own result (a struct with a status and what the step makes) that failed, making nothing.
template <typename Result>
Result failedWith(const StepResult& status)
{
    Result result;
    result.status = status;
    return result;
}
