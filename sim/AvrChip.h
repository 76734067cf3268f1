// The AVRs: 4-byte instructions, page-mode flash through a page buffer, EEPROM
// written byte-wise or (on the newer parts) through a small page buffer, low,
// high and extended fuses and a lock byte. What differs between parts comes
// from their AvrPart description.
#pragma once

#include <array>
#include <bitset>

#include "sim/AvrPart.h"
#include "sim/ChipModel.h"

class AvrChip final : public ChipModel {
public:
    // part must outlive the chip (the descriptions are static).
    explicit AvrChip(const AvrPart& part);
    void resetToFactory() override;
    bool hasExtendedFuse() const override { return part_.hasFuse(AvrFuse::Extended); }

protected:
    int dataReply(const uint8_t* frame) const override;
    void run(const uint8_t* frame, Clock::time_point now) override;
    uint8_t busyReply() const override { return 0xFF; }

private:
    uint32_t flashWord(const uint8_t* frame) const;
    uint32_t eepromAddress(const uint8_t* frame) const;
    uint8_t readFuse(AvrFuse fuse) const;
    void writeFuse(AvrFuse fuse, uint8_t value, Clock::time_point now);
    void runProgrammingInstruction(const uint8_t* frame, Clock::time_point now);
    void writePage(uint32_t wordAddress, Clock::time_point now);
    void writeEepromPage(uint32_t address, Clock::time_point now);
    void chipErase(Clock::time_point now);
    // LB1 programmed (lock mode 2) refuses writes to the memories and the fuses; LB2 as well
    // (mode 3) also hides what the memories hold.
    bool writesLocked() const { return (memories_.lock & 0x01) == 0; }
    bool readsLocked() const { return (memories_.lock & 0x02) == 0; }
    // What a read of a hidden cell shows: not its contents, but the address's low byte.
    static uint8_t hiddenCell(uint32_t address) { return static_cast<uint8_t>(address); }

    const AvrPart& part_;
    std::array<uint8_t, AvrPart::kMaxPageBytes> pageBuffer_;
    std::bitset<AvrPart::kMaxPageBytes> pageLoaded_;  // loaded since the last commit
    std::array<uint8_t, AvrPart::kMaxEepromPageBytes> eepromBuffer_{};
    std::bitset<AvrPart::kMaxEepromPageBytes> eepromLoaded_;
};
