// The hex view widget as a user drives it: typing in either column and mode,
// deleting, undo, the caret keys, the clipboard, searching, loading and saving.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include "app/HexView.h"
#include "tests/support/FileBytes.h"

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

struct HexViewTest : ::testing::Test {
    HexView view;
    QTemporaryDir dir;

    HexViewTest() { view.resize(700, 400); }
    void load(QByteArray bytes)
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        view.loadFromStream(buffer);
    }
    QByteArray bytes() const { return view.buffer().bytes(); }
    void type(const char* keys) { QTest::keyClicks(&view, QLatin1String(keys)); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&view, k, modifiers); }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    void write(const QString& file, const QByteArray& data) { ASSERT_TRUE(writeTestFile(file, data)); }
};

TEST_F(HexViewTest, OverwriteTypingReplacesDigitsAndAppendsAtTheEnd)
{
    load(QByteArray("\x00\x11\x22", 3));
    type("ab");
    EXPECT_EQ(bytes(), QByteArray("\xAB\x11\x22", 3));
    EXPECT_EQ(view.caretPosition(), 1);
    type("c");  // only the high digit so far: the low one stays
    EXPECT_EQ(bytes(), QByteArray("\xAB\xC1\x22", 3));
    type("dx");  // not a hex digit: ignored
    EXPECT_EQ(bytes(), QByteArray("\xAB\xCD\x22", 3));
    key(Qt::Key_End, Qt::ControlModifier);
    type("ef");
    EXPECT_EQ(bytes(), QByteArray("\xAB\xCD\x22\xEF", 4));
    EXPECT_TRUE(view.isModified());

    key(Qt::Key_Tab);  // the character column
    key(Qt::Key_Home, Qt::ControlModifier);
    type("Hi");
    EXPECT_EQ(bytes(), QByteArray("Hi\x22\xEF", 4));
}

TEST_F(HexViewTest, InsertModeInsertsWholeBytes)
{
    load(QByteArray("\x00\x11", 2));
    QTest::keyClick(&view, Qt::Key_Insert);  // the key switches the mode, as the check box does
    EXPECT_TRUE(view.insertMode());
    key(Qt::Key_Right);
    type("7");
    EXPECT_EQ(bytes(), QByteArray("\x00\x70\x11", 3));
    type("f");
    EXPECT_EQ(bytes(), QByteArray("\x00\x7F\x11", 3));
    EXPECT_EQ(view.caretPosition(), 2);
    key(Qt::Key_Tab);
    type("ok");
    EXPECT_EQ(bytes(), QByteArray("\x00\x7Fok\x11", 5));
}

TEST_F(HexViewTest, UndoAndRedoFollowTheSavedState)
{
    const QString file = path("a.bin");
    write(file, QByteArray("\x01\x02\x03\x04", 4));
    view.loadFromFile(file);
    EXPECT_FALSE(view.isModified());
    type("a0b0");  // one run of typing, one undo step
    EXPECT_EQ(bytes(), QByteArray("\xA0\xB0\x03\x04", 4));
    view.undo();
    EXPECT_EQ(bytes(), QByteArray("\x01\x02\x03\x04", 4));
    EXPECT_FALSE(view.isModified());
    EXPECT_EQ(view.caretPosition(), 0);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(bytes(), QByteArray("\xA0\xB0\x03\x04", 4));
    EXPECT_TRUE(view.isModified());

    view.saveToFile(file, true);
    EXPECT_FALSE(view.isModified());
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(view.isModified());  // back before the save: differs from the file again
    EXPECT_EQ(bytes(), QByteArray("\x01\x02\x03\x04", 4));
}

TEST_F(HexViewTest, ReadOnlyRefusesEveryEdit)
{
    load(QByteArray("\x10\x20\x30", 3));
    type("ff");
    view.setReadOnlyView(true);
    QApplication::clipboard()->setText(QStringLiteral("99"));
    type("12");
    key(Qt::Key_Delete);
    key(Qt::Key_Backspace);
    view.selectAll();
    view.paste();
    view.cut();
    view.undo();
    EXPECT_EQ(bytes(), QByteArray("\xFF\x20\x30", 3));
    key(Qt::Key_Right);
    EXPECT_EQ(view.caretPosition(), 3);  // the caret still moves
    view.setReadOnlyView(false);
    view.undo();
    EXPECT_EQ(bytes(), QByteArray("\x10\x20\x30", 3));
}

TEST_F(HexViewTest, DeleteAndBackspaceRemoveTheByteOrTheSelection)
{
    load(QByteArray("0123456789"));
    view.setCaretPosition(2);
    key(Qt::Key_Delete);
    EXPECT_EQ(bytes(), QByteArray("013456789"));
    key(Qt::Key_Backspace);
    EXPECT_EQ(bytes(), QByteArray("03456789"));
    EXPECT_EQ(view.caretPosition(), 1);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(view.selectionLength(), 2);
    key(Qt::Key_Delete);
    EXPECT_EQ(bytes(), QByteArray("056789"));
    key(Qt::Key_End, Qt::ControlModifier);
    key(Qt::Key_Delete);  // nothing after the last byte
    EXPECT_EQ(bytes(), QByteArray("056789"));
}

TEST_F(HexViewTest, CaretKeysMoveByRowPageAndFile)
{
    load(QByteArray(1000, '\0'));
    const int rows = view.visibleRows();
    ASSERT_GT(rows, 3);
    key(Qt::Key_Up);
    EXPECT_EQ(view.caretPosition(), 0);
    key(Qt::Key_Down);
    key(Qt::Key_Right);
    EXPECT_EQ(view.caretPosition(), 17);
    key(Qt::Key_End);
    EXPECT_EQ(view.caretPosition(), 31);
    key(Qt::Key_Home);
    EXPECT_EQ(view.caretPosition(), 16);
    key(Qt::Key_PageDown);
    EXPECT_EQ(view.caretPosition(), 16 + 16 * rows);
    EXPECT_EQ(view.firstVisibleRow(), rows);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view.caretPosition(), 1000);
    EXPECT_LE(view.firstVisibleRow(), 1000 / 16);
    EXPECT_GT(view.firstVisibleRow() + rows, 1000 / 16);  // the caret's row is in view
    key(Qt::Key_Down);
    EXPECT_EQ(view.caretPosition(), 1000);
    key(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(view.caretPosition(), 0);
    EXPECT_EQ(view.firstVisibleRow(), 0);
}

TEST_F(HexViewTest, CopyGivesHexOrTextAndPastesBackExactly)
{
    load(QByteArray("AB\x00"
                    "C",
                    4));
    view.selectAll();
    view.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("41 42 00 43"));
    key(Qt::Key_Tab);
    view.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("AB.C"));

    view.setInsertMode(true);
    view.setCaretPosition(4);
    view.paste();  // the bytes themselves, not the dots
    EXPECT_EQ(bytes(),
              QByteArray("AB\x00"
                         "CAB\x00"
                         "C",
                         8));

    QApplication::clipboard()->setText(QStringLiteral("de ad"));
    view.setInsertMode(false);
    key(Qt::Key_Tab);  // hex column: the text is read as hex bytes
    view.setCaretPosition(7);
    view.paste();
    EXPECT_EQ(bytes(),
              QByteArray("AB\x00"
                         "CAB\x00\xDE\xAD",
                         9));
}

TEST_F(HexViewTest, FindSelectsTheNextMatchAndWrapsRound)
{
    load(QByteArray("xxABxxAB"));
    ASSERT_TRUE(view.findFrom("AB", 0));
    EXPECT_EQ(view.selectionStart(), 2);
    EXPECT_EQ(view.selectionLength(), 2);
    ASSERT_TRUE(view.findFrom("AB", 3));
    EXPECT_EQ(view.selectionStart(), 6);
    ASSERT_TRUE(view.findFrom("AB", 7));
    EXPECT_EQ(view.selectionStart(), 2);
    EXPECT_FALSE(view.findFrom("ABC", 0));
    EXPECT_EQ(view.selectionStart(), 2);  // a failed search leaves the selection

    load(QByteArray("ABCD"));
    ASSERT_TRUE(view.findFrom("BC", 2));  // the only match starts before where the search began
    EXPECT_EQ(view.selectionStart(), 1);
}

TEST(HexBytes, ParsesPairsWithOrWithoutSeparators)
{
    QByteArray bytes;
    ASSERT_TRUE(HexView::parseHexBytes(QStringLiteral("01 a2,FF 0x7 3c4D"), &bytes));
    EXPECT_EQ(bytes, QByteArray("\x01\xA2\xFF\x07\x3C\x4D", 6));
    for (const char* bad : {"", "  ", "0g", "12 zz", "0x"})
        EXPECT_FALSE(HexView::parseHexBytes(QLatin1String(bad), &bytes)) << bad;
}

TEST_F(HexViewTest, FileErrorsNameTheFileAndKeepWhatWasThere)
{
    const QString file = path("keep.bin");
    write(file, "old");
    view.loadFromFile(file);
    type("ff");

    const QString missing = path("no/such.bin");
    try {
        view.loadFromFile(missing);
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(missing)) << e.what();
    }
    try {
        view.saveToFile(missing, true);
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(missing)) << e.what();
    }
    EXPECT_EQ(bytes(), QByteArray("\xFFld"));
    EXPECT_EQ(view.fileName(), file);
    EXPECT_TRUE(view.isModified());
    EXPECT_EQ(fileBytes(file), QByteArray("old"));

    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    view.loadFromStream(empty);
    EXPECT_EQ(view.buffer().size(), 0);
    EXPECT_TRUE(view.fileName().isEmpty());  // a later Save cannot overwrite the old file with nothing
    EXPECT_FALSE(view.isModified());
}

#ifdef Q_OS_LINUX
// The disk fills up half-way through a save: the file keeps its old bytes.
TEST_F(HexViewTest, SaveThatRunsOutOfSpaceLeavesTheOldFile)
{
    const QString file = path("image.bin");
    write(file, "small old file");
    QByteArray big(200000, '\x5A');
    QBuffer buffer(&big);
    buffer.open(QIODevice::ReadOnly);
    view.loadFromStream(buffer);

    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = 65536;  // writes past 64 KiB fail as on a full disk
    setrlimit(RLIMIT_FSIZE, &limited);
    bool failed = false;
    try {
        view.saveToFile(file, true);
    } catch (const std::exception& e) {
        failed = QString::fromUtf8(e.what()).contains(file);
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_TRUE(failed);
    EXPECT_EQ(fileBytes(file), QByteArray("small old file"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("image.bin")});  // no temporary left behind
    EXPECT_TRUE(view.fileName().isEmpty());               // the failed save did not take the name
}
#endif

TEST_F(HexViewTest, ScrollingReachesTheLastRowOfALargeFile)
{
    load(QByteArray(10'000'007, '\x33'));
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    EXPECT_EQ(view.firstVisibleRow() + view.visibleRows(), 10'000'007 / 16 + 1);
    view.viewport()->grab();  // draws the last, partial row (the sanitizer build checks its reads)
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(view.caretPosition(), 10'000'007);
}

}  // namespace
