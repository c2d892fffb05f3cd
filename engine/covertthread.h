#pragma once

#include <QString>
#include <QThread>

// Converts one HEIC file per start on a thread of its own.
class CovertThread : public QThread
{
public:
    CovertThread();
    ~CovertThread() override;

    // Written by the window before each start, read back after finished().
    QString inputFile;
    QString outputFile;
    int itemIndex = -1;
    QString format;

    // Set by the run: whether the output file was written, and if not, why.
    bool succeeded = false;
    QString failureReason;

    // Asks a running conversion to stop: the running tool is killed and no output is written.
    void requestStop();

protected:
    void run() override;
};
