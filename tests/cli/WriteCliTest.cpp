// kestova-cli write as a script runs it: every chip that visp models written through
// the real serial path, the write modes, and the exit status of each way a run ends.
#include <QRegularExpression>

#include "sim/ChipStateFile.h"
#include "sim/SimChipCatalogue.h"
#include "tests/cli/DeviceCliFixture.h"

namespace {

QStringList writeArgs(const QString& port, const char* chip, const QString& file, const QStringList& extra = {})
{
    return QStringList{QStringLiteral("--port"), port, QStringLiteral("--chip"), QLatin1String(chip)} + extra
        + QStringList{QStringLiteral("write"), file};
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The memory starts with the image and is erased after it.
bool holdsExactly(const QByteArray& memory, const QByteArray& image)
{
    return memory.size() >= image.size() && memory.startsWith(image)
        && memory.mid(image.size()).count('\xFF') == memory.size() - image.size();
}

struct VispWrite {
    const char* vispChip;
    const char* chip;
    bool eeprom;
    const char* file;    // in tests/data
    const char* binary;  // the same image as a .bin
};

void PrintTo(const VispWrite& c, std::ostream* os)
{
    *os << c.vispChip << (c.eeprom ? " eeprom " : " flash ") << c.file;
}

class WriteThroughVisp : public DeviceCli, public ::testing::WithParamInterface<VispWrite> {};

TEST_P(WriteThroughVisp, TheChipStateThenHoldsExactlyTheImage)
{
    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    const VispWrite& c = GetParam();
    visp({QStringLiteral("init"), vispState(), QLatin1String(c.vispChip)});
    const QStringList memory = c.eeprom ? QStringList{QStringLiteral("--eeprom")} : QStringList{};
    const CliRun run = cli(writeArgs(vispDevice(), c.chip, testDataPath(QLatin1String(c.file)), memory),
                           underVisp(c.vispChip));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith(QLatin1String("Done\n"))) << run.err.toStdString();
    EXPECT_TRUE(
        holdsExactly(vispMemory(c.eeprom ? "eeprom" : "flash"), fileBytes(testDataPath(QLatin1String(c.binary)))));
}

INSTANTIATE_TEST_SUITE_P(
    Chips, WriteThroughVisp,
    ::testing::Values(VispWrite{"at89s8252", "s8252", false, "avr-atmega8.hex", "avr-atmega8.bin"},
                      VispWrite{"at89s8252", "s8252", true, "avr-atmega8.bin", "avr-atmega8.bin"},
                      VispWrite{"at89s53", "s53", false, "avr-atmega8.bin", "avr-atmega8.bin"},
                      VispWrite{"at89s52", "s52", false, "mcs51-gap.hex", "mcs51-gap.bin"},
                      VispWrite{"at89s51", "s51", false, "avr-atmega8.hex", "avr-atmega8.bin"},
                      VispWrite{"at89s8253", "s8253", false, "avr-atmega8.hex", "avr-atmega8.bin"},
                      VispWrite{"at89s8253", "s8253", true, "avr-atmega8.bin", "avr-atmega8.bin"},
                      VispWrite{"atmega8", "atmega8", false, "avr-atmega8.hex", "avr-atmega8.bin"},
                      VispWrite{"atmega8", "atmega8", true, "avr-atmega8.bin", "avr-atmega8.bin"},
                      VispWrite{"atmega8515", "atmega8515", false, "avr-atmega8.hex", "avr-atmega8.bin"},
                      VispWrite{"atmega8535", "atmega8535", false, "avr-atmega8.bin", "avr-atmega8.bin"}));

class WriteCli : public DeviceCli {
protected:
    QByteArray simFlash(SimChipType type)
    {
        auto chip = makeChipModel(type);
        if (loadChipState(simStatePath(dir_.path(), type), *chip) != ChipStateLoad::Loaded)
            return {};
        return QByteArray(reinterpret_cast<const char*>(chip->memories().flash.data()),
                          static_cast<qsizetype>(chip->memories().flash.size()));
    }
    QString file(const char* name) { return testDataPath(QLatin1String(name)); }
};

TEST_F(WriteCli, FastAndDifferentialModesWriteTheFileAndDifferentialOnlyWhereTheMenuOffersIt)
{
    const QByteArray image = fileBytes(file("avr-atmega8.bin"));
    CliRun run = cli(writeArgs(QStringLiteral("SIM:s52"), "s52", file("avr-atmega8.hex"),
                               {QStringLiteral("--mode"), QStringLiteral("fast")}));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err,
              QStringLiteral("wait...\nIntel HEX, 152 bytes\nErasing memory...\nWrinting and verifying\n"
                             "Writing\nDone\n"));
    EXPECT_TRUE(holdsExactly(simFlash(SimChipType::At89s52), image));

    for (int pass = 0; pass < 2; ++pass) {
        run = cli(writeArgs(QStringLiteral("SIM:s53"), "s53", file("avr-atmega8.bin"),
                            {QStringLiteral("--mode"), QStringLiteral("Differential")}));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.err, QStringLiteral("wait...\nbinary, 152 bytes\nWriting\nDone\n"));
    }
    EXPECT_TRUE(holdsExactly(simFlash(SimChipType::At89s53), image));

    run = cli(writeArgs(QStringLiteral("SIM:atmega8"), "atmega8", file("avr-atmega8.bin"),
                        {QStringLiteral("--mode"), QStringLiteral("differential")}));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains(QLatin1String("differential mode is for the AT89S8252 and AT89S53")));
    EXPECT_FALSE(QFile::exists(simStatePath(dir_.path(), SimChipType::Atmega8))) << "the port was never opened";
}

TEST_F(WriteCli, EveryWayARunFailsExitsOneWithItsReason)
{
    // A byte that never reads back, a chip that never answers, and files it cannot take.
    struct Case {
        QString port;
        QString file;
        const char* says;
    };
    const QString tooBig = dir_.filePath(QStringLiteral("too-big.bin"));
    QFile big(tooBig);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(8193, '\0'));
    big.close();
    const QString broken = dir_.filePath(QStringLiteral("broken.hex"));
    QFile hex(broken);
    ASSERT_TRUE(hex.open(QIODevice::WriteOnly));
    hex.write(":0100000\n");
    hex.close();
    const QString empty = dir_.filePath(QStringLiteral("empty.hex"));
    QFile nothing(empty);
    ASSERT_TRUE(nothing.open(QIODevice::WriteOnly));
    nothing.write(":00000001FF\r\n");
    nothing.close();
    const std::vector<Case> cases = {
        {QStringLiteral("SIM:s52,lose=0x2:100"), file("avr-atmega8.bin"), "Write error\n"},
        {QStringLiteral("SIM:none"), file("avr-atmega8.bin"), "Communication error\n"},
        {QStringLiteral("SIM:s52"), tooBig,
         "File size exceeds Flash capacity\nThe image in \"%1\" is 8193 bytes; the AT89S52 flash holds 8192 bytes\n"},
        {QStringLiteral("SIM:s52"), broken, "Invalid .HEX file\nFile \"%1\", line 1\n"},
        {QStringLiteral("SIM:s52"), empty, "The file \"%1\" holds no data\n"},
        {QStringLiteral("SIM:s52"), dir_.filePath(QStringLiteral("absent.hex")), "It is not a file.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.says);
        const CliRun run = cli(writeArgs(c.port, "s52", c.file));
        EXPECT_EQ(run.exitCode, 1);
        QString says = QString::fromUtf8(c.says);
        if (says.contains(QLatin1String("%1")))
            says = says.arg(c.file);
        EXPECT_TRUE(run.err.endsWith(says)) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(QLatin1String("Done")));
    }
    // Only the run whose byte would not stay got as far as the chip.
    const QByteArray flash = simFlash(SimChipType::At89s52);
    EXPECT_EQ(flash.left(2), fileBytes(file("avr-atmega8.bin")).left(2));
    EXPECT_EQ(flash.at(2), '\xFF');
}

TEST_F(WriteCli, CtrlCCancelsTheRunWhichStillCommitsItsPageSaysSoAndExits130)
{
    // A slow chip and 4 KiB: a minute of writing, however loaded the machine, so the
    // interrupt always comes while it writes.
    QByteArray image(4096, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 7 + 1);
    const QString bin = dir_.filePath(QStringLiteral("image.bin"));
    QFile out(bin);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(image);
    out.close();
    QProcess process;
    start(process, writeArgs(QStringLiteral("SIM:atmega8,slow=150"), "atmega8", bin));
    const CliRun run = interruptWhenUnderWay(process, "Writing");
    ASSERT_TRUE(run.err.contains(QLatin1String("Writing"))) << run.err.toStdString();
    EXPECT_EQ(run.exitCode, 130) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains(QLatin1String("Verifying")));
    EXPECT_FALSE(run.err.contains(QLatin1String("Done")));
    const QStringList lines = run.err.trimmed().split(QLatin1Char('\n'));
    const QRegularExpression said(QStringLiteral("^Cancelled after (\\d+) of 4096 bytes; "
                                                 "the chip holds only part of the file$"));
    const QRegularExpressionMatch match = said.match(lines.last());
    ASSERT_TRUE(match.hasMatch()) << run.err.toStdString();
    const int written = match.captured(1).toInt();
    EXPECT_GE(written, 1);
    EXPECT_LT(written, 4096);
    // However few bytes it wrote, the page holding them was committed.
    const QByteArray flash = simFlash(SimChipType::Atmega8);
    ASSERT_FALSE(flash.isEmpty());
    EXPECT_EQ(flash.left(written), image.left(written));
    EXPECT_EQ(flash.at(written + 64), '\xFF');
}

TEST_F(WriteCli, APulledAdapterOnTheRealSerialPathFailsWithTheReason)
{
    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    visp({QStringLiteral("init"), vispState(), QStringLiteral("at89s52")});
    QProcessEnvironment env = underVisp("at89s52");
    env.insert(QStringLiteral("VISP_UNPLUG_AFTER"), QStringLiteral("3000"));
    const CliRun run = cli(writeArgs(vispDevice(), "s52", file("avr-atmega8.bin")), env);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.contains(QLatin1String("Done"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(vispDevice() + QStringLiteral(": Input/output error"))) << run.err.toStdString();
}

}  // namespace
