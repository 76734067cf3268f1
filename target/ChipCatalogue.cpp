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

// ATmega8, ATmega8515, ATmega8535: a word-addressed flash written a page of 32 words at
// a time through the page buffer, a byte-wise EEPROM, two fuse bytes and a lock byte.
const ChipEntry kAtmega8 = {
    .caption = "ATMEGA8/85X5 (8K)",
    .keyword = "atmega8",
    .name = "ATmega8",
    .aliases = "atmega8515 atmega8535",
    .isp = {.enable = kEnableAvr, .enableEcho = 0x53, .signature = "0011 0000  xxxx xxxx  xxxx xx a1 a0  oooo oooo"},
    .parts = {{{"ATmega8", {0x1E, 0x93, 0x07}},
               {"ATmega8515", {0x1E, 0x93, 0x06}},
               {"ATmega8535", {0x1E, 0x93, 0x08}}}},
    .flash = {.size = 8192,
              .read = "0010 H000  xxxx a11 a10 a9 a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
              .loadPage = "0100 H000  xxxx xxxx  xxx a4 a3 a2 a1 a0  iiii iiii",
              .commitPage = "0100 1100  xxxx a11 a10 a9 a8  a7 a6 a5 x xxxx  xxxx xxxx",
              .pageBytes = 64,
              .erasedBeforeWrite = true},
    .eeprom = {.size = 512,
               .read = "1010 0000  xxxx xxx a8  a7 a6 a5 a4 a3 a2 a1 a0  oooo oooo",
               .write = "1100 0000  xxxx xxx a8  a7 a6 a5 a4 a3 a2 a1 a0  iiii iiii",
               .writeDelay = 12},
    .erase = kErase4,
    .eraseWaitMs = kEraseWaitMs,
    .writeDelay = 7,
    .ownWriteDelay = 7,
    .differentialMode = false,
    .lockLevels = {},
    .fuses = {{{.read = "0101 0000  0000 0000  xxxx xxxx  oooo oooo",
                .write = "1010 1100  1010 0000  xxxx xxxx  iiii iiii",
                .bits = 0xFF,
                .names = {"CKSEL0", "CKSEL1", "CKSEL2", "CKSEL3", "SUT0", "SUT1", "BODEN", "BODLEVEL"}},
               {.read = "0101 1000  0000 1000  xxxx xxxx  oooo oooo",
                .write = "1010 1100  1010 1000  xxxx xxxx  iiii iiii",
                .bits = 0xFF,
                .names = {"BOOTRST", "BOOTSZ0", "BOOTSZ1", "EESAVE", "CKOPT", "SPIEN", "WDTON", "RSTDISBL/S85X5C"}},
               {}}},
    .fuseWriteMs = 5,  // the chip ignores a write during the 4.5 ms after a fuse write
    .lock = {.read = "0101 1000  0000 0000  xxxx xxxx  oooo oooo",
             .write = "1010 1100  111x xxxx  xxxx xxxx  11ii iiii",
             .bits = 0x3F,
             .names = {"LB1", "LB2", "BLB01", "BLB02", "BLB11", "BLB12"}},
};

const std::array<ChipEntry, 6> kChips = {kAt89s8252, kAt89s8253, kAt89s53, kAt89s52, kAt89s51, kAtmega8};

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
