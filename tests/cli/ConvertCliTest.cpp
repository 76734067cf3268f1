// kestova-cli hex2bin and bin2hex, run as a user runs them: the built program,
// its output file, its standard error and its exit status.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>

#include "view/Strings.h"
#include "tests/image/ImageTestFiles.h"
#include "tests/support/TestPaths.h"

namespace {

struct CliRun {
    int exitCode = -1;
    QString error;
};

CliRun runCli(const QStringList& arguments, const QString& workingDirectory = {})
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(builtProgramPath(QStringLiteral("kestova-cli")), arguments);
    process.waitForFinished(30000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardError())};
}

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
    const QString badHex = dir.write(QStringLiteral("bad.hex"), ":020000040000FA\r\n");
    CliRun run = runCli({QStringLiteral("hex2bin"), badHex, out()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.error.trimmed(), QString::fromUtf8(Str::kUnsupportedHexBlock));
    EXPECT_FALSE(fileExists(out()));

    const QString bigBin = dir.write(QStringLiteral("big.bin"), QByteArray(0x10001, '\0'));
    run = runCli({QStringLiteral("bin2hex"), bigBin, out()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.error.trimmed(), QString::fromUtf8(Str::kBinTooBigForHex));
    EXPECT_FALSE(fileExists(out()));

    run = runCli({QStringLiteral("bin2hex"), dir.path(QStringLiteral("absent.bin")), out()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.error.startsWith(QStringLiteral("Cannot open file"))) << qPrintable(run.error);
    EXPECT_FALSE(fileExists(out()));
}

TEST_F(ConvertCli, OutputThatIsTheInputOrAnEmptyNameIsRefused)
{
    const QByteArray hexText(":0400100001020304E2\r\n:00000001FF\r\n");
    const QString hex = dir.write(QStringLiteral("same.hex"), hexText);
    const QString folder = QFileInfo(hex).absolutePath();
    for (const QStringList& args : {QStringList{QStringLiteral("hex2bin"), QStringLiteral("same.hex"), QStringLiteral("same.hex")},
                                    QStringList{QStringLiteral("hex2bin"), QStringLiteral("./same.hex"), QStringLiteral("same.hex")},
                                    QStringList{QStringLiteral("bin2hex"), QStringLiteral("same.hex"), hex}}) {
        const CliRun run = runCli(args, folder);
        EXPECT_EQ(run.exitCode, 1) << qPrintable(args.join(u' '));
        EXPECT_EQ(run.error.trimmed(), QString::fromUtf8(Str::kOutputIsInput).arg(args[2]));
        EXPECT_EQ(readAll(hex), hexText);
    }

    const CliRun run = runCli({QStringLiteral("hex2bin"), QString(), out()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.error, QString::fromUtf8(Str::kNoFileName) + u'\n');
    EXPECT_FALSE(fileExists(out()));
}

}  // namespace
