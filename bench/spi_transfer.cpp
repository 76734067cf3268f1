// Times IspLink::transferByte at the fastest rung against a simulated ATmega8, to show
// that the simulated chip is not what a run waits for: the floor is the 16 half
// clocks of 5 µs that the busy-waits alone take.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

#include <QCoreApplication>

#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "sim/SimChipCatalogue.h"
#include "sim/SimulatedTarget.h"
#include "target/ChipCatalogue.h"
#include "target/TargetState.h"

// Counts every allocation, so the run can show that the per-bit path makes none.
std::atomic<long> allocations{0};

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    constexpr int kBytes = 20000;
    constexpr double kFloorUs = 16 * 5.0;

    LineDriver line(nullptr);
    line.attach(std::make_unique<SimulatedTarget>(makeChipModel(SimChipType::Atmega8)));
    TargetState target;
    applyChipState(target, chipForKeyword(QStringLiteral("atmega8")));
    IspLink isp(line, target.writeDelay);
    isp.setProtocol(&target.chip->isp);
    isp.enterProgrammingMode();
    if (!isp.checkSync()) {
        std::fprintf(stderr, "the simulated chip did not answer\n");
        return 1;
    }
    line.setClockDelay(5);

    // Signature reads keep the chip busy with real instructions, not just shifting.
    const long allocationsBefore = allocations;
    const auto start = std::chrono::steady_clock::now();
    unsigned sink = 0;
    for (int i = 0; i < kBytes; ++i)
        sink += isp.transferByte((i & 3) == 0 ? 0x30 : (i & 3) == 2 ? 0x01 : 0x00);
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    const long allocated = allocations - allocationsBefore;
    const double perByte = took.count() / kBytes;
    std::printf("bytes %d, checksum %u, allocations %ld\n", kBytes, sink, allocated);
    if (allocated != 0) {
        std::fprintf(stderr, "the per-bit path allocated\n");
        return 1;
    }
    std::printf("spi-transfer atmega8: %.1f us/byte, floor %.1f us, ratio %.3f\n", perByte, kFloorUs,
                perByte / kFloorUs);
    return 0;
}
