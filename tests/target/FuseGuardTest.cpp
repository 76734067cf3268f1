// The rule that keeps a fuse write from ending in-system programming: which bit of
// which part it names, the factory values it lets through, and the signature read that
// tells the ATmega8 from the ATmega8515 and ATmega8535, whose bit 7 means another thing.
#include <gtest/gtest.h>

#include "target/FuseGuard.h"
#include "tests/target/ChipBench.h"

namespace {

const ChipEntry& entry(const char* keyword) { return *chipForKeyword(QLatin1String(keyword)); }

QStringList namesOf(const std::vector<FuseHazard>& hazards)
{
    QStringList names;
    for (const FuseHazard& h : hazards)
        names << QStringLiteral("%1 %2.%3").arg(h.name).arg(int(h.byte)).arg(h.bit);
    return names;
}

FuseBytes factoryOf(const ChipEntry& chip)
{
    return {chip.fuse(FuseByte::Low).factory, chip.fuse(FuseByte::High).factory, chip.fuse(FuseByte::Extended).factory};
}

TEST(FuseGuard, NamesTheBitThatEndsProgrammingWhereEachPartHasIt)
{
    struct Case {
        const char* keyword;
        FuseBytes fuses;
        QStringList expected;  // name byte.bit, byte 0 low, 1 high
    };
    const std::vector<Case> cases = {
        {"atmega8", {0xE1, 0x59}, {"RSTDISBL 1.7"}},
        {"atmega8", {0xE1, 0xF9}, {"SPIEN 1.5"}},
        {"atmega328p", {0x62, 0x99}, {"DWEN 1.6"}},
        {"atmega48p", {0x62, 0x5F, 0xFF}, {"RSTDISBL 1.7"}},
        {"attiny13", {0x6A, 0xFE}, {"RSTDISBL 1.0"}},
        {"attiny13", {0xEA, 0xF7}, {"SPIEN 0.7", "DWEN 1.3"}},
        {"attiny85", {0x62, 0x5F, 0xFF}, {"RSTDISBL 1.7"}},
        {"attiny2313", {0x64, 0x5E, 0xFF}, {"DWEN 1.7", "RSTDISBL 1.0"}},
        // The ATmega16's bits 6 and 7 are JTAGEN and OCDEN: nothing that ends ISP.
        {"atmega16", {0xE1, 0x19}, {}},
    };
    for (const Case& c : cases) {
        const ChipEntry& chip = entry(c.keyword);
        EXPECT_EQ(namesOf(fuseHazards(chip, &chip.parts[0], c.fuses)), c.expected) << c.keyword;
    }
    // Every chip leaves the factory programmable, and programming SPIEN is always safe.
    for (const ChipEntry& chip : chipTable())
        if (chip.hasFuses()) {
            EXPECT_TRUE(fuseHazards(chip, nullptr, factoryOf(chip)).empty()) << chip.keyword;
        }
}

TEST(FuseGuard, TheAtmega8515sBitSevenIsItsOwnAndOnlyTheSignatureTells)
{
    const ChipEntry& chip = entry("atmega8");
    const FuseBytes bit7 = {0xE1, 0x59};
    EXPECT_TRUE(fuseHazards(chip, &chip.parts[1], bit7).empty()) << "S8515C on the ATmega8515";
    EXPECT_TRUE(fuseHazards(chip, &chip.parts[2], bit7).empty()) << "S8535C on the ATmega8535";
    EXPECT_EQ(namesOf(fuseHazards(chip, nullptr, bit7)), QStringList{"RSTDISBL 1.7"}) << "no part known: the worst";
    EXPECT_TRUE(fuseHazardsDependOnPart(chip, bit7));
    EXPECT_FALSE(fuseHazardsDependOnPart(chip, {0xE1, 0xD9}));
    EXPECT_FALSE(fuseHazardsDependOnPart(chip, {0xE1, 0xF9})) << "SPIEN is SPIEN on all three";
    EXPECT_STREQ(fuseBitName(chip, &chip.parts[1], FuseByte::High, 7), "S8515C");
    EXPECT_STREQ(fuseBitName(chip, nullptr, FuseByte::High, 7), "RSTDISBL/S85X5C");
    EXPECT_EQ(fuseBitName(entry("attiny13"), nullptr, FuseByte::High, 5), nullptr) << "a bit the byte lacks";

    for (const auto& [keyword, expected] :
         {std::pair{"atmega8", QStringList{"RSTDISBL 1.7"}}, std::pair{"atmega8515", QStringList{}},
          std::pair{"atmega8535", QStringList{}}}) {
        ChipBench bench(keyword);
        std::vector<FuseHazard> hazards = {{}};
        const Bytes sent = bench.sentBy(
            [&] { EXPECT_EQ(checkFuseWrite(bench.runner, bit7, &hazards), RunOutcome::Done); });
        EXPECT_EQ(namesOf(hazards), expected) << keyword;
        EXPECT_FALSE(sent.empty()) << "the signature was read";
        EXPECT_EQ(bench.chip().highFuse, 0xD9) << "nothing written";
    }
    // Where the part does not matter the chip is not touched; without a chip the read fails.
    ChipBench m328("atmega328p");
    std::vector<FuseHazard> hazards;
    EXPECT_TRUE(m328.sentBy([&] { checkFuseWrite(m328.runner, {0x62, 0x59, 0xFF}, &hazards); }).empty());
    EXPECT_EQ(namesOf(hazards), QStringList{"RSTDISBL 1.7"});
    ChipBench empty("atmega8", false, true);
    hazards = {{}};
    EXPECT_EQ(checkFuseWrite(empty.runner, bit7, &hazards), RunOutcome::NoSync);
    EXPECT_EQ(hazards.size(), 1u) << "left as it was";
}

TEST(FuseGuard, TextsNameTheBitItsByteAndWhatHappens)
{
    const FuseHazard reset{FuseByte::High, 7, QStringLiteral("RSTDISBL")};
    const FuseHazard spien{FuseByte::Low, 7, QStringLiteral("SPIEN")};
    EXPECT_EQ(fuseHazardText(reset),
              QStringLiteral("RSTDISBL (high fuse bit 7) programmed: the RESET pin becomes an I/O pin"));
    EXPECT_EQ(fuseHazardText(spien),
              QStringLiteral("SPIEN (low fuse bit 7) unprogrammed: serial programming is switched off"));
    EXPECT_EQ(fuseHazardNames({reset, spien}),
              QStringLiteral("RSTDISBL (high fuse bit 7) programmed and SPIEN (low fuse bit 7) unprogrammed"));
}

}  // namespace
