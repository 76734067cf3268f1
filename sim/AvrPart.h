// The facts that tell one simulated AVR from another, as their datasheets give
// them: one description per part, read by AvrChip. This table is the simulator's
// own, kept apart from the programmer's chip table on purpose: the simulated chip
// is a second opinion, so a mistake in one shows up as a disagreement.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

#include "sim/ChipModel.h"

enum class AvrFuse { Low, High, Extended };

// One fuse bit: the byte it lives in and its mask there.
struct AvrFuseBit {
    AvrFuse fuse;
    uint8_t mask;
};

struct AvrPart {
    // The largest page buffers of any part, for fixed-size buffers.
    static constexpr int kMaxPageBytes = 128;
    static constexpr int kMaxEepromPageBytes = 8;

    SimChipType type;
    std::array<uint8_t, 3> signature;
    int flashBytes;
    int pageWords;  // flash page: 16-bit words per page buffer
    int eepromBytes;
    int eepromPageBytes;  // EEPROM page buffer (C1/C2); 0 where only byte writes exist
    // Indexed by AvrFuse. fuseBits are the bits a byte has (the others read 1);
    // 0 = the part has no such byte.
    std::array<uint8_t, 3> factoryFuses;
    std::array<uint8_t, 3> fuseBits;
    AvrFuseBit spien;   // serial programming enable: cannot be unprogrammed over SPI
    AvrFuseBit eesave;  // programmed: a chip erase keeps the EEPROM
    uint8_t lockBits;   // 0x3F with the boot lock bits, 0x03 with LB1/LB2 only
    bool pollsReady;    // answers the RDY/BSY poll F0
    std::array<uint8_t, 4> calibration;
    int calibrationCount;
    // Worst-case self-timed cycles: flash page, EEPROM byte or page, chip erase, fuse or lock.
    std::chrono::microseconds flashWrite;
    std::chrono::microseconds eepromWrite;
    std::chrono::microseconds chipErase;
    std::chrono::microseconds fuseWrite;

    int flashWords() const { return flashBytes / 2; }
    bool hasFuse(AvrFuse fuse) const { return fuseBits[static_cast<size_t>(fuse)] != 0; }
};

// The description of an AVR type; null for the 89S chips.
const AvrPart* findAvrPart(SimChipType type);
