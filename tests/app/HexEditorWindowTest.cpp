// The hex editor window: opening within the size limit, saving, the question
// about unsaved changes, its check boxes, and going to an offset or a match.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include "app/HexEditorWindow.h"
#include "app/HexView.h"
#include "app/KestovaApplication.h"
#include "tests/app/FindNamed.h"
#include "tests/app/ModalAnswers.h"
#include "tests/app/TestWindow.h"
#include "tests/support/FileBytes.h"

namespace {

struct HexEditor : ::testing::Test {
    QTemporaryDir dir;
    HexEditorWindow w;
    ModalAnswers answers;
    QStringList errors;  // what the application's "Error" box would have shown

    HexEditor()
    {
        KestovaApplication::setErrorSink([this](const QString& text) { errors << text; });
    }
    ~HexEditor() override { KestovaApplication::setErrorSink({}); }

    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QString write(const char* name, const QByteArray& data)
    {
        EXPECT_TRUE(writeTestFile(path(name), data));
        return path(name);
    }
    // The window's controls, by objectName.
    HexView* view() const { return findNamed<HexView>(w, QStringLiteral("HexView")); }
    QAction* item(const char* name) const { return findNamed<QAction>(w, QLatin1String(name)); }
    QCheckBox* box(const char* name) const { return findNamed<QCheckBox>(w, QLatin1String(name)); }

    QByteArray content() const { return view()->buffer().bytes(); }
    void type(const char* keys) { QTest::keyClicks(view(), QLatin1String(keys)); }
    void openEdited(const QString& file)
    {
        w.show();
        w.openFile(file);
        type("ff");
    }
};

TEST_F(HexEditor, FilesUpToTenMillionBytesOpenLargerOnesAreRefused)
{
    QFile exact(path("exact.bin"));
    ASSERT_TRUE(exact.open(QIODevice::WriteOnly) && exact.resize(10'000'000));
    QFile over(path("over.bin"));
    ASSERT_TRUE(over.open(QIODevice::WriteOnly) && over.resize(10'000'001));

    w.openFile(exact.fileName());
    EXPECT_EQ(view()->buffer().size(), 10'000'000);
    auto refused = answers.box(QMessageBox::Ok);
    w.openFile(over.fileName());
    ASSERT_TRUE(refused->shown);
    EXPECT_EQ(refused->title, QStringLiteral("Error"));
    EXPECT_EQ(refused->text,
              QStringLiteral("File size too big\n\"%1\" is 10000001 bytes; files of up to 10000000 "
                             "bytes can be opened")
                  .arg(over.fileName()));
    EXPECT_EQ(refused->icon, QMessageBox::Critical);
    EXPECT_EQ(view()->buffer().size(), 10'000'000);
    EXPECT_EQ(view()->fileName(), exact.fileName());
}

TEST_F(HexEditor, OpenDialogStartsWithAnEmptyNameEveryTime)
{
    const QString first = write("first.bin", "one");
    auto shown = answers.file(first);
    item("menuOpen")->trigger();
    EXPECT_EQ(content(), QByteArray("one"));
    auto again = answers.file(QString());  // cancelled
    item("menuOpen")->trigger();
    ASSERT_TRUE(shown->shown && again->shown);
    EXPECT_TRUE(shown->fileNameField.isEmpty());
    EXPECT_TRUE(again->fileNameField.isEmpty());  // Return there cannot open "first.bin" again
    EXPECT_EQ(content(), QByteArray("one"));
    EXPECT_TRUE(answers.unexpected.isEmpty());
}

TEST_F(HexEditor, OpeningOverUnsavedEditsAsksFirst)
{
    const QString file = write("a.bin", "abc");
    openEdited(file);
    auto query = answers.box(QMessageBox::Cancel);
    item("menuOpen")->trigger();
    ASSERT_TRUE(query->shown);
    EXPECT_EQ(content(),
              QByteArray("\xFF"
                         "bc"));  // no file dialog: the edits stay
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected.isEmpty());
}

TEST_F(HexEditor, SaveWritesUnderTheCurrentNameOrAsksForOne)
{
    const QString file = write("a.bin", "abc");
    openEdited(file);
    item("menuSave")->trigger();
    EXPECT_EQ(fileBytes(file),
              QByteArray("\xFF"
                         "bc"));
    EXPECT_FALSE(view()->isModified());

    w.close();  // empties the window: no name any more
    w.show();
    view()->setInsertMode(true);
    type("0102");
    const QString named = path("new.bin");
    auto dialog = answers.file(named);
    item("menuSave")->trigger();
    ASSERT_TRUE(dialog->shown);
    EXPECT_TRUE(dialog->fileNameField.isEmpty());
    EXPECT_EQ(fileBytes(named), QByteArray("\x01\x02", 2));
    EXPECT_EQ(view()->fileName(), named);
    EXPECT_EQ(fileBytes(file),
              QByteArray("\xFF"
                         "bc"));
    EXPECT_TRUE(answers.unexpected.isEmpty());
}

TEST_F(HexEditor, CloseQueryCancelKeepsTheWindowAndItsContent)
{
    const QString file = write("a.bin", "abc");
    openEdited(file);
    auto query = answers.box(QMessageBox::Cancel);
    EXPECT_FALSE(w.close());
    ASSERT_TRUE(query->shown);
    EXPECT_EQ(query->title, QStringLiteral("Atenção"));
    EXPECT_EQ(query->text, QStringLiteral("O arquivo foi alterado. Deseja salvar alterações?"));
    EXPECT_EQ(query->icon, QMessageBox::Information);
    EXPECT_EQ(query->buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(content(),
              QByteArray("\xFF"
                         "bc"));
    EXPECT_TRUE(view()->isModified());
    EXPECT_EQ(fileBytes(file), QByteArray("abc"));
}

TEST_F(HexEditor, CloseQueryYesSavesNoDiscardsAndBothEmptyTheWindow)
{
    const QString saved = write("saved.bin", "abc");
    openEdited(saved);
    answers.box(QMessageBox::Yes);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(fileBytes(saved),
              QByteArray("\xFF"
                         "bc"));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(view()->buffer().size(), 0);
    EXPECT_TRUE(view()->fileName().isEmpty());

    const QString dropped = write("dropped.bin", "abc");
    openEdited(dropped);
    answers.box(QMessageBox::No);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(fileBytes(dropped), QByteArray("abc"));
    EXPECT_EQ(view()->buffer().size(), 0);

    w.show();
    w.openFile(dropped);
    EXPECT_TRUE(w.close());  // unchanged: no question
    EXPECT_EQ(view()->buffer().size(), 0);
    EXPECT_TRUE(answers.unexpected.isEmpty());
}

TEST_F(HexEditor, SaveThatFailsOnCloseKeepsTheWindowAndTheEdits)
{
    QDir folder(path("stick"));
    ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
    QFile file(folder.filePath(QStringLiteral("a.bin")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("abc");
    file.close();
    openEdited(file.fileName());
    ASSERT_TRUE(folder.removeRecursively());  // the stick was pulled out

    answers.box(QMessageBox::Yes);
    EXPECT_FALSE(w.close());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(file.fileName()));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(content(),
              QByteArray("\xFF"
                         "bc"));
    EXPECT_TRUE(view()->isModified());
}

TEST_F(HexEditor, CheckBoxesSetTheModesAndKeepThemBetweenOpenings)
{
    EXPECT_EQ(w.windowTitle(), QStringLiteral("HEX Editor"));
    EXPECT_EQ(box("CheckInsert")->text(), QStringLiteral("INSERT mode"));
    EXPECT_EQ(box("CheckReadOnly")->text(), QStringLiteral("Read-only mode"));
    QStringList items;
    for (QAction* a : findNamed<QMenu>(w, QStringLiteral("MenuFile"))->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, (QStringList{"Open...", "Save", "Save as...", "-", "Exit"}));

    w.show();
    box("CheckInsert")->click();
    box("CheckReadOnly")->click();
    EXPECT_TRUE(view()->insertMode());
    EXPECT_TRUE(view()->readOnlyView());
    item("menuExit")->trigger();
    EXPECT_FALSE(w.isVisible());
    w.show();
    EXPECT_TRUE(box("CheckInsert")->isChecked());
    EXPECT_TRUE(box("CheckReadOnly")->isChecked());
    EXPECT_TRUE(view()->insertMode());
    EXPECT_TRUE(view()->readOnlyView());

    QTest::keyClick(view(), Qt::Key_Insert);
    EXPECT_FALSE(box("CheckInsert")->isChecked());  // the box follows the key
}

TEST_F(HexEditor, ClosingTheMainWindowAsksAboutUnsavedEditsFirst)
{
    InstallFolder install;
    TestWindow main(install.executable(), std::make_shared<TestWindow::Cable>());
    auto* editor = new HexEditorWindow(&main);
    main.installEventFilter(editor);
    main.show();
    editor->show();
    editor->openFile(write("a.bin", "abc"));
    QTest::keyClicks(findNamed<HexView>(*editor, QStringLiteral("HexView")), QStringLiteral("00"));

    answers.box(QMessageBox::Cancel);
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(main.cancelRequested());  // the close stopped before the main window's own protocol

    answers.box(QMessageBox::No);
    main.close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(main.cancelRequested());
    EXPECT_TRUE(answers.unexpected.isEmpty());
}

TEST_F(HexEditor, GoToOffsetReadsHexOrDecimalAndRefusesTheRest)
{
    w.openFile(write("a.bin", QByteArray(100, '\x00')));
    w.goToOffset(QStringLiteral("1f"));
    EXPECT_EQ(view()->caretPosition(), 0x1F);
    w.goToOffset(QStringLiteral(" 0x40 "));
    EXPECT_EQ(view()->caretPosition(), 0x40);
    w.goToOffset(QStringLiteral("#20"));
    EXPECT_EQ(view()->caretPosition(), 20);
    auto bad = answers.box(QMessageBox::Ok);
    w.goToOffset(QStringLiteral("1z"));
    auto beyond = answers.box(QMessageBox::Ok);
    w.goToOffset(QStringLiteral("65"));
    EXPECT_EQ(bad->text, QStringLiteral("Not an offset: 1z"));
    EXPECT_EQ(beyond->text, QStringLiteral("Offset 65 is not inside the file (100 bytes)"));
    EXPECT_EQ(view()->caretPosition(), 20);
    const QString status = findNamed<QLabel>(w, QStringLiteral("StatusOffset"))->text();
    EXPECT_TRUE(status.startsWith(QStringLiteral("Offset 00000014h (20)")));
}

TEST_F(HexEditor, FindAndFindNextWalkThroughTheMatches)
{
    w.openFile(write("a.bin", QByteArray("\x02\x00zzOK\x02\x00", 8)));
    w.find(QStringLiteral("02 00"), false);
    EXPECT_EQ(view()->selectionStart(), 0);
    EXPECT_EQ(view()->selectionLength(), 2);
    item("menuFindNext")->trigger();
    EXPECT_EQ(view()->selectionStart(), 6);
    w.find(QStringLiteral("OK"), true);
    EXPECT_EQ(view()->selectionStart(), 4);

    auto missing = answers.box(QMessageBox::Ok);
    w.find(QStringLiteral("NO"), true);
    auto notHex = answers.box(QMessageBox::Ok);
    w.find(QStringLiteral("0g"), false);
    EXPECT_EQ(missing->text, QStringLiteral("Not found: NO"));
    EXPECT_EQ(notHex->text, QStringLiteral("Not a sequence of hex bytes: 0g"));
    EXPECT_EQ(view()->selectionStart(), 4);
}

}  // namespace

namespace {

TEST_F(HexEditor, TheTitleNamesTheFileAndMarksUnsavedChanges)
{
    EXPECT_EQ(w.windowTitle(), QStringLiteral("HEX Editor"));
    const QString file = write("fw.bin", QByteArray("abc"));
    openEdited(file);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("fw.bin * - HEX Editor"));
    item("menuSave")->trigger();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("fw.bin - HEX Editor"));

    // A chip's contents come from no file: their own title until saved as one.
    w.showBytes(QByteArray(16, '\0'), QStringLiteral("ATmega8 flash, read 12:00"), 4);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ATmega8 flash, read 12:00 - HEX Editor"));
    EXPECT_EQ(view()->caretPosition(), 4);
}

TEST_F(HexEditor, RedoAnswersCtrlYAsWell)
{
    EXPECT_TRUE(item("menuRedo")->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    EXPECT_TRUE(item("menuRedo")->shortcuts().contains(QKeySequence(QKeySequence::Redo)));
}

}  // namespace
