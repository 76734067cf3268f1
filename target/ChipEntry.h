// ChipEntry: everything the program knows of one entry of the chip table, as data:
// its names, memories and sizes, delays, signatures, and the instruction of every
// operation, per memory. Device code reads these; it never asks which chip it is.
#pragma once

#include <array>
#include <cstdint>

#include "link/IspInstruction.h"
#include "link/IspProtocol.h"

enum class MemoryKind { Flash, Eeprom };

// One memory and how one of its bytes is read and written. Addresses are byte
// addresses; an instruction with an H bit takes the word (address / 2) and the byte
// of it (address & 1).
struct MemorySpec {
    int32_t size = 0;  // bytes; 0: the chip has no such memory
    IspInstruction read{};
    // A byte written by itself (the chip times its own write cycle). Empty for a
    // memory written through a page buffer.
    IspInstruction write{};
    // Page buffer: loadPage puts a byte into it, commitPage writes it into the page
    // holding an address (with the page's address, in the units the instruction takes).
    IspInstruction loadPage{};
    IspInstruction commitPage{};
    int32_t pageBytes = 0;
    // ms after each byte or page write; -1 for the chip's write delay, which the
    // timing ladder lengthens.
    int32_t writeDelay = -1;
    // Cells only go from 1 to 0: a programming run erases the chip before it writes.
    bool erasedBeforeWrite = false;

    bool exists() const { return size > 0; }
    bool paged() const { return !commitPage.isEmpty(); }
};

// The lock levels 1..3 of an 89S chip: each level sends `write` once per value listed,
// with the value as its i bits, and waits waitMs after each.
struct LockLevels {
    struct Level {
        uint8_t count = 0;
        std::array<uint8_t, 4> values{};
    };
    IspInstruction write{};
    std::array<Level, 3> levels{};
    int32_t waitMs = 0;

    bool exist() const { return !write.isEmpty(); }
};

// A configuration byte of an AVR (a fuse byte or the lock byte). A programmed bit is 0.
struct ConfigByte {
    IspInstruction read{};
    IspInstruction write{};
    uint8_t bits = 0;                    // the bits the byte has; the others read 1 and are written 1
    std::array<const char*, 8> names{};  // per bit, bit 0 first; null where it has none
    uint8_t factory = 0xFF;              // the value a new chip leaves the factory with

    bool exists() const { return !read.isEmpty(); }
    // What the chip's byte means with the bits it lacks set, as they read.
    uint8_t normalized(uint8_t value) const { return static_cast<uint8_t>(value | ~bits); }
};

enum class FuseByte { Low, High, Extended };

// A fuse bit that one part of an entry names otherwise than the entry does for all of
// them (the ATmega8 entry's high fuse bit 7 is RSTDISBL on the ATmega8, S8515C on the
// ATmega8515).
struct PartFuseBit {
    FuseByte byte = FuseByte::High;
    int bit = -1;  // -1: none
    const char* name = nullptr;
};

// A part an entry programs that answers a signature, and the part's name.
struct PartSignature {
    const char* part = nullptr;  // "ATmega8515"; null: unused slot
    std::array<uint8_t, 3> bytes{};
    PartFuseBit ownBit{};
};

struct ChipEntry {
    const char* caption = nullptr;  // the "Chip" menu's text
    const char* keyword = nullptr;  // the command line's keyword
    const char* name = nullptr;     // the chip in messages ("AT89S8252")
    const char* aliases = "";       // other --chip names, space-separated (part names, short ids)

    IspProtocol isp{};                     // enable, its echo, the signature read
    std::array<PartSignature, 3> parts{};  // empty for a chip without a signature
    MemorySpec flash{};
    MemorySpec eeprom{};

    IspInstruction erase{};
    int32_t eraseWaitMs = 0;    // covers the erase cycle: a plain sleep, or the poll's limit
    int32_t writeDelay = -1;    // ms chosen with the chip; -1 keeps the delay in force
    int32_t ownWriteDelay = 0;  // ms the chip's own: where a failed run returns the write delay
    // RDY/BSY polling, for parts that answer it: its o bit 0 is 1 while a write cycle
    // runs. Where it exists, a write, an erase or a fuse write waits until the chip
    // is ready, at most the full wait; chips without it get the full wait.
    IspInstruction readyPoll{};

    // Single bytes can be rewritten without an erase: Differential mode is offered.
    bool differentialMode = false;
    LockLevels lockLevels{};            // the 89S lock levels
    std::array<ConfigByte, 3> fuses{};  // by FuseByte: low, high, extended
    int32_t fuseWriteMs = 0;            // a fuse write's cycle, before the next fuse write
    ConfigByte lock{};                  // the AVR lock byte

    const MemorySpec& memory(MemoryKind kind) const { return kind == MemoryKind::Eeprom ? eeprom : flash; }
    const ConfigByte& fuse(FuseByte which) const { return fuses[static_cast<size_t>(which)]; }
    bool hasEeprom() const { return eeprom.exists(); }
    bool hasFuses() const { return fuses[0].exists(); }
    bool hasAvrLock() const { return lock.exists(); }
    bool hasSignature() const { return !isp.signature.isEmpty(); }
    bool pollsReady() const { return !readyPoll.isEmpty(); }
};
