// kestova-cli hex2bin and bin2hex, run as a user runs them: the built program,
// its output file, its standard error and its exit status.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "view/Strings.h"
#include "tests/support/ScratchFiles.h"
#include "tests/cli/CliRun.h"
#include "tests/support/TestPaths.h"

namespace {

class ConvertCli : public ::testing::Test {
protected:
    ScratchDir dir;
    QString out() const { return dir.path(QStringLiteral("out")); }
};

TEST_F(ConvertCli, ConvertsCompilerOutputBothWaysLikeTheMenu)
{
    const QString hex = testDataPath(QStringLiteral("mcs51-gap.hex"));
    ASSERT_EQ(runCli({QStringLiteral("hex2bin"), hex, out()}).exitCode, 0);
    EXPECT_EQ(readAll(out()), readAll(testDataPath(QStringLiteral("mcs51-gap.bin"))));

    const QString bin = testDataPath(QStringLiteral("avr-atmega8.bin"));
    ASSERT_EQ(runCli({QStringLiteral("bin2hex"), bin, out()}).exitCode, 0);
    EXPECT_EQ(readAll(out()), readAll(testDataPath(QStringLiteral("avr-atmega8.objcopy.hex"))));
}

TEST_F(ConvertCli, BadInputPrintsTheErrorTextExitsOneAndWritesNothing)
{
    // The product's text, then where.
    const QString badHex = dir.write(QStringLiteral("bad.hex"), ":02000000ABCD86\r\n:020000040001F9\r\n");
    CliRun run = runCli({QStringLiteral("hex2bin"), badHex, out()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              QString::fromUtf8(Str::kUnsupportedHexBlock)
                  + QStringLiteral("\nExtended linear address 0001: the data lies beyond 64 KiB\n"
                                   "File \"%1\", line 2\n")
                        .arg(badHex));
    EXPECT_FALSE(fileExists(out()));

    // Its lone CRs would send a terminal's cursor back over the first words.
    const QString badSum = dir.write(QStringLiteral("sum.hex"), ":0400020001020304F1\r\n");
    run = runCli({QStringLiteral("hex2bin"), badSum, out()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QStringLiteral("Checksum error in .HEX file\n\n F0 <> F1\nFile \"%1\", line 1\n").arg(badSum));

    // A HEX file of no data would give a binary of nothing the chip should hold.
    for (const QByteArray& nothing : {QByteArray(":00000001FF\r\n"), QByteArray(16, '\0')}) {
        const QString empty = dir.write(QStringLiteral("empty.hex"), nothing);
        run = runCli({QStringLiteral("hex2bin"), empty, out()});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, QStringLiteral("The file \"%1\" holds no data\n").arg(empty));
        EXPECT_FALSE(fileExists(out()));
    }

    const QString bigBin = dir.write(QStringLiteral("big.bin"), QByteArray(0x10001, '\0'));
    run = runCli({QStringLiteral("bin2hex"), bigBin, out()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), QString::fromUtf8(Str::kBinTooBigForHex));
    EXPECT_FALSE(fileExists(out()));

    run = runCli({QStringLiteral("bin2hex"), dir.path(QStringLiteral("absent.bin")), out()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("Cannot open file"))) << qPrintable(run.err);
    EXPECT_FALSE(fileExists(out()));
}

TEST_F(ConvertCli, OutputThatIsTheInputOrAnEmptyNameIsRefused)
{
    const QByteArray hexText(":0400100001020304E2\r\n:00000001FF\r\n");
    const QString hex = dir.write(QStringLiteral("same.hex"), hexText);
    const QString folder = QFileInfo(hex).absolutePath();
    for (const QStringList& args :
         {QStringList{QStringLiteral("hex2bin"), QStringLiteral("same.hex"), QStringLiteral("same.hex")},
          QStringList{QStringLiteral("hex2bin"), QStringLiteral("./same.hex"), QStringLiteral("same.hex")},
          QStringList{QStringLiteral("bin2hex"), QStringLiteral("same.hex"), hex}}) {
        const CliRun run = runCli(args, {}, folder);
        EXPECT_EQ(run.exitCode, 1) << qPrintable(args.join(u' '));
        EXPECT_EQ(run.err.trimmed(), QString::fromUtf8(Str::kOutputIsInput).arg(args[2]));
        EXPECT_EQ(readAll(hex), hexText);
    }

    const CliRun run = runCli({QStringLiteral("hex2bin"), QString(), out()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QString::fromUtf8(Str::kNoFileName) + u'\n');
    EXPECT_FALSE(fileExists(out()));
}

}  // namespace
