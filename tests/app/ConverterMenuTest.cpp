// The Tools menu's converters as the user meets them: dialogs, files, error boxes.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>

#include "tests/app/TestWindow.h"
#include "tests/support/ScratchFiles.h"

namespace {

struct ConverterMenu : ::testing::Test {
    InstallFolder folder;
    TestWindow w{folder.executable(), std::make_shared<TestWindow::Cable>()};

    QString file(const char* name) { return folder.dir.filePath(QLatin1String(name)); }
};

TEST_F(ConverterMenu, HexToBinWritesTheImageAndShowsNothing)
{
    ASSERT_TRUE(writeAll(file("in.hex"), ":0400020001020304F0\r\n:00000001FF\r\n"));
    w.openAnswers << file("in.hex");
    w.saveAnswers << file("out.bin");
    w.item("menuHexToBin")->trigger();
    EXPECT_EQ(readAll(file("out.bin")), QByteArray("\xFF\xFF\x01\x02\x03\x04", 6));
    EXPECT_EQ(w.openFilters, QStringList{QStringLiteral(".HEX files|*.hex")});
    EXPECT_EQ(w.saveFilters, QStringList{QStringLiteral(".BIN files|*.bin")});
    EXPECT_EQ(w.saveSuffixes, QStringList{QStringLiteral(".bin")});
    EXPECT_TRUE(w.messages.empty());
    EXPECT_TRUE(w.panelText(0).isEmpty());
}

TEST_F(ConverterMenu, BadHexShowsTheErrorBeforeAskingForTheOutput)
{
    ASSERT_TRUE(writeAll(file("bad.hex"), ":0400020001020304F1\r\n:00000001FF\r\n"));
    ASSERT_TRUE(writeAll(file("out.bin"), "keep me"));
    w.openAnswers << file("bad.hex");
    w.saveAnswers << file("out.bin");
    w.item("menuHexToBin")->trigger();
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(w.messages[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(w.messages[0].text, QStringLiteral("Checksum error in .HEX file\r\r F0 <> F1"));
    EXPECT_TRUE(w.saveFilters.isEmpty());  // the save dialog was never shown
    EXPECT_EQ(readAll(file("out.bin")), QByteArray("keep me"));
}

TEST_F(ConverterMenu, BinToHexWritesRecordsAndCancelWritesNothing)
{
    ASSERT_TRUE(writeAll(file("in.bin"), QByteArray(20, '\x11')));
    w.openAnswers << file("in.bin");
    w.saveAnswers << file("out.hex");
    w.item("menuBinToHex")->trigger();
    EXPECT_EQ(readAll(file("out.hex")),
              QByteArray(":1000000011111111111111111111111111111111E0\r\n"
                         ":0400100011111111A8\r\n:00000001FF\r\n"));

    w.openAnswers << QString();  // cancelled
    w.item("menuBinToHex")->trigger();
    w.openAnswers << file("in.bin");
    w.saveAnswers << QString();
    w.item("menuBinToHex")->trigger();
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(w.openFilters.first(), QStringLiteral(".BIN files|*.bin|All files|*"));
    EXPECT_EQ(w.saveFilters, QStringList(2, QStringLiteral(".HEX files|*.hex")));
    EXPECT_EQ(w.saveSuffixes.first(), QStringLiteral(".hex"));
}

}  // namespace
