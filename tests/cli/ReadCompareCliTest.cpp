// kestova-cli read, compare, lock, fuses and avr-lock as a script runs them: every
// memory read through visp's real serial path, exit statuses and printed results,
// the fuse write cycle on visp's ATmega8, a pulled adapter, Ctrl+C, the progress bar.
#include <QFileInfo>

#include "image/ImageBuffer.h"
#include "sim/ChipStateFile.h"
#include "sim/SimChipCatalogue.h"
#include "tests/cli/DeviceCliFixture.h"
#include "tests/support/ScratchFiles.h"

namespace {

QStringList device(const QString& port, const char* chip, const QStringList& command)
{
    return QStringList{QStringLiteral("--port"), port, QStringLiteral("--chip"), QLatin1String(chip)} + command;
}

// Bytes that differ with the high address bits too, so a misplaced bit shows.
QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int a = 0; a < size; ++a)
        bytes[a] = static_cast<char>(a * 7 + (a >> 8) * 13 + 0x5A);
    return bytes;
}

struct MemoryCase {
    const char* chip;      // --chip
    const char* vispChip;  // VISP_CHIP
    bool eeprom;
    int size;
};

void PrintTo(const MemoryCase& c, std::ostream* os) { *os << c.chip << (c.eeprom ? " eeprom" : " flash"); }

class ReadThroughVisp : public DeviceCli, public ::testing::WithParamInterface<MemoryCase> {};

TEST_P(ReadThroughVisp, FileHoldsTheChipsMemoryByteForByte)
{
    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    const MemoryCase& c = GetParam();
    const QByteArray memory = pattern(c.size);
    presetVisp(c.vispChip, c.eeprom ? "eeprom" : "flash", memory);
    const QString out = dir_.filePath(QStringLiteral("read.bin"));
    QStringList args = device(vispDevice(), c.chip, {QStringLiteral("read"), out});
    if (c.eeprom)
        args << QStringLiteral("--eeprom");

    const CliRun run = cli(args, underVisp(c.vispChip));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, QStringLiteral("Reading\nDone\n"));
    EXPECT_EQ(run.out, QStringLiteral("%1 bytes\n").arg(c.size));
    EXPECT_TRUE(readAll(out) == memory);
}

// One memory of each instruction set (the simulated chips' tests read all of them):
// the AT89S53 stands for the AT89S8252 flash, with A13 besides, and the AT89S52 for
// the AT89S51.
INSTANTIATE_TEST_SUITE_P(
    EachMemory, ReadThroughVisp,
    ::testing::Values(MemoryCase{"s8252", "at89s8252", true, 2048}, MemoryCase{"s53", "at89s53", false, 12288},
                      MemoryCase{"s52", "at89s52", false, 8192}, MemoryCase{"s8253", "at89s8253", false, 12288},
                      MemoryCase{"s8253", "at89s8253", true, 2048}, MemoryCase{"atmega8", "atmega8", false, 8192},
                      MemoryCase{"atmega8", "atmega8", true, 512}));

TEST_F(DeviceCli, CompareExitsZeroOnlyForIdenticalData)
{
    auto chip = makeChipModel(SimChipType::Atmega8);
    const QByteArray eeprom = pattern(512);
    std::copy(eeprom.begin(), eeprom.end(), chip->memories().eeprom.begin());
    ASSERT_TRUE(saveChipState(simStatePath(dir_.path(), SimChipType::Atmega8), *chip, nullptr));
    const QString file = dir_.filePath(QStringLiteral("image.bin"));
    const auto compare = [&](const QByteArray& image) {
        QFile f(file);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(image);
        f.close();
        return cli(device(QStringLiteral("SIM:atmega8"), "atmega8",
                          {QStringLiteral("compare"), file, QStringLiteral("--eeprom")}));
    };

    CliRun run = compare(eeprom);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Identical data\n"));

    QByteArray changed = eeprom;
    changed[5] = '\0';
    changed[511] = '\1';
    run = compare(changed);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QStringLiteral("2 different bytes\n"));
    EXPECT_TRUE(run.err.contains(QLatin1String("Devergence in data\n")));

    run = compare(QByteArray(513, '\0'));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err,
              QStringLiteral("wait...\nbinary, 513 bytes\nFile size exceeds eeprom capacity\n"
                             "The image in \"%1\" is 513 bytes; the ATmega8 EEPROM holds 512 bytes\n")
                  .arg(file));

    // Nothing to compare is not "Identical data".
    run = compare(QByteArray());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err, QStringLiteral("wait...\nThe file \"%1\" holds no data\n").arg(file));
}

TEST_F(DeviceCli, FusesAndAvrLockAreWrittenReadBackAndPrinted)
{
    if (!haveVisp())
        GTEST_SKIP() << "visp's ATmega8 ignores a write inside the fuse write cycle, as the chip does";
    presetVispFlash("atmega8", 16);
    const QProcessEnvironment env = underVisp("atmega8");
    const auto run = [&](const QStringList& command) { return cli(device(vispDevice(), "atmega8", command), env); };

    CliRun result = run({QStringLiteral("fuses")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("low E1 high D9\n"));
    result = run({QStringLiteral("fuses"), QStringLiteral("0xE4"), QStringLiteral("c9")});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, QStringLiteral("low E4 high C9\n"));
    EXPECT_EQ(result.err, QStringLiteral("F.B. programmed\nF.B. read\n"));
    result = run({QStringLiteral("avr-lock"), QStringLiteral("FC")});
    EXPECT_EQ(result.out, QStringLiteral("lock FC\n"));
    const QByteArray info = visp({QStringLiteral("info"), vispState()});
    EXPECT_TRUE(info.contains("lfuse=0xe4\nhfuse=0xc9\nlock=0xfc\n")) << info.toStdString();
}

TEST_F(DeviceCli, LockAndFuseCommandsRefuseTheWrongChipOrValue)
{
    const std::vector<std::pair<QStringList, const char*>> refused = {
        {device(QStringLiteral("SIM:s52"), "s52", {QStringLiteral("fuses")}), "fuses are for the ATmega8"},
        {device(QStringLiteral("SIM:s8252"), "s8252", {QStringLiteral("avr-lock")}), "avr-lock is for the ATmega8"},
        {device(QStringLiteral("SIM:atmega8"), "atmega8", {QStringLiteral("lock"), QStringLiteral("1")}),
         "the ATmega8 has no lock levels"},
        {device(QStringLiteral("SIM:s52"), "s52", {QStringLiteral("lock"), QStringLiteral("4")}), "give 1, 2 or 3"},
        {device(QStringLiteral("SIM:atmega8"), "atmega8", {QStringLiteral("fuses"), QStringLiteral("E1")}),
         "both bytes"},
        {device(QStringLiteral("SIM:atmega8"), "atmega8",
                {QStringLiteral("fuses"), QStringLiteral("E1"), QStringLiteral("1FF")}),
         "hexadecimal"},
    };
    for (const auto& [args, why] : refused) {
        const CliRun run = cli(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(why))) << run.err.toStdString();
    }
    EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files).isEmpty()) << "no chip was touched";

    const CliRun locked = cli(device(QStringLiteral("SIM:s52"), "s52", {QStringLiteral("lock"), QStringLiteral("2")}));
    EXPECT_EQ(locked.exitCode, 0);
    EXPECT_EQ(locked.err, QStringLiteral("L.B. programmed\n"));
    auto chip = makeChipModel(SimChipType::At89s52);
    ASSERT_EQ(loadChipState(simStatePath(dir_.path(), SimChipType::At89s52), *chip), ChipStateLoad::Loaded);
    EXPECT_EQ(chip->memories().lock & 0x07, 0b100);
}

TEST_F(DeviceCli, APulledAdapterFailsReadAndCompareWithoutAResult)
{
    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    presetVispFlash("atmega8", 8192);
    QProcessEnvironment env = underVisp("atmega8");
    env.insert(QStringLiteral("VISP_UNPLUG_AFTER"), QStringLiteral("5000"));  // some forty bytes in
    const QString out = dir_.filePath(QStringLiteral("read.bin"));
    const QString image = dir_.filePath(QStringLiteral("image.bin"));
    QFile zeros(image);
    ASSERT_TRUE(zeros.open(QIODevice::WriteOnly));
    zeros.write(QByteArray(8192, '\0'));
    zeros.close();

    for (const QStringList& command :
         {QStringList{QStringLiteral("read"), out}, QStringList{QStringLiteral("compare"), image}}) {
        const CliRun run = cli(device(vispDevice(), "atmega8", command), env);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_FALSE(run.err.contains(QLatin1String("Done"))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(vispDevice() + QStringLiteral(": Input/output error"))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
    EXPECT_LT(QFileInfo(out).size(), 8192);
}

TEST_F(DeviceCli, CtrlCDuringAReadKeepsTheBytesReadSaysSoAndExits130)
{
    for (const char* name : {"part.bin", "part.hex"}) {
        SCOPED_TRACE(name);
        const QString out = dir_.filePath(QLatin1String(name));
        const bool hex = QByteArray(name).endsWith(".hex");
        // A slow chip reads at 205 µs: minutes for the whole flash, however loaded the
        // machine, so the interrupt always comes in the middle.
        QProcess process;
        start(process, device(QStringLiteral("SIM:s52,slow=150"), "s52", {QStringLiteral("read"), out}));
        // Reading begins once the chip has answered.
        const CliRun run = interruptWhenUnderWay(process, "Reading");
        ASSERT_TRUE(run.err.startsWith(QLatin1String("Reading\n"))) << run.err.toStdString();
        EXPECT_EQ(run.exitCode, 130) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(QLatin1String("Done")));
        ImageBuffer kept;
        const qint32 length = hex ? loadImageFile(out, kept).length : qint32(QFileInfo(out).size());
        EXPECT_LT(length, 8192);
        EXPECT_EQ(run.err,
                  QStringLiteral("Reading\nCancelled after %1 of 8192 bytes; %2 holds the bytes read so far\n")
                      .arg(length)
                      .arg(out));
        EXPECT_EQ(run.out, QStringLiteral("%1 bytes\n").arg(length));
    }
}

TEST_F(DeviceCli, ProgressBarIsDrawnOnlyWhenStandardErrorIsATerminal)
{
    const QStringList args = device(
        QStringLiteral("SIM:atmega8"), "atmega8",
        {QStringLiteral("--eeprom"), QStringLiteral("read"), dir_.filePath(QStringLiteral("e.bin"))});
    // script(1) gives the program a terminal of its own.
    QProcess script;
    script.setProcessEnvironment(environment({}));
    script.start(QStringLiteral("script"),
                 {QStringLiteral("-qec"),
                  (QStringList{builtProgramPath(QStringLiteral("kestova-cli"))} + args).join(QLatin1Char(' ')),
                  QStringLiteral("/dev/null")});
    const CliRun onTerminal = finish(script);
    EXPECT_EQ(onTerminal.exitCode, 0);
    EXPECT_TRUE(onTerminal.out.contains(QStringLiteral("\r[%1] 100%\r\n").arg(QString(40, QLatin1Char('#')))))
        << onTerminal.out.toStdString();

    EXPECT_FALSE(cli(args).err.contains(QLatin1Char('#')));
}

}  // namespace
