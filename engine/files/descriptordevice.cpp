// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/files/descriptordevice.h"

#include <algorithm>
#include <cerrno>

#include <unistd.h>

DescriptorDevice::DescriptorDevice(int descriptor)
    : descriptor(descriptor)
{}

qint64 DescriptorDevice::readData(char*, qint64)
{
    return -1;
}

qint64 DescriptorDevice::writeData(const char* data, qint64 maxSize)
{
    if (error != 0)
        return -1;
    qint64 done = 0;
    while (done < maxSize) {
        const ssize_t n =
            ::pwrite(descriptor, data + done, static_cast<size_t>(maxSize - done), pos() + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // A write that takes nothing without saying why is a full disk all the same.
            error = n < 0 ? errno : ENOSPC;
            return -1;
        }
        done += n;
    }
    end = std::max(end, pos() + done);
    return done;
}
