// kestova-cli probe as a script runs it: against the simulated chips, an empty
// socket, a slow target, and through visp's virtual port on the real serial path.
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "view/Strings.h"
#include "tests/support/TestPaths.h"

namespace {

struct ProbeRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class ProbeCli : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    ProbeRun probe(const QString& port, const QString& chip, const QProcessEnvironment& extra = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KESTOVA_SIM_DIR"), dir_.path());
        env.insert(extra);
        QProcess process;
        process.setProcessEnvironment(env);
        QStringList args = {QStringLiteral("--port"), port};
        if (!chip.isEmpty())
            args << QStringLiteral("--chip") << chip;
        args << QStringLiteral("probe");
        process.start(builtProgramPath(QStringLiteral("kestova-cli")), args);
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    QProcessEnvironment underVisp(const char* chip) const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("LD_PRELOAD"), vispDir() + QStringLiteral("/libvisp.so"));
        env.insert(QStringLiteral("VISP_CHIP"), QString::fromLatin1(chip));
        env.insert(QStringLiteral("VISP_DEVICE"), vispDevice());
        env.insert(QStringLiteral("VISP_STATE"), statePath());
        env.insert(QStringLiteral("VISP_IDLE_RESYNC_MS"), QStringLiteral("500"));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("verify_asan_link_order=0:detect_leaks=0"));
        return env;
    }
    QString statePath() const { return dir_.filePath(QStringLiteral("visp.state")); }

    QTemporaryDir dir_;
};

TEST_F(ProbeCli, ReportsSignatureAndRungOfEachSimulatedChip)
{
    const std::vector<std::pair<const char*, const char*>> cases = {
        {"atmega8", "signature 1E 93 07 at ClockDelay 5 us\n"},
        {"s52", "signature 1E 52 06 at ClockDelay 5 us\n"},
        {"s51", "signature 1E 51 06 at ClockDelay 5 us\n"},
        {"s8253", "signature 1E 73 FF at ClockDelay 5 us\n"},
    };
    for (const auto& [chip, expected] : cases) {
        const ProbeRun run = probe(QStringLiteral("SIM:") + QLatin1String(chip), QLatin1String(chip));
        EXPECT_EQ(run.exitCode, 0) << chip << run.err.toStdString();
        EXPECT_EQ(run.out, QLatin1String(expected));
    }
    for (const char* chip : {"s8252", "s53"}) {
        const ProbeRun run = probe(QStringLiteral("SIM:") + QLatin1String(chip), QLatin1String(chip));
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.out.contains(QLatin1String("no signature"))) << run.out.toStdString();
        EXPECT_TRUE(run.out.endsWith(QLatin1String("at ClockDelay 5 us\n")));
    }
}

TEST_F(ProbeCli, SlowTargetIsFoundOnAHigherRung)
{
    const ProbeRun run = probe(QStringLiteral("SIM:atmega8,slow=205"), QStringLiteral("atmega8"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, QLatin1String("signature 1E 93 07 at ClockDelay 205 us\n"));
}

TEST_F(ProbeCli, NoChipOrWrongChipIsACommunicationError)
{
    for (const auto& [port, chip] : {std::pair{"SIM:none", "atmega8"}, std::pair{"SIM:atmega8", "s52"}}) {
        const ProbeRun run = probe(QLatin1String(port), QLatin1String(chip));
        EXPECT_EQ(run.exitCode, 1) << port;
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err, QLatin1String(Str::kCommunicationError) + QLatin1Char('\n'));
    }
}

TEST_F(ProbeCli, PortThatCannotBeOpenedFailsAndMissingChipIsAUsageError)
{
    ProbeRun run = probe(QStringLiteral("/dev/kestova-no-such-port"), QStringLiteral("atmega8"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains(QLatin1String("Cannot open serial port")));

    run = probe(QStringLiteral("SIM:atmega8"), QString());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
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
        QFile::remove(statePath());
        const ProbeRun run = probe(vispDevice(), QLatin1String(chip), underVisp(vispChip));
        EXPECT_EQ(run.exitCode, 0) << vispChip << run.err.toStdString();
        EXPECT_EQ(run.out, QLatin1String(expected));

        QProcess info;
        info.start(vispDir() + QStringLiteral("/visp"), {QStringLiteral("info"), statePath()});
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

    const ProbeRun none = probe(vispDevice(), QStringLiteral("atmega8"), underVisp("none"));
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(none.err, QLatin1String(Str::kCommunicationError) + QLatin1Char('\n'));
}

}  // namespace
