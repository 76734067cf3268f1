// What kestova-cli says when a run ends: the summary a person reads and the last line
// a script parses, for write, read, compare (with where the chip differs) and erase.
#include <QFile>
#include <QMap>

#include "sim/ChipStateFile.h"
#include "sim/SimChipCatalogue.h"
#include "tests/cli/DeviceCliFixture.h"
#include "tests/support/ScratchFiles.h"

namespace {

QStringList device(const char* port, const char* chip, const QStringList& command)
{
    return QStringList{QStringLiteral("--port"), QLatin1String(port), QStringLiteral("--chip"), QLatin1String(chip)}
    + command;
}

// "result: command=write outcome=done exit=0 bytes=8192 ..." as keys and values.
QMap<QString, QString> fields(const QString& resultLine)
{
    QMap<QString, QString> map;
    const QStringList words = resultLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& word : words.mid(1)) {
        const qsizetype eq = word.indexOf(QLatin1Char('='));
        if (eq > 0)
            map.insert(word.left(eq), word.mid(eq + 1));
    }
    return map;
}

class RunReportCli : public DeviceCli {
protected:
    QString writeFile(const QByteArray& bytes)
    {
        const QString path = dir_.filePath(QStringLiteral("image.bin"));
        EXPECT_TRUE(writeAll(path, bytes));
        return path;
    }
};

TEST_F(RunReportCli, WriteEndsWithItsSummaryAndAResultLineThatAgreesWithIt)
{
    const QString file = writeFile(QByteArray(300, '\x5A'));
    const CliRun run = cli(device("SIM:s52", "s52", {QStringLiteral("write"), file}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.summary.startsWith(QStringLiteral("300 bytes written and verified in ")))
        << run.summary.toStdString();
    EXPECT_TRUE(run.summary.endsWith(QStringLiteral(" s at ClockDelay 5 µs"))) << run.summary.toStdString();

    const QMap<QString, QString> result = fields(run.result);
    EXPECT_EQ(result.value(QStringLiteral("command")), QStringLiteral("write"));
    EXPECT_EQ(result.value(QStringLiteral("outcome")), QStringLiteral("done"));
    EXPECT_EQ(result.value(QStringLiteral("exit")), QStringLiteral("0"));
    EXPECT_EQ(result.value(QStringLiteral("bytes")), QStringLiteral("300"));
    EXPECT_EQ(result.value(QStringLiteral("verified")), QStringLiteral("300"));
    EXPECT_EQ(result.value(QStringLiteral("rewrites")), QStringLiteral("0"));
    // The two say the same time, the summary rounded to a tenth.
    const double seconds = result.value(QStringLiteral("seconds")).toDouble();
    EXPECT_GT(seconds, 0.0);
    EXPECT_TRUE(run.summary.contains(QStringLiteral(" in %1 s").arg(QString::number(seconds, 'f', 1))))
        << run.summary.toStdString() << " vs " << run.result.toStdString();
}

TEST_F(RunReportCli, BytesWrittenAgainAreCountedWithTheRungs)
{
    // The first two writes of byte 0x10 are lost: it is written at 5, 7 and 25 µs.
    const QString file = writeFile(QByteArray(40, '\x33'));
    const CliRun run = cli(device("SIM:s52,lose=0x10:2", "s52", {QStringLiteral("write"), file}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.summary.endsWith(QStringLiteral("; 2 bytes written again 2 rungs slower")))
        << run.summary.toStdString();
    const QMap<QString, QString> result = fields(run.result);
    EXPECT_EQ(result.value(QStringLiteral("rewrites")), QStringLiteral("2"));
    EXPECT_EQ(result.value(QStringLiteral("end-clock-delay-us")), QStringLiteral("25"));
}

TEST_F(RunReportCli, CompareNamesTheFirstDifferenceWithBothValues)
{
    auto chip = makeChipModel(SimChipType::Atmega8);
    std::fill(chip->memories().flash.begin(), chip->memories().flash.begin() + 0x100, uint8_t{0x0C});
    chip->memories().flash[0x40] = 0xFF;
    chip->memories().flash[0x90] = 0x00;
    ASSERT_TRUE(saveChipState(simStatePath(dir_.path(), SimChipType::Atmega8), *chip, nullptr));
    const QString file = writeFile(QByteArray(0x100, '\x0C'));

    const CliRun run = cli(device("SIM:atmega8", "atmega8", {QStringLiteral("compare"), file}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, QStringLiteral("2 different bytes\n"));
    EXPECT_TRUE(run.err.contains(QLatin1String("Devergence in data\n")));
    EXPECT_TRUE(run.summary.endsWith(QStringLiteral("; first difference at 0x0040: chip FF, file 0C")))
        << run.summary.toStdString();
    const QMap<QString, QString> result = fields(run.result);
    EXPECT_EQ(result.value(QStringLiteral("outcome")), QStringLiteral("failed"));
    EXPECT_EQ(result.value(QStringLiteral("differences")), QStringLiteral("2"));
    EXPECT_EQ(result.value(QStringLiteral("first-difference")), QStringLiteral("0x0040"));
    EXPECT_EQ(result.value(QStringLiteral("chip")), QStringLiteral("ff"));
    EXPECT_EQ(result.value(QStringLiteral("file")), QStringLiteral("0c"));
}

TEST_F(RunReportCli, ReadEraseAndAFailedSyncEachEndWithTheirResultLine)
{
    const QString out = dir_.filePath(QStringLiteral("out.bin"));
    CliRun run = cli(device("SIM:s51", "s51", {QStringLiteral("read"), out}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.summary.startsWith(QStringLiteral("4096 bytes read in "))) << run.summary.toStdString();
    EXPECT_EQ(fields(run.result).value(QStringLiteral("bytes")), QStringLiteral("4096"));

    run = cli(device("SIM:s51", "s51", {QStringLiteral("erase")}));
    EXPECT_TRUE(run.summary.startsWith(QStringLiteral("Erased in "))) << run.summary.toStdString();
    EXPECT_EQ(fields(run.result).value(QStringLiteral("command")), QStringLiteral("erase"));

    // An empty socket: no summary of a run that never reached a chip.
    run = cli(device("SIM:none", "s51", {QStringLiteral("erase")}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.summary.isEmpty()) << run.summary.toStdString();
    EXPECT_EQ(fields(run.result).value(QStringLiteral("outcome")), QStringLiteral("no-answer"));
    EXPECT_EQ(fields(run.result).value(QStringLiteral("exit")), QStringLiteral("1"));
}

}  // namespace
