// AVR serial programming instruction set. Time figures are the datasheets' worst-case
// self-timed cycles, during which the chip ignores anything that would change it and
// every read (the RDY/BSY poll included) shows 0xFF.
#include "sim/AvrChip.h"

namespace {

constexpr uint8_t kReady = 0xFE;  // RDY/BSY poll: bit 0 clear once no cycle runs

// Instructions that change the chip: refused while a cycle runs.
bool changesChip(uint8_t opcode)
{
    switch (opcode) {
    case 0xAC:
    case 0x40:
    case 0x48:
    case 0x4C:
    case 0xC0:
    case 0xC1:
    case 0xC2: return true;
    default: return false;
    }
}

uint8_t& storedFuse(ChipMemories& m, AvrFuse fuse)
{
    return fuse == AvrFuse::Low ? m.lowFuse : fuse == AvrFuse::High ? m.highFuse : m.extendedFuse;
}
uint8_t storedFuse(const ChipMemories& m, AvrFuse fuse)
{
    return fuse == AvrFuse::Low ? m.lowFuse : fuse == AvrFuse::High ? m.highFuse : m.extendedFuse;
}

}  // namespace

AvrChip::AvrChip(const AvrPart& part) : ChipModel(part.type, 4, part.flashBytes, part.eepromBytes), part_(part)
{
    AvrChip::resetToFactory();
}

void AvrChip::resetToFactory()
{
    ChipModel::resetToFactory();
    memories_.lowFuse = part_.factoryFuses[0];
    memories_.highFuse = part_.factoryFuses[1];
    memories_.extendedFuse = part_.factoryFuses[2];
    pageBuffer_.fill(0xFF);
    pageLoaded_.reset();
    eepromLoaded_.reset();
}

// Address bits above the memory's size are not decoded, so addresses wrap.
uint32_t AvrChip::flashWord(const uint8_t* frame) const
{
    return ((uint32_t{frame[1]} << 8) | frame[2]) & static_cast<uint32_t>(part_.flashWords() - 1);
}

uint32_t AvrChip::eepromAddress(const uint8_t* frame) const
{
    return ((uint32_t{frame[1]} << 8) | frame[2]) & static_cast<uint32_t>(part_.eepromBytes - 1);
}

uint8_t AvrChip::readFuse(AvrFuse fuse) const
{
    return static_cast<uint8_t>(storedFuse(memories_, fuse) | ~part_.fuseBits[static_cast<size_t>(fuse)]);
}

int AvrChip::dataReply(const uint8_t* frame) const
{
    switch (frame[0]) {
    case 0x20:
    case 0x28: {
        const uint32_t address = flashWord(frame) * 2 + (frame[0] == 0x28 ? 1 : 0);
        return readsLocked() ? hiddenCell(address) : readCell(SimMemory::Flash, address);
    }
    case 0xA0:
        return readsLocked() ? hiddenCell(eepromAddress(frame)) : readCell(SimMemory::Eeprom, eepromAddress(frame));
    case 0x30: return (frame[2] & 0x03) < 3 ? part_.signature[frame[2] & 0x03] : 0x00;
    case 0x38: return part_.calibration[static_cast<size_t>(frame[2] % part_.calibrationCount)];
    case 0x50:
        if (frame[1] == 0x00)
            return readFuse(AvrFuse::Low);
        return frame[1] == 0x08 && hasExtendedFuse() ? readFuse(AvrFuse::Extended) : -1;
    case 0x58:
        if (frame[1] == 0x08)
            return readFuse(AvrFuse::High);
        return frame[1] == 0x00 ? (memories_.lock | static_cast<uint8_t>(~part_.lockBits)) : -1;
    case 0xF0: return part_.pollsReady ? kReady : -1;
    default: return -1;
    }
}

void AvrChip::run(const uint8_t* frame, Clock::time_point now)
{
    if (!changesChip(frame[0]) || busy(now))
        return;
    switch (frame[0]) {
    case 0x40:
    case 0x48: {
        const size_t at = (frame[2] & static_cast<size_t>(part_.pageWords - 1)) * 2 + (frame[0] == 0x48 ? 1 : 0);
        pageBuffer_[at] = frame[3];
        pageLoaded_.set(at);
        return;
    }
    case 0x4C: writePage(flashWord(frame) & ~static_cast<uint32_t>(part_.pageWords - 1), now); return;
    case 0xC0:
        if (!writesLocked())
            writeCell(SimMemory::Eeprom, eepromAddress(frame), frame[3], false);
        startWriteCycle(now, part_.eepromWrite, 0xFF);
        return;
    case 0xC1:
        if (part_.eepromPageBytes != 0) {
            const size_t at = frame[2] & static_cast<size_t>(part_.eepromPageBytes - 1);
            eepromBuffer_[at] = frame[3];
            eepromLoaded_.set(at);
        }
        return;
    case 0xC2:
        if (part_.eepromPageBytes != 0)
            writeEepromPage(eepromAddress(frame) & ~static_cast<uint32_t>(part_.eepromPageBytes - 1), now);
        return;
    default: runProgrammingInstruction(frame, now); return;
    }
}

// 0xAC: erase, fuse and lock writes.
void AvrChip::runProgrammingInstruction(const uint8_t* frame, Clock::time_point now)
{
    switch (frame[1]) {
    case 0x80: chipErase(now); break;
    case 0xA0: writeFuse(AvrFuse::Low, frame[3], now); break;
    case 0xA8: writeFuse(AvrFuse::High, frame[3], now); break;
    case 0xA4:
        if (hasExtendedFuse())
            writeFuse(AvrFuse::Extended, frame[3], now);
        break;
    case 0xE0:
        // Lock bits are only ever programmed here; a chip erase clears them.
        memories_.lock &= static_cast<uint8_t>(frame[3] | ~part_.lockBits);
        startWriteCycle(now, part_.fuseWrite, 0xFF);
        break;
    default: break;
    }
}

void AvrChip::writeFuse(AvrFuse fuse, uint8_t value, Clock::time_point now)
{
    // Lock mode 2 and 3 lock the fuses as well as the memories.
    if (writesLocked())
        return;
    // Bits the byte lacks stay 1, and SPIEN cannot be unprogrammed over the interface that needs it.
    auto stored = static_cast<uint8_t>(value | ~part_.fuseBits[static_cast<size_t>(fuse)]);
    if (part_.spien.fuse == fuse)
        stored &= static_cast<uint8_t>(~part_.spien.mask);
    storedFuse(memories_, fuse) = stored;
    startWriteCycle(now, part_.fuseWrite, 0xFF);
}

void AvrChip::writePage(uint32_t wordAddress, Clock::time_point now)
{
    if (!writesLocked()) {
        const uint32_t base = wordAddress * 2;
        for (int i = 0; i < part_.pageWords * 2; ++i) {
            // Cells of a byte not loaded keep their value (the buffer's 0xFF is ANDed).
            if (pageLoaded_.test(static_cast<size_t>(i)))
                writeCell(SimMemory::Flash, base + static_cast<uint32_t>(i), pageBuffer_[static_cast<size_t>(i)], true);
        }
    }
    pageBuffer_.fill(0xFF);
    pageLoaded_.reset();
    startWriteCycle(now, part_.flashWrite, 0xFF);
}

void AvrChip::writeEepromPage(uint32_t address, Clock::time_point now)
{
    // Only the loaded bytes change, each erased and written in the one cycle.
    if (!writesLocked()) {
        for (int i = 0; i < part_.eepromPageBytes; ++i) {
            if (eepromLoaded_.test(static_cast<size_t>(i)))
                writeCell(SimMemory::Eeprom, address + static_cast<uint32_t>(i), eepromBuffer_[static_cast<size_t>(i)],
                          false);
        }
    }
    eepromLoaded_.reset();
    startWriteCycle(now, part_.eepromWrite, 0xFF);
}

void AvrChip::chipErase(Clock::time_point now)
{
    const bool eesaveProgrammed = (readFuse(part_.eesave.fuse) & part_.eesave.mask) == 0;
    memories_.erase(eesaveProgrammed);
    // A programmer cannot count on bytes loaded before an erase: the buffers start empty.
    pageBuffer_.fill(0xFF);
    pageLoaded_.reset();
    eepromLoaded_.reset();
    startWriteCycle(now, part_.chipErase, 0xFF);
}
