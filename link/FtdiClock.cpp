// FtdiClock: an FT232R is programmed with 3 MHz / n, n in eighths up to 16383.875
// (AN232B-05); libftdi takes the nearest eighth to what it is asked for, after
// multiplying bit-bang rates by 4. Under the faster reading a pin state then lasts
// eighths / 96 µs, which is what the choice below is made in.
#include "link/FtdiClock.h"

#include <algorithm>

namespace {

constexpr int64_t kMaxEighths = 0x1FFFF;
constexpr int64_t kSpecialCodesBelowEighths = 24;  // 3, 2 and 1.5 MBd have codes of their own
// A state lasts eighths / kEighthsPerUs µs under the faster reading.
constexpr int64_t kEighthsPerUs = 96;
// 24 MHz / eighths is the programmed rate; libftdi is asked for a quarter of it.
constexpr int64_t kValueTimesEighths = 6000000;
// Repeats tried beyond twice the fewest that work, and how much closer to the half
// clock more repeats must come to be worth their states.
constexpr int64_t kExtraRepeats = 4;
constexpr double kWorthRepeating = 0.005;

}  // namespace

int64_t FtdiClock::divisorEighths(int value)
{
    if (value <= 0)
        return 0;
    const int64_t asked = 4 * static_cast<int64_t>(value);
    if (asked >= 1500000)
        return 0;  // far above any half clock the cable allows; never chosen
    // libftdi's rounding: sixteenths of the divisor, the odd one rounded up.
    const int64_t sixteenths = 48000000 / asked;
    int64_t eighths = sixteenths / 2 + (sixteenths & 1);
    if (eighths > 0x20000)
        eighths = kMaxEighths;
    if (eighths < kSpecialCodesBelowEighths)
        return 0;
    // libftdi refuses a result more than about 5 % off (its own check, in integers).
    const int64_t actual = (48000000 / eighths + 1) / 2;
    const bool off = actual * 2 < asked || (actual < asked ? actual * 21 < asked * 20 : asked * 21 < actual * 20);
    return off ? 0 : eighths;
}

double FtdiClock::stateUsFor(int value)
{
    const int64_t eighths = divisorEighths(value);
    return eighths > 0 ? static_cast<double>(eighths) / kEighthsPerUs : 0.0;
}

FtdiClock FtdiClock::forHalfClock(int32_t microseconds)
{
    const int64_t half = std::max<int64_t>(microseconds, kMinHalfClockUs);
    FtdiClock best;
    best.requestedUs_ = static_cast<int32_t>(half);
    // The fewest repeats whose states the chip can be programmed for, and up to twice as
    // many: the slow end of the divisor range is coarse, and a shorter state repeated more
    // often can come closer to the half clock.
    const int64_t fewest = std::max<int64_t>(1, (kEighthsPerUs * half + kMaxEighths - 1) / kMaxEighths);
    for (int64_t repeat = fewest; repeat < 2 * fewest + kExtraRepeats || best.baudValue_ == 0; ++repeat) {
        const int64_t minEighths = (kEighthsPerUs * half + repeat - 1) / repeat;
        if (minEighths > kMaxEighths)
            continue;
        // libftdi rounds to the nearest eighth, so the value just above the exact one
        // may still land on minEighths; below it the divisor only grows.
        const int64_t exact = kValueTimesEighths / minEighths;
        for (int64_t value = exact + 1; value >= std::max<int64_t>(1, exact - 2); --value) {
            const int64_t eighths = divisorEighths(static_cast<int>(value));
            if (eighths < minEighths)
                continue;
            const double stateUs = static_cast<double>(eighths) / kEighthsPerUs;
            if (best.baudValue_ == 0 || stateUs * static_cast<double>(repeat) < best.halfUs() * (1 - kWorthRepeating)) {
                best.baudValue_ = static_cast<int>(value);
                best.repeat_ = static_cast<int>(repeat);
                best.stateUs_ = stateUs;
            }
            break;
        }
    }
    return best;
}
