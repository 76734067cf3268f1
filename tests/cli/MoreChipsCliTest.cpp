// kestova-cli with the AVRs beyond the ATmega8 family: detect names each part on both
// chip models and says which --chip to pass, fuses speak of the extended fuse, and
// fuse values that would end in-system programming are refused unless forced.
#include <gtest/gtest.h>

#include "sim/ChipStateFile.h"
#include "sim/SimChipCatalogue.h"
#include "tests/cli/DeviceCliFixture.h"

namespace {

struct Part {
    const char* name;  // lower case: SIM: keyword, VISP_CHIP and --chip alike
    const char* shown;
    const char* signature;
};

const std::vector<Part> kParts = {
    {"atmega48", "ATmega48", "1E 92 05"},     {"atmega48p", "ATmega48P", "1E 92 0A"},
    {"atmega88", "ATmega88", "1E 93 0A"},     {"atmega88p", "ATmega88P", "1E 93 0F"},
    {"atmega168", "ATmega168", "1E 94 06"},   {"atmega168p", "ATmega168P", "1E 94 0B"},
    {"atmega328", "ATmega328", "1E 95 14"},   {"atmega328p", "ATmega328P", "1E 95 0F"},
    {"atmega16", "ATmega16", "1E 94 03"},     {"atmega32", "ATmega32", "1E 95 02"},
    {"attiny13", "ATtiny13", "1E 90 07"},     {"attiny25", "ATtiny25", "1E 91 08"},
    {"attiny45", "ATtiny45", "1E 92 06"},     {"attiny85", "ATtiny85", "1E 93 0B"},
    {"attiny2313", "ATtiny2313", "1E 91 0A"},
};

QString detected(const Part& part)
{
    return QStringLiteral("%1 (%2) at ClockDelay 5 us\n--chip %3\n")
        .arg(QLatin1String(part.shown), QLatin1String(part.signature), QLatin1String(part.name));
}

class MoreChipsCli : public DeviceCli {
protected:
    CliRun onChip(const QString& port, const char* chip, const QStringList& command,
                  const QProcessEnvironment& env = {})
    {
        return cli(QStringList{QStringLiteral("--port"), port, QStringLiteral("--chip"), QLatin1String(chip)} + command,
                   env);
    }
    CliRun fuses(const char* simChip, const char* chip, const QStringList& bytes)
    {
        return onChip(QStringLiteral("SIM:") + QLatin1String(simChip), chip,
                      QStringList{QStringLiteral("fuses")} + bytes);
    }
    // The fuses a simulated chip holds now; null when no run has touched it.
    std::unique_ptr<ChipModel> simChip(const char* keyword)
    {
        const SimChipType type = *simChipTypeForKeyword(QLatin1String(keyword));
        auto chip = makeChipModel(type);
        if (loadChipState(simStatePath(dir_.path(), type), *chip) != ChipStateLoad::Loaded)
            return nullptr;
        return chip;
    }
};

TEST_F(MoreChipsCli, DetectNamesEachSimulatedPartAndTheChipThatSelectsIt)
{
    for (const Part& part : kParts) {
        const CliRun run = cli(
            {QStringLiteral("--port"), QStringLiteral("SIM:") + QLatin1String(part.name), QStringLiteral("detect")});
        EXPECT_EQ(run.exitCode, 0) << part.name << run.err.toStdString();
        EXPECT_EQ(run.out, detected(part));
        // What it says to pass is taken, and the probe finds the part's own signature.
        const CliRun probe = onChip(QStringLiteral("SIM:") + QLatin1String(part.name), part.name,
                                    {QStringLiteral("probe")});
        EXPECT_EQ(probe.exitCode, 0) << part.name << probe.err.toStdString();
    }
}

TEST_F(MoreChipsCli, DetectNamesEachPartThroughVisp)
{
    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    for (const Part& part : kParts) {
        const CliRun run = cli({QStringLiteral("--port"), vispDevice(), QStringLiteral("detect")},
                               underVisp(part.name));
        EXPECT_EQ(run.exitCode, 0) << part.name << run.err.toStdString();
        EXPECT_EQ(run.out, detected(part));
    }
}

TEST_F(MoreChipsCli, FusesShowTheExtendedByteAndTwoBytesLeaveIt)
{
    CliRun run = fuses("atmega328p", "m328p", {});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("low 62 high D9 ext FF\n"));
    run = fuses("atmega328p", "ATmega328P", {QStringLiteral("FF"), QStringLiteral("de"), QStringLiteral("0xFD")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("low FF high DE ext FD\n"));
    run = fuses("atmega328p", "m328p", {QStringLiteral("E2"), QStringLiteral("D9")});
    EXPECT_EQ(run.out, QStringLiteral("low E2 high D9 ext FD\n"));
    EXPECT_EQ(run.err, QStringLiteral("F.B. programmed\nF.B. read\n"));
    // A chip without one has no third byte to write, and shows none.
    EXPECT_EQ(fuses("attiny13", "t13", {}).out, QStringLiteral("low 6A high FF\n"));
    run = fuses("attiny13", "t13", {QStringLiteral("6A"), QStringLiteral("FF"), QStringLiteral("FF")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QLatin1String("the ATtiny13 has no extended fuse"))) << run.err.toStdString();

    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    const QProcessEnvironment env = underVisp("attiny85");
    run = onChip(vispDevice(), "t85", {QStringLiteral("fuses")}, env);
    EXPECT_EQ(run.out, QStringLiteral("low 62 high DF ext FF\n")) << run.err.toStdString();
    run = onChip(vispDevice(), "t85",
                 {QStringLiteral("fuses"), QStringLiteral("E2"), QStringLiteral("D7"), QStringLiteral("FE")}, env);
    EXPECT_EQ(run.out, QStringLiteral("low E2 high D7 ext FE\n")) << run.err.toStdString();
    const QByteArray info = visp({QStringLiteral("info"), vispState()});
    EXPECT_TRUE(info.contains("lfuse=0xe2\nhfuse=0xd7\nefuse=0xfe\n")) << info.toStdString();
}

TEST_F(MoreChipsCli, FusesThatEndInSystemProgrammingAreRefusedUnlessForced)
{
    struct Refused {
        const char* simChip;
        const char* chip;
        QStringList bytes;
        const char* named;
    };
    const std::vector<Refused> cases = {
        {"attiny13", "t13", {"6A", "FE"}, "RSTDISBL (high fuse bit 0) programmed"},
        {"attiny85", "t85", {"62", "5F", "FF"}, "RSTDISBL (high fuse bit 7) programmed"},
        {"atmega328p", "m328p", {"62", "99"}, "DWEN (high fuse bit 6) programmed"},
        {"attiny2313",
         "t2313",
         {"64", "5E"},
         "DWEN (high fuse bit 7) programmed and RSTDISBL (high fuse bit 0) programmed"},
        {"atmega8", "atmega8", {"E1", "F9"}, "SPIEN (high fuse bit 5) unprogrammed"},
        {"attiny13", "t13", {"EA", "FF"}, "SPIEN (low fuse bit 7) unprogrammed"},
    };
    for (const Refused& c : cases) {
        const CliRun run = fuses(c.simChip, c.chip, c.bytes);
        EXPECT_EQ(run.exitCode, 2) << c.chip;
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err,
                  QStringLiteral("kestova-cli: not writing the fuses, they end in-system programming over this "
                                 "cable: %1; add --force to write them anyway\n")
                      .arg(QLatin1String(c.named)));
        EXPECT_EQ(simChip(c.simChip), nullptr) << c.chip << ": refused before the chip was touched";
    }

    // Bit 7 of the ATmega8 entry's high fuse: the signature tells RSTDISBL from S8515C.
    CliRun run = fuses("atmega8", "atmega8", {"E1", "59"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QLatin1String("RSTDISBL (high fuse bit 7) programmed"))) << run.err.toStdString();
    EXPECT_EQ(simChip("atmega8")->memories().highFuse, 0xD9) << "nothing written";
    run = fuses("atmega8515", "atmega8", {"E1", "59"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("low E1 high 59\n"));

    run = onChip(QStringLiteral("SIM:attiny85"), "t85",
                 {QStringLiteral("fuses"), QStringLiteral("62"), QStringLiteral("5F"), QStringLiteral("--force")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("low 62 high 5F ext FF\n"));
}

}  // namespace
