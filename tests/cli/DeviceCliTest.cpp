// kestova-cli's device commands as a script runs them: erase on the simulated chips
// and through visp's real serial path, a slow chip, a pulled adapter, Ctrl+C.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

#include "sim/ChipStateFile.h"
#include "sim/SimChipCatalogue.h"
#include "tests/cli/DeviceCliFixture.h"

namespace {

QStringList erase(const QString& port, const char* chip)
{
    return {QStringLiteral("--port"), port, QStringLiteral("--chip"), QLatin1String(chip), QStringLiteral("erase")};
}

bool allErased(const std::vector<uint8_t>& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xFF; });
}

TEST_F(DeviceCli, EraseEmptiesThreeAndFourByteSimulatedChips)
{
    for (const auto& [keyword, type] :
         {std::pair{"s8252", SimChipType::At89s8252}, std::pair{"atmega8", SimChipType::Atmega8}}) {
        const QString state = simStatePath(dir_.path(), type);
        auto chip = makeChipModel(type);
        chip->memories().flash[0] = 0x00;
        chip->memories().eeprom[1] = 0x00;
        ASSERT_TRUE(saveChipState(state, *chip, nullptr));

        const CliRun run = cli(erase(QStringLiteral("SIM:") + QLatin1String(keyword), keyword));
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.err, QStringLiteral("Erased\n"));
        EXPECT_TRUE(run.out.isEmpty());
        auto after = makeChipModel(type);
        ASSERT_EQ(loadChipState(state, *after), ChipStateLoad::Loaded);
        EXPECT_TRUE(allErased(after->memories().flash)) << keyword;
        EXPECT_TRUE(allErased(after->memories().eeprom)) << keyword;
    }

    // --eeprom names a memory the AT89S52 does not have: nothing is touched.
    const CliRun refused = cli(erase(QStringLiteral("SIM:s52"), "s52") << QStringLiteral("--eeprom"));
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains(QLatin1String("no EEPROM")));
    EXPECT_FALSE(QFile::exists(simStatePath(dir_.path(), SimChipType::At89s52)));
}

TEST_F(DeviceCli, APulledAdapterFailsWithThePortAndTheReason)
{
    // About 150 line calls bring a chip into step; the adapter goes during the erase.
    CliRun run = cli(erase(QStringLiteral("SIM:atmega8,unplug=180"), "atmega8"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              QStringLiteral("Communication error\n"
                             "Lost the serial port SIM:atmega8,unplug=180: Input/output error\n"));

    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    presetVispFlash("atmega8", 16);
    QProcessEnvironment env = underVisp("atmega8");
    env.insert(QStringLiteral("VISP_UNPLUG_AFTER"), QStringLiteral("190"));
    run = cli(erase(vispDevice(), "atmega8"), env);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.contains(QLatin1String("Erased"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(vispDevice() + QStringLiteral(": Input/output error"))) << run.err.toStdString();
}

TEST_F(DeviceCli, SlowChipIsFoundByTheLadderOnBothModels)
{
    // Too slow for 25 µs half periods, the enable included: found at the next rung.
    CliRun run = cli({QStringLiteral("--port"), QStringLiteral("SIM:atmega8,slow=150"), QStringLiteral("--chip"),
                      QStringLiteral("atmega8"), QStringLiteral("probe")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QLatin1String("at ClockDelay 205 us"))) << run.out.toStdString();

    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    for (const auto& [vispChip, chip, size] :
         {std::tuple{"atmega8", "atmega8", 8192}, std::tuple{"at89s52", "s52", 8192}}) {
        presetVispFlash(vispChip, size);
        QProcessEnvironment env = underVisp(vispChip);
        env.insert(QStringLiteral("VISP_MIN_HALF_US"), QStringLiteral("150"));
        run = cli({QStringLiteral("--port"), vispDevice(), QStringLiteral("--chip"), QLatin1String(chip),
                   QStringLiteral("probe")},
                  env);
        EXPECT_TRUE(run.out.contains(QLatin1String("at ClockDelay 205 us"))) << chip << run.out.toStdString();
        run = cli(erase(vispDevice(), chip), env);
        EXPECT_EQ(run.exitCode, 0) << chip << run.err.toStdString();
        const QByteArray flash = vispFlash();
        EXPECT_EQ(flash.size(), size);
        EXPECT_EQ(flash.count('\xFF'), size) << chip;
    }
}

// A SIM: chip is a port: while one program has it, another is told which program and
// process has it, as a real port's lock file tells; once that program is gone, even
// killed, the chip is free again and holds what the first one did.
TEST_F(DeviceCli, ASimulatedChipInUseNamesTheProgramThatHasIt)
{
    const QStringList probe = {QStringLiteral("--port"), QStringLiteral("SIM:atmega8"), QStringLiteral("--chip"),
                               QStringLiteral("atmega8"), QStringLiteral("probe")};
    for (const int signal : {SIGINT, SIGKILL}) {
        SCOPED_TRACE(signal);
        QProcess holder;
        // A slow chip: minutes of reading, so it holds the chip while the probe runs.
        start(holder,
              {QStringLiteral("--port"), QStringLiteral("SIM:atmega8,slow=150"), QStringLiteral("--chip"),
               QStringLiteral("atmega8"), QStringLiteral("read"), dir_.filePath(QStringLiteral("held.bin"))});
        const QByteArray err = waitForStatus(holder, "Reading");
        ASSERT_TRUE(err.contains("Reading")) << err.toStdString();
        CliRun run = cli(probe);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err,
                  QStringLiteral("Cannot open serial port. Use --port to choose another (kestova-cli ports "
                                 "lists them)\ncannot open SIM:atmega8: in use by kestova-cli (process %1) — "
                                 "close that program and try again\n")
                      .arg(holder.processId()));
        ::kill(static_cast<pid_t>(holder.processId()), signal);
        finish(holder);
        run = cli(probe);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
}

// An erase does not poll the cancel flag: it runs to its end, says so and exits with
// its own status, Ctrl+C or not.
TEST_F(DeviceCli, CtrlCDuringAnEraseLetsItEndAndExitsWithItsOwnStatus)
{
    if (!haveVisp())
        GTEST_SKIP() << "the port's trace tells when the program is under way";
    const QString trace = dir_.filePath(QStringLiteral("trace.txt"));
    QProcessEnvironment env = underVisp("atmega8");
    env.insert(QStringLiteral("VISP_MIN_HALF_US"), QStringLiteral("150"));  // a second of ladder
    env.insert(QStringLiteral("VISP_TRACE"), trace);
    QProcess process;
    start(process, erase(vispDevice(), "atmega8"), env);
    // The port opens after the handler is in place.
    for (int i = 0; i < 3000 && !QFile::exists(trace); ++i)
        QThread::msleep(10);
    ASSERT_TRUE(QFile::exists(trace));
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    const CliRun run = finish(process);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.err, QStringLiteral("Erased\n"));
}

}  // namespace
