// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QThread>

// Converts one HEIC file per start on a thread of its own (convertFile, conversion.h): the window sets the
// four fields, starts the thread, and reads the fields and the result back after finished().
class CovertThread : public QThread
{
public:
    CovertThread();
    ~CovertThread() override; // stops a running conversion and waits for its end

    // Written by the window before each start, read back after finished().
    QString inputFile;
    QString outputFile;
    int itemIndex = -1;
    QString format;
    // The writer's quality, 0 to 100; -1 keeps the writer's default (what the window uses).
    int quality = -1;
    // Work in a folder of this run's own, removed at its end, and leave the shared one to the window.
    bool privateWorkFolder = false;

    // Set by the run: whether the output file was written, and if not, why. The file is written under
    // outputFile, or under the next free name of its kind when another program took that name meanwhile:
    // an existing file is never replaced. savedFile is the name it took.
    bool succeeded = false;
    QString savedFile;
    QString failureReason;

    // Asks a running conversion to stop, from any thread: the running tool is killed within a second,
    // the run ends and no output file is written. Does nothing when no conversion runs.
    void requestStop();

protected:
    void run() override;
};
