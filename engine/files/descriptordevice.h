// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIODevice>

// An open file descriptor as a device that Qt's image writers write to. Every write is checked, and the
// first failure's errno is kept, so that a full disk can be told from other failures. The descriptor stays
// open when the device goes.
class DescriptorDevice final : public QIODevice
{
public:
    explicit DescriptorDevice(int descriptor);

    // The errno of the first write that failed, or 0.
    int writeError() const { return error; }
    // The bytes the file holds from what was written: the end of the furthest write.
    qint64 written() const { return end; }

    qint64 size() const override { return end; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    const int descriptor;
    int error = 0;
    qint64 end = 0;
};
