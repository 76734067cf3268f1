// What the modem-line path costs a USB serial adapter, where every line call is a
// round trip: kestova-cli through visp's real serial path, and visp's own count of the
// line calls per clocked bit. These are counts, not times: a loaded machine changes
// nothing here.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

#include "tests/cli/CliRun.h"
#include "tests/support/TestPaths.h"

namespace {

class LineCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!haveVisp())
            GTEST_SKIP() << "the virtual serial port was not built";
        ASSERT_TRUE(dir_.isValid());
    }

    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }

    CliRun cli(const QStringList& args)
    {
        return runCli(
            QStringList{QStringLiteral("--port"), vispDevice(), QStringLiteral("--chip"), QStringLiteral("atmega8")}
                + args,
            vispEnvironment(QStringLiteral("atmega8"), path("chip.state")));
    }

    // line_ioctls / bits from visp's counters, which count since the last zero.
    double callsPerBit()
    {
        QProcess info;
        info.start(vispDir() + QStringLiteral("/visp"), {QStringLiteral("info"), path("chip.state")});
        EXPECT_TRUE(info.waitForFinished(10000));
        double calls = 0, bits = 0;
        for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("line_ioctls=")))
                calls = line.mid(12).toDouble();
            if (line.startsWith(QLatin1String("bits=")))
                bits = line.mid(5).toDouble();
        }
        EXPECT_GT(bits, 0);
        return bits > 0 ? calls / bits : 0;
    }

    void zeroCounters()
    {
        QProcess zero;
        zero.start(vispDir() + QStringLiteral("/visp"), {QStringLiteral("zero"), path("chip.state")});
        EXPECT_TRUE(zero.waitForFinished(10000));
    }

    QTemporaryDir dir_;
};

TEST_F(LineCalls, AnEepromReadCostsTwoCallsPerBitAndAReadForEachAnsweredBit)
{
    const CliRun read = cli({QStringLiteral("--eeprom"), QStringLiteral("read"), path("ee.bin")});
    ASSERT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_LE(callsPerBit(), 2.3);
}

TEST_F(LineCalls, An8KiBNormalWriteWithItsVerifyCostsAtMost2Point2CallsPerBit)
{
    std::mt19937 random(17);
    QByteArray image(8192, '\0');
    for (char& byte : image)
        byte = static_cast<char>(random() & 0xFF);
    QFile file(path("image.bin"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(image);
    file.close();

    cli({QStringLiteral("probe")});  // creates the state file, so its counters can be zeroed
    zeroCounters();
    const CliRun written = cli({QStringLiteral("write"), file.fileName()});
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_TRUE(written.err.contains(QLatin1String("Verifying")));
    EXPECT_LE(callsPerBit(), 2.2);
}

}  // namespace
