// Where the window keeps its configuration: beside a build or portable copy, in the
// user's folder for an installed one, seeded once from a file beside the executable.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "settings/ConfigFile.h"
#include "settings/ConfigLocation.h"
#include "tests/support/ScratchFiles.h"

namespace {

struct Tree {
    QTemporaryDir root;
    QString bin() const { return root.filePath(QStringLiteral("usr/bin")); }
    QString executable() const { return bin() + QStringLiteral("/kestova"); }
    QString beside() const { return bin() + QStringLiteral("/kestova.ini"); }
    QString userDir() const { return root.filePath(QStringLiteral("home/.config/kestova")); }
    QString userFile() const { return userDir() + QStringLiteral("/kestova.ini"); }

    explicit Tree(bool installed)
    {
        QDir(root.path()).mkpath(QStringLiteral("usr/bin"));
        if (installed) {
            QDir(root.path()).mkpath(QStringLiteral("usr/share/applications"));
            EXPECT_TRUE(
                writeAll(QDir(bin()).filePath(QLatin1String(ConfigLocation::kInstalledMarker)), "[Desktop Entry]\n"));
        }
    }
};

const QString kSection = QStringLiteral("CONFIG");
const QString kChip = QStringLiteral("CHIP");
const QString kPort = QStringLiteral("PORTA");

TEST(ConfigLocation, BuildOrPortableCopyKeepsTheFileBesideTheExecutable)
{
    Tree tree(false);
    ASSERT_TRUE(writeAll(tree.beside(), "[CONFIG]\r\nCHIP=3\r\n"));
    EXPECT_TRUE(ConfigLocation::besideExecutable(tree.executable()));
    EXPECT_EQ(ConfigLocation::prepare(tree.executable(), tree.userDir()), tree.beside());
    EXPECT_FALSE(QFileInfo::exists(tree.userDir()));  // nothing made in the user's folder
}

TEST(ConfigLocation, InstalledCopyUsesTheUsersFileSeededOnceFromBeside)
{
    Tree tree(true);
    ASSERT_TRUE(writeAll(tree.beside(), "; shipped defaults\r\n[CONFIG]\r\nCHIP=5\r\nPORTA=ttyUSB0\r\n"));
    QFile::setPermissions(tree.beside(), QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);

    EXPECT_FALSE(ConfigLocation::besideExecutable(tree.executable()));
    const QString path = ConfigLocation::prepare(tree.executable(), tree.userDir());
    ASSERT_EQ(path, tree.userFile());

    // The starting values come from beside; writes go to the user's file only, even
    // when the file beside is read-only.
    ConfigFile config(path);
    EXPECT_EQ(config.readInteger(kSection, kChip, 0), 5);
    EXPECT_EQ(config.readString(kSection, kPort, QString()), QStringLiteral("ttyUSB0"));
    ASSERT_TRUE(config.writeInteger(kSection, kChip, 2));
    EXPECT_EQ(readAll(tree.beside()), QByteArray("; shipped defaults\r\n[CONFIG]\r\nCHIP=5\r\nPORTA=ttyUSB0\r\n"));

    // Only once: a later start keeps what the user chose.
    ASSERT_TRUE(writeAll(tree.beside(), "[CONFIG]\r\nCHIP=4\r\n"));
    EXPECT_EQ(ConfigLocation::prepare(tree.executable(), tree.userDir()), path);
    EXPECT_EQ(ConfigFile(path).readInteger(kSection, kChip, 0), 2);
}

TEST(ConfigLocation, InstalledCopyWithoutSeedStartsFromDefaultsAndCanWrite)
{
    Tree tree(true);
    const QString path = ConfigLocation::prepare(tree.executable(), tree.userDir());
    ASSERT_EQ(path, tree.userFile());
    EXPECT_FALSE(QFileInfo::exists(path));
    ConfigFile config(path);
    EXPECT_EQ(config.readInteger(kSection, kChip, 0), 0);
    ASSERT_TRUE(config.writeInteger(kSection, kChip, 1));  // the folder exists for the first write
    EXPECT_EQ(readAll(path), QByteArray("[CONFIG]\r\nCHIP=1\r\n"));
    EXPECT_FALSE(QFileInfo::exists(tree.beside()));
}

TEST(ConfigLocation, FolderTheUserCannotWriteSendsTheFileToTheUsersFolder)
{
    Tree tree(false);
    const QFileDevice::Permissions before = QFile::permissions(tree.bin());
    QFile::setPermissions(tree.bin(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool writable = QFileInfo(tree.bin()).isWritable();
    const QString path = ConfigLocation::filePath(tree.executable(), tree.userDir());
    QFile::setPermissions(tree.bin(), before);
    if (writable)
        GTEST_SKIP() << "root writes every folder";
    EXPECT_EQ(path, tree.userFile());
}

}  // namespace
