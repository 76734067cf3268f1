// LoadImageFile and FileSizeByName: which files load as what, the size limits, and
// real compiler output against images made by independent tools.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "image/HexFile.h"
#include "image/ImageBuffer.h"
#include "view/Strings.h"
#include "tests/support/ScratchFiles.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestPaths.h"

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
    RecordingView view;
    ImageBuffer buffer;
    ScratchDir dir;
};

TEST_F(LoadImage, RefusesFilesAboveTenMillionBytesWithAMessage)
{
    QFile big(dir.path(QStringLiteral("big.bin")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(10'000'000));
    big.close();
    EXPECT_EQ(LoadImageFile(big.fileName(), buffer, view), 0x10000);
    EXPECT_TRUE(view.messages.empty());

    ASSERT_TRUE(QFile::resize(big.fileName(), 10'000'001));
    buffer.assign(3, 0x11);
    EXPECT_EQ(LoadImageFile(big.fileName(), buffer, view), 0);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(view.messages[0].caption, QString::fromUtf8(Str::kErrorCaption));
    EXPECT_EQ(view.messages[0].text, QString::fromUtf8(Str::kFileSizeTooBig));
    EXPECT_EQ(buffer, ImageBuffer(3, 0x11)) << "a refused file leaves the buffer alone";
}

TEST_F(LoadImage, ExtensionDecidesHexOrBinaryIgnoringCase)
{
    const QByteArray text(":02000000ABCD86\r\n:00000001FF\r\n");
    EXPECT_EQ(LoadImageFile(dir.write(QStringLiteral("a.HEX"), text), buffer, view), 2);
    EXPECT_EQ(buffer.size(), 0x10000u);
    EXPECT_EQ(imageBytes(buffer, 2), QByteArray("\xAB\xCD"));

    // A dot in a folder name is no extension of the file.
    QDir().mkpath(dir.path(QStringLiteral("x.hex")));
    for (const QString& name : {QStringLiteral("a.ihx"), QStringLiteral("noextension"), QStringLiteral("x.hex/plain")}) {
        const QString path = dir.write(name, text);
        EXPECT_EQ(LoadImageFile(path, buffer, view), text.size()) << qPrintable(name);
        EXPECT_EQ(imageBytes(buffer, text.size()), text);
    }
}

TEST_F(LoadImage, BinaryImagesStopAt64KiB)
{
    const QByteArray bytes = countingBytes(70'000);
    EXPECT_EQ(LoadImageFile(dir.write(QStringLiteral("long.bin"), bytes), buffer, view), 0x10000);
    EXPECT_EQ(buffer.size(), 0x10000u);
    EXPECT_EQ(imageBytes(buffer, 0x10000), bytes.left(0x10000));

    EXPECT_EQ(LoadImageFile(dir.write(QStringLiteral("empty.bin"), {}), buffer, view), 0);
    EXPECT_TRUE(buffer.empty());
}

TEST_F(LoadImage, ReadOnlyBinaryFileLoads)
{
    const QString path = dir.write(QStringLiteral("ro.bin"), QByteArray("\x01\x02\x03"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_EQ(LoadImageFile(path, buffer, view), 3);
    EXPECT_EQ(imageBytes(buffer, 3), QByteArray("\x01\x02\x03"));
}

TEST_F(LoadImage, HexImageStartsAtZeroWithGapsOfFF)
{
    const QString path = dir.write(QStringLiteral("mid.hex"),
                                   ":10010000000102030405060708090A0B0C0D0E0F77\r\n:00000001FF\r\n");
    EXPECT_EQ(LoadImageFile(path, buffer, view), 0x110);
    EXPECT_EQ(imageBytes(buffer, 0x100), QByteArray(0x100, '\xFF'));
    EXPECT_EQ(buffer[0x10F], 0x0F);

    EXPECT_EQ(LoadImageFile(dir.write(QStringLiteral("none.hex"), ":00000001FF\r\n"), buffer, view), 1);
    EXPECT_EQ(buffer[0], 0xFF);
}

TEST_F(LoadImage, HexImageReachesFFFFAndARecordPastItIsAChecksumError)
{
    EXPECT_EQ(LoadImageFile(dir.write(QStringLiteral("top.hex"), ":02FFFE00AABB9C\r\n"), buffer, view), 0x10000);
    EXPECT_EQ(buffer[0xFFFE], 0xAA);
    EXPECT_EQ(buffer[0xFFFF], 0xBB);

    const QString past = dir.write(QStringLiteral("past.hex"), ":02FFFF00AABB9B\r\n");
    try {
        LoadImageFile(past, buffer, view);
        ADD_FAILURE();
    } catch (const EHexFileError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(QString::fromUtf8(Str::kHexChecksumError)));
    }
}

TEST_F(LoadImage, MissingFilePassesTheSizeTestThenFailsToOpen)
{
    EXPECT_EQ(FileSizeByName(dir.path(QStringLiteral("nothing.bin"))), -1);
    EXPECT_EQ(FileSizeByName(dir.write(QStringLiteral("five.bin"), "12345")), 5);
    EXPECT_THROW(LoadImageFile(dir.path(QStringLiteral("nothing.bin")), buffer, view), std::runtime_error);
    EXPECT_THROW(LoadImageFile(dir.path(QStringLiteral("nothing.hex")), buffer, view), std::runtime_error);
    EXPECT_TRUE(view.messages.empty());
}

// The fixtures come from avr-gcc and sdcc; their .bin twins from objcopy and srec_cat.
TEST_F(LoadImage, CompilerOutputEqualsTheIndependentToolsImage)
{
    for (const char* name : {"avr-atmega8", "mcs51-gap"}) {
        const QByteArray expected = readAll(testDataPath(QStringLiteral("%1.bin").arg(name)));
        ASSERT_FALSE(expected.isEmpty()) << name;
        const qint32 length = LoadImageFile(testDataPath(QStringLiteral("%1.hex").arg(name)), buffer, view);
        EXPECT_EQ(imageBytes(buffer, length), expected) << name;
    }
}

}  // namespace
