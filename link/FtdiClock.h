// FtdiClock: the bit-bang rate of an FTDI adapter that gives the SPI lines a half
// clock of at least ClockDelay µs, whichever of the two readings of its rate holds.
#pragma once

#include <cstdint>

class FtdiClock {
public:
    // A half clock below this is taken as this: the cable is never clocked faster.
    static constexpr int32_t kMinHalfClockUs = 5;
    // How many pin updates an FT232R makes per unit of the value given to
    // ftdi_set_baudrate in bit-bang mode is not settled: 16 per second by one reading
    // (libftdi multiplies the value by 4 and timing measurements show 4 updates per
    // programmed Bd), 1 by the other (the value is the update rate). Rates are chosen
    // for the faster reading, so under the slower one every state lasts this much longer.
    static constexpr double kSlowerReadingFactor = 16.0;

    // The rate and the states per half clock for a half clock of `microseconds`: the
    // fastest choice whose half clock is at least that long under either reading.
    // Where the rate it asks for is below what the chip can be programmed for, each
    // state is repeated instead (repeat() > 1).
    static FtdiClock forHalfClock(int32_t microseconds);

    // The baud divisor in eighths that the chip is programmed with when libftdi is
    // given `value` in bit-bang mode; 0 when libftdi refuses the value (a divisor out
    // of range, or a rate more than about 5 % from the one asked for).
    static int64_t divisorEighths(int value);
    // One pin state for `value` under the faster reading, in µs; 0 when refused.
    static double stateUsFor(int value);

    int32_t requestedUs() const { return requestedUs_; }
    int baudValue() const { return baudValue_; }          // for ftdi_set_baudrate, bit mode on
    int repeat() const { return repeat_; }                // pin states per half clock
    double stateUs() const { return stateUs_; }           // one state, faster reading: its shortest
    double halfUs() const { return stateUs_ * repeat_; }  // the shortest half clock
    double slowestHalfUs() const { return halfUs() * kSlowerReadingFactor; }

    bool operator==(const FtdiClock&) const = default;

private:
    int32_t requestedUs_ = 0;
    int baudValue_ = 0;
    int repeat_ = 1;
    double stateUs_ = 0;
};
