// The Tools menu's converters as the user meets them: dialogs, files, error boxes.
#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>

#include "tests/app/TestWindow.h"
#include "tests/support/ScratchFiles.h"
#include "view/Strings.h"

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
    EXPECT_EQ(w.messages[0].text,
              QStringLiteral("Checksum error in .HEX file\r\r F0 <> F1\nFile \"%1\", line 1").arg(file("bad.hex")));
    EXPECT_TRUE(w.saveFilters.isEmpty());  // the save dialog was never shown
    EXPECT_EQ(readAll(file("out.bin")), QByteArray("keep me"));
}

TEST_F(ConverterMenu, InputsAreRefusedBeforeTheOutputIsAskedAndCancelsWriteNothing)
{
    // HEX -> BIN cancelled at either dialog.
    ASSERT_TRUE(writeAll(file("in.hex"), ":0100000000FF\r\n:00000001FF\r\n"));
    w.openAnswers << QString();
    w.item("menuHexToBin")->trigger();
    w.openAnswers << file("in.hex");
    w.saveAnswers << QString();
    w.item("menuHexToBin")->trigger();
    EXPECT_FALSE(QFile::exists(file("in.bin")));
    EXPECT_EQ(w.saveFilters.size(), 1);

    // A binary image too big for the format: said before the output is asked for.
    ASSERT_TRUE(writeAll(file("big.bin"), QByteArray(0x10001, 'x')));
    w.openAnswers << file("big.bin");
    w.saveAnswers << file("big.hex");
    w.item("menuBinToHex")->trigger();
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].text, QLatin1String(Str::kBinTooBigForHex));
    EXPECT_EQ(w.saveFilters.size(), 1) << "no second save dialog";
    EXPECT_FALSE(QFile::exists(file("big.hex")));
    w.saveAnswers.clear();  // the answer nobody asked for

    // The input chosen as the output: refused, the file kept.
    w.openAnswers << file("in.hex");
    w.saveAnswers << file("in.hex");
    w.item("menuHexToBin")->trigger();
    ASSERT_EQ(w.messages.size(), 2u);
    EXPECT_EQ(w.messages[1].icon, MessageIcon::Error);
    EXPECT_EQ(w.messages[1].text, QString::fromUtf8(Str::kOutputIsInput).arg(file("in.hex")));
    EXPECT_EQ(readAll(file("in.hex")), QByteArray(":0100000000FF\r\n:00000001FF\r\n"));
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
