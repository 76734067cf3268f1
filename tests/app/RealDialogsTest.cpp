// The main window's own dialogs and message boxes, shown for real (TestWindow answers
// them without showing anything): what the user finds in them when they come up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "app/KestovaApplication.h"
#include "app/UTirel.h"
#include "tests/app/TestWindow.h"

namespace {

// Answers each modal window as it comes up, in order; a window past the list or one
// that an answer left open fails the test and is rejected instead of hanging it.
class ModalAnswerer {
public:
    using Answer = std::function<void(QWidget*)>;
    explicit ModalAnswerer(std::vector<Answer> answers) : answers_(std::move(answers))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(10);
    }
    size_t answered() const { return next_; }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (next_ < answers_.size())
            answers_[next_++](modal);
        else
            ADD_FAILURE() << "an unexpected modal window came up";
        // An answer that did not close its window must not be taken for the next one.
        if (modal->isVisible()) {
            ADD_FAILURE() << "answer " << next_ << " left its window open";
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        }
    }
    std::vector<Answer> answers_;
    size_t next_ = 0;
    QTimer timer_;
};

UTirel::Options plainOptions(const QString& executable)
{
    UTirel::Options options;
    options.executablePath = executable;
    options.startupPauseMs = 0;
    options.opener = [](const QString&, QString*) { return std::unique_ptr<ModemLines>(); };
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
    UTirel w(plainOptions(folder.executable()));

    QStringList fields, folders;
    const auto look = [&](QWidget* modal) -> QFileDialog* {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        auto* edit = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        fields << (edit ? edit->text() : QStringLiteral("<no file dialog>"));
        folders << (dialog ? dialog->directory().absolutePath() : QString());
        return dialog;
    };
    const auto choose = [&](const QString& file) {
        return [&, file](QWidget* modal) {
            // Typed as a user types it: selectFile() leaves the field alone while it has the focus.
            if (QFileDialog* dialog = look(modal)) {
                dialog->setDirectory(QFileInfo(file).absolutePath());
                dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QFileInfo(file).fileName());
                static_cast<QDialog*>(dialog)->accept();  // protected in QFileDialog, public in QDialog
            }
        };
    };
    const auto cancel = [&](QWidget* modal) {
        look(modal);
        static_cast<QDialog*>(modal)->reject();
    };

    ModalAnswerer answerer({choose(hex), choose(bin), cancel, choose(hex), cancel});
    w.menuHexToBin->trigger();  // open in.hex, save out.bin
    w.menuBinToHex->trigger();  // open: cancelled
    w.menuHexToBin->trigger();  // open in.hex again, save: cancelled
    EXPECT_EQ(answerer.answered(), 5u);
    EXPECT_TRUE(QFile::exists(bin));
    ASSERT_EQ(fields.size(), 5);
    for (int i = 0; i < fields.size(); ++i)
        EXPECT_TRUE(fields[i].isEmpty()) << "dialog " << i << " came up with " << qPrintable(fields[i]);
    // Each dialog comes back to the folder it was last in.
    EXPECT_EQ(folders[3], QFileInfo(hex).absolutePath());
    EXPECT_EQ(folders[4], QFileInfo(bin).absolutePath());
}

TEST(MessageBoxes, LoneCarriageReturnsBreakTheLineOnScreen)
{
    InstallFolder folder;
    UTirel w(plainOptions(folder.executable()));
    QStringList shown;
    const auto read = [&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        shown << (box ? box->text() : QStringLiteral("<no message box>"));
        static_cast<QDialog*>(modal)->accept();
    };
    ModalAnswerer answerer({read, read});
    w.showMessage(MessageIcon::Error, QStringLiteral("Error"), QStringLiteral("Checksum error in .HEX file\r\r F0 <> F1"));
    KestovaApplication::reportError(QStringLiteral("first\rsecond\r\nthird"));
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].toStdString(), "Checksum error in .HEX file\n\n F0 <> F1");
    EXPECT_EQ(shown[1].toStdString(), "first\nsecond\nthird");
}

}  // namespace
