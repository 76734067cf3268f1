// The chip table. Each instruction is written as the datasheet prints it (see
// link/IspInstruction.h for the notation); the simulated chips in sim/ decode the
// same instructions on their own, so a wrong entry here fails the device tests.
#include "target/ChipCatalogue.h"

namespace {

// The enable every chip shares; the four-byte chips answer during its last bytes.
constexpr IspInstruction kEnable3 = "1010 1100  0101 0011  xxxx xxxx";
constexpr IspInstruction kEnable89S4 = "1010 1100  0101 0011  xxxx xxxx  oooo oooo";  // answers 0x69
constexpr IspInstruction kEnableAvr = "1010 1100  0101 0011  oooo oooo  xxxx xxxx";   // echoes 0x53

constexpr IspInstruction kErase3 = "1010 1100  0000 0100  0000 0000";
constexpr IspInstruction kErase4 = "1010 1100  100x xxxx  xxxx xxxx  xxxx xxxx";
constexpr int32_t kEraseWaitMs = 500;  // covers every chip's erase cycle

constexpr LockLevels kLevelsThreeByte = {
    // LB1..LB3 in bits 7..5, 0 programs a bit: 0x67 is LB1, 0x27 LB1+LB2, 0x07 all three.
    .write = "1010 1100  i7 i6 i5 0 0 1 1 1  0000 0000",
    .levels = {{{1, {0x67}}, {1, {0x27}}, {1, {0x07}}}},
    .waitMs = 50,
};
constexpr LockLevels kLevels89S5x = {
    // One instruction per lock mode, from mode 1 up.
    .write = "1010 1100  1110 00 i1 i0  xxxx xxxx  xxxx xxxx",
    .levels = {{{2, {0, 1}}, {3, {0, 1, 2}}, {4, {0, 1, 2, 3}}}},
    .waitMs = 50,
};
constexpr LockLevels kLevels8253 = {
    // The three lock bits in one instruction, 0 programs a bit.
    .write = "1010 1100  1110 0 i2 i1 i0  xxxx xxxx  xxxx xxxx",
    .levels = {{{1, {0x06}}, {1, {0x05}}, {1, {0x03}}}},
    .waitMs = 50,
};

// AT89S8252 and AT89S53: three-byte instructions, the address's high bits in the opcode byte.
const ChipEntry kAt89s8252 = {
    .caption = "AT89S8252 (8K)",
    .keyword = "s8252",
    .name = "AT89S8252",
    .aliases = "",
    .isp = {.enable = kEnable3},
    .parts = {},
    .flash = {.size = 8192,
              .read = "a12 a11 a10 a9 a8 0 0 1  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
              .write = "a12 a11 a10 a9 a8 0 1 0  a7 a6 a5 a4 a3 a2 a1 a0  iiii iiii"},
    .eeprom = {.size = 2048,
               .read = "0 0 a10 a9 a8 1 0 1  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
               .write = "0 0 a10 a9 a8 1 1 0  a7 a6 a5 a4 a3 a2 a1 a0  iiii iiii"},
    .erase = kErase3,
    .eraseWaitMs = kEraseWaitMs,
    .writeDelay = -1,  // chosen first it keeps the delay it finds (0 at start)
    .ownWriteDelay = 3,
    .differentialMode = true,
    .lockLevels = kLevelsThreeByte,
};

const ChipEntry kAt89s53 = {
    .caption = "AT89S53 (12K)",
    .keyword = "s53",
    .name = "AT89S53",
    .aliases = "",
    .isp = {.enable = kEnable3},
    .parts = {},
    .flash = {.size = 12288,
              .read = "a12 a11 a10 a9 a8 a13 0 1  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
              .write = "a12 a11 a10 a9 a8 a13 1 0  a7 a6 a5 a4 a3 a2 a1 a0  iiii iiii"},
    .eeprom = {},
    .erase = kErase3,
    .eraseWaitMs = kEraseWaitMs,
    .writeDelay = 3,
    .ownWriteDelay = 3,
    .differentialMode = true,
    .lockLevels = kLevelsThreeByte,
};

// AT89S8253: four-byte instructions, byte-wise flash that needs an erase, and an EEPROM.
const ChipEntry kAt89s8253 = {
    .caption = "AT89S8253 (12K)",
    .keyword = "s8253",
    .name = "AT89S8253",
    .aliases = "",
    .isp = {.enable = kEnable89S4, .enableEcho = 0x69, .signature = "0010 1000  0000 0000  0011 00 a1 a0  oooo oooo"},
    .parts = {{{"AT89S8253", {0x1E, 0x73, 0xFF}}}},
    .flash = {.size = 12288,
              .read = "0010 0000  xx a13 a12 a11 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
              .write = "0100 0000  xx a13 a12 a11 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  iiii iiii",
              .erasedBeforeWrite = true},
    .eeprom = {.size = 2048,
               .read = "1010 0000  xxxx x a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
               .write = "1100 0000  xxxx x a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  iiii iiii"},
    .erase = kErase4,
    .eraseWaitMs = kEraseWaitMs,
    .writeDelay = 4,
    .ownWriteDelay = 4,
    .differentialMode = false,
    .lockLevels = kLevels8253,
};

// AT89S51 and AT89S52: the signature sits at 000H, 100H and 200H, so byte a of it is
// read with a in the address's high byte.
constexpr IspProtocol kAt89s5xProtocol = {
    .enable = kEnable89S4, .enableEcho = 0x69, .signature = "0010 1000  0000 00 a1 a0  0000 0000  oooo oooo"};

constexpr MemorySpec kAt89s5xFlash(int32_t size)
{
    return {.size = size,
            .read = "0010 0000  xxx a12 a11 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
            .write = "0100 0000  xxx a12 a11 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  iiii iiii",
            .erasedBeforeWrite = true};
}

const ChipEntry kAt89s52 = {
    .caption = "AT89S52 (8K)",
    .keyword = "s52",
    .name = "AT89S52",
    .aliases = "",
    .isp = kAt89s5xProtocol,
    .parts = {{{"AT89S52", {0x1E, 0x52, 0x06}}}},
    .flash = kAt89s5xFlash(8192),
    .eeprom = {},
    .erase = kErase4,
    .eraseWaitMs = kEraseWaitMs,
    .writeDelay = 1,
    .ownWriteDelay = 1,
    .differentialMode = false,
    .lockLevels = kLevels89S5x,
};

const ChipEntry kAt89s51 = {
    .caption = "AT89S51 (4K)",
    .keyword = "s51",
    .name = "AT89S51",
    .aliases = "",
    .isp = kAt89s5xProtocol,
    .parts = {{{"AT89S51", {0x1E, 0x51, 0x06}}}},
    .flash = kAt89s5xFlash(4096),
    .eeprom = {},
    .erase = kErase4,
    .eraseWaitMs = kEraseWaitMs,
    .writeDelay = 1,
    .ownWriteDelay = 1,
    .differentialMode = false,
    .lockLevels = kLevels89S5x,
};

// What every AVR here shares: the enable that echoes 0x53, the signature read, the
// chip erase, the fuse and lock instructions, the RDY/BSY poll of the parts that have it.
constexpr IspProtocol kAvrProtocol = {
    .enable = kEnableAvr, .enableEcho = 0x53, .signature = "0011 0000  xxxx xxxx  xxxx xx a1 a0  oooo oooo"};
constexpr IspInstruction kReadyPoll = "1111 0000  0000 0000  xxxx xxxx  xxxx xxx o0";
constexpr int32_t kFlashPageDelayMs = 7;  // tWD_FLASH 4.5 ms, as the ATmega8 has always been given
constexpr int32_t kFuseWriteMs = 5;       // tWD_FUSE 4.5 ms: the chip ignores a write until it ends

constexpr ConfigByte lowFuse(uint8_t factory, std::array<const char*, 8> names, uint8_t bits = 0xFF)
{
    return {.read = "0101 0000  0000 0000  xxxx xxxx  oooo oooo",
            .write = "1010 1100  1010 0000  xxxx xxxx  iiii iiii",
            .bits = bits,
            .names = names,
            .factory = factory};
}
constexpr ConfigByte highFuse(uint8_t factory, std::array<const char*, 8> names, uint8_t bits = 0xFF)
{
    return {.read = "0101 1000  0000 1000  xxxx xxxx  oooo oooo",
            .write = "1010 1100  1010 1000  xxxx xxxx  iiii iiii",
            .bits = bits,
            .names = names,
            .factory = factory};
}
constexpr ConfigByte extendedFuse(uint8_t factory, std::array<const char*, 8> names, uint8_t bits)
{
    return {.read = "0101 0000  0000 1000  xxxx xxxx  oooo oooo",
            .write = "1010 1100  1010 0100  xxxx xxxx  iiii iiii",
            .bits = bits,
            .names = names,
            .factory = factory};
}
// The lock byte: LB1 and LB2, and the boot lock bits on the parts with a boot section.
constexpr ConfigByte avrLock(uint8_t bits)
{
    ConfigByte lock = {.read = "0101 1000  0000 0000  xxxx xxxx  xxoo oooo",
                       .write = "1010 1100  111x xxxx  xxxx xxxx  11ii iiii",
                       .bits = bits,
                       .names = {"LB1", "LB2", "BLB01", "BLB02", "BLB11", "BLB12"},
                       .factory = 0xFF};
    for (size_t bit = 0; bit < lock.names.size(); ++bit)
        if (!((bits >> bit) & 1))
            lock.names[bit] = nullptr;
    return lock;
}
constexpr uint8_t kBootLockBits = 0x3F;
constexpr uint8_t kLockBitsOnly = 0x03;

// A word-addressed flash written a page at a time through the page buffer.
constexpr MemorySpec avrFlash(int32_t size, int32_t pageBytes, IspInstruction read, IspInstruction loadPage,
                              IspInstruction commitPage)
{
    return {.size = size,
            .read = read,
            .loadPage = loadPage,
            .commitPage = commitPage,
            .pageBytes = pageBytes,
            .erasedBeforeWrite = true};
}
constexpr IspInstruction kLoad16Words = "0100 H000  000x xxxx  xxxx a3 a2 a1 a0  iiii iiii";
constexpr IspInstruction kLoad32Words = "0100 H000  000x xxxx  xxx a4 a3 a2 a1 a0  iiii iiii";
constexpr IspInstruction kLoad64Words = "0100 H000  000x xxxx  xx a5 a4 a3 a2 a1 a0  iiii iiii";

// An EEPROM written four bytes at a time through its page buffer (Load EEPROM Memory
// Page, Write EEPROM Memory Page); only the bytes loaded are written.
constexpr MemorySpec pagedEeprom(int32_t size, IspInstruction read, IspInstruction commitPage, int32_t delayMs)
{
    return {.size = size,
            .read = read,
            .loadPage = "1100 0001  0000 0000  0000 00 a1 a0  iiii iiii",
            .commitPage = commitPage,
            .pageBytes = 4,
            .writeDelay = delayMs};
}
constexpr int32_t kEepromPageDelayMs = 6;  // tWD_EEPROM 3.6 ms (ATmega48..328P), 4 ms (ATtiny)

// ATmega8, ATmega8515, ATmega8535: a word-addressed flash written a page of 32 words at
// a time through the page buffer, a byte-wise EEPROM, two fuse bytes and a lock byte.
// Their datasheets list no RDY/BSY poll: they get their full waits.
const ChipEntry kAtmega8 = {
    .caption = "ATMEGA8/85X5 (8K)",
    .keyword = "atmega8",
    .name = "ATmega8",
    .aliases = "atmega8515 atmega8535 m8 m8515 m8535",
    .isp = kAvrProtocol,
    .parts = {{{"ATmega8", {0x1E, 0x93, 0x07}, {FuseByte::High, 7, "RSTDISBL"}},
               {"ATmega8515", {0x1E, 0x93, 0x06}, {FuseByte::High, 7, "S8515C"}},
               {"ATmega8535", {0x1E, 0x93, 0x08}, {FuseByte::High, 7, "S8535C"}}}},
    .flash = avrFlash(8192, 64, "0010 H000  xxxx a11 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
                      "0100 H000  xxxx xxxx  xxx a4 a3 a2 a1 a0  iiii iiii",
                      "0100 1100  xxxx a11 a10 a9 a8  a7 a6 a5 x xxxx  xxxx xxxx"),
    .eeprom = {.size = 512,
               .read = "1010 0000  xxxx xxx a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
               .write = "1100 0000  xxxx xxx a8  a7 a6 a5 a4 a3 a2 a1 a0  iiii iiii",
               .writeDelay = 12},
    .erase = kErase4,
    .eraseWaitMs = kEraseWaitMs,
    .writeDelay = kFlashPageDelayMs,
    .ownWriteDelay = kFlashPageDelayMs,
    .differentialMode = false,
    .lockLevels = {},
    .fuses = {{lowFuse(0xE1, {"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", "SUT1", "BODEN", "BODLEVEL"}),
               highFuse(0xD9,
                        {"BOOTRST", "BOOTSZ0", "BOOTSZ1", "EESAVE", "CKOPT", "SPIEN", "WDTON", "RSTDISBL/S85X5C"}),
               {}}},
    .fuseWriteMs = kFuseWriteMs,
    .lock = avrLock(kBootLockBits),
};

// The memories of the AVRs after the ATmega8, by size: parts of one size share their
// instructions. Flash pages are of 16, 32 or 64 words; the EEPROMs of the ATmega48..328P
// and the ATtinys have a page buffer.
constexpr MemorySpec kFlash1K = avrFlash(1024, 32, "0010 H000  0000 000 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
                                         kLoad16Words, "0100 1100  0000 000 a8  a7 a6 a5 a4 xxxx  xxxx xxxx");
constexpr MemorySpec kFlash2K = avrFlash(2048, 32, "0010 H000  0000 00 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
                                         kLoad16Words, "0100 1100  0000 00 a9 a8  a7 a6 a5 a4 xxxx  xxxx xxxx");
constexpr MemorySpec kFlash4K = avrFlash(4096, 64, "0010 H000  0000 0 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
                                         kLoad32Words, "0100 1100  0000 0 a10 a9 a8  a7 a6 a5 x xxxx  xxxx xxxx");
constexpr MemorySpec kFlash8K = avrFlash(8192, 64, "0010 H000  0000 a11 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
                                         kLoad32Words, "0100 1100  0000 a11 a10 a9 a8  a7 a6 a5 x xxxx  xxxx xxxx");
constexpr MemorySpec kFlash16K = avrFlash(16384, 128,
                                          "0010 H000  000 a12 a11 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
                                          kLoad64Words, "0100 1100  000 a12 a11 a10 a9 a8  a7 a6 xx xxxx  xxxx xxxx");
constexpr MemorySpec kFlash32K = avrFlash(
    32768, 128, "0010 H000  00 a13 a12 a11 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo", kLoad64Words,
    "0100 1100  00 a13 a12 a11 a10 a9 a8  a7 a6 xx xxxx  xxxx xxxx");

constexpr MemorySpec kEeprom64 = pagedEeprom(64, "1010 0000  000x xxxx  xx a5 a4 a3 a2 a1 a0  oooo oooo",
                                             "1100 0010  00xx xxxx  xx a5 a4 a3 a2 0 0  xxxx xxxx", kEepromPageDelayMs);
constexpr MemorySpec kEeprom128 = pagedEeprom(128, "1010 0000  000x xxxx  x a6 a5 a4 a3 a2 a1 a0  oooo oooo",
                                              "1100 0010  00xx xxxx  x a6 a5 a4 a3 a2 0 0  xxxx xxxx",
                                              kEepromPageDelayMs);
constexpr MemorySpec kEeprom256 = pagedEeprom(256, "1010 0000  000x xxxx  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
                                              "1100 0010  00xx xxxx  a7 a6 a5 a4 a3 a2 0 0  xxxx xxxx",
                                              kEepromPageDelayMs);
constexpr MemorySpec kEeprom512 = pagedEeprom(512, "1010 0000  000x xxx a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
                                              "1100 0010  00xx xxx a8  a7 a6 a5 a4 a3 a2 0 0  xxxx xxxx",
                                              kEepromPageDelayMs);
constexpr MemorySpec kEeprom1K = pagedEeprom(1024, "1010 0000  000x xx a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
                                             "1100 0010  00xx xx a9 a8  a7 a6 a5 a4 a3 a2 0 0  xxxx xxxx",
                                             kEepromPageDelayMs);

// What tells one of the AVRs after the ATmega8 from another; everything else they share.
struct AvrFacts {
    const char* caption;
    const char* keyword;
    const char* name;
    const char* aliases;
    std::array<PartSignature, 3> parts;
    MemorySpec flash;
    MemorySpec eeprom;
    int32_t eraseWaitMs;  // tWD_ERASE with a margin: the poll's limit, or the wait itself
    bool pollsReady;
    std::array<ConfigByte, 3> fuses;
    uint8_t lockBits;
};

constexpr ChipEntry avr(const AvrFacts& facts)
{
    return {.caption = facts.caption,
            .keyword = facts.keyword,
            .name = facts.name,
            .aliases = facts.aliases,
            .isp = kAvrProtocol,
            .parts = facts.parts,
            .flash = facts.flash,
            .eeprom = facts.eeprom,
            .erase = kErase4,
            .eraseWaitMs = facts.eraseWaitMs,
            .writeDelay = kFlashPageDelayMs,
            .ownWriteDelay = kFlashPageDelayMs,
            .readyPoll = facts.pollsReady ? kReadyPoll : IspInstruction{},
            .fuses = facts.fuses,
            .fuseWriteMs = kFuseWriteMs,
            .lock = avrLock(facts.lockBits)};
}

// ATmega16 and ATmega32: the ATmega8's instructions with wider addresses and pages of
// 64 words, a byte-wise EEPROM, no RDY/BSY poll; JTAG enabled at the factory.
constexpr std::array<ConfigByte, 3> kMega16Fuses = {
    lowFuse(0xE1, {"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", "SUT1", "BODEN", "BODLEVEL"}),
    highFuse(0x99, {"BOOTRST", "BOOTSZ0", "BOOTSZ1", "EESAVE", "CKOPT", "SPIEN", "JTAGEN", "OCDEN"}),
    {}};
constexpr int32_t kMega16EraseMs = 12;  // tWD_ERASE 9 ms

const ChipEntry kAtmega16 = avr({
    .caption = "ATmega16 (16K)",
    .keyword = "atmega16",
    .name = "ATmega16",
    .aliases = "m16",
    .parts = {{{"ATmega16", {0x1E, 0x94, 0x03}}}},
    .flash = kFlash16K,
    .eeprom = {.size = 512,
               .read = "1010 0000  xxxx xxx a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
               .write = "1100 0000  xxxx xxx a8  a7 a6 a5 a4 a3 a2 a1 a0  iiii iiii",
               .writeDelay = 12},
    .eraseWaitMs = kMega16EraseMs,
    .pollsReady = false,
    .fuses = kMega16Fuses,
    .lockBits = kBootLockBits,
});

const ChipEntry kAtmega32 = avr({
    .caption = "ATmega32 (32K)",
    .keyword = "atmega32",
    .name = "ATmega32",
    .aliases = "m32",
    .parts = {{{"ATmega32", {0x1E, 0x95, 0x02}}}},
    .flash = kFlash32K,
    .eeprom = {.size = 1024,
               .read = "1010 0000  xxxx xx a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
               .write = "1100 0000  xxxx xx a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  iiii iiii",
               .writeDelay = 12},
    .eraseWaitMs = kMega16EraseMs,
    .pollsReady = false,
    .fuses = kMega16Fuses,
    .lockBits = kBootLockBits,
});

// ATmega48/88/168/328 and their P parts (the same memories and fuses, another
// signature): an EEPROM page buffer, an extended fuse, RDY/BSY polling. The 48 has no
// boot section, so no boot lock bits; the 328s keep BOOTSZ in the high fuse and
// BODLEVEL in the extended one.
constexpr ConfigByte kMegaX8Low = lowFuse(0x62,
                                          {"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", "SUT1", "CKOUT", "CKDIV8"});
constexpr ConfigByte kMegaX8High = highFuse(
    0xDF, {"BODLEVEL0", "BODLEVEL1", "BODLEVEL2", "EESAVE", "WDTON", "SPIEN", "DWEN", "RSTDISBL"});
constexpr ConfigByte kBootExtended = extendedFuse(0xF9, {"BOOTRST", "BOOTSZ0", "BOOTSZ1"}, 0x07);
constexpr ConfigByte kSelfProgramExtended = extendedFuse(0xFF, {"SELFPRGEN"}, 0x01);
constexpr int32_t kMegaX8EraseMs = 12;  // tWD_ERASE 9 ms

const ChipEntry kAtmega48 = avr({
    .caption = "ATmega48/48P (4K)",
    .keyword = "atmega48p",
    .name = "ATmega48/48P",
    .aliases = "atmega48 m48p m48",
    .parts = {{{"ATmega48P", {0x1E, 0x92, 0x0A}}, {"ATmega48", {0x1E, 0x92, 0x05}}}},
    .flash = kFlash4K,
    .eeprom = kEeprom256,
    .eraseWaitMs = kMegaX8EraseMs,
    .pollsReady = true,
    .fuses = {{kMegaX8Low, kMegaX8High, kSelfProgramExtended}},
    .lockBits = kLockBitsOnly,
});

const ChipEntry kAtmega88 = avr({
    .caption = "ATmega88/88P (8K)",
    .keyword = "atmega88p",
    .name = "ATmega88/88P",
    .aliases = "atmega88 m88p m88",
    .parts = {{{"ATmega88P", {0x1E, 0x93, 0x0F}}, {"ATmega88", {0x1E, 0x93, 0x0A}}}},
    .flash = kFlash8K,
    .eeprom = kEeprom512,
    .eraseWaitMs = kMegaX8EraseMs,
    .pollsReady = true,
    .fuses = {{kMegaX8Low, kMegaX8High, kBootExtended}},
    .lockBits = kBootLockBits,
});

const ChipEntry kAtmega168 = avr({
    .caption = "ATmega168/168P (16K)",
    .keyword = "atmega168p",
    .name = "ATmega168/168P",
    .aliases = "atmega168 m168p m168",
    .parts = {{{"ATmega168P", {0x1E, 0x94, 0x0B}}, {"ATmega168", {0x1E, 0x94, 0x06}}}},
    .flash = kFlash16K,
    .eeprom = kEeprom512,
    .eraseWaitMs = kMegaX8EraseMs,
    .pollsReady = true,
    .fuses = {{kMegaX8Low, kMegaX8High, kBootExtended}},
    .lockBits = kBootLockBits,
});

const ChipEntry kAtmega328 = avr({
    .caption = "ATmega328/328P (32K)",
    .keyword = "atmega328p",
    .name = "ATmega328/328P",
    .aliases = "atmega328 m328p m328",
    .parts = {{{"ATmega328P", {0x1E, 0x95, 0x0F}}, {"ATmega328", {0x1E, 0x95, 0x14}}}},
    .flash = kFlash32K,
    .eeprom = kEeprom1K,
    .eraseWaitMs = kMegaX8EraseMs,
    .pollsReady = true,
    .fuses = {{kMegaX8Low,
               highFuse(0xD9, {"BOOTRST", "BOOTSZ0", "BOOTSZ1", "EESAVE", "WDTON", "SPIEN", "DWEN", "RSTDISBL"}),
               extendedFuse(0xFF, {"BODLEVEL0", "BODLEVEL1", "BODLEVEL2"}, 0x07)}},
    .lockBits = kBootLockBits,
});

// The ATtinys: LB1 and LB2 only, an EEPROM page buffer, RDY/BSY polling, and shorter
// erase and EEPROM cycles (4 ms). The ATtiny13 keeps SPIEN and EESAVE in its low fuse,
// has five high fuse bits and no extended fuse; the ATtiny2313 orders its high fuse
// its own way.
constexpr int32_t kTinyEraseMs = 6;  // tWD_ERASE 4 ms
constexpr std::array<ConfigByte, 3> kTinyX5Fuses = {kMegaX8Low, kMegaX8High, kSelfProgramExtended};

const ChipEntry kAttiny13 = avr({
    .caption = "ATtiny13 (1K)",
    .keyword = "attiny13",
    .name = "ATtiny13",
    .aliases = "t13 attiny13a t13a",
    .parts = {{{"ATtiny13", {0x1E, 0x90, 0x07}}}},
    .flash = kFlash1K,
    .eeprom = kEeprom64,
    .eraseWaitMs = kTinyEraseMs,
    .pollsReady = true,
    .fuses = {{lowFuse(0x6A, {"CKSEL0", "CKSEL1", "SUT0", "SUT1", "CKDIV8", "WDTON", "EESAVE", "SPIEN"}),
               highFuse(0xFF, {"RSTDISBL", "BODLEVEL0", "BODLEVEL1", "DWEN", "SELFPRGEN"}, 0x1F),
               {}}},
    .lockBits = kLockBitsOnly,
});

const ChipEntry kAttiny25 = avr({
    .caption = "ATtiny25 (2K)",
    .keyword = "attiny25",
    .name = "ATtiny25",
    .aliases = "t25",
    .parts = {{{"ATtiny25", {0x1E, 0x91, 0x08}}}},
    .flash = kFlash2K,
    .eeprom = kEeprom128,
    .eraseWaitMs = kTinyEraseMs,
    .pollsReady = true,
    .fuses = kTinyX5Fuses,
    .lockBits = kLockBitsOnly,
});

const ChipEntry kAttiny45 = avr({
    .caption = "ATtiny45 (4K)",
    .keyword = "attiny45",
    .name = "ATtiny45",
    .aliases = "t45",
    .parts = {{{"ATtiny45", {0x1E, 0x92, 0x06}}}},
    .flash = kFlash4K,
    .eeprom = kEeprom256,
    .eraseWaitMs = kTinyEraseMs,
    .pollsReady = true,
    .fuses = kTinyX5Fuses,
    .lockBits = kLockBitsOnly,
});

const ChipEntry kAttiny85 = avr({
    .caption = "ATtiny85 (8K)",
    .keyword = "attiny85",
    .name = "ATtiny85",
    .aliases = "t85",
    .parts = {{{"ATtiny85", {0x1E, 0x93, 0x0B}}}},
    .flash = kFlash8K,
    .eeprom = kEeprom512,
    .eraseWaitMs = kTinyEraseMs,
    .pollsReady = true,
    .fuses = kTinyX5Fuses,
    .lockBits = kLockBitsOnly,
});

const ChipEntry kAttiny2313 = avr({
    .caption = "ATtiny2313 (2K)",
    .keyword = "attiny2313",
    .name = "ATtiny2313",
    .aliases = "t2313",
    .parts = {{{"ATtiny2313", {0x1E, 0x91, 0x0A}}}},
    .flash = kFlash2K,
    .eeprom = kEeprom128,
    .eraseWaitMs = kTinyEraseMs,
    .pollsReady = true,
    .fuses = {{lowFuse(0x64, {"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", "SUT1", "CKOUT", "CKDIV8"}),
               highFuse(0xDF, {"RSTDISBL", "BODLEVEL0", "BODLEVEL1", "BODLEVEL2", "WDTON", "SPIEN", "EESAVE", "DWEN"}),
               kSelfProgramExtended}},
    .lockBits = kLockBitsOnly,
});

// The first six are the window's Chip menu and the configuration file's CHIP values
// 0..5, in their order; the chips after them sit in the menu's "More chips".
const std::array<ChipEntry, 17> kChips = {kAt89s8252, kAt89s8253, kAt89s53,   kAt89s52,   kAt89s51,   kAtmega8,
                                          kAtmega48,  kAtmega88,  kAtmega168, kAtmega328, kAtmega16,  kAtmega32,
                                          kAttiny13,  kAttiny25,  kAttiny45,  kAttiny85,  kAttiny2313};

}  // namespace

std::span<const ChipEntry> chipTable() { return kChips; }

const ChipEntry* chipAt(int index)
{
    return index >= 0 && index < chipCount() ? &kChips[static_cast<size_t>(index)] : nullptr;
}

int chipIndexOf(const ChipEntry* chip)
{
    for (int i = 0; i < chipCount(); ++i)
        if (&kChips[static_cast<size_t>(i)] == chip)
            return i;
    return -1;
}

SignatureMatch chipForSignature(const SignatureBytes& bytes)
{
    for (const ChipEntry& chip : kChips)
        for (const PartSignature& part : chip.parts)
            if (part.part && part.bytes == bytes)
                return {&chip, &part};
    return {};
}

QString chipNameFor(const SignatureMatch& match)
{
    const QString own = QString::fromLatin1(match.part->part).toLower();
    return chipForName(own) == match.chip ? own : QString::fromLatin1(match.chip->keyword);
}

QString signatureText(const SignatureBytes& bytes)
{
    return QStringLiteral("%1 %2 %3")
        .arg(bytes[0], 2, 16, QLatin1Char('0'))
        .arg(bytes[1], 2, 16, QLatin1Char('0'))
        .arg(bytes[2], 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString listInWords(const QStringList& items, const QString& lastJoin)
{
    if (items.size() < 2)
        return items.join(QString());
    QStringList head = items;
    const QString last = head.takeLast();
    return head.join(QStringLiteral(", ")) + lastJoin + last;
}

QString signedPartsOfEntry(const ChipEntry& chip)
{
    QStringList parts;
    for (const PartSignature& part : chip.parts)
        if (part.part)
            parts << QLatin1String(part.part);
    return listInWords(parts);
}

const ChipEntry* chipForKeyword(const QString& keyword)
{
    for (const ChipEntry& chip : kChips)
        if (keyword == QLatin1String(chip.keyword))
            return &chip;
    return nullptr;
}

QStringList aliasesOf(const ChipEntry& chip)
{
    return QString::fromLatin1(chip.aliases).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

const ChipEntry* chipForName(const QString& keywordOrAlias)
{
    for (const ChipEntry& chip : kChips) {
        if (keywordOrAlias.compare(QLatin1String(chip.keyword), Qt::CaseInsensitive) == 0)
            return &chip;
        for (const QString& alias : aliasesOf(chip))
            if (keywordOrAlias.compare(alias, Qt::CaseInsensitive) == 0)
                return &chip;
    }
    return nullptr;
}

void applyChipState(TargetState& state, const ChipEntry* chip)
{
    if (!chip)
        return;
    state.chip = chip;
    state.memory = MemoryKind::Flash;
    if (chip->writeDelay >= 0)
        state.writeDelay = chip->writeDelay;
    // A failed run returns writeDelay to this chip's own, not to another chip's or 0,
    // which would read a byte back before its write cycle is over.
    state.restoreWriteDelay = chip->ownWriteDelay;
}

void applyMemoryChoice(TargetState& state, bool eepromChecked)
{
    state.memory = eepromChecked && state.chip && state.chip->hasEeprom() ? MemoryKind::Eeprom : MemoryKind::Flash;
}
