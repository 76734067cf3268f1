// The chip table against the chips' documentation and against the simulated chips:
// every address of every memory encodes as the datasheets' formulas say, the
// entries are consistent with themselves, and every memory of every entry holds a
// byte written at its first, last and highest-bit addresses.
#include <gtest/gtest.h>

#include <QSet>

#include "target/ChipCatalogue.h"
#include "target/DeviceSession.h"
#include "tests/target/ChipBench.h"

namespace {

using Encoding = std::function<Bytes(uint32_t address, uint8_t value)>;

// The instruction bytes as the documentation writes them, kept apart from the table.
Bytes threeByteFlash(uint32_t a, uint8_t v, unsigned operation)
{
    const unsigned high = (a >> 8) & 0xFF;
    return {static_cast<uint8_t>(((high & 0x1F) << 3) | (((high >> 5) & 1) << 2) | operation), uint8_t(a), v};
}

Bytes sent(const IspInstruction& instruction, const IspInstruction::Operands& operands)
{
    const IspInstruction::Bytes bytes = instruction.encode(operands);
    return Bytes(bytes.begin(), bytes.begin() + instruction.length());
}

// A byte address into the operands an instruction takes (word and byte for H).
Bytes sentFor(const IspInstruction& instruction, uint32_t address, uint8_t value)
{
    if (instruction.selectsByte())
        return sent(instruction, {address / 2, value, (address & 1) != 0});
    return sent(instruction, {address, value, false});
}

const ChipEntry& entry(const char* keyword) { return *chipForKeyword(QLatin1String(keyword)); }

TEST(ChipTable, EveryAddressEncodesAsTheDatasheetsWriteIt)
{
    struct Case {
        const char* keyword;
        MemoryKind memory;
        Encoding read, write;
    };
    const auto hi = [](uint32_t a) { return uint8_t(a >> 8); };
    std::vector<Case> cases = {
        {"s8252", MemoryKind::Flash, [](uint32_t a, uint8_t) { return threeByteFlash(a, 0, 1); },
         [](uint32_t a, uint8_t v) { return threeByteFlash(a, v, 2); }},
        {"s53", MemoryKind::Flash, [](uint32_t a, uint8_t) { return threeByteFlash(a, 0, 1); },
         [](uint32_t a, uint8_t v) { return threeByteFlash(a, v, 2); }},
        {"s8252", MemoryKind::Eeprom,
         [&](uint32_t a, uint8_t) {
             return Bytes{uint8_t(((hi(a) & 0x07) << 3) | 0x05), uint8_t(a), 0};
         },
         [&](uint32_t a, uint8_t v) {
             return Bytes{uint8_t(((hi(a) & 0x07) << 3) | 0x06), uint8_t(a), v};
         }},
        {"s52", MemoryKind::Flash,
         [&](uint32_t a, uint8_t) {
             return Bytes{0x20, uint8_t(hi(a) & 0x1F), uint8_t(a), 0};
         },
         [&](uint32_t a, uint8_t v) {
             return Bytes{0x40, uint8_t(hi(a) & 0x1F), uint8_t(a), v};
         }},
        {"s51", MemoryKind::Flash,
         [&](uint32_t a, uint8_t) {
             return Bytes{0x20, uint8_t(hi(a) & 0x1F), uint8_t(a), 0};
         },
         [&](uint32_t a, uint8_t v) {
             return Bytes{0x40, uint8_t(hi(a) & 0x1F), uint8_t(a), v};
         }},
        {"s8253", MemoryKind::Flash,
         [&](uint32_t a, uint8_t) {
             return Bytes{0x20, uint8_t(hi(a) & 0x3F), uint8_t(a), 0};
         },
         [&](uint32_t a, uint8_t v) {
             return Bytes{0x40, uint8_t(hi(a) & 0x3F), uint8_t(a), v};
         }},
        {"s8253", MemoryKind::Eeprom,
         [&](uint32_t a, uint8_t) {
             return Bytes{0xA0, uint8_t(hi(a) & 0x07), uint8_t(a), 0};
         },
         [&](uint32_t a, uint8_t v) {
             return Bytes{0xC0, uint8_t(hi(a) & 0x07), uint8_t(a), v};
         }},
        {"atmega8", MemoryKind::Eeprom,
         [&](uint32_t a, uint8_t) {
             return Bytes{0xA0, uint8_t(hi(a) & 0x01), uint8_t(a), 0};
         },
         [&](uint32_t a, uint8_t v) {
             return Bytes{0xC0, uint8_t(hi(a) & 0x01), uint8_t(a), v};
         }},
        // The ATmega8 flash: word w = a / 2, 0x28 for the high byte; the page buffer
        // takes the word within its 32-word page.
        {"atmega8", MemoryKind::Flash,
         [](uint32_t a, uint8_t) {
             return Bytes{uint8_t(a & 1 ? 0x28 : 0x20), uint8_t((a / 2 >> 8) & 0x0F), uint8_t(a / 2), 0};
         },
         [](uint32_t a, uint8_t v) {
             return Bytes{uint8_t(a & 1 ? 0x48 : 0x40), 0x00, uint8_t((a / 2) & 0x1F), v};
         }},
    };
    // The AVRs that share the ATmega8's instructions: flash words and pages and EEPROM
    // bytes from their datasheets; the EEPROM goes through a 4-byte page buffer where
    // the part has one.
    struct Avr {
        const char* keyword;
        uint32_t flashWords, pageWords, eepromBytes;
        bool eepromPages;
    };
    const std::vector<Avr> avrs = {
        {"atmega16", 8192, 64, 512, false}, {"atmega32", 16384, 64, 1024, false}, {"atmega48p", 2048, 32, 256, true},
        {"atmega88p", 4096, 32, 512, true}, {"atmega168p", 8192, 64, 512, true},  {"atmega328p", 16384, 64, 1024, true},
        {"attiny13", 512, 16, 64, true},    {"attiny25", 1024, 16, 128, true},    {"attiny45", 2048, 32, 256, true},
        {"attiny85", 4096, 32, 512, true},  {"attiny2313", 1024, 16, 128, true},
    };
    for (const Avr& avr : avrs) {
        const auto flashHigh = [avr](uint32_t w) { return uint8_t((w >> 8) & ((avr.flashWords - 1) >> 8)); };
        const auto eepromHigh = [avr](uint32_t a) { return uint8_t((a >> 8) & ((avr.eepromBytes - 1) >> 8)); };
        cases.push_back(
            {avr.keyword, MemoryKind::Flash,
             [=](uint32_t a, uint8_t) {
                 return Bytes{uint8_t(a & 1 ? 0x28 : 0x20), flashHigh(a / 2), uint8_t(a / 2), 0};
             },
             [=](uint32_t a, uint8_t v) {
                 return Bytes{uint8_t(a & 1 ? 0x48 : 0x40), 0x00, uint8_t((a / 2) & (avr.pageWords - 1)), v};
             }});
        cases.push_back({avr.keyword, MemoryKind::Eeprom,
                         [=](uint32_t a, uint8_t) {
                             return Bytes{0xA0, eepromHigh(a), uint8_t(a), 0};
                         },
                         [=](uint32_t a, uint8_t v) {
                             return avr.eepromPages ? Bytes{0xC1, 0x00, uint8_t(a & 3), v}
                                                    : Bytes{0xC0, eepromHigh(a), uint8_t(a), v};
                         }});
        const ChipEntry& chip = entry(avr.keyword);
        ASSERT_EQ(chip.flash.size, int32_t(avr.flashWords * 2)) << avr.keyword;
        ASSERT_EQ(chip.flash.pageBytes, int32_t(avr.pageWords * 2)) << avr.keyword;
        ASSERT_EQ(chip.eeprom.size, int32_t(avr.eepromBytes)) << avr.keyword;
        ASSERT_EQ(chip.eeprom.paged(), avr.eepromPages) << avr.keyword;
        // The page writes name the page by its first word, or its first EEPROM byte.
        for (uint32_t page = 0; page < avr.flashWords; page += avr.pageWords)
            ASSERT_EQ(sent(chip.flash.commitPage, {page}), (Bytes{0x4C, flashHigh(page), uint8_t(page), 0}))
                << avr.keyword << " page " << page;
        for (uint32_t page = 0; avr.eepromPages && page < avr.eepromBytes; page += 4)
            ASSERT_EQ(sent(chip.eeprom.commitPage, {page}), (Bytes{0xC2, eepromHigh(page), uint8_t(page), 0}))
                << avr.keyword << " EEPROM page " << page;
    }
    for (const Case& c : cases) {
        const MemorySpec& memory = entry(c.keyword).memory(c.memory);
        const IspInstruction& write = memory.paged() ? memory.loadPage : memory.write;
        for (uint32_t a = 0; a < static_cast<uint32_t>(memory.size); ++a) {
            const uint8_t value = uint8_t(a * 7 + 1);
            ASSERT_EQ(sentFor(memory.read, a, 0), c.read(a, 0)) << c.keyword << " read at " << a;
            ASSERT_EQ(sentFor(write, a, value), c.write(a, value)) << c.keyword << " write at " << a;
        }
    }
    // The ATmega8's page write names the page by its first word.
    const IspInstruction& commit = entry("atmega8").flash.commitPage;
    for (uint32_t page = 0; page < 4096; page += 32)
        ASSERT_EQ(sent(commit, {page}), (Bytes{0x4C, uint8_t((page >> 8) & 0x0F), uint8_t(page & 0xE0), 0})) << page;
}

TEST(ChipTable, EntriesAgreeWithThemselves)
{
    QSet<QString> names;
    for (const ChipEntry& chip : chipTable()) {
        SCOPED_TRACE(chip.keyword);
        // One frame length per chip: a shorter or longer instruction puts it out of step.
        const int length = chip.isp.enable.length();
        EXPECT_TRUE(length == 3 || length == 4);
        for (const IspInstruction* instruction :
             {&chip.isp.signature, &chip.flash.read, &chip.flash.write, &chip.flash.loadPage, &chip.flash.commitPage,
              &chip.eeprom.read, &chip.eeprom.write, &chip.erase, &chip.readyPoll, &chip.lockLevels.write,
              &chip.lock.read, &chip.lock.write, &chip.fuses[0].read, &chip.fuses[0].write, &chip.fuses[1].read,
              &chip.fuses[1].write, &chip.fuses[2].read, &chip.fuses[2].write})
            EXPECT_TRUE(instruction->isEmpty() || instruction->length() == length);

        // Each memory's instructions reach every address it has (a part with half the
        // memory of its sibling may share the sibling's address bits).
        for (const MemorySpec* memory : {&chip.flash, &chip.eeprom}) {
            if (!memory->exists())
                continue;
            const uint32_t units = static_cast<uint32_t>(memory->size) / (memory->read.selectsByte() ? 2 : 1);
            EXPECT_GE(memory->read.addressMask() + 1, units);
            EXPECT_LE(memory->read.addressMask() + 1, 2 * units);
            EXPECT_TRUE(memory->read.hasOutput());
            EXPECT_NE(memory->write.isEmpty(), memory->loadPage.isEmpty()) << "written one way or the other";
            if (memory->paged()) {
                const uint32_t pageUnits = static_cast<uint32_t>(memory->pageBytes)
                    / (memory->loadPage.selectsByte() ? 2 : 1);
                EXPECT_EQ(memory->loadPage.addressMask() + 1, pageUnits);
                EXPECT_EQ(memory->commitPage.addressMask() | (pageUnits - 1), units - 1);
            }
        }
        EXPECT_TRUE(chip.flash.exists());
        EXPECT_FALSE(chip.erase.isEmpty());
        EXPECT_GE(chip.ownWriteDelay, 1);
        EXPECT_EQ(chip.hasSignature(), chip.parts[0].part != nullptr);
        EXPECT_EQ(chip.hasFuses(), chip.fuseWriteMs > 0);
        EXPECT_GT(chip.eraseWaitMs, 0);

        // A configuration byte names exactly the bits it has, and leaves the factory
        // with the bits it lacks reading 1.
        for (const ConfigByte* config : {&chip.fuses[0], &chip.fuses[1], &chip.fuses[2], &chip.lock}) {
            if (!config->exists())
                continue;
            EXPECT_TRUE(config->read.hasOutput());
            EXPECT_EQ(config->normalized(config->factory), config->factory);
            for (int bit = 0; bit < 8; ++bit)
                EXPECT_EQ(config->names[size_t(bit)] != nullptr, (config->bits >> bit) & 1) << "bit " << bit;
        }
        EXPECT_TRUE(!chip.fuses[2].exists() || chip.fuses[1].exists()) << "an extended fuse beside the others";
        for (const PartSignature& part : chip.parts)
            if (part.ownBit.bit >= 0) {
                EXPECT_TRUE(chip.fuse(part.ownBit.byte).names[size_t(part.ownBit.bit)]) << part.part;
            }

        // Every name a user may type leads to exactly one entry.
        for (const QString& name : QStringList{QLatin1String(chip.keyword)} + aliasesOf(chip)) {
            EXPECT_FALSE(names.contains(name.toLower())) << qPrintable(name);
            names << name.toLower();
            EXPECT_EQ(chipForName(name.toUpper()), &chip);
        }
        for (const PartSignature& part : chip.parts) {
            if (part.part) {
                EXPECT_EQ(chipForSignature(part.bytes).chip, &chip) << part.part;
            }
        }
    }
    // The configuration file's CHIP values and the menu's order; the further chips after them.
    const char* order[] = {"s8252", "s8253", "s53", "s52", "s51", "atmega8"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(chipAt(i), chipForKeyword(QLatin1String(order[i])));
        EXPECT_EQ(chipIndexOf(chipAt(i)), i);
    }
    EXPECT_EQ(chipCount(), 17);
    for (const char* name : {"m328p", "ATmega328", "t85", "M16", "m8515", "atmega168", "t2313"})
        EXPECT_NE(chipForName(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(chipAt(chipCount()), nullptr);
    EXPECT_EQ(chipForKeyword(QStringLiteral("ATMEGA8")), nullptr) << "the window's keywords are exact";
}

TEST(ChipTable, EveryMemoryHoldsWhatIsWrittenAtItsEdges)
{
    for (const ChipEntry& chip : chipTable()) {
        for (const MemoryKind kind : {MemoryKind::Flash, MemoryKind::Eeprom}) {
            const MemorySpec& memory = chip.memory(kind);
            if (!memory.exists())
                continue;
            SCOPED_TRACE(std::string(chip.keyword) + (kind == MemoryKind::Eeprom ? " eeprom" : " flash"));
            ChipBench bench(chip.keyword, kind == MemoryKind::Eeprom);
            bench.clockAsFastAsTheSimulationAllows();
            // The AT89S8252 chosen first keeps the delay it finds, 0: give it its own.
            if (bench.target.writeDelay == 0)
                bench.target.writeDelay = bench.target.restoreWriteDelay;
            // The first and last byte, and one with each address bit alone.
            std::vector<int32_t> addresses = {0, memory.size - 1};
            for (int32_t bit = 1; bit < memory.size; bit <<= 1)
                addresses.push_back(bit);
            std::vector<uint8_t>& cells = kind == MemoryKind::Eeprom ? bench.chip().eeprom : bench.chip().flash;
            const auto valueAt = [](int32_t a) { return uint8_t(0x5A ^ (a * 3) ^ (a >> 8)); };
            bench.runner.run([&](DeviceSession& session) {
                session.setLoadedPage(0);
                for (int32_t a : addresses)
                    session.writeByte(a, valueAt(a));
                // A paged memory keeps the last page in its buffer until another is loaded.
                if (memory.paged())
                    session.writeByte(memory.pageBytes, 0xFF);
                for (int32_t a : addresses)
                    EXPECT_EQ(session.readByte(a), valueAt(a)) << "read back at " << a;
            });
            for (int32_t a : addresses)
                EXPECT_EQ(cells[static_cast<size_t>(a)], valueAt(a)) << "in the chip at " << a;
        }
    }
}

}  // namespace
