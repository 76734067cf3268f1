// The configuration file: defaults, round trips, other programs' lines kept, and a
// failed write that leaves the file as it was.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>

#include "settings/ConfigFile.h"
#include "tests/support/ScratchFiles.h"

namespace {

TEST(ConfigFile, PathIsTheExecutablesWithIni)
{
    EXPECT_EQ(ConfigFile::pathForExecutable(QStringLiteral("/opt/k/bin/kestova")),
              QStringLiteral("/opt/k/bin/kestova.ini"));
    EXPECT_EQ(ConfigFile::pathForExecutable(QStringLiteral("C:/Tools/Kestova.exe")),
              QStringLiteral("C:/Tools/Kestova.ini"));
}

TEST(ConfigFile, MissingFileGivesDefaultsAndFirstWriteCreatesIt)
{
    QTemporaryDir dir;
    ConfigFile config(dir.filePath(QStringLiteral("kestova.ini")));
    EXPECT_EQ(config.readInteger(QStringLiteral("CONFIG"), QStringLiteral("CHIP"), 0), 0);
    EXPECT_EQ(config.readString(QStringLiteral("CONFIG"), QStringLiteral("PORTA"), QStringLiteral("COM1")),
              QStringLiteral("COM1"));

    ASSERT_TRUE(config.writeInteger(QStringLiteral("CONFIG"), QStringLiteral("CHIP"), 5));
    ASSERT_TRUE(config.writeString(QStringLiteral("CONFIG"), QStringLiteral("PORTA"), QStringLiteral("/dev/ttyUSB0")));
    EXPECT_EQ(readAll(config.path()), QByteArray("[CONFIG]\r\nCHIP=5\r\nPORTA=/dev/ttyUSB0\r\n"));

    ConfigFile again(config.path());
    EXPECT_EQ(again.readInteger(QStringLiteral("CONFIG"), QStringLiteral("CHIP"), 0), 5);
    EXPECT_EQ(again.readString(QStringLiteral("CONFIG"), QStringLiteral("PORTA"), {}), QStringLiteral("/dev/ttyUSB0"));
}

TEST(ConfigFile, RewritingAKeyKeepsEverythingElse)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kestova.ini"));
    ASSERT_TRUE(writeAll(path, "; written by hand\n[OTHER]\nCHIP=9\n\n[config]\nporta = COM3\nchip=2\nExtra=1\n"));
    ConfigFile config(path);
    EXPECT_EQ(config.readInteger(QStringLiteral("CONFIG"), QStringLiteral("CHIP"), 0), 2);
    EXPECT_EQ(config.readString(QStringLiteral("CONFIG"), QStringLiteral("PORTA"), {}), QStringLiteral("COM3"));

    ASSERT_TRUE(config.writeInteger(QStringLiteral("CONFIG"), QStringLiteral("CHIP"), 4));
    EXPECT_EQ(readAll(path),
              QByteArray("; written by hand\n[OTHER]\nCHIP=9\n\n[config]\nporta = COM3\nCHIP=4\nExtra=1\n"));
    EXPECT_EQ(config.readInteger(QStringLiteral("OTHER"), QStringLiteral("CHIP"), 0), 9);
}

TEST(ConfigFile, NewKeyGoesIntoItsSectionNotAtTheEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kestova.ini"));
    ASSERT_TRUE(writeAll(path, "[CONFIG]\r\nCHIP=1\r\n\r\n[OTHER]\r\nX=1\r\n"));
    ConfigFile config(path);
    ASSERT_TRUE(config.writeString(QStringLiteral("CONFIG"), QStringLiteral("PORTA"), QStringLiteral("COM4")));
    EXPECT_EQ(readAll(path), QByteArray("[CONFIG]\r\nCHIP=1\r\nPORTA=COM4\r\n\r\n[OTHER]\r\nX=1\r\n"));
}

TEST(ConfigFile, RemovingAKeyTakesOnlyItsLineAndAFileWithoutItIsLeftAlone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kestova.ini"));
    ASSERT_TRUE(writeAll(path, "[OTHER]\nPART=x\n[CONFIG]\nCHIP=5\npart = atmega328p\nPORTA=COM3\n"));
    ConfigFile config(path);
    ASSERT_TRUE(config.removeKey(QStringLiteral("CONFIG"), QStringLiteral("PART")));
    EXPECT_EQ(readAll(path), QByteArray("[OTHER]\nPART=x\n[CONFIG]\nCHIP=5\nPORTA=COM3\n"));
    const QDateTime written = QFileInfo(path).lastModified();
    ASSERT_TRUE(config.removeKey(QStringLiteral("CONFIG"), QStringLiteral("PART")));
    EXPECT_EQ(QFileInfo(path).lastModified(), written);

    ConfigFile missing(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_TRUE(missing.removeKey(QStringLiteral("CONFIG"), QStringLiteral("PART")));
    EXPECT_FALSE(QFile::exists(missing.path())) << "nothing to remove creates no file";
}

// A Windows editor's Latin-1 comment and another program's value survive byte for
// byte, and an unchanged value does not touch the file at all.
TEST(ConfigFile, OtherLinesKeepTheirBytesAndUnchangedValuesWriteNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kestova.ini"));
    const QByteArray original("; Configura\xE7\xE3o\r\n[CONFIG]\r\nKEY=caf\xE9\r\nCHIP=5\r\nPORTA=COM1\nTAIL=\xFF\xFE");
    ASSERT_TRUE(writeAll(path, original));
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(old, QFileDevice::FileModificationTime));
    }
    ConfigFile config(path);
    ASSERT_TRUE(config.writeInteger(QStringLiteral("CONFIG"), QStringLiteral("CHIP"), 5));
    ASSERT_TRUE(config.writeString(QStringLiteral("config"), QStringLiteral("porta"), QStringLiteral("COM1")));
    EXPECT_EQ(QFileInfo(path).lastModified(), old) << "rewritten without a change";
    EXPECT_EQ(readAll(path), original);

    ASSERT_TRUE(config.writeInteger(QStringLiteral("CONFIG"), QStringLiteral("CHIP"), 3));
    EXPECT_EQ(readAll(path), QByteArray(original).replace("CHIP=5", "CHIP=3"));
    ASSERT_TRUE(config.writeString(QStringLiteral("OTHER"), QStringLiteral("X"), QStringLiteral("1")));
    EXPECT_EQ(readAll(path), QByteArray(original).replace("CHIP=5", "CHIP=3") + "\r\n[OTHER]\r\nX=1\r\n");
}

TEST(ConfigFile, UnreadableNumberGivesTheDefault)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kestova.ini"));
    ASSERT_TRUE(writeAll(path, "[CONFIG]\nCHIP=two\n"));
    EXPECT_EQ(ConfigFile(path).readInteger(QStringLiteral("CONFIG"), QStringLiteral("CHIP"), 0), 0);
}

TEST(ConfigFile, FailedWriteReportsAndLeavesNoFile)
{
    QTemporaryDir dir;
    ConfigFile config(dir.filePath(QStringLiteral("missing-folder/kestova.ini")));
    EXPECT_FALSE(config.writeInteger(QStringLiteral("CONFIG"), QStringLiteral("CHIP"), 1));
    EXPECT_FALSE(QFile::exists(config.path()));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

}  // namespace
