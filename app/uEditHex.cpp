// TFormEditHex: the window's layout, its menus and the file and search commands.
#include "app/uEditHex.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QUndoStack>
#include <QVBoxLayout>

#include "app/FileDialog.h"
#include "app/HexFindDialog.h"
#include "app/HexView.h"
#include "app/KestovaApplication.h"
#include "image/ImageBuffer.h"
#include "view/Strings.h"

namespace {

QAction* addItem(QMenu* menu, const char* text, const QKeySequence& key = {})
{
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setShortcut(key);
    return action;
}

}  // namespace

TFormEditHex::TFormEditHex(QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      OpenDialog1(std::make_unique<FileDialog>(this, QFileDialog::AcceptOpen, QStringLiteral("HexOpenDialog"))),
      SaveDialog1(std::make_unique<FileDialog>(this, QFileDialog::AcceptSave, QStringLiteral("HexSaveDialog")))
{
    buildForm();
    buildEditMenu();
    // A file error ends in the application's "Error" box here: it must not unwind through Qt's signal code.
    connect(menuOpen, &QAction::triggered, this, [this] { KestovaApplication::guarded([this] { Open1Click(); }); });
    connect(menuSave, &QAction::triggered, this, &TFormEditHex::Save1Click);
    connect(menuSaveAs, &QAction::triggered, this, &TFormEditHex::SaveAs1Click);
    connect(menuExit, &QAction::triggered, this, &QWidget::close);
    connect(CheckInsert, &QCheckBox::clicked, HexEditor1, &HexView::SetInsertMode);
    connect(CheckReadOnly, &QCheckBox::clicked, HexEditor1, &HexView::SetReadOnlyView);
    // Typing goes on where it was after a click on either box.
    for (QCheckBox* box : {CheckInsert, CheckReadOnly})
        connect(box, &QCheckBox::clicked, HexEditor1, [this] { HexEditor1->setFocus(); });
    // The Insert key switches the mode in the widget; the box follows.
    connect(HexEditor1, &HexView::insertModeChanged, CheckInsert, &QCheckBox::setChecked);
    connect(HexEditor1, &HexView::caretMoved, this, &TFormEditHex::updateStatus);
    connect(HexEditor1, &HexView::sizeChanged, this, &TFormEditHex::updateStatus);
    connect(HexEditor1, &HexView::modifiedChanged, this, &TFormEditHex::updateStatus);
    connect(HexEditor1, &HexView::fileNameChanged, this, &TFormEditHex::updateStatus);
    updateStatus();
}

void TFormEditHex::buildForm()
{
    setObjectName(QStringLiteral("FormEditHex"));
    setWindowTitle(Str::kHexEditorCaption);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    auto* strip = new QHBoxLayout;
    CheckInsert = new QCheckBox(Str::kInsertMode, central);
    CheckInsert->setObjectName(QStringLiteral("CheckInsert"));
    CheckReadOnly = new QCheckBox(Str::kReadOnlyMode, central);
    CheckReadOnly->setObjectName(QStringLiteral("CheckReadOnly"));
    strip->addWidget(CheckInsert);
    strip->addSpacing(16);
    strip->addWidget(CheckReadOnly);
    strip->addStretch();
    layout->addLayout(strip);
    HexEditor1 = new HexView(central);
    HexEditor1->setObjectName(QStringLiteral("HexEditor1"));
    layout->addWidget(HexEditor1, 1);
    setCentralWidget(central);
    setFocusProxy(HexEditor1);

    MenuFile = menuBar()->addMenu(Str::kMenuFile);
    menuOpen = addItem(MenuFile, Str::kMenuOpen, QKeySequence::Open);
    menuSave = addItem(MenuFile, Str::kMenuSave, QKeySequence::Save);
    menuSaveAs = addItem(MenuFile, Str::kMenuSaveAs);
    MenuFile->addSeparator();
    menuExit = addItem(MenuFile, Str::kExit);

    StatusOffset = new QLabel(this);
    StatusSize = new QLabel(this);
    StatusFile = new QLabel(this);
    statusBar()->addWidget(StatusOffset, 2);
    statusBar()->addWidget(StatusSize, 1);
    statusBar()->addWidget(StatusFile, 3);

    const int width = int(HexEditor1->fontMetrics().horizontalAdvance(QString(84, QLatin1Char('0'))));
    resize(width + 40, 520);
}

void TFormEditHex::buildEditMenu()
{
    MenuEdit = menuBar()->addMenu(Str::kMenuEdit);
    menuUndo = addItem(MenuEdit, Str::kMenuUndo, QKeySequence::Undo);
    menuRedo = addItem(MenuEdit, Str::kMenuRedo, QKeySequence::Redo);
    MenuEdit->addSeparator();
    QAction* cut = addItem(MenuEdit, Str::kMenuCut, QKeySequence::Cut);
    QAction* copy = addItem(MenuEdit, Str::kMenuCopy, QKeySequence::Copy);
    QAction* paste = addItem(MenuEdit, Str::kMenuPaste, QKeySequence::Paste);
    QAction* all = addItem(MenuEdit, Str::kMenuSelectAll, QKeySequence::SelectAll);
    MenuEdit->addSeparator();
    menuGoTo = addItem(MenuEdit, Str::kMenuGoTo, QKeySequence(Qt::CTRL | Qt::Key_G));
    menuFind = addItem(MenuEdit, Str::kMenuFind, QKeySequence(Qt::CTRL | Qt::Key_F));
    menuFindNext = addItem(MenuEdit, Str::kMenuFindNext, QKeySequence(Qt::Key_F3));

    menuUndo->setEnabled(false);
    menuRedo->setEnabled(false);
    connect(HexEditor1->undoStack(), &QUndoStack::canUndoChanged, menuUndo, &QAction::setEnabled);
    connect(HexEditor1->undoStack(), &QUndoStack::canRedoChanged, menuRedo, &QAction::setEnabled);
    connect(menuUndo, &QAction::triggered, HexEditor1, &HexView::undo);
    connect(menuRedo, &QAction::triggered, HexEditor1, &HexView::redo);
    connect(cut, &QAction::triggered, HexEditor1, &HexView::cut);
    connect(copy, &QAction::triggered, HexEditor1, &HexView::copy);
    connect(paste, &QAction::triggered, HexEditor1, &HexView::paste);
    connect(all, &QAction::triggered, HexEditor1, &HexView::selectAll);
    connect(menuGoTo, &QAction::triggered, this, [this] {
        bool ok = false;
        const QString text = QInputDialog::getText(this, Str::kGoToCaption, Str::kGoToPrompt, QLineEdit::Normal,
                                                   QString(), &ok);
        if (ok && !text.trimmed().isEmpty())
            goToOffset(text);
    });
    connect(menuFind, &QAction::triggered, this, [this] {
        HexFindDialog dialog(this);
        dialog.setSearch(searchText_, searchAsText_);
        if (dialog.exec() == QDialog::Accepted && !dialog.text().isEmpty())
            find(dialog.text(), dialog.asText());
    });
    connect(menuFindNext, &QAction::triggered, this, &TFormEditHex::findNextClick);
}

// ---- File menu -------------------------------------------------------------

TFormEditHex::~TFormEditHex() = default;

void TFormEditHex::Open1Click()
{
    // Opening over unsaved changes would lose them without a word.
    if (!settleChanges())
        return;
    const QString name = OpenDialog1->exec();
    if (!name.isEmpty())
        openFile(name);
}

void TFormEditHex::openFile(const QString& name)
{
    if (FileSizeByName(name) > kMaxImageFileSize) {
        showError(Str::kFileSizeTooBig);
        return;
    }
    HexEditor1->LoadFromFile(name);
}

void TFormEditHex::Save1Click() { save(); }

void TFormEditHex::SaveAs1Click() { saveAs(); }

bool TFormEditHex::save()
{
    const QString name = HexEditor1->FileName();
    return name.isEmpty() ? saveAs() : saveTo(name);
}

bool TFormEditHex::saveAs()
{
    const QString name = SaveDialog1->exec();
    return !name.isEmpty() && saveTo(name);
}

bool TFormEditHex::saveTo(const QString& name)
{
    try {
        HexEditor1->SaveToFile(name, true);
        return true;
    } catch (const std::exception& e) {
        KestovaApplication::reportError(QString::fromUtf8(e.what()));
        return false;
    }
}

bool TFormEditHex::settleChanges()
{
    if (!HexEditor1->Modified())
        return true;
    QMessageBox box(QMessageBox::Information, Str::kAttentionCaption, Str::kSaveChangesQuery,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    switch (box.exec()) {
    case QMessageBox::Yes: return save();  // a failed or cancelled save keeps the changes on screen
    case QMessageBox::No: return true;
    default: return false;
    }
}

void TFormEditHex::closeEvent(QCloseEvent* event)
{
    if (!settleChanges()) {
        event->ignore();
        return;
    }
    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    HexEditor1->LoadFromStream(empty);
    event->accept();
}

bool TFormEditHex::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != this && event->type() == QEvent::Close && isVisible() && !close()) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Edit menu -------------------------------------------------------------

void TFormEditHex::goToOffset(const QString& text)
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
    const qint64 size = HexEditor1->buffer().size();
    if (!ok || offset < 0)
        showError(QString::fromUtf8(Str::kNotAnOffset).arg(text.trimmed()));
    else if (offset > size)
        showError(QString::fromUtf8(Str::kOffsetOutOfRange).arg(text.trimmed()).arg(size));
    else
        HexEditor1->setCaretPosition(offset);
}

void TFormEditHex::find(const QString& text, bool asText)
{
    searchText_ = text;
    searchAsText_ = asText;
    findFrom(HexEditor1->selectionStart());
}

void TFormEditHex::findNextClick()
{
    if (searchText_.isEmpty()) {
        menuFind->trigger();
        return;
    }
    findFrom(HexEditor1->selectionStart() + 1);
}

void TFormEditHex::findFrom(qint64 from)
{
    QByteArray pattern;
    if (searchAsText_)
        pattern = searchText_.toLatin1();  // the text column shows bytes as Latin-1
    else if (!HexView::parseHexBytes(searchText_, &pattern)) {
        showError(QString::fromUtf8(Str::kNotHexBytes).arg(searchText_));
        return;
    }
    if (!HexEditor1->findFrom(pattern, from)) {
        QMessageBox box(QMessageBox::Information, Str::kFindCaption,
                        QString::fromUtf8(Str::kNotFound).arg(searchText_), QMessageBox::Ok, this);
        box.exec();
    }
}

void TFormEditHex::showError(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, Str::kErrorCaption, text, QMessageBox::Ok, this);
    box.exec();
}

void TFormEditHex::updateStatus()
{
    const qint64 caret = HexEditor1->caretPosition();
    QString where = QString::fromUtf8(Str::kCaretOffset)
                        .arg(QStringLiteral("%1").arg(caret, 8, 16, QLatin1Char('0')).toUpper())
                        .arg(caret);
    if (HexEditor1->selectionLength() > 0)
        where += QStringLiteral("   ") + QString::fromUtf8(Str::kSelectedBytes).arg(HexEditor1->selectionLength());
    StatusOffset->setText(where);
    StatusSize->setText(QString::fromUtf8(Str::kSizeBytes).arg(HexEditor1->buffer().size()));
    const QString name = HexEditor1->FileName();
    StatusFile->setText((name.isEmpty() ? QString::fromUtf8(Str::kUntitled) : QFileInfo(name).fileName())
                        + (HexEditor1->Modified() ? QStringLiteral(" *") : QString()));
    StatusFile->setToolTip(name);
}
