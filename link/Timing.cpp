// Busy-wait delays: a sleep's granularity is far above the 5 µs a half clock needs.
#include "link/Timing.h"

#include <chrono>
#include <thread>

namespace {

void busyWait(int32_t amount, long double perSecond)
{
    using Clock = std::chrono::steady_clock;
    // Ticks per second, read on every call like a hardware counter's frequency.
    const long double frequency = static_cast<long double>(Clock::period::den)
        / static_cast<long double>(Clock::period::num);
    const long double ticks = static_cast<long double>(amount) * frequency / perSecond;
    const Clock::time_point start = Clock::now();
    long double elapsed = 0;
    while (ticks > elapsed)
        elapsed = static_cast<long double>((Clock::now() - start).count());
}

}  // namespace

void delayMicroseconds(int32_t microseconds) { busyWait(microseconds, 1000000.0L); }

void delayMilliseconds(int32_t milliseconds) { busyWait(milliseconds, 1000.0L); }

void sleepMilliseconds(int32_t milliseconds)
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
