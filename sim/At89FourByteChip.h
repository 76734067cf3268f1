// The AT89S51, AT89S52 and AT89S8253: 4-byte instructions, byte-wise flash that
// needs a chip erase before a cell can go back to 1, and data polling while busy.
#pragma once

#include "sim/ChipModel.h"

class At89FourByteChip final : public ChipModel {
public:
    explicit At89FourByteChip(SimChipType type);

protected:
    int dataReply(const uint8_t* frame) const override;
    void run(const uint8_t* frame, Clock::time_point now) override;

private:
    bool is8253() const { return type() == SimChipType::At89s8253; }
    uint32_t flashAddress(const uint8_t* frame) const;
    uint32_t eepromAddress(const uint8_t* frame) const { return ((frame[1] & 0x07u) << 8) | frame[2]; }
    bool writesLocked() const { return (memories_.lock & 0x01) == 0; }

    std::chrono::microseconds writeTime_;
};
