// AT89S51/52/8253 instruction set.
#include "sim/At89FourByteChip.h"

#include <algorithm>

namespace {

constexpr uint8_t kEnableReply = 0x69;

int flashSizeOf(SimChipType type)
{
    return type == SimChipType::At89s51 ? 4096 : type == SimChipType::At89s52 ? 8192 : 12288;
}

}  // namespace

At89FourByteChip::At89FourByteChip(SimChipType type)
    : ChipModel(type, 4, flashSizeOf(type), type == SimChipType::At89s8253 ? 2048 : 0),
      writeTime_(type == SimChipType::At89s8253 ? 4000 : 500)
{
}

uint32_t At89FourByteChip::flashAddress(const uint8_t* frame) const
{
    const uint32_t high = frame[1] & (is8253() ? 0x3Fu : 0x1Fu);
    const uint32_t address = (high << 8) | frame[2];
    // The S51/S52 decode only the address lines they have, so addresses wrap.
    return is8253() ? address : address % static_cast<uint32_t>(memories_.flash.size());
}

int At89FourByteChip::dataReply(const uint8_t* frame) const
{
    switch (frame[0]) {
    case 0xAC: return frame[1] == 0x53 ? kEnableReply : -1;
    case 0x20: return readCell(SimMemory::Flash, flashAddress(frame));
    case 0xA0: return is8253() ? readCell(SimMemory::Eeprom, eepromAddress(frame)) : -1;
    case 0x24: {
        if (is8253())
            return -1;
        // LB3 LB2 LB1 in bits 4..2, a programmed bit reads 1.
        const unsigned programmed = ~memories_.lock & 0x07u;
        return static_cast<int>(programmed << 2);
    }
    case 0x28:
        if (is8253()) {
            static constexpr uint8_t kSignature[3] = {0x1E, 0x73, 0xFF};
            const int k = frame[2] - 0x30;
            return frame[1] == 0 && k >= 0 && k < 3 ? kSignature[k] : 0xFF;
        } else {
            const uint8_t kSignature[3] = {0x1E, type() == SimChipType::At89s51 ? uint8_t{0x51} : uint8_t{0x52}, 0x06};
            return frame[1] < 3 && frame[2] == 0 ? kSignature[frame[1]] : 0xFF;
        }
    default: return -1;
    }
}

void At89FourByteChip::run(const uint8_t* frame, Clock::time_point now)
{
    if (busy(now))
        return;
    switch (frame[0]) {
    case 0x40:
        if (writesLocked())
            return;
        writeCell(SimMemory::Flash, flashAddress(frame), frame[3], true);
        startWriteCycle(now, writeTime_, static_cast<uint8_t>(frame[3] ^ 0x80));
        return;
    case 0xC0:
        if (!is8253() || writesLocked())
            return;
        writeCell(SimMemory::Eeprom, eepromAddress(frame), frame[3], false);
        startWriteCycle(now, writeTime_, static_cast<uint8_t>(frame[3] ^ 0x80));
        return;
    case 0xAC: break;
    default: return;
    }
    if (frame[1] == 0x80) {
        memories_.erase();
    } else if ((frame[1] & 0xF8) == 0xE0) {
        if (is8253()) {
            // The three lock bits travel as they are stored: 0 programs that bit.
            memories_.lock &= static_cast<uint8_t>(frame[1] | 0xF8);
        } else {
            const int mode = frame[1] & 0x03;
            if (mode > 0)
                memories_.lock &= static_cast<uint8_t>(~(1u << (mode - 1)));
        }
    }
}
