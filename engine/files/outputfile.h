// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include "engine/stepresult.h"

// A new file in the output folder that gets its name only once it is complete, without following a link
// and without replacing anything. It is made without a name (O_TMPFILE), so that a run killed while it
// writes leaves nothing at all. Where the file system cannot do that, it is a temporary file of its own
// name (leftovertemporaries.h), locked while it lives; such files that killed runs left behind go when a
// save first comes into their folder. Either way the file goes with this object unless it was given a name.
class OutputFile final
{
public:
    // In the open folder, whose descriptor must outlive this object.
    explicit OutputFile(int folder);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // 0 when the file was made, else why not (an errno).
    int creationError() const { return error; }
    int handle() const { return fd; }

    // Gives the written file the name, unless something, even a link to nowhere, is there, and closes it:
    // 0, or an errno (EEXIST when the name is taken, and the file stays nameless to try another).
    int takeName(const QByteArray& name);

private:
    int link(const QByteArray& name);
    const int folder;
    int fd = -1;
    int error = 0;
    QByteArray temporaryName; // empty for a file without a name
    bool named = false;
};

// The failure of a write into the output folder, from its errno: "not enough disk space" when the disk,
// the user's quota or the file size limit is full, "cannot write to the output folder" otherwise.
StepResult outputWriteFailure(int error);
