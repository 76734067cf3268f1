// MemoryCommands: one byte of the selected memory read or written, encoded as the
// ISP instruction of the chip and memory that TargetKind names. The target must
// already be in programming mode. Device operations reach these through their
// DeviceSession (readByte / writeByte), which also checks the line after each byte.
#pragma once

#include <cstdint>

class IspLink;
struct TargetState;

class MemoryCommands {
public:
    MemoryCommands(IspLink& isp, const TargetState& target);

    // The byte at a byte address (from 0) of the selected memory; 0 with nothing
    // sent when TargetKind is none of 1..7.
    uint8_t ReadTargetByte(int32_t address);
    // Writes one byte and waits out its write cycle (WriteDelay, or EepromWriteDelay
    // for the ATmega8 EEPROM). For the ATmega8 flash (TargetKind 7) the byte goes into
    // the page buffer, and the page last loaded is first written to flash when the
    // address lies in another page: end a flash write with one more call in another
    // page than the last one loaded. Sends nothing when TargetKind is none of 1..7.
    void WriteTargetByte(int32_t address, uint8_t value);

    // The ATmega8 flash page (word address & 0x0FE0) whose bytes the page buffer holds.
    // Set it to 0 before an ATmega8 flash write.
    uint16_t LoadedPage = 0;

private:
    IspLink& isp_;
    const TargetState& target_;
};
