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

#include "app/HexView.h"
#include "app/KestovaApplication.h"
#include "app/uEditHex.h"
#include "tests/app/ModalAnswers.h"
#include "tests/app/TestWindow.h"
#include "tests/support/FileBytes.h"

namespace {

struct HexEditor : ::testing::Test {
    QTemporaryDir dir;
    TFormEditHex w;
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
    QByteArray content() const { return w.HexEditor1->buffer().bytes(); }
    void type(const char* keys) { QTest::keyClicks(w.HexEditor1, QLatin1String(keys)); }
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
    EXPECT_EQ(w.HexEditor1->buffer().size(), 10'000'000);
    auto refused = answers.box(QMessageBox::Ok);
    w.openFile(over.fileName());
    ASSERT_TRUE(refused->shown);
    EXPECT_EQ(refused->title, QStringLiteral("Error"));
    EXPECT_EQ(refused->text, QStringLiteral("File size too big"));
    EXPECT_EQ(refused->icon, QMessageBox::Critical);
    EXPECT_EQ(w.HexEditor1->buffer().size(), 10'000'000);
    EXPECT_EQ(w.HexEditor1->FileName(), exact.fileName());
}

TEST_F(HexEditor, OpenDialogStartsWithAnEmptyNameEveryTime)
{
    const QString first = write("first.bin", "one");
    auto shown = answers.file(first);
    w.menuOpen->trigger();
    EXPECT_EQ(content(), QByteArray("one"));
    auto again = answers.file(QString());  // cancelled
    w.menuOpen->trigger();
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
    w.menuOpen->trigger();
    ASSERT_TRUE(query->shown);
    EXPECT_EQ(content(), QByteArray("\xFF" "bc"));  // no file dialog: the edits stay
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected.isEmpty());
}

TEST_F(HexEditor, SaveWritesUnderTheCurrentNameOrAsksForOne)
{
    const QString file = write("a.bin", "abc");
    openEdited(file);
    w.menuSave->trigger();
    EXPECT_EQ(fileBytes(file), QByteArray("\xFF" "bc"));
    EXPECT_FALSE(w.HexEditor1->Modified());

    w.close();  // empties the window: no name any more
    w.show();
    w.HexEditor1->SetInsertMode(true);
    type("0102");
    const QString named = path("new.bin");
    auto dialog = answers.file(named);
    w.menuSave->trigger();
    ASSERT_TRUE(dialog->shown);
    EXPECT_TRUE(dialog->fileNameField.isEmpty());
    EXPECT_EQ(fileBytes(named), QByteArray("\x01\x02", 2));
    EXPECT_EQ(w.HexEditor1->FileName(), named);
    EXPECT_EQ(fileBytes(file), QByteArray("\xFF" "bc"));
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
    EXPECT_EQ(content(), QByteArray("\xFF" "bc"));
    EXPECT_TRUE(w.HexEditor1->Modified());
    EXPECT_EQ(fileBytes(file), QByteArray("abc"));
}

TEST_F(HexEditor, CloseQueryYesSavesNoDiscardsAndBothEmptyTheWindow)
{
    const QString saved = write("saved.bin", "abc");
    openEdited(saved);
    answers.box(QMessageBox::Yes);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(fileBytes(saved), QByteArray("\xFF" "bc"));
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.HexEditor1->buffer().size(), 0);
    EXPECT_TRUE(w.HexEditor1->FileName().isEmpty());

    const QString dropped = write("dropped.bin", "abc");
    openEdited(dropped);
    answers.box(QMessageBox::No);
    EXPECT_TRUE(w.close());
    EXPECT_EQ(fileBytes(dropped), QByteArray("abc"));
    EXPECT_EQ(w.HexEditor1->buffer().size(), 0);

    w.show();
    w.openFile(dropped);
    EXPECT_TRUE(w.close());  // unchanged: no question
    EXPECT_EQ(w.HexEditor1->buffer().size(), 0);
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
    EXPECT_EQ(content(), QByteArray("\xFF" "bc"));
    EXPECT_TRUE(w.HexEditor1->Modified());
}

TEST_F(HexEditor, CheckBoxesSetTheModesAndKeepThemBetweenOpenings)
{
    EXPECT_EQ(w.windowTitle(), QStringLiteral("HEX Editor"));
    EXPECT_EQ(w.CheckInsert->text(), QStringLiteral("INSERT mode"));
    EXPECT_EQ(w.CheckReadOnly->text(), QStringLiteral("Read-only mode"));
    QStringList items;
    for (QAction* a : w.MenuFile->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(items, (QStringList{"Open...", "Save", "Save as...", "-", "Exit"}));

    w.show();
    w.CheckInsert->click();
    w.CheckReadOnly->click();
    EXPECT_TRUE(w.HexEditor1->insertMode());
    EXPECT_TRUE(w.HexEditor1->readOnlyView());
    w.menuExit->trigger();
    EXPECT_FALSE(w.isVisible());
    w.show();
    EXPECT_TRUE(w.CheckInsert->isChecked());
    EXPECT_TRUE(w.CheckReadOnly->isChecked());
    EXPECT_TRUE(w.HexEditor1->insertMode());
    EXPECT_TRUE(w.HexEditor1->readOnlyView());

    QTest::keyClick(w.HexEditor1, Qt::Key_Insert);
    EXPECT_FALSE(w.CheckInsert->isChecked());  // the box follows the key
}

TEST_F(HexEditor, ClosingTheMainWindowAsksAboutUnsavedEditsFirst)
{
    InstallFolder install;
    TestWindow main(install.executable(), std::make_shared<TestWindow::Cable>());
    auto* editor = new TFormEditHex(&main);
    main.installEventFilter(editor);
    main.show();
    editor->show();
    editor->openFile(write("a.bin", "abc"));
    QTest::keyClicks(editor->HexEditor1, QStringLiteral("00"));

    answers.box(QMessageBox::Cancel);
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_FALSE(main.CancelRequested);  // the close stopped before the main window's own protocol

    answers.box(QMessageBox::No);
    main.close();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_TRUE(main.CancelRequested);
    EXPECT_TRUE(answers.unexpected.isEmpty());
}

TEST_F(HexEditor, GoToOffsetReadsHexOrDecimalAndRefusesTheRest)
{
    w.openFile(write("a.bin", QByteArray(100, '\x00')));
    w.goToOffset(QStringLiteral("1f"));
    EXPECT_EQ(w.HexEditor1->caretPosition(), 0x1F);
    w.goToOffset(QStringLiteral(" 0x40 "));
    EXPECT_EQ(w.HexEditor1->caretPosition(), 0x40);
    w.goToOffset(QStringLiteral("#20"));
    EXPECT_EQ(w.HexEditor1->caretPosition(), 20);
    auto bad = answers.box(QMessageBox::Ok);
    w.goToOffset(QStringLiteral("1z"));
    auto beyond = answers.box(QMessageBox::Ok);
    w.goToOffset(QStringLiteral("65"));
    EXPECT_EQ(bad->text, QStringLiteral("Not an offset: 1z"));
    EXPECT_EQ(beyond->text, QStringLiteral("Offset 65 is not inside the file (100 bytes)"));
    EXPECT_EQ(w.HexEditor1->caretPosition(), 20);
    EXPECT_TRUE(w.StatusOffset->text().startsWith(QStringLiteral("Offset 00000014h (20)")));
}

TEST_F(HexEditor, FindAndFindNextWalkThroughTheMatches)
{
    w.openFile(write("a.bin", QByteArray("\x02\x00zzOK\x02\x00", 8)));
    w.find(QStringLiteral("02 00"), false);
    EXPECT_EQ(w.HexEditor1->selectionStart(), 0);
    EXPECT_EQ(w.HexEditor1->selectionLength(), 2);
    w.menuFindNext->trigger();
    EXPECT_EQ(w.HexEditor1->selectionStart(), 6);
    w.find(QStringLiteral("OK"), true);
    EXPECT_EQ(w.HexEditor1->selectionStart(), 4);

    auto missing = answers.box(QMessageBox::Ok);
    w.find(QStringLiteral("NO"), true);
    auto notHex = answers.box(QMessageBox::Ok);
    w.find(QStringLiteral("0g"), false);
    EXPECT_EQ(missing->text, QStringLiteral("Not found: NO"));
    EXPECT_EQ(notHex->text, QStringLiteral("Not a sequence of hex bytes: 0g"));
    EXPECT_EQ(w.HexEditor1->selectionStart(), 4);
}

}  // namespace
