// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what one page fault costs on this machine, in microseconds: 1 MiB of fresh memory (in 4 KiB pages,
// not huge ones) written a byte a page, 20 times, the time divided by the faults the kernel counted.
//   faultcost

#include <cstdio>
#include <ctime>

#include <sys/mman.h>
#include <sys/resource.h>

namespace {

constexpr long kBytes = 1L << 20;
constexpr long kPageBytes = 4096;
constexpr int kRounds = 20;

double seconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

} // namespace

int main()
{
    double took = 0;
    long faults = 0;
    for (int round = 0; round < kRounds; ++round) {
        void* const memory =
            mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) {
            std::perror("faultcost: mmap");
            return 1;
        }
        madvise(memory, kBytes, MADV_NOHUGEPAGE);
        auto* const bytes = static_cast<volatile unsigned char*>(memory);
        const long faultsBefore = minorFaults();
        const double start = seconds();
        for (long at = 0; at < kBytes; at += kPageBytes)
            bytes[at] = 1;
        took += seconds() - start;
        faults += minorFaults() - faultsBefore;
        munmap(memory, kBytes);
    }
    if (faults <= 0) {
        std::fprintf(stderr, "faultcost: no page faults counted\n");
        return 1;
    }
    std::printf("%.2f\n", took / double(faults) * 1e6);
    return 0;
}
