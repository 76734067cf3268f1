// The main window's own dialogs and message boxes, shown for real (TestWindow answers
// them without showing anything): what the user finds in them when they come up.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "app/FileDialog.h"
#include "app/KestovaApplication.h"
#include "app/MainWindow.h"
#include "app/StatusPanel.h"
#include "tests/app/FindNamed.h"
#include "tests/app/ModalAnswers.h"
#include "tests/app/TestWindow.h"

namespace {

MainWindow::Options plainOptions(const QString& executable)
{
    MainWindow::Options options;
    options.executablePath = executable;
    options.startupPauseMs = 0;
    options.opener = [](const QString&, PortError*) { return std::unique_ptr<ModemLines>(); };
    return options;
}

TEST(SharedDialogs, NameFieldStartsEmptyAtEveryShowingAndTheFolderStays)
{
    InstallFolder folder;
    const QString hex = folder.dir.filePath(QStringLiteral("in.hex"));
    {
        QFile f(hex);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(":0400100001020304E2\r\n:00000001FF\r\n");
    }
    const QString bin = folder.dir.filePath(QStringLiteral("out.bin"));
    MainWindow w(plainOptions(folder.executable()));

    ModalAnswers answers;
    const std::vector<std::shared_ptr<ModalAnswers::Seen>> seen = {
        answers.file(hex), answers.file(bin), answers.file({}), answers.file(hex), answers.file({})};
    const auto trigger = [&w](const char* item) { findNamed<QAction>(w, QLatin1String(item))->trigger(); };
    trigger("menuHexToBin");  // open in.hex, save out.bin
    trigger("menuBinToHex");  // open: cancelled
    trigger("menuHexToBin");  // open in.hex again, save: cancelled
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_TRUE(answers.unexpected.isEmpty()) << qPrintable(answers.unexpected.join(QLatin1Char('\n')));
    EXPECT_TRUE(QFile::exists(bin));
    for (size_t i = 0; i < seen.size(); ++i)
        EXPECT_TRUE(seen[i]->fileNameField.isEmpty())
            << "dialog " << i << " came up with " << qPrintable(seen[i]->fileNameField);
    // Each dialog comes back to the folder it was last in.
    EXPECT_EQ(seen[3]->folder, QFileInfo(hex).absolutePath());
    EXPECT_EQ(seen[4]->folder, QFileInfo(bin).absolutePath());
}

TEST(MessageBoxes, LoneCarriageReturnsBreakTheLineOnScreen)
{
    InstallFolder folder;
    MainWindow w(plainOptions(folder.executable()));
    ModalAnswers answers;
    const auto first = answers.box(QMessageBox::Ok);
    const auto second = answers.box(QMessageBox::Ok);
    w.showMessage(MessageIcon::Error, QStringLiteral("Error"),
                  QStringLiteral("Checksum error in .HEX file\r\r F0 <> F1"));
    KestovaApplication::reportError(QStringLiteral("first\rsecond\r\nthird"));
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(first->text.toStdString(), "Checksum error in .HEX file\n\n F0 <> F1");
    EXPECT_EQ(second->text.toStdString(), "first\nsecond\nthird");
}

TEST(SharedDialogs, ConvertersSayWhereTheyWroteAndTheFolderIsRememberedForTheNextStart)
{
    InstallFolder folder;
    QTemporaryDir work;
    const QString hex = work.filePath(QStringLiteral("in.hex"));
    {
        QFile f(hex);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(":0400100001020304E2\r\n:00000001FF\r\n");
    }
    const QString bin = work.filePath(QStringLiteral("out.bin"));
    {
        MainWindow w(plainOptions(folder.executable()));
        w.start({});
        ModalAnswers answers;
        answers.file(hex);
        answers.file(bin);
        findNamed<QAction>(w, QStringLiteral("menuHexToBin"))->trigger();
        EXPECT_TRUE(answers.allAnswered());
        EXPECT_EQ(findNamed<StatusPanel>(w, QStringLiteral("StatusPanelRun"))->fullText(),
                  QStringLiteral("Wrote 20 bytes to %1").arg(QDir::toNativeSeparators(bin)));
    }
    EXPECT_TRUE(folder.iniText().contains(QStringLiteral("[RECENT]\r\nFOLDER=%1").arg(work.path()).toUtf8()))
        << folder.iniText().toStdString();

    FileDialog::setFolder({});
    MainWindow again(plainOptions(folder.executable()));
    again.start({});
    ModalAnswers answers;
    const auto seen = answers.file({});
    findNamed<QAction>(again, QStringLiteral("menuChooseFile"))->trigger();
    EXPECT_EQ(seen->folder, work.path());
}

TEST(WarningBox, OffersOkAndCancelAndCancelWritesNothing)
{
    InstallFolder folder;
    QTemporaryDir work;
    const QString file = work.filePath(QStringLiteral("fw.bin"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\x01\x02");
    }
    MainWindow w(plainOptions(folder.executable()));
    ModalAnswers answers;
    const auto warning = answers.box(QMessageBox::Cancel);
    w.start({QStringLiteral("s52"), file});
    EXPECT_TRUE(answers.allAnswered());
    EXPECT_EQ(warning->title, QStringLiteral("Warning"));
    EXPECT_EQ(warning->text, QStringLiteral("Pulse microcontroller reset swith and press OK"));
    EXPECT_EQ(warning->buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(findNamed<StatusPanel>(w, QStringLiteral("StatusPanel0"))->fullText(), QStringLiteral("Nothing written"));
    EXPECT_EQ(w.autoRunFile(), QFileInfo(file).absoluteFilePath());
}

}  // namespace
