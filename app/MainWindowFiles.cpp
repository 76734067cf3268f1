// MainWindow's files: the File menu (choose, write, read, read to editor, compare,
// erase, the recent files, exit), the chosen file and its line under the title,
// files dropped on the window, the one remembered folder, and what the converters
// wrote.
#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>

#include "app/FileDialog.h"
#include "app/MainWindow.h"
#include "app/Named.h"
#include "app/StatusPanel.h"
#include "image/ImageBuffer.h"
#include "view/Strings.h"

namespace {

QString str(const char* utf8) { return QString::fromUtf8(utf8); }

// The form the image loader will read a file in: its name, or else its content.
QString formOf(const QString& path)
{
    return imageFormOf(path) == ImageForm::IntelHex ? str(Str::kFormHex) : str(Str::kFormBinary);
}

// The one local file a drag carries, empty for anything else.
QString droppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return {};
    const QString path = data->urls().first().toLocalFile();
    return QFileInfo(path).isFile() ? path : QString();
}

}  // namespace

void MainWindow::buildFileMenu()
{
    // Before the layout's menus, where desktop programs keep it.
    fileMenu_ = named(new QMenu(str(Str::kMenuFileMain), this), QStringLiteral("MenuFileMain"));
    menuBar()->insertMenu(menuBar()->actions().value(0), fileMenu_);
    const auto add = [this](const char* name, const char* text, const QKeySequence& key) {
        QAction* item = named(fileMenu_->addAction(str(text)), QLatin1String(name));
        item->setShortcut(key);
        return item;
    };
    chooseFileItem_ = add("menuChooseFile", Str::kChooseFile, QKeySequence(Qt::CTRL | Qt::Key_O));
    recentMenu_ = named(fileMenu_->addMenu(str(Str::kRecentFiles)), QStringLiteral("MenuRecent"));
    fileMenu_->addSeparator();
    writeItem_ = add("menuWrite", Str::kWrite, QKeySequence(Qt::CTRL | Qt::Key_W));
    readItem_ = add("menuRead", Str::kRead, QKeySequence(Qt::CTRL | Qt::Key_R));
    readToEditorItem_ = add("menuReadToEditor", Str::kReadToEditor, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    compareItem_ = add("menuCompare", Str::kCompare, QKeySequence());
    eraseItem_ = add("menuErase", Str::kErase, QKeySequence(Qt::CTRL | Qt::Key_E));
    fileMenu_->addSeparator();
    cancelItem_ = add("menuCancelRun", Str::kCancelRun, QKeySequence(Qt::Key_Escape));
    exitItem_ = add("menuExit", Str::kExit, QKeySequence(Qt::CTRL | Qt::Key_Q));
    eraseItem_->setText(str(Str::kErase) + QStringLiteral("..."));  // it asks first
}

void MainWindow::connectFileCommands()
{
    connect(chooseFileItem_, &QAction::triggered, this, [this] { runGuarded([this] { chooseFileByDialog(); }); });
    connect(writeItem_, &QAction::triggered, writeButton_, &QPushButton::click);
    connect(readItem_, &QAction::triggered, readButton_, &QPushButton::click);
    connect(compareItem_, &QAction::triggered, compareButton_, &QPushButton::click);
    connect(eraseItem_, &QAction::triggered, eraseButton_, &QPushButton::click);
    connect(readToEditorItem_, &QAction::triggered, this, [this] { runGuarded([this] { readChipIntoEditor(); }); });
    connect(cancelItem_, &QAction::triggered, this, [this] {
        if (runner_.busy())
            cancelRequested_ = true;
    });
    connect(exitItem_, &QAction::triggered, this, &QWidget::close);
    setAcceptDrops(true);
}

bool MainWindow::chooseFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        showMessage(MessageIcon::Error, Str::kErrorCaption,
                    str(Str::kCannotOpenFile).arg(QDir::toNativeSeparators(path), str(Str::kNotAFile)));
        return false;
    }
    autoRunFile_ = info.absoluteFilePath();
    chosenModified_ = info.lastModified();
    chosenSize_ = info.size();
    // A list that cannot be stored is no reason to stop: the chip's own key reports that.
    recentFiles_.add(autoRunFile_);
    rebuildRecentMenu();
    showChosenFile();
    return true;
}

void MainWindow::chooseFileByDialog()
{
    const QString chosen = askOpenFileName(str(Str::kFilterImages));
    rememberFolder();
    if (!chosen.isEmpty())
        chooseFile(chosen);
}

void MainWindow::showChosenFile()
{
    if (autoRunFile_.isEmpty()) {
        chosenFileLabel_->setText(str(Str::kNoFileChosen));
        chosenFileLabel_->setToolTip(QString());
        return;
    }
    const QFileInfo info(autoRunFile_);
    chosenFileLabel_->setText(str(Str::kChosenFile)
                                  .arg(info.fileName(), QLocale().toString(info.size()), formOf(autoRunFile_),
                                       QLocale().toString(info.lastModified(), QLocale::ShortFormat)));
    chosenFileLabel_->setToolTip(QDir::toNativeSeparators(autoRunFile_));
}

bool MainWindow::chosenFileChanged()
{
    const QFileInfo info(autoRunFile_);
    if (!info.isFile() || (info.lastModified() == chosenModified_ && info.size() == chosenSize_))
        return false;
    chosenModified_ = info.lastModified();
    chosenSize_ = info.size();
    runNote_ = str(Str::kReadAfresh).arg(info.fileName());
    showChosenFile();
    return true;
}

void MainWindow::rebuildRecentMenu()
{
    recentMenu_->clear();
    const QStringList& files = recentFiles_.files();
    if (files.isEmpty()) {
        recentMenu_->addAction(str(Str::kNoRecentFiles))->setEnabled(false);
        return;
    }
    for (int i = 0; i < files.size(); ++i) {
        const QString path = files[i];
        // &1..&8: each one a key press away.
        QAction* item = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(
            QDir::toNativeSeparators(path).replace(u'&', QStringLiteral("&&"))));
        item->setObjectName(QStringLiteral("menuRecent%1").arg(i + 1));
        connect(item, &QAction::triggered, this, [this, path] {
            if (!chooseFile(path)) {
                recentFiles_.remove(path);
                rebuildRecentMenu();
            }
        });
    }
}

void MainWindow::rememberFolder() { recentFiles_.setFolder(FileDialog::folder()); }

void MainWindow::showConversion(const QString& out)
{
    runPanel_->setFullText(
        str(Str::kConverted).arg(QLocale().toString(QFileInfo(out).size()), QDir::toNativeSeparators(out)));
}

void MainWindow::showPortMissing()
{
    statusPanels_[2]->setFullText(str(Str::kNoPortChosen));
    statusPanels_[2]->setHint(str(Str::kNoPortHint));
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (running_ == Running::Nothing && !droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (running_ != Running::Nothing || path.isEmpty())
        return;
    event->acceptProposedAction();
    chooseFile(path);  // chosen only: nothing is written until Write
}
