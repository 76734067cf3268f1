// loadImageFile and fileSizeByName: which files load as what, the size limits, and
// real compiler output against images made by independent tools.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "image/FileError.h"
#include "image/ImageBuffer.h"
#include "image/IntelHexFile.h"
#include "target/ErrorText.h"
#include "tests/support/ScratchFiles.h"
#include "tests/support/TestPaths.h"
#include "view/Strings.h"

namespace {

QByteArray imageBytes(const ImageBuffer& buffer, qint32 length)
{
    return QByteArray(reinterpret_cast<const char*>(buffer.data()), length);
}

QByteArray countingBytes(int size)
{
    QByteArray bytes(size, 0);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 256);
    return bytes;
}

class LoadImage : public ::testing::Test {
protected:
    // The image's length, or -1 when the file was refused for its size.
    qint32 load(const QString& path)
    {
        const LoadedImage loaded = loadImageFile(path, buffer);
        EXPECT_TRUE(!loaded.tooBig || loaded.length == 0);
        form = loaded.form;
        return loaded.tooBig ? -1 : loaded.length;
    }

    ImageBuffer buffer;
    ImageForm form = ImageForm::Binary;
    ScratchDir dir;
};

TEST_F(LoadImage, RefusesFilesAboveTenMillionBytesUnread)
{
    QFile big(dir.path(QStringLiteral("big.bin")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(10'000'000));
    big.close();
    EXPECT_EQ(load(big.fileName()), 0x10000);

    ASSERT_TRUE(QFile::resize(big.fileName(), 10'000'001));
    buffer.assign(3, 0x11);
    EXPECT_EQ(load(big.fileName()), -1);
    EXPECT_EQ(buffer, ImageBuffer(3, 0x11)) << "a refused file leaves the buffer alone";
}

TEST_F(LoadImage, HexNamesAndHexTextReadAsHexAndBinAlwaysAsBinary)
{
    const QByteArray text(":02000000ABCD86\r\n:00000001FF\r\n");
    // The names toolchains give HEX files, in any case (an 8051 compiler writes .ihx),
    // and, for any other name, text that is nothing but records.
    QDir().mkpath(dir.path(QStringLiteral("x.bin")));
    for (const char* name : {"a.HEX", "a.ihx", "a.IHEX", "a.eep", "noextension", "a.a51", "x.bin/plain"}) {
        EXPECT_EQ(load(dir.write(QLatin1String(name), text)), 2) << name;
        EXPECT_EQ(form, ImageForm::IntelHex) << name;
        EXPECT_EQ(buffer.size(), 0x10000u);
        EXPECT_EQ(imageBytes(buffer, 2), QByteArray("\xAB\xCD"));
    }
    // A .bin is what it holds, HEX text or not; so is any other file that is not records
    // through and through.
    for (const auto& [name, bytes] : {std::pair{"a.BIN", text}, std::pair{"noextension", text + "garbage\r\n"},
                                      std::pair{"dump", QByteArray(":\x01\x02", 3)}}) {
        EXPECT_EQ(load(dir.write(QLatin1String(name), bytes)), bytes.size()) << name;
        EXPECT_EQ(form, ImageForm::Binary) << name;
        EXPECT_EQ(imageBytes(buffer, int(bytes.size())), bytes) << name;
    }
    // A HEX file by its text is checked like any other.
    try {
        load(dir.write(QStringLiteral("broken"), ":0400100001020304E3\r\n"));
        ADD_FAILURE();
    } catch (const HexFileError& e) {
        EXPECT_EQ(e.line(), 1);
        EXPECT_EQ(e.fileName(), dir.path(QStringLiteral("broken")));
    }
}

TEST(HexRecords, ARecordIsAColonAndWholeBytesOfHexDigits)
{
    EXPECT_TRUE(looksLikeHexRecords(":00000001FF"));
    EXPECT_TRUE(looksLikeHexRecords("\r\n:02000000abcd86\n\n:00000001FF\r\n\0binary after a NUL"));
    EXPECT_FALSE(looksLikeHexRecords(""));
    EXPECT_FALSE(looksLikeHexRecords("\r\n\r\n"));
    EXPECT_FALSE(looksLikeHexRecords(":0000001FF"));  // half a byte
    EXPECT_FALSE(looksLikeHexRecords(":00000001"));   // no checksum
    EXPECT_FALSE(looksLikeHexRecords(":00000001FG"));
    EXPECT_FALSE(looksLikeHexRecords(":00000001FF "));
    EXPECT_FALSE(looksLikeHexRecords(" :00000001FF"));
}

// Writing "nothing" would erase the chip and report success.
TEST_F(LoadImage, FilesWithoutDataAreRefusedNamingTheFile)
{
    const std::vector<std::pair<const char*, QByteArray>> empty = {
        {"empty.bin", {}},
        {"empty.hex", {}},
        {"end-only.hex", ":00000001FF\r\n"},
        {"start-only.ihx", ":020000040000FA\r\n:0400000500000000F7\r\n:00000001FF\r\n"},
        {"nul.hex", QByteArray(64, '\0')},
        {"records-of-nothing", ":00000001FF\r\n"},
    };
    for (const auto& [name, bytes] : empty) {
        const QString path = dir.write(QLatin1String(name), bytes);
        buffer.assign(3, 0x11);
        try {
            load(path);
            ADD_FAILURE() << name;
        } catch (const FileError& e) {
            EXPECT_EQ(e.code(), FileError::Code::NoData) << name;
            EXPECT_EQ(errorText(e), QString::fromUtf8(Str::kNoDataInFile).arg(path));
        }
    }
    // A binary of zero bytes is data, a NUL-filled one too.
    EXPECT_EQ(load(dir.write(QStringLiteral("zeros.bin"), QByteArray(64, '\0'))), 64);
}

TEST_F(LoadImage, BinaryImagesStopAt64KiB)
{
    const QByteArray bytes = countingBytes(70'000);
    EXPECT_EQ(load(dir.write(QStringLiteral("long.bin"), bytes)), 0x10000);
    EXPECT_EQ(buffer.size(), 0x10000u);
    EXPECT_EQ(imageBytes(buffer, 0x10000), bytes.left(0x10000));
}

TEST_F(LoadImage, ReadOnlyBinaryFileLoads)
{
    const QString path = dir.write(QStringLiteral("ro.bin"), QByteArray("\x01\x02\x03"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_EQ(load(path), 3);
    EXPECT_EQ(imageBytes(buffer, 3), QByteArray("\x01\x02\x03"));
}

TEST_F(LoadImage, HexImageStartsAtZeroWithGapsOfFF)
{
    const QString path = dir.write(QStringLiteral("mid.hex"),
                                   ":10010000000102030405060708090A0B0C0D0E0F77\r\n:00000001FF\r\n");
    EXPECT_EQ(load(path), 0x110);
    EXPECT_EQ(imageBytes(buffer, 0x100), QByteArray(0x100, '\xFF'));
    EXPECT_EQ(buffer[0x10F], 0x0F);
}

TEST_F(LoadImage, HexImageReachesFFFFAndARecordPastItIsAChecksumError)
{
    EXPECT_EQ(load(dir.write(QStringLiteral("top.hex"), ":02FFFE00AABB9C\r\n")), 0x10000);
    EXPECT_EQ(buffer[0xFFFE], 0xAA);
    EXPECT_EQ(buffer[0xFFFF], 0xBB);

    const QString past = dir.write(QStringLiteral("past.hex"), ":02FFFF00AABB9B\r\n");
    try {
        load(past);
        ADD_FAILURE();
    } catch (const HexFileError& e) {
        EXPECT_EQ(e.code(), HexFileError::Code::ChecksumMismatch);
        EXPECT_TRUE(errorText(e).startsWith(QString::fromUtf8(Str::kHexChecksumError)));
    }
}

TEST_F(LoadImage, MissingFilePassesTheSizeTestThenFailsToOpen)
{
    EXPECT_EQ(fileSizeByName(dir.path(QStringLiteral("nothing.bin"))), -1);
    EXPECT_EQ(fileSizeByName(dir.write(QStringLiteral("five.bin"), "12345")), 5);
    for (const char* name : {"nothing.bin", "nothing.hex"}) {
        const QString path = dir.path(QLatin1String(name));
        try {
            load(path);
            ADD_FAILURE() << name;
        } catch (const FileError& e) {
            EXPECT_EQ(e.code(), FileError::Code::CannotOpen);
            EXPECT_EQ(e.fileName(), path);
            EXPECT_EQ(errorText(e), QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(path));
        }
    }
}

// The fixtures come from avr-gcc, sdcc and srec_cat; their .bin twins from objcopy and srec_cat.
TEST_F(LoadImage, CompilerOutputEqualsTheIndependentToolsImage)
{
    for (const auto& [hex, bin] :
         {std::pair{"avr-atmega8.hex", "avr-atmega8.bin"}, std::pair{"mcs51-gap.hex", "mcs51-gap.bin"},
          std::pair{"avr-atmega8.srec_cat.hex", "avr-atmega8.bin"}}) {
        const QByteArray expected = readAll(testDataPath(QLatin1String(bin)));
        ASSERT_FALSE(expected.isEmpty()) << bin;
        const qint32 length = load(testDataPath(QLatin1String(hex)));
        EXPECT_EQ(imageBytes(buffer, length), expected) << hex;
    }
    // The same text in lower case, as other tools write it, is the same image.
    const QByteArray lower = readAll(testDataPath(QStringLiteral("avr-atmega8.hex"))).toLower();
    const qint32 length = load(dir.write(QStringLiteral("lower.hex"), lower));
    EXPECT_EQ(imageBytes(buffer, length), readAll(testDataPath(QStringLiteral("avr-atmega8.bin"))));
}

}  // namespace
