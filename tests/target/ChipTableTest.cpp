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
    const std::vector<Case> cases = {
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
              &chip.fuses[1].write})
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
                EXPECT_EQ(memory->loadPage.addressMask() + 1, memory->pageBytes / 2u);
                EXPECT_EQ(memory->commitPage.addressMask() | (memory->pageBytes / 2u - 1), units - 1);
            }
        }
        EXPECT_TRUE(chip.flash.exists());
        EXPECT_FALSE(chip.erase.isEmpty());
        EXPECT_GE(chip.ownWriteDelay, 1);
        EXPECT_EQ(chip.hasSignature(), chip.parts[0].part != nullptr);
        EXPECT_EQ(chip.hasFuses(), chip.fuseWriteMs > 0);

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
    // The configuration file's CHIP values and the menu's order.
    ASSERT_EQ(chipCount(), 6);
    const char* order[] = {"s8252", "s8253", "s53", "s52", "s51", "atmega8"};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(chipAt(i), chipForKeyword(QLatin1String(order[i])));
        EXPECT_EQ(chipIndexOf(chipAt(i)), i);
    }
    EXPECT_EQ(chipAt(6), nullptr);
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
