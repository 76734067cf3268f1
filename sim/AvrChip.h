// The ATmega8 and its relatives ATmega8515 / ATmega8535: 4-byte instructions,
// page-mode flash through a page buffer, byte-wise EEPROM, fuses and lock byte.
#pragma once

#include <array>

#include "sim/ChipModel.h"

class AvrChip final : public ChipModel {
public:
    explicit AvrChip(SimChipType type);
    void resetToFactory() override;

    static constexpr int kPageBytes = 64;

protected:
    int dataReply(const uint8_t* frame) const override;
    void run(const uint8_t* frame, Clock::time_point now) override;
    uint8_t busyReply() const override { return 0xFF; }

private:
    void writePage(uint32_t wordAddress, Clock::time_point now);
    void chipErase(Clock::time_point now);
    bool writesLocked() const { return (memories_.lock & 0x01) == 0; }

    std::array<uint8_t, 3> signature_;
    std::array<uint8_t, kPageBytes> pageBuffer_;
    uint64_t pageLoaded_ = 0;  // which buffer bytes were loaded since the last commit
};
