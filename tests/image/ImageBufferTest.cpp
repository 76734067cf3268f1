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
        return loaded.tooBig ? -1 : loaded.length;
    }

    ImageBuffer buffer;
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

TEST_F(LoadImage, ExtensionDecidesHexOrBinaryIgnoringCase)
{
    const QByteArray text(":02000000ABCD86\r\n:00000001FF\r\n");
    EXPECT_EQ(load(dir.write(QStringLiteral("a.HEX"), text)), 2);
    EXPECT_EQ(buffer.size(), 0x10000u);
    EXPECT_EQ(imageBytes(buffer, 2), QByteArray("\xAB\xCD"));

    // A dot in a folder name is no extension of the file.
    QDir().mkpath(dir.path(QStringLiteral("x.hex")));
    for (const QString& name : {QStringLiteral("a.ihx"), QStringLiteral("noextension"), QStringLiteral("x.hex/plain")}) {
        const QString path = dir.write(name, text);
        EXPECT_EQ(load(path), text.size()) << qPrintable(name);
        EXPECT_EQ(imageBytes(buffer, text.size()), text);
    }
}

TEST_F(LoadImage, BinaryImagesStopAt64KiB)
{
    const QByteArray bytes = countingBytes(70'000);
    EXPECT_EQ(load(dir.write(QStringLiteral("long.bin"), bytes)), 0x10000);
    EXPECT_EQ(buffer.size(), 0x10000u);
    EXPECT_EQ(imageBytes(buffer, 0x10000), bytes.left(0x10000));

    EXPECT_EQ(load(dir.write(QStringLiteral("empty.bin"), {})), 0);
    EXPECT_TRUE(buffer.empty());
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

    EXPECT_EQ(load(dir.write(QStringLiteral("none.hex"), ":00000001FF\r\n")), 1);
    EXPECT_EQ(buffer[0], 0xFF);
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

// The fixtures come from avr-gcc and sdcc; their .bin twins from objcopy and srec_cat.
TEST_F(LoadImage, CompilerOutputEqualsTheIndependentToolsImage)
{
    for (const char* name : {"avr-atmega8", "mcs51-gap"}) {
        const QByteArray expected = readAll(testDataPath(QStringLiteral("%1.bin").arg(name)));
        ASSERT_FALSE(expected.isEmpty()) << name;
        const qint32 length = load(testDataPath(QStringLiteral("%1.hex").arg(name)));
        EXPECT_EQ(imageBytes(buffer, length), expected) << name;
    }
}

}  // namespace
