// IntelHexFile: parsing HEX text into the image, building text from it, and the
// property rules (dirty, autoUpdate, index errors, the 32-bit warning). Errors are
// checked as the user reads them (errorText).
#include <gtest/gtest.h>

#include "image/IntelHexFile.h"
#include "target/ErrorText.h"
#include "tests/support/ScratchFiles.h"
#include "view/Strings.h"

namespace {

class HexFileParse : public ::testing::Test {
protected:
    void parse(const QByteArray& text, qint32 size = 0x200)
    {
        hex.setUnusedBytes(0xFF);
        hex.loadFromText(text);
        hex.setDataSize(size);
        hex.update();
    }
    // The message of the error the text raises, without the line that says where
    // (ErrorsSayTheFileAndLine checks that); empty when it parses.
    QString errorOf(const QByteArray& text, qint32 size = 0x200)
    {
        try {
            parse(text, size);
        } catch (HexFileError& e) {
            e.setPlace(QString(), 0);
            return errorText(e);
        }
        return {};
    }
    QByteArray bytesAt(qint32 from, qint32 count) const
    {
        QByteArray bytes;
        for (qint32 i = from; i < from + count; ++i)
            bytes += char(hex.dataBin(i));
        return bytes;
    }

    IntelHexFile hex;
};

const QString kInvalid = QString::fromUtf8(Str::kInvalidHexFile);

TEST_F(HexFileParse, PlacesBytesAtTheirAddressesAndLeavesTheRestUnused)
{
    parse(":0400100001020304E2\r\n:02000000ABCD86\r\n:00000001FF\r\n");
    EXPECT_EQ(bytesAt(0, 2), QByteArray("\xAB\xCD"));
    EXPECT_EQ(bytesAt(0x10, 4), QByteArray("\x01\x02\x03\x04"));
    EXPECT_EQ(hex.dataBin(2), 0xFF);
    EXPECT_EQ(hex.dataBin(0x14), 0xFF);
    EXPECT_EQ(hex.dataUsed(0x13), 1);
    EXPECT_EQ(hex.dataUsed(0x14), 0);
    EXPECT_EQ(hex.dataUsed(2), 0);
    EXPECT_EQ(hex.dirty(), DirtyState::Clean);
    EXPECT_FALSE(hex.locked());
}

TEST_F(HexFileParse, SplitsLinesAtCrLfCrLfAndStopsAtNul)
{
    parse(QByteArray(":02000000ABCD86\r:0400100001020304E2\n:00000001FF\r\n"));
    EXPECT_EQ(hex.lines().size(), 3);
    EXPECT_EQ(hex.dataBin(0x10), 0x01);

    // Everything after a NUL is gone, the garbage included.
    parse(QByteArray(":02000000ABCD86\n\0garbage\n", 25));
    EXPECT_EQ(hex.lines(), QStringList{":02000000ABCD86"});
    EXPECT_EQ(hex.dataBin(1), 0xCD);

    // CR CR LF is two line breaks, so an empty line appears and is refused.
    EXPECT_EQ(errorOf(":02000000ABCD86\r\r\n:00000001FF\r\n"), kInvalid);
}

TEST_F(HexFileParse, AcceptsTextWithoutEndRecordAndIgnoresLinesAfterIt)
{
    EXPECT_EQ(errorOf(":02000000ABCD86\r\n"), QString());
    EXPECT_EQ(errorOf(":00000001FF\r\n:0400100001020304E2\r\nnot hex at all\r\n\r\n"), QString());
    EXPECT_EQ(hex.dataUsed(0x10), 0);
}

TEST_F(HexFileParse, ReportsEachKindOfBadRecordWithItsText)
{
    EXPECT_EQ(errorOf("\r\n:00000001FF\r\n"), kInvalid);
    EXPECT_EQ(errorOf(" :02000000ABCD86\r\n"), kInvalid);
    EXPECT_EQ(errorOf(":00000001FF \r\n"), QString::fromUtf8(Str::kInvalidHexEnd));
    EXPECT_EQ(errorOf(":00000001FE\r\n"), QString::fromUtf8(Str::kInvalidHexEnd));
    EXPECT_EQ(errorOf(":0200000G0000FA\r\n"), QString::fromUtf8(Str::kUnsupportedHexBlock));
    EXPECT_EQ(errorOf(":0200000600F00A\r\n"), QString::fromUtf8(Str::kUnsupportedHexBlock));
}

// What common toolchains write: lower-case digits, an extended linear address of 0000
// before the data, start addresses after it.
TEST_F(HexFileParse, ReadsTheRecordsToolchainsWrite)
{
    parse(":020000040000fa\r\n"
          ":0400030012345678e5\r\n"
          ":02000000abcd86\r\n"
          ":0400000300001234b3\r\n"
          ":0400000500000000f7\r\n"
          ":00000001ff\r\n");
    EXPECT_EQ(bytesAt(0, 7), QByteArray("\xAB\xCD\xFF\x12\x34\x56\x78"));
    EXPECT_EQ(hex.dataUsed(2), 0);
    EXPECT_EQ(IntelHexFile::segmentBase(), 0);

    // Above 64 KiB nothing here has memory: the block error, and why.
    EXPECT_EQ(errorOf(":020000040001F9\r\n:02000000ABCD86\r\n"),
              QString::fromUtf8(Str::kUnsupportedHexBlock) + QLatin1Char('\n')
                  + QString::fromUtf8(Str::kHexBeyond64K).arg(QStringLiteral("0001")));
    EXPECT_EQ(hex.dataUsed(0), 0) << "nothing after it is read";
    // The records that are read whole are checked whole.
    EXPECT_EQ(errorOf(":020000040000FB\r\n"),
              QString::fromUtf8(Str::kHexChecksumError) + QStringLiteral("\r\r FA <> FB"));
    EXPECT_EQ(errorOf(":0400000500000000\r\n"), kInvalid);
}

TEST_F(HexFileParse, ChecksumMessageShowsComputedValueThenTheFileCharacters)
{
    EXPECT_EQ(errorOf(":0400100001020304E3\r\n"),
              QString::fromUtf8(Str::kHexChecksumError) + QStringLiteral("\r\r E2 <> E3"));
    EXPECT_EQ(errorOf(":0400100001020304e3\r\n"),
              QString::fromUtf8(Str::kHexChecksumError) + QStringLiteral("\r\r E2 <> e3"));
}

TEST_F(HexFileParse, ErrorsSayTheFileAndLineAfterTheirText)
{
    ScratchDir dir;
    const QString path = dir.write(QStringLiteral("fw.hex"), ":02000000ABCD86\r\n\n:0400100001020304E3\r\n");
    hex.loadFromFile(path);
    hex.setDataSize(0x100);
    try {
        hex.update();
        ADD_FAILURE();
    } catch (const HexFileError& e) {
        EXPECT_EQ(e.line(), 2);
        EXPECT_EQ(errorText(e), kInvalid + QStringLiteral("\nFile \"%1\", line 2").arg(path));
    }
    // Text from no file says the line alone.
    hex.loadFromText(":02000000ABCD86\r\n:0400100001020304E3\r\n");
    try {
        hex.update();
        ADD_FAILURE();
    } catch (const HexFileError& e) {
        EXPECT_EQ(errorText(e), QString::fromUtf8(Str::kHexChecksumError) + QStringLiteral("\r\r E2 <> E3\nLine 2"));
    }
}

TEST_F(HexFileParse, LinesShorterThanTheirFieldsAreInvalidNotReadPastTheirEnd)
{
    EXPECT_EQ(errorOf(":"), kInvalid);
    EXPECT_EQ(errorOf(":040010"), kInvalid);
    EXPECT_EQ(errorOf(":0400100001020304E"), kInvalid);  // checksum cut in half
    EXPECT_EQ(errorOf(":04001000010203"), kInvalid);     // data cut short
    EXPECT_EQ(errorOf(":G4001000010203"), kInvalid);     // count reads below 0
    EXPECT_EQ(errorOf(":0200000210"), kInvalid);         // segment value cut short
    EXPECT_EQ(hex.dataUsed(0x10), 0) << "nothing of a short record is stored";
}

TEST_F(HexFileParse, RecordRunningPastTheImageKeepsItsInRangeBytesThenFailsChecksum)
{
    const QString error = errorOf(":0400FE0001020304F4\r\n", 0x100);
    // The checksum is computed without the bytes that found no room.
    EXPECT_EQ(error, QString::fromUtf8(Str::kHexChecksumError) + QStringLiteral("\r\r FB <> F4"));
    EXPECT_EQ(hex.dataBin(0xFE), 0x01);
    EXPECT_EQ(hex.dataBin(0xFF), 0x02);
    EXPECT_TRUE(hex.locked()) << "a failed update leaves the object locked";
    EXPECT_NE(hex.dirty(), DirtyState::Clean);
}

TEST_F(HexFileParse, SegmentRecordShiftsLaterRecordsAndOutlivesTheParse)
{
    parse(":020000021000EC\r\n:010002007786\r\n", 0x10010);
    EXPECT_EQ(IntelHexFile::segmentBase(), 0x10000);
    EXPECT_EQ(hex.dataBin(0x10002), 0x77);
    EXPECT_EQ(hex.dataUsed(0x0002), 0);

    // Parsing does not reset it: a second text on any object still lands shifted...
    IntelHexFile::setSegmentBase(0x100);
    hex.loadFromText(":010002007786\r\n");
    hex.update();
    EXPECT_EQ(hex.dataBin(0x102), 0x77);
    // ...until a new object is created.
    IntelHexFile other;
    EXPECT_EQ(IntelHexFile::segmentBase(), 0);
}

class HexFileBuild : public ::testing::Test {
protected:
    void useAddresses(qint32 size, qint32 from, qint32 to)
    {
        hex.setUnusedBytes(0xFF);
        hex.setDataSize(size);
        for (qint32 i = from; i <= to; ++i) {
            hex.setDataBin(i, quint8(i));
            hex.setDataUsed(i, 1);
        }
    }
    IntelHexFile hex;
};

TEST_F(HexFileBuild, RecordsFollowUsedRunsNotAlignedBlocks)
{
    useAddresses(0x100, 0x0E, 0x11);
    hex.setDataBin(0x40, 0x5A);
    hex.setDataUsed(0x40, 1);
    hex.update();
    EXPECT_EQ(hex.lines(), (QStringList{":04000E000E0F1011B0", ":010040005A65", ":00000001FF"}));
}

TEST_F(HexFileBuild, EmptyImageGivesOnlyTheEndRecordAndCleanObjectNothing)
{
    hex.setDataSize(0x10);
    hex.update();
    hex.setHexLineLen(8);  // marks the data changed without using an address
    hex.update();
    EXPECT_EQ(hex.lines(), QStringList{":00000001FF"});

    IntelHexFile untouched;
    untouched.update();
    EXPECT_TRUE(untouched.lines().isEmpty());
}

TEST_F(HexFileBuild, BuiltTextParsesBackToTheSameImage)
{
    useAddresses(0x300, 0x10, 0x2FF);
    hex.setDataUsed(0x123, 0);
    hex.setHexLineLen(32);
    hex.update();

    IntelHexFile back;
    back.setUnusedBytes(0xFF);
    back.loadFromText(hex.lines().join(QStringLiteral("\r\n")).toLatin1());
    back.setDataSize(0x300);
    back.update();
    for (qint32 i = 0; i < 0x300; ++i) {
        ASSERT_EQ(back.dataUsed(i), hex.dataUsed(i)) << i;
        if (hex.dataUsed(i)) {
            ASSERT_EQ(back.dataBin(i), hex.dataBin(i)) << i;
        }
    }
}

TEST_F(HexFileBuild, NeverWritesFieldsWiderThanTheFormat)
{
    useAddresses(0x100, 0, 0xFF);
    hex.setHexLineLen(1000);
    hex.update();
    EXPECT_TRUE(hex.lines().first().startsWith(QStringLiteral(":FF0000")));

    IntelHexFile wide;
    wide.setDataSize(0x10001);
    wide.setDataUsed(0x10000, 1);
    EXPECT_THROW(wide.update(), HexFileError);
}

TEST_F(HexFileBuild, SaveToFileEndsEveryLineWithCrLf)
{
    useAddresses(0x10, 0, 1);
    hex.update();
    ScratchDir dir;
    hex.saveToFile(dir.path(QStringLiteral("out.hex")));
    EXPECT_EQ(readAll(dir.path(QStringLiteral("out.hex"))), QByteArray(":020000000001FD\r\n:00000001FF\r\n"));
}

TEST(HexFileProperties, StoresOutsideTheImageRaiseTheirIndexTexts)
{
    IntelHexFile hex;
    hex.setDataSize(4);
    for (qint32 index : {-1, 4}) {
        try {
            hex.setDataBin(index, 1);
            ADD_FAILURE();
        } catch (const HexFileError& e) {
            EXPECT_EQ(e.code(), HexFileError::Code::DataBinIndex);
            EXPECT_EQ(errorText(e), QStringLiteral("\"DataBin\" index out of space"));
        }
        try {
            hex.setDataUsed(index, 1);
            ADD_FAILURE();
        } catch (const HexFileError& e) {
            EXPECT_EQ(e.code(), HexFileError::Code::DataUsedIndex);
            EXPECT_EQ(errorText(e), QStringLiteral("\"DataUsed\" index out of space"));
        }
    }
    EXPECT_THROW(hex.dataBin(4), HexFileError);
}

TEST(HexFileProperties, AutoUpdateRebuildsAtOnceUnlessLocked)
{
    IntelHexFile hex;
    hex.setDataSize(4);
    hex.setAutoUpdate(true);  // parses the (empty) text
    EXPECT_EQ(hex.dirty(), DirtyState::Clean);

    hex.beginUpdate();
    hex.setDataBin(0, 0x42);
    hex.setDataUsed(0, 1);
    EXPECT_TRUE(hex.lines().isEmpty());
    hex.endUpdate();
    EXPECT_EQ(hex.lines(), (QStringList{":0100000042BD", ":00000001FF"}));

    hex.setHexLineLen(1);
    EXPECT_EQ(hex.dirty(), DirtyState::Clean);
    hex.setDataUsed(1, 1);
    EXPECT_EQ(hex.lines().size(), 3);
}

TEST(HexFileProperties, Version32BitIsStoredButRefusedWithItsWarning)
{
    IntelHexFile hex;
    EXPECT_TRUE(hex.setVersion(HexFileVersion::Bits16));
    EXPECT_FALSE(hex.setVersion(HexFileVersion::Bits32));
    EXPECT_EQ(hex.version(), HexFileVersion::Bits32);
    // The caller tells the user with the product's text.
    EXPECT_EQ(errorText(HexFileError(HexFileError::Code::Unsupported32Bit)),
              QString::fromUtf8(Str::kHex32BitUnsupported));
}

}  // namespace
