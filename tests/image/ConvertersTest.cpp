// The HEX <-> BIN converters: the two steps the Tools menu takes (input read and
// checked first, output written after) and file to file against objcopy's output.
#include <gtest/gtest.h>

#include <QDir>

#include "image/Converters.h"
#include "image/FileError.h"
#include "image/IntelHexFile.h"
#include "target/ErrorText.h"
#include "tests/support/ScratchFiles.h"
#include "tests/support/TestPaths.h"
#include "view/Strings.h"

namespace {

class Converters : public ::testing::Test {
protected:
    QString hexFile(const QByteArray& text) { return dir.write(QStringLiteral("in.hex"), text); }
    QString binFile(const QByteArray& bytes) { return dir.write(QStringLiteral("in.bin"), bytes); }
    QString out() const { return dir.path(QStringLiteral("out")); }

    ScratchDir dir;
};

TEST_F(Converters, HexToBinWritesFromAddressZero)
{
    const HexToBinConversion conversion(hexFile(":04010000DEADBEEFC3\r\n:00000001FF\r\n"));
    conversion.writeTo(out());
    EXPECT_EQ(readAll(out()), QByteArray(0x100, '\xFF') + QByteArray("\xDE\xAD\xBE\xEF"));
}

TEST_F(Converters, HexWithoutDataIsRefusedAndWritesNothing)
{
    dir.write(QStringLiteral("out"), "keep");
    const QString in = hexFile(":00000001FF\r\n");
    try {
        convertHexToBin(in, out());
        ADD_FAILURE();
    } catch (const FileError& e) {
        EXPECT_EQ(errorText(e), QString::fromUtf8(Str::kNoDataInFile).arg(in));
    }
    EXPECT_EQ(readAll(out()), QByteArray("keep"));
}

TEST_F(Converters, BadHexFailsWhileReadingAndWritesNothing)
{
    // The menu asks for the output only once the input has been read.
    EXPECT_THROW(HexToBinConversion(hexFile(":0400100001020304E3\r\n")), HexFileError);
    EXPECT_FALSE(fileExists(out()));

    // An existing output survives a failed conversion from the command line path too.
    dir.write(QStringLiteral("out"), "keep");
    EXPECT_THROW(convertHexToBin(hexFile(":0400100001020304E3\r\n"), out()), HexFileError);
    EXPECT_EQ(readAll(out()), QByteArray("keep"));
}

TEST_F(Converters, OutputThatIsTheInputIsRefusedAndTheFileKept)
{
    const QByteArray hexText(":0400100001020304E2\r\n:00000001FF\r\n");
    const QString hex = hexFile(hexText);
    QDir().mkpath(dir.path(QStringLiteral("sub")));
    const QString sameFile = dir.path(QStringLiteral("sub/../in.hex"));
    try {
        HexToBinConversion(hex).writeTo(sameFile);
        ADD_FAILURE();
    } catch (const FileError& e) {
        EXPECT_EQ(e.code(), FileError::Code::OutputIsInput);
        EXPECT_EQ(errorText(e), QString::fromUtf8(Str::kOutputIsInput).arg(sameFile));
    }
    EXPECT_EQ(readAll(hex), hexText);

    const QString bin = binFile("\x01\x02");
    EXPECT_THROW(convertBinToHex(bin, bin), FileError);
    EXPECT_THROW(BinToHexConversion(bin).writeTo(bin), FileError);
    EXPECT_EQ(readAll(bin), QByteArray("\x01\x02"));
}

TEST_F(Converters, BinToHexWritesSixteenByteRecordsAndTheEndRecord)
{
    QByteArray bytes;
    for (int i = 0; i < 20; ++i)
        bytes += char(i);
    BinToHexConversion conversion(binFile(bytes));
    conversion.writeTo(out());
    EXPECT_EQ(readAll(out()),
              QByteArray(":10000000000102030405060708090A0B0C0D0E0F78\r\n"
                         ":0400100010111213A6\r\n"
                         ":00000001FF\r\n"));
}

// A HEX file of no data is the end record alone; an empty file would be no HEX file.
TEST_F(Converters, EmptyBinGivesTheEndRecordAlone)
{
    convertBinToHex(binFile({}), out());
    EXPECT_EQ(readAll(out()), QByteArray(":00000001FF\r\n"));
    EXPECT_EQ(hexTextOf({}), QByteArray(":00000001FF\r\n"));
}

TEST_F(Converters, BinAbove64KiBIsRefusedWhileReading)
{
    try {
        BinToHexConversion conversion(binFile(QByteArray(0x10001, 'x')));
        ADD_FAILURE();
    } catch (const HexFileError& e) {
        EXPECT_EQ(e.code(), HexFileError::Code::BinaryTooBig);
        EXPECT_EQ(errorText(e), QString::fromUtf8(Str::kBinTooBigForHex));
    }
    EXPECT_FALSE(fileExists(out()));
}

TEST_F(Converters, UnwritableOutputFailsAndLeavesNoFile)
{
    const QString nowhere = dir.path(QStringLiteral("missing-folder/out.bin"));
    EXPECT_THROW(convertHexToBin(hexFile(":0100000000FF\r\n"), nowhere), FileError);
    EXPECT_THROW(convertBinToHex(binFile("x"), nowhere), FileError);
    EXPECT_FALSE(fileExists(nowhere));
}

// objcopy -I binary -O ihex made the references; ours must be byte for byte the same,
// up to a full 64 KiB image whose last record ends at FFFF.
TEST_F(Converters, BinToHexEqualsObjcopyOutput)
{
    for (const char* name : {"avr-atmega8", "mcs51-gap", "full-64k"}) {
        convertBinToHex(testDataPath(QStringLiteral("%1.bin").arg(name)), out());
        EXPECT_EQ(readAll(out()), readAll(testDataPath(QStringLiteral("%1.objcopy.hex").arg(name)))) << name;
    }
}

TEST_F(Converters, HexToBinOfCompilerOutputEqualsObjcopyAndSrecCat)
{
    for (const char* name : {"avr-atmega8", "mcs51-gap"}) {
        convertHexToBin(testDataPath(QStringLiteral("%1.hex").arg(name)), out());
        EXPECT_EQ(readAll(out()), readAll(testDataPath(QStringLiteral("%1.bin").arg(name)))) << name;
    }
    // A full 64 KiB image, as objcopy and our own bin2hex write it, reads back whole.
    convertHexToBin(testDataPath(QStringLiteral("full-64k.objcopy.hex")), out());
    EXPECT_EQ(readAll(out()), readAll(testDataPath(QStringLiteral("full-64k.bin"))));
}

}  // namespace
