// The HEX <-> BIN converters as the Tools menu runs them (dialogs answered by the
// recording view) and file to file against objcopy's output.
#include <gtest/gtest.h>

#include <QDir>

#include "image/Converters.h"
#include "image/HexFile.h"
#include "view/Strings.h"
#include "tests/support/ScratchFiles.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestPaths.h"

namespace {

class Converters : public ::testing::Test {
protected:
    QString hexFile(const QByteArray& text) { return dir.write(QStringLiteral("in.hex"), text); }
    QString binFile(const QByteArray& bytes) { return dir.write(QStringLiteral("in.bin"), bytes); }
    QString out() const { return dir.path(QStringLiteral("out")); }

    RecordingView view;
    ScratchDir dir;
};

TEST_F(Converters, HexToBinAsksForHexFilesThenWritesFromAddressZero)
{
    view.openAnswers = {hexFile(":04010000DEADBEEFC3\r\n:00000001FF\r\n")};
    view.saveAnswers = {out()};
    HexToBinConvert(view);
    EXPECT_EQ(view.openFilters, QStringList{QString::fromUtf8(Str::kFilterHex)});
    EXPECT_EQ(view.saveFilters, QStringList{QString::fromUtf8(Str::kFilterBin)});
    EXPECT_EQ(readAll(out()), QByteArray(0x100, '\xFF') + QByteArray("\xDE\xAD\xBE\xEF"));
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(Converters, HexWithoutDataGivesOneFFByte)
{
    convertHexToBin(hexFile(":00000001FF\r\n"), out(), nullptr);
    EXPECT_EQ(readAll(out()), QByteArray("\xFF"));
}

TEST_F(Converters, BadHexIsReportedBeforeTheSaveDialogAndWritesNothing)
{
    view.openAnswers = {hexFile(":0400100001020304E3\r\n")};
    view.saveAnswers = {out()};
    EXPECT_THROW(HexToBinConvert(view), EHexFileError);
    EXPECT_TRUE(view.saveFilters.isEmpty());
    EXPECT_FALSE(fileExists(out()));

    // An existing output survives a failed conversion from the command line path too.
    dir.write(QStringLiteral("out"), "keep");
    EXPECT_THROW(convertHexToBin(hexFile(":0400100001020304E3\r\n"), out(), nullptr), EHexFileError);
    EXPECT_EQ(readAll(out()), QByteArray("keep"));
}

TEST_F(Converters, OutputThatIsTheInputIsRefusedAndTheFileKept)
{
    const QByteArray hexText(":0400100001020304E2\r\n:00000001FF\r\n");
    const QString hex = hexFile(hexText);
    QDir().mkpath(dir.path(QStringLiteral("sub")));
    view.openAnswers = {hex};
    view.saveAnswers = {dir.path(QStringLiteral("sub/../in.hex"))};
    try {
        HexToBinConvert(view);
        ADD_FAILURE();
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()),
                  QString::fromUtf8(Str::kOutputIsInput).arg(dir.path(QStringLiteral("sub/../in.hex"))));
    }
    EXPECT_EQ(readAll(hex), hexText);

    const QString bin = binFile("\x01\x02");
    EXPECT_THROW(convertBinToHex(bin, bin, nullptr), std::runtime_error);
    EXPECT_EQ(readAll(bin), QByteArray("\x01\x02"));
}

TEST_F(Converters, CancelledDialogsWriteNothing)
{
    HexToBinConvert(view);  // open dialog cancelled
    BinToHexConvert(view);
    view.openAnswers = {hexFile(":00000001FF\r\n"), binFile("x")};
    HexToBinConvert(view);  // save dialog cancelled
    BinToHexConvert(view);
    EXPECT_EQ(view.openFilters.size(), 4);
    EXPECT_EQ(view.saveFilters.size(), 2);
    EXPECT_EQ(QDir(dir.path(QString())).entryList(QDir::Files), (QStringList{"in.bin", "in.hex"}));
}

TEST_F(Converters, BinToHexWritesSixteenByteRecordsAndTheEndRecord)
{
    QByteArray bytes;
    for (int i = 0; i < 20; ++i)
        bytes += char(i);
    view.openAnswers = {binFile(bytes)};
    view.saveAnswers = {out()};
    BinToHexConvert(view);
    EXPECT_EQ(view.openFilters, QStringList{QString::fromUtf8(Str::kFilterBinAll)});
    EXPECT_EQ(readAll(out()), QByteArray(":10000000000102030405060708090A0B0C0D0E0F78\r\n"
                                         ":0400100010111213A6\r\n"
                                         ":00000001FF\r\n"));
}

TEST_F(Converters, EmptyBinGivesAnEmptyHexFile)
{
    convertBinToHex(binFile({}), out(), nullptr);
    EXPECT_TRUE(fileExists(out()));
    EXPECT_TRUE(readAll(out()).isEmpty());
}

TEST_F(Converters, BinAbove64KiBIsRefusedBeforeAskingForTheOutput)
{
    view.openAnswers = {binFile(QByteArray(0x10001, 'x'))};
    view.saveAnswers = {out()};
    try {
        BinToHexConvert(view);
        ADD_FAILURE();
    } catch (const EHexFileError& e) {
        EXPECT_STREQ(e.what(), Str::kBinTooBigForHex);
    }
    EXPECT_TRUE(view.saveFilters.isEmpty());
    EXPECT_FALSE(fileExists(out()));
}

TEST_F(Converters, UnwritableOutputFailsAndLeavesNoFile)
{
    const QString nowhere = dir.path(QStringLiteral("missing-folder/out.bin"));
    EXPECT_THROW(convertHexToBin(hexFile(":00000001FF\r\n"), nowhere, nullptr), std::runtime_error);
    EXPECT_THROW(convertBinToHex(binFile("x"), nowhere, nullptr), std::runtime_error);
    EXPECT_FALSE(fileExists(nowhere));
}

// objcopy -I binary -O ihex made the references; ours must be byte for byte the same,
// up to a full 64 KiB image whose last record ends at FFFF.
TEST_F(Converters, BinToHexEqualsObjcopyOutput)
{
    for (const char* name : {"avr-atmega8", "mcs51-gap", "full-64k"}) {
        convertBinToHex(testDataPath(QStringLiteral("%1.bin").arg(name)), out(), nullptr);
        EXPECT_EQ(readAll(out()), readAll(testDataPath(QStringLiteral("%1.objcopy.hex").arg(name)))) << name;
    }
}

TEST_F(Converters, HexToBinOfCompilerOutputEqualsObjcopyAndSrecCat)
{
    for (const char* name : {"avr-atmega8", "mcs51-gap"}) {
        convertHexToBin(testDataPath(QStringLiteral("%1.hex").arg(name)), out(), nullptr);
        EXPECT_EQ(readAll(out()), readAll(testDataPath(QStringLiteral("%1.bin").arg(name)))) << name;
    }
    // A full 64 KiB image, as objcopy and our own bin2hex write it, reads back whole.
    convertHexToBin(testDataPath(QStringLiteral("full-64k.objcopy.hex")), out(), nullptr);
    EXPECT_EQ(readAll(out()), readAll(testDataPath(QStringLiteral("full-64k.bin"))));
}

}  // namespace
