// AT89S8252 / AT89S53 instruction set.
#include "sim/At89ThreeByteChip.h"

#include <algorithm>

namespace {
constexpr std::chrono::microseconds kByteWriteTime{2500};
}

At89ThreeByteChip::At89ThreeByteChip(SimChipType type)
    : ChipModel(type, 3, type == SimChipType::At89s53 ? 12288 : 8192, type == SimChipType::At89s8252 ? 2048 : 0)
{
}

At89ThreeByteChip::Decoded At89ThreeByteChip::decode(const uint8_t* frame) const
{
    const uint8_t op = frame[0];
    if (op == 0xAC)
        return {};
    // On the AT89S8252 low bits 101/110 select the EEPROM; the AT89S53 has none
    // and uses bit 2 for A13 instead.
    if (type() == SimChipType::At89s8252 && ((op & 0x07) == 0x05 || (op & 0x07) == 0x06))
        return {(op & 0x07) == 0x05 ? Op::ReadEeprom : Op::WriteEeprom, ((op >> 3) & 0x07u) << 8 | frame[1]};
    uint32_t address = ((op >> 3) & 0x1Fu) << 8 | frame[1];
    if (type() == SimChipType::At89s53 && (op & 0x04))
        address |= 0x2000;
    switch (op & 0x03) {
    case 0x01: return {Op::ReadFlash, address};
    case 0x02: return {Op::WriteFlash, address};
    default: return {};
    }
}

int At89ThreeByteChip::dataReply(const uint8_t* frame) const
{
    const Decoded d = decode(frame);
    if (d.op == Op::ReadFlash)
        return readCell(SimMemory::Flash, d.address);
    if (d.op == Op::ReadEeprom)
        return readCell(SimMemory::Eeprom, d.address);
    return -1;
}

void At89ThreeByteChip::run(const uint8_t* frame, Clock::time_point now)
{
    if (busy(now))
        return;
    const Decoded d = decode(frame);
    if (d.op == Op::WriteFlash || d.op == Op::WriteEeprom) {
        if (writesLocked())
            return;
        // Each byte write erases that byte first, so it simply replaces it.
        writeCell(d.op == Op::WriteFlash ? SimMemory::Flash : SimMemory::Eeprom, d.address, frame[2], false);
        startWriteCycle(now, kByteWriteTime, static_cast<uint8_t>(frame[2] ^ 0x80));
        return;
    }
    if (frame[0] != 0xAC)
        return;
    if (frame[1] == 0x04) {
        memories_.erase();
    } else if ((frame[1] & 0x07) == 0x07) {
        // Bits 7..5 carry LB1..LB3, 0 programs the bit; stored as bits 0..2.
        const unsigned b = frame[1];
        const unsigned keep = ((b >> 7) & 1u) | (((b >> 6) & 1u) << 1) | (((b >> 5) & 1u) << 2);
        memories_.lock &= static_cast<uint8_t>(keep | 0xF8u);
    }
}
