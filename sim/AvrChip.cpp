// ATmega8-family instruction set. Time figures are the datasheets' worst-case
// write cycles, during which the chip ignores writes and every read shows 0xFF.
#include "sim/AvrChip.h"

#include <algorithm>

namespace {

using std::chrono::microseconds;
constexpr microseconds kPageWriteTime{4500};
constexpr microseconds kEepromWriteTime{9000};
constexpr microseconds kFuseWriteTime{4500};
constexpr microseconds kChipEraseTime{9000};
constexpr int kFlashBytes = 8192;
constexpr int kEepromBytes = 512;
constexpr uint8_t kSpienBit = 0x20;   // high fuse: serial programming stays enabled
constexpr uint8_t kEesaveBit = 0x08;  // high fuse: a chip erase keeps the EEPROM
// Internal RC oscillator calibration at 1, 2, 4 and 8 MHz.
constexpr std::array<uint8_t, 4> kCalibration = {0xA9, 0xA5, 0xA1, 0x9E};

uint32_t wordOf(const uint8_t* frame) { return ((frame[1] & 0x0Fu) << 8) | frame[2]; }

}  // namespace

AvrChip::AvrChip(SimChipType type) : ChipModel(type, 4, kFlashBytes, kEepromBytes)
{
    const uint8_t last = type == SimChipType::Atmega8515 ? 0x06 : type == SimChipType::Atmega8535 ? 0x08 : 0x07;
    signature_ = {0x1E, 0x93, last};
    AvrChip::resetToFactory();
}

void AvrChip::resetToFactory()
{
    ChipModel::resetToFactory();
    // All three leave the factory on the internal 1 MHz oscillator, slow rising power.
    memories_.lowFuse = 0xE1;
    memories_.highFuse = 0xD9;
    pageBuffer_.fill(0xFF);
    pageLoaded_ = 0;
}

int AvrChip::dataReply(const uint8_t* frame) const
{
    switch (frame[0]) {
    case 0x20:
    case 0x28:
        return readCell(SimMemory::Flash, wordOf(frame) * 2 + (frame[0] == 0x28 ? 1 : 0));
    case 0xA0:
        return readCell(SimMemory::Eeprom, ((frame[1] & 0x01u) << 8) | frame[2]);
    case 0x30:
        return (frame[2] & 0x03) < 3 ? signature_[frame[2] & 0x03] : 0x00;
    case 0x38:
        return kCalibration[frame[2] & 0x03];
    case 0x50:
        return frame[1] == 0x00 ? memories_.lowFuse : -1;
    case 0x58:
        if (frame[1] == 0x08)
            return memories_.highFuse;
        return frame[1] == 0x00 ? (memories_.lock | 0xC0) : -1;
    default:
        return -1;
    }
}

void AvrChip::run(const uint8_t* frame, Clock::time_point now)
{
    const bool isWrite = frame[0] == 0xAC || frame[0] == 0x40 || frame[0] == 0x48 || frame[0] == 0x4C
                         || frame[0] == 0xC0;
    if (!isWrite || busy(now))
        return;
    switch (frame[0]) {
    case 0x40:
    case 0x48: {
        const size_t at = (frame[2] & 0x1Fu) * 2 + (frame[0] == 0x48 ? 1 : 0);
        pageBuffer_[at] = frame[3];
        pageLoaded_ |= uint64_t{1} << at;
        return;
    }
    case 0x4C:
        writePage(wordOf(frame) & 0x0FE0u, now);
        return;
    case 0xC0:
        if (!writesLocked())
            writeCell(SimMemory::Eeprom, ((frame[1] & 0x01u) << 8) | frame[2], frame[3], false);
        startWriteCycle(now, kEepromWriteTime, 0xFF);
        return;
    default:
        break;
    }
    // 0xAC: erase, fuse and lock writes.
    switch (frame[1]) {
    case 0x80:
        chipErase(now);
        break;
    case 0xA0:
        memories_.lowFuse = frame[3];
        startWriteCycle(now, kFuseWriteTime, 0xFF);
        break;
    case 0xA8:
        // SPIEN cannot be unprogrammed over the interface that needs it.
        memories_.highFuse = static_cast<uint8_t>(frame[3] & ~kSpienBit);
        startWriteCycle(now, kFuseWriteTime, 0xFF);
        break;
    case 0xE0:
        // Lock bits are only ever programmed here; a chip erase clears them.
        memories_.lock &= static_cast<uint8_t>(frame[3] | 0xC0);
        startWriteCycle(now, kFuseWriteTime, 0xFF);
        break;
    default:
        break;
    }
}

void AvrChip::writePage(uint32_t wordAddress, Clock::time_point now)
{
    if (!writesLocked()) {
        const uint32_t base = wordAddress * 2;
        for (int i = 0; i < kPageBytes; ++i) {
            // Cells of a byte not loaded keep their value (the buffer's 0xFF is ANDed).
            if (pageLoaded_ & (uint64_t{1} << i))
                writeCell(SimMemory::Flash, base + static_cast<uint32_t>(i), pageBuffer_[i], true);
        }
    }
    pageBuffer_.fill(0xFF);
    pageLoaded_ = 0;
    startWriteCycle(now, kPageWriteTime, 0xFF);
}

void AvrChip::chipErase(Clock::time_point now)
{
    // EESAVE programmed (bit 0) keeps the EEPROM.
    memories_.erase((memories_.highFuse & kEesaveBit) == 0);
    startWriteCycle(now, kChipEraseTime, 0xFF);
}
