// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>

// This process's memory, from /proc/self, for tests that bound it.
namespace vornetta::test {

// A field of /proc/self/status in kB ("VmRSS:", "VmHWM:"); -1 when it cannot be read.
inline long statusKiB(const QByteArray& field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

inline long residentKiB()
{
    return statusKiB("VmRSS:");
}

// The most the process has had resident since it started or since resetPeakResident().
inline long peakResidentKiB()
{
    return statusKiB("VmHWM:");
}

// Starts the peak anew from the present resident set; false where the kernel refuses.
inline bool resetPeakResident()
{
    QFile clear("/proc/self/clear_refs");
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// How far the resident set rose above its size at construction, in KiB; -1 when it cannot be read. The
// peak mark is reset first where the kernel allows it; elsewhere the process's earlier peak makes the
// figure larger, never smaller.
class MemoryGrowth final
{
public:
    MemoryGrowth()
        : start((resetPeakResident(), residentKiB()))
    {}
    long kib() const
    {
        const long peak = peakResidentKiB();
        return start < 0 || peak < 0 ? -1 : peak - start;
    }

private:
    const long start;
};

} // namespace vornetta::test
