// The AVR fuse bytes (the sixteen check boxes of "Fuse bits (AVR)" on the ATmega8).
// A programmed bit is 0.
#pragma once

#include <cstdint>

class DeviceRunner;
enum class RunOutcome;

struct FuseBytes {
    uint8_t low = 0xFF;
    uint8_t high = 0xFF;
    uint8_t extended = 0xFF;  // 0xFF on a chip without one
};

// The chip's fuse bytes into *fuses ("F.B. read"); written only when the outcome is Done.
RunOutcome readFuseBits(DeviceRunner& runner, FuseBytes* fuses);
// The bytes into the chip's fuses, low first, each waiting out the one before
// ("F.B. programmed"); nothing is read back. With a chip without fuses both send
// nothing and return Cancelled.
RunOutcome writeFuseBits(DeviceRunner& runner, const FuseBytes& fuses);
// As writeFuseBits, but an extended fuse keeps the value the chip holds (read in the
// same run), so a change of the low and high bytes leaves it alone.
RunOutcome writeLowAndHighFuses(DeviceRunner& runner, uint8_t low, uint8_t high);
