// kestova-cli probe and detect as a script runs them: against the simulated chips,
// an empty socket, a slow target, the wrong chip, ports that do not open, and
// through visp's virtual port on the real serial path.
#include <QFile>
#include <gtest/gtest.h>

#include "tests/cli/DeviceCliFixture.h"
#include "view/Strings.h"

namespace {

class ProbeCli : public DeviceCli {
protected:
    CliRun probe(const QString& port, const QString& chip, const QProcessEnvironment& extra = {})
    {
        QStringList args = {QStringLiteral("--port"), port};
        if (!chip.isEmpty())
            args << QStringLiteral("--chip") << chip;
        return cli(args << QStringLiteral("probe"), extra);
    }
    CliRun detect(const QString& port, const QProcessEnvironment& extra = {})
    {
        return cli({QStringLiteral("--port"), port, QStringLiteral("detect")}, extra);
    }
};

const QString kCommunicationErrorLine = QLatin1String(Str::kCommunicationError) + QLatin1Char('\n');

TEST_F(ProbeCli, ReportsSignatureAndRungOfEachSimulatedChip)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"atmega8", "signature 1E 93 07 at ClockDelay 5 us\n"},
        {"s52", "signature 1E 52 06 at ClockDelay 5 us\n"},
        {"s51", "signature 1E 51 06 at ClockDelay 5 us\n"},
        {"s8253", "signature 1E 73 FF at ClockDelay 5 us\n"},
    };
    for (const auto& [chip, expected] : cases) {
        const CliRun run = probe(QStringLiteral("SIM:") + QLatin1String(chip), QLatin1String(chip));
        EXPECT_EQ(run.exitCode, 0) << chip << run.err.toStdString();
        EXPECT_EQ(run.out, QLatin1String(expected));
    }
}

// A script takes 0 as "the chip is there"; without a signature nothing proves it.
TEST_F(ProbeCli, ChipsWithoutASignatureFailAsNotVerified)
{
    for (const char* port : {"SIM:s8252", "SIM:s53", "SIM:none"}) {
        const CliRun run = probe(QLatin1String(port), QStringLiteral("s53"));
        EXPECT_EQ(run.exitCode, 1) << port;
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err,
                  QStringLiteral("no signature to read (AT89S8252 and AT89S53 have none), presence not "
                                 "verified at ClockDelay 5 us\n"));
    }
}

TEST_F(ProbeCli, SignatureMustNameTheChipAskedFor)
{
    CliRun run = probe(QStringLiteral("SIM:s52"), QStringLiteral("s51"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err, QStringLiteral("found AT89S52 (1E 52 06), expected AT89S51\n"));

    run = probe(QStringLiteral("SIM:s8253"), QStringLiteral("s52"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());

    // The ATmega8 entry's keyword takes all three parts it programs; a part's own name
    // takes that part alone, in probe and detect alike.
    run = probe(QStringLiteral("SIM:atmega8535"), QStringLiteral("atmega8"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("signature 1E 93 08 at ClockDelay 5 us\n"));
    // (Each detect of an AVR first tries the 89S sets along their ladders: one of each.)
    for (const auto& [port, chip, command, expected] :
         {std::tuple{"SIM:atmega8535", "ATMEGA8515", "probe", "found ATmega8535 (1E 93 08), expected ATmega8515\n"},
          std::tuple{"SIM:atmega8", "atmega8535", "detect", "found ATmega8 (1E 93 07), expected ATmega8535\n"}}) {
        run = cli({QStringLiteral("--port"), QLatin1String(port), QStringLiteral("--chip"), QLatin1String(chip),
                   QLatin1String(command)});
        EXPECT_EQ(run.exitCode, 1) << port << chip << command;
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err, QLatin1String(expected));
    }
    run = probe(QStringLiteral("SIM:atmega8515"), QStringLiteral("ATmega8515"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    run = cli({QStringLiteral("--port"), QStringLiteral("SIM:atmega8515"), QStringLiteral("--chip"),
               QStringLiteral("atmega8515"), QStringLiteral("detect")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("ATmega8515 (1E 93 06) at ClockDelay 5 us\n--chip atmega8515\n"));
}

TEST_F(ProbeCli, SlowTargetIsFoundOnAHigherRung)
{
    const CliRun run = probe(QStringLiteral("SIM:atmega8,slow=205"), QStringLiteral("atmega8"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QLatin1String("signature 1E 93 07 at ClockDelay 205 us\n"));
}

TEST_F(ProbeCli, NoChipOrWrongInstructionSetIsACommunicationError)
{
    for (const auto& [port, chip] : {std::pair{"SIM:none", "atmega8"}, std::pair{"SIM:atmega8", "s52"}}) {
        const CliRun run = probe(QLatin1String(port), QLatin1String(chip));
        EXPECT_EQ(run.exitCode, 1) << port;
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err, kCommunicationErrorLine);
    }
}

TEST_F(ProbeCli, PortThatCannotBeOpenedIsNamedWithTheReason)
{
    // A terminal has no "port" menu: the line names --port instead.
    const QString firstLine = QLatin1String(Str::kCliCannotOpenPort) + QLatin1Char('\n');
    CliRun run = probe(QStringLiteral("/dev/kestova-no-such-port"), QStringLiteral("atmega8"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.startsWith(firstLine + QStringLiteral("cannot open /dev/kestova-no-such-port: ")))
        << run.err.toStdString();
    EXPECT_GT(run.err.size(), firstLine.size() + 40) << "no reason given";
    EXPECT_FALSE(run.err.contains(QLatin1String("menu")));

    // A SIM: name that names nothing is a mistyped command line.
    const QString tryHelp = QStringLiteral("Try 'kestova-cli --help'.\n");
    run = probe(QStringLiteral("SIM:foo"), QStringLiteral("atmega8"));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, QStringLiteral("kestova-cli: unknown simulated chip \"foo\"\n") + tryHelp);
    run = detect(QStringLiteral("SIM:atmega8,slow=abc"));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, QStringLiteral("kestova-cli: bad option \"slow=abc\" in SIM:atmega8,slow=abc\n") + tryHelp);
    run = cli({QStringLiteral("--port"), QStringLiteral("SIM:foo"), QStringLiteral("--chip"), QStringLiteral("s52"),
               QStringLiteral("erase")});
    EXPECT_EQ(run.exitCode, 2);

    run = probe(QStringLiteral("SIM:atmega8"), QString());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(cli({QStringLiteral("detect")}).exitCode, 2) << "detect without --port";
}

// About 200 line calls bring the chip into step; the adapter goes while the signature is read.
TEST_F(ProbeCli, AnAdapterPulledDuringTheSignatureIsNamedNotTakenForAnotherChip)
{
    const QString port = QStringLiteral("SIM:atmega8,unplug=300");
    const QString lost = QStringLiteral("Lost the serial port %1: Input/output error\n").arg(port);
    CliRun run = probe(port, QStringLiteral("atmega8"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, lost);
    run = detect(port);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, lost);
}

TEST_F(ProbeCli, DetectNamesTheChipOfEachInstructionSet)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"SIM:ATMEGA8535", "ATmega8535 (1E 93 08) at ClockDelay 5 us\n--chip atmega8535\n"},
        {"SIM:s51", "AT89S51 (1E 51 06) at ClockDelay 5 us\n--chip s51\n"},
        {"SIM:s8253", "AT89S8253 (1E 73 FF) at ClockDelay 5 us\n--chip s8253\n"},
        {"SIM:atmega8,slow=205", "ATmega8 (1E 93 07) at ClockDelay 205 us\n--chip atmega8\n"},
    };
    for (const auto& [port, expected] : cases) {
        const CliRun run = detect(QLatin1String(port));
        EXPECT_EQ(run.exitCode, 0) << port << run.err.toStdString();
        EXPECT_EQ(run.out, QLatin1String(expected));
        EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    }
    for (const char* port : {"SIM:none", "SIM:s8252"}) {
        const CliRun run = detect(QLatin1String(port));
        EXPECT_EQ(run.exitCode, 1) << port;
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err, kCommunicationErrorLine);
    }
}

TEST_F(ProbeCli, RealSerialPathThroughVispCostsAtMostFourCallsPerBit)
{
    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    const std::vector<std::tuple<const char*, const char*, const char*>> cases = {
        {"atmega8", "atmega8", "signature 1E 93 07 at ClockDelay 5 us\n"},
        {"at89s52", "s52", "signature 1E 52 06 at ClockDelay 5 us\n"},
        {"at89s8253", "s8253", "signature 1E 73 FF at ClockDelay 5 us\n"},
    };
    for (const auto& [vispChip, chip, expected] : cases) {
        QFile::remove(vispState());
        const CliRun run = probe(vispDevice(), QLatin1String(chip), underVisp(vispChip));
        EXPECT_EQ(run.exitCode, 0) << vispChip << run.err.toStdString();
        EXPECT_EQ(run.out, QLatin1String(expected));

        QProcess info;
        info.start(vispDir() + QStringLiteral("/visp"), {QStringLiteral("info"), vispState()});
        ASSERT_TRUE(info.waitForFinished(10000));
        double ioctls = 0, bits = 0;
        for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("line_ioctls=")))
                ioctls = line.mid(12).toDouble();
            if (line.startsWith(QLatin1String("bits=")))
                bits = line.mid(5).toDouble();
        }
        ASSERT_GT(bits, 0);
        EXPECT_LE(ioctls / bits, 4.0) << vispChip;
    }

    const CliRun none = probe(vispDevice(), QStringLiteral("atmega8"), underVisp("none"));
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, kCommunicationErrorLine);
}

// Visp's own chip model: the attempts with the wrong instruction sets must not leave
// it out of step for the right one.
TEST_F(ProbeCli, DetectThroughVispAfterWrongInstructionSets)
{
    if (!haveVisp())
        GTEST_SKIP() << "the virtual serial port was not built";
    for (const auto& [vispChip, expected] :
         {std::pair{"atmega8515", "ATmega8515 (1E 93 06) at ClockDelay 5 us\n--chip atmega8515\n"},
          std::pair{"at89s8253", "AT89S8253 (1E 73 FF) at ClockDelay 5 us\n--chip s8253\n"}}) {
        QFile::remove(vispState());
        const CliRun run = detect(vispDevice(), underVisp(vispChip));
        EXPECT_EQ(run.exitCode, 0) << vispChip << run.err.toStdString();
        EXPECT_EQ(run.out, QLatin1String(expected));
    }
}

}  // namespace
