// HexEditorWindow: the window's layout, its menus and the file and search commands.
#include "app/HexEditorWindow.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "app/FileDialog.h"
#include "app/HexFindDialog.h"
#include "app/HexView.h"
#include "app/KestovaApplication.h"
#include "app/Named.h"
#include "image/ImageBuffer.h"
#include "target/ErrorText.h"
#include "target/RunImage.h"
#include "view/Strings.h"

namespace {

QAction* addItem(QMenu* menu, const char* name, const char* text, const QKeySequence& key = {})
{
    QAction* action = named(menu->addAction(QString::fromUtf8(text)), QLatin1String(name));
    action->setShortcut(key);
    return action;
}

}  // namespace

HexEditorWindow::HexEditorWindow(QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      openDialog_(std::make_unique<FileDialog>(this, QFileDialog::AcceptOpen, QStringLiteral("HexOpenDialog"))),
      saveDialog_(std::make_unique<FileDialog>(this, QFileDialog::AcceptSave, QStringLiteral("HexSaveDialog")))
{
    buildLayout();
    buildFileMenu();
    buildEditMenu();
    buildStatusBar();
    connect(insertBox_, &QCheckBox::clicked, hexView_, &HexView::setInsertMode);
    connect(readOnlyBox_, &QCheckBox::clicked, hexView_, &HexView::setReadOnlyView);
    // Typing goes on where it was after a click on either box.
    for (QCheckBox* box : {insertBox_, readOnlyBox_})
        connect(box, &QCheckBox::clicked, hexView_, [this] { hexView_->setFocus(); });
    // The Insert key switches the mode in the widget; the box follows.
    connect(hexView_, &HexView::insertModeChanged, insertBox_, &QCheckBox::setChecked);
    connect(hexView_, &HexView::caretMoved, this, &HexEditorWindow::updateStatus);
    connect(hexView_, &HexView::sizeChanged, this, &HexEditorWindow::updateStatus);
    connect(hexView_, &HexView::modifiedChanged, this, &HexEditorWindow::updateStatus);
    connect(hexView_, &HexView::fileNameChanged, this, &HexEditorWindow::updateStatus);
    connect(hexView_, &HexView::modifiedChanged, this, &HexEditorWindow::updateTitle);
    connect(hexView_, &HexView::fileNameChanged, this, [this](const QString& name) {
        if (!name.isEmpty())
            contentTitle_.clear();  // a file now: its name is the title
        updateTitle();
    });
    setAcceptDrops(true);
    updateStatus();
    updateTitle();
}

HexEditorWindow::~HexEditorWindow() = default;

void HexEditorWindow::buildLayout()
{
    setObjectName(QStringLiteral("FormEditHex"));
    setWindowTitle(Str::kHexEditorCaption);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    auto* strip = new QHBoxLayout;
    insertBox_ = named(new QCheckBox(Str::kInsertMode, central), QStringLiteral("CheckInsert"));
    readOnlyBox_ = named(new QCheckBox(Str::kReadOnlyMode, central), QStringLiteral("CheckReadOnly"));
    strip->addWidget(insertBox_);
    strip->addSpacing(16);
    strip->addWidget(readOnlyBox_);
    strip->addStretch();
    layout->addLayout(strip);
    hexView_ = named(new HexView(central), QStringLiteral("HexView"));
    layout->addWidget(hexView_, 1);
    setCentralWidget(central);
    setFocusProxy(hexView_);
}

void HexEditorWindow::buildFileMenu()
{
    fileMenu_ = named(menuBar()->addMenu(Str::kMenuFile), QStringLiteral("MenuFile"));
    openItem_ = addItem(fileMenu_, "menuOpen", Str::kMenuOpen, QKeySequence::Open);
    saveItem_ = addItem(fileMenu_, "menuSave", Str::kMenuSave, QKeySequence::Save);
    saveAsItem_ = addItem(fileMenu_, "menuSaveAs", Str::kMenuSaveAs);
    fileMenu_->addSeparator();
    exitItem_ = addItem(fileMenu_, "menuExit", Str::kExit);

    // A file error ends in the application's "Error" box here: it must not unwind through Qt's signal code.
    connect(openItem_, &QAction::triggered, this, [this] { KestovaApplication::guarded([this] { openFile(); }); });
    connect(saveItem_, &QAction::triggered, this, &HexEditorWindow::save);
    connect(saveAsItem_, &QAction::triggered, this, &HexEditorWindow::saveAs);
    connect(exitItem_, &QAction::triggered, this, &QWidget::close);
}

void HexEditorWindow::buildEditMenu()
{
    editMenu_ = named(menuBar()->addMenu(Str::kMenuEdit), QStringLiteral("MenuEdit"));
    QAction* undo = addItem(editMenu_, "menuUndo", Str::kMenuUndo, QKeySequence::Undo);
    QAction* redo = addItem(editMenu_, "menuRedo", Str::kMenuRedo, QKeySequence::Redo);
    // Ctrl+Y as well, wherever the platform's Redo is another key.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    if (!redoKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Y)))
        redoKeys << QKeySequence(Qt::CTRL | Qt::Key_Y);
    redo->setShortcuts(redoKeys);
    editMenu_->addSeparator();
    QAction* cut = addItem(editMenu_, "menuCut", Str::kMenuCut, QKeySequence::Cut);
    QAction* copy = addItem(editMenu_, "menuCopy", Str::kMenuCopy, QKeySequence::Copy);
    QAction* paste = addItem(editMenu_, "menuPaste", Str::kMenuPaste, QKeySequence::Paste);
    QAction* all = addItem(editMenu_, "menuSelectAll", Str::kMenuSelectAll, QKeySequence::SelectAll);
    editMenu_->addSeparator();
    QAction* goTo = addItem(editMenu_, "menuGoTo", Str::kMenuGoTo, QKeySequence(Qt::CTRL | Qt::Key_G));
    findItem_ = addItem(editMenu_, "menuFind", Str::kMenuFind, QKeySequence(Qt::CTRL | Qt::Key_F));
    QAction* findNextItem = addItem(editMenu_, "menuFindNext", Str::kMenuFindNext, QKeySequence(Qt::Key_F3));

    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(hexView_->undoStack(), &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(hexView_->undoStack(), &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(undo, &QAction::triggered, hexView_, &HexView::undo);
    connect(redo, &QAction::triggered, hexView_, &HexView::redo);
    connect(cut, &QAction::triggered, hexView_, &HexView::cut);
    connect(copy, &QAction::triggered, hexView_, &HexView::copy);
    connect(paste, &QAction::triggered, hexView_, &HexView::paste);
    connect(all, &QAction::triggered, hexView_, &HexView::selectAll);
    connect(goTo, &QAction::triggered, this, [this] {
        bool ok = false;
        const QString text = QInputDialog::getText(this, Str::kGoToCaption, Str::kGoToPrompt, QLineEdit::Normal,
                                                   QString(), &ok);
        if (ok && !text.trimmed().isEmpty())
            goToOffset(text);
    });
    connect(findItem_, &QAction::triggered, this, [this] {
        HexFindDialog dialog(this);
        dialog.setSearch(searchText_, searchAsText_);
        if (dialog.exec() == QDialog::Accepted && !dialog.text().isEmpty())
            find(dialog.text(), dialog.asText());
    });
    connect(findNextItem, &QAction::triggered, this, &HexEditorWindow::findNext);
}

void HexEditorWindow::buildStatusBar()
{
    offsetLabel_ = named(new QLabel(this), QStringLiteral("StatusOffset"));
    sizeLabel_ = named(new QLabel(this), QStringLiteral("StatusSize"));
    fileLabel_ = named(new QLabel(this), QStringLiteral("StatusFile"));
    statusBar()->addWidget(offsetLabel_, 2);
    statusBar()->addWidget(sizeLabel_, 1);
    statusBar()->addWidget(fileLabel_, 3);

    const int width = int(hexView_->fontMetrics().horizontalAdvance(QString(84, QLatin1Char('0'))));
    resize(width + 40, 520);
}

// ---- File menu -------------------------------------------------------------

void HexEditorWindow::openFile()
{
    // Opening over unsaved changes would lose them without a word.
    if (!settleChanges())
        return;
    const QString name = openDialog_->exec();
    if (!name.isEmpty())
        openFile(name);
}

void HexEditorWindow::openFile(const QString& name)
{
    if (fileSizeByName(name) > kMaxImageFileSize) {
        showError(fileSizeTooBigText(name));
        return;
    }
    hexView_->loadFromFile(name);
}

void HexEditorWindow::showBytes(const QByteArray& bytes, const QString& title, qint64 caret)
{
    show();
    raise();
    activateWindow();
    if (!settleChanges())
        return;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    hexView_->loadFromStream(buffer);
    contentTitle_ = title;
    hexView_->setCaretPosition(std::clamp<qint64>(caret, 0, bytes.size()));
    updateTitle();
}

void HexEditorWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (data->hasUrls() && data->urls().size() == 1 && data->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void HexEditorWindow::dropEvent(QDropEvent* event)
{
    const QString name = event->mimeData()->urls().value(0).toLocalFile();
    if (name.isEmpty() || !QFileInfo(name).isFile())
        return;
    event->acceptProposedAction();
    // Opening over unsaved changes would lose them without a word.
    if (settleChanges())
        KestovaApplication::guarded([&] { openFile(name); });
}

bool HexEditorWindow::save()
{
    const QString name = hexView_->fileName();
    return name.isEmpty() ? saveAs() : saveTo(name);
}

bool HexEditorWindow::saveAs()
{
    const QString name = saveDialog_->exec();
    return !name.isEmpty() && saveTo(name);
}

bool HexEditorWindow::saveTo(const QString& name)
{
    try {
        hexView_->saveToFile(name, true);
        return true;
    } catch (const std::exception& e) {
        KestovaApplication::reportError(errorText(e));
        return false;
    }
}

bool HexEditorWindow::settleChanges()
{
    if (!hexView_->isModified())
        return true;
    QMessageBox box(QMessageBox::Information, Str::kAttentionCaption, Str::kSaveChangesQuery,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    switch (box.exec()) {
    case QMessageBox::Yes: return save();  // a failed or cancelled save keeps the changes on screen
    case QMessageBox::No: return true;
    default: return false;
    }
}

void HexEditorWindow::closeEvent(QCloseEvent* event)
{
    if (!settleChanges()) {
        event->ignore();
        return;
    }
    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    hexView_->loadFromStream(empty);
    event->accept();
}

bool HexEditorWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != this && event->type() == QEvent::Close && isVisible() && !close()) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Edit menu -------------------------------------------------------------

void HexEditorWindow::goToOffset(const QString& text)
{
    QString digits = text.trimmed();
    bool ok = false;
    qint64 offset = -1;
    if (digits.startsWith(QLatin1Char('#'))) {
        offset = digits.mid(1).toLongLong(&ok, 10);
    } else {
        if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            digits.remove(0, 2);
        else if (digits.endsWith(QLatin1Char('h'), Qt::CaseInsensitive))
            digits.chop(1);
        offset = digits.toLongLong(&ok, 16);
    }
    const qint64 size = hexView_->buffer().size();
    if (!ok || offset < 0)
        showError(QString::fromUtf8(Str::kNotAnOffset).arg(text.trimmed()));
    else if (offset > size)
        showError(QString::fromUtf8(Str::kOffsetOutOfRange).arg(text.trimmed()).arg(size));
    else
        hexView_->setCaretPosition(offset);
}

void HexEditorWindow::find(const QString& text, bool asText)
{
    searchText_ = text;
    searchAsText_ = asText;
    findFrom(hexView_->selectionStart());
}

void HexEditorWindow::findNext()
{
    if (searchText_.isEmpty()) {
        findItem_->trigger();
        return;
    }
    findFrom(hexView_->selectionStart() + 1);
}

void HexEditorWindow::findFrom(qint64 from)
{
    QByteArray pattern;
    if (searchAsText_)
        pattern = searchText_.toLatin1();  // the text column shows bytes as Latin-1
    else if (!HexView::parseHexBytes(searchText_, &pattern)) {
        showError(QString::fromUtf8(Str::kNotHexBytes).arg(searchText_));
        return;
    }
    if (!hexView_->findFrom(pattern, from)) {
        QMessageBox box(QMessageBox::Information, Str::kFindCaption, QString::fromUtf8(Str::kNotFound).arg(searchText_),
                        QMessageBox::Ok, this);
        box.exec();
    }
}

void HexEditorWindow::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, Str::kErrorCaption, text, QMessageBox::Ok, this);
    box.exec();
}

void HexEditorWindow::updateStatus()
{
    const qint64 caret = hexView_->caretPosition();
    QString where = QString::fromUtf8(Str::kCaretOffset)
                        .arg(QStringLiteral("%1").arg(caret, 8, 16, QLatin1Char('0')).toUpper())
                        .arg(caret);
    if (hexView_->selectionLength() > 0)
        where += QStringLiteral("   ") + QString::fromUtf8(Str::kSelectedBytes).arg(hexView_->selectionLength());
    offsetLabel_->setText(where);
    sizeLabel_->setText(QString::fromUtf8(Str::kSizeBytes).arg(hexView_->buffer().size()));
    const QString name = hexView_->fileName();
    fileLabel_->setText((name.isEmpty() ? QString::fromUtf8(Str::kUntitled) : QFileInfo(name).fileName())
                        + (hexView_->isModified() ? QStringLiteral(" *") : QString()));
    fileLabel_->setToolTip(name);
}

// "firmware.bin * - HEX Editor": the file, or what the bytes are, and a star while
// changed; an empty editor keeps its plain caption.
void HexEditorWindow::updateTitle()
{
    const QString name = hexView_->fileName();
    const bool modified = hexView_->isModified();
    QString what = !name.isEmpty() ? QFileInfo(name).fileName() : contentTitle_;
    if (what.isEmpty() && modified)
        what = QString::fromUtf8(Str::kUntitled);
    if (modified)
        what += QStringLiteral(" *");
    const QString caption = QString::fromUtf8(Str::kHexEditorCaption);
    setWindowTitle(what.isEmpty() ? caption : QStringLiteral("%1 - %2").arg(what, caption));
    if (name.isEmpty() && !contentTitle_.isEmpty())
        fileLabel_->setText(contentTitle_ + (modified ? QStringLiteral(" *") : QString()));
}
