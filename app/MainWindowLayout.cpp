// MainWindow's layout: every control with the captions the layout carries
// (Portuguese where the English texts replace them at start-up), and those English
// texts.
#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AvrLockGroup.h"
#include "app/FileDialog.h"
#include "app/FuseBitsGroup.h"
#include "app/MainWindow.h"
#include "app/Named.h"
#include "app/StatusPanel.h"
#include "target/ChipCatalogue.h"
#include "view/Strings.h"

namespace {

QAction* makeItem(QMenu* menu, const char* name, const QString& caption, bool checkable)
{
    QAction* action = named(menu->addAction(caption), QLatin1String(name));
    action->setCheckable(checkable);
    return action;
}

// The text with an Alt mnemonic on the first occurrence of letter.
QString mnemonic(const char* text, QChar letter)
{
    QString caption = QString::fromUtf8(text);
    const qsizetype at = caption.indexOf(letter);
    if (at >= 0)
        caption.insert(at, QLatin1Char('&'));
    return caption;
}

constexpr int kClassicChips = 6;
const char* const kChipItemNames[kClassicChips] = {"menuAT89S8252", "menuAT89S8253", "menuAT89S53",
                                                   "menuAT89S52",   "menuAT89S51",   "menuATMEGA8"};

}  // namespace

void MainWindow::buildLayout()
{
    setObjectName(QStringLiteral("Tirel"));
    setWindowTitle(QStringLiteral("Gravador ISP"));

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);

    titleLabel_ = named(new QLabel(QStringLiteral("Gravador ISP"), central), QStringLiteral("LabelTitle"));
    QFont titleFont = titleLabel_->font();
    titleFont.setPointSize(titleFont.pointSize() + 8);
    titleFont.setBold(true);
    titleLabel_->setFont(titleFont);
    outer->addWidget(titleLabel_);
    // The file the next Write writes: name, size, form and modification time.
    chosenFileLabel_ = named(new QLabel(central), QStringLiteral("LabelChosenFile"));
    chosenFileLabel_->setTextFormat(Qt::PlainText);
    chosenFileLabel_->setMinimumWidth(1);  // a long name must not widen the window
    outer->addWidget(chosenFileLabel_);

    auto* top = new QHBoxLayout;
    outer->addLayout(top);

    // Memory: the four operations and the flash / EEPROM choice.
    auto* memory = named(new QGroupBox(QStringLiteral("Flash/eeprom:"), central), QStringLiteral("GroupMemory"));
    auto* memoryLayout = new QGridLayout(memory);
    writeButton_ = named(new QPushButton(QStringLiteral("Gravar"), memory), QStringLiteral("ButtonWrite"));
    readButton_ = named(new QPushButton(QStringLiteral("Ler"), memory), QStringLiteral("ButtonRead"));
    compareButton_ = named(new QPushButton(QStringLiteral("Comparar"), memory), QStringLiteral("ButtonCompare"));
    eraseButton_ = named(new QPushButton(QStringLiteral("Apagar"), memory), QStringLiteral("ButtonErase"));
    flashRadio_ = named(new QRadioButton(QStringLiteral("flash"), memory), QStringLiteral("RadioFlash"));
    flashRadio_->setChecked(true);
    eepromRadio_ = named(new QRadioButton(QStringLiteral("eeprom"), memory), QStringLiteral("RadioEeprom"));
    memoryLayout->addWidget(writeButton_, 0, 0);
    memoryLayout->addWidget(readButton_, 0, 1);
    memoryLayout->addWidget(compareButton_, 1, 0);
    memoryLayout->addWidget(eraseButton_, 1, 1);
    memoryLayout->addWidget(flashRadio_, 2, 0);
    memoryLayout->addWidget(eepromRadio_, 2, 1);
    top->addWidget(memory);

    auto* locks = new QVBoxLayout;
    top->addLayout(locks);

    // 89S lock level: the list and its button.
    auto* lockLevel = named(new QGroupBox(QStringLiteral("Lock bits (89S):"), central), QStringLiteral("GroupLock89S"));
    auto* lockLevelLayout = new QHBoxLayout(lockLevel);
    lockLevelList_ = named(new QComboBox(lockLevel), QStringLiteral("ComboLock89S"));
    lockLevelList_->addItems(
        {QStringLiteral("L.B.: (89S)"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    lockLevelList_->setCurrentIndex(1);
    lockLevelButton_ = named(new QPushButton(QStringLiteral("Travar"), lockLevel), QStringLiteral("ButtonLock89S"));
    lockLevelLayout->addWidget(lockLevelList_);
    lockLevelLayout->addWidget(lockLevelButton_);
    locks->addWidget(lockLevel);

    avrLockBits_ = new AvrLockGroup(central);
    locks->addWidget(avrLockBits_);

    fuseBits_ = new FuseBitsGroup(central);
    outer->addWidget(fuseBits_);

    auto* bottom = new QHBoxLayout;
    gauge_ = named(new QProgressBar(central), QStringLiteral("Gauge"));
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    gauge_->setTextVisible(false);
    cancelButton_ = named(new QPushButton(QStringLiteral("C"), central), QStringLiteral("ButtonCancel"));
    cancelButton_->setFixedWidth(cancelButton_->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 12);
    cancelButton_->setToolTip(QStringLiteral("Interromper leitura/gravação"));
    helpButton_ = named(new QPushButton(QStringLiteral("Ajuda"), central), QStringLiteral("ButtonHelp"));
    exitButton_ = named(new QPushButton(QStringLiteral("Sair"), central), QStringLiteral("ButtonExit"));
    bottom->addWidget(gauge_, 1);
    bottom->addWidget(cancelButton_);
    bottom->addWidget(helpButton_);
    bottom->addWidget(exitButton_);
    outer->addLayout(bottom);
    setCentralWidget(central);

    buildStatusBar();
    buildMenus();
    // Wide enough for a run's summary beside the byte count.
    resize(std::max(sizeHint().width(), 820), sizeHint().height());

    closeTimer_ = named(new QTimer(this), QStringLiteral("CloseTimer"));
    closeTimer_->setInterval(100);
    runTimeTimer_ = named(new QTimer(this), QStringLiteral("RunTimeTimer"));
    runTimeTimer_->setInterval(500);

    openDialog_ = std::make_unique<FileDialog>(this, QFileDialog::AcceptOpen, QStringLiteral("OpenDialog"));
    saveDialog_ = std::make_unique<FileDialog>(this, QFileDialog::AcceptSave, QStringLiteral("SaveDialog"));
}

// Phase, progress, the run's time and summary, port. The first two are as wide as
// the longest text they show; the others share the rest and elide, with the whole
// text as the tooltip.
void MainWindow::buildStatusBar()
{
    const int widths[3] = {130, 125, 60};
    for (int i = 0; i < 3; ++i) {
        StatusPanel* panel = named(new StatusPanel(this), QStringLiteral("StatusPanel%1").arg(i));
        panel->setMinimumWidth(widths[i]);
        statusPanels_[i] = panel;
    }
    const auto latin = [](std::initializer_list<const char*> texts) {
        QStringList list;
        for (const char* text : texts)
            list << QString::fromUtf8(text);
        return list;
    };
    statusPanels_[0]->expectTexts(
        latin({Str::kReady, Str::kWritingAndVerifying, Str::kErasingMemory, Str::kCommunicationError,
               Str::kDevergenceInData, Str::kNothingWritten, Str::kFuseBitsProgrammed}));
    statusPanels_[1]->expectTexts(
        {QStringLiteral("65536 %1 65536%2").arg(QLatin1String(Str::kOf), QLatin1String(Str::kBytes)),
         QStringLiteral("65536 %1").arg(QLatin1String(Str::kDifferentBytes))});
    runPanel_ = named(new StatusPanel(this), QStringLiteral("StatusPanelRun"));
    runPanel_->setMinimumWidth(60);
    statusBar()->addWidget(statusPanels_[0], 0);
    statusBar()->addWidget(statusPanels_[1], 0);
    statusBar()->addWidget(runPanel_, 3);
    statusBar()->addWidget(statusPanels_[2], 1);  // long device paths must stay readable
    statusBar()->setSizeGripEnabled(false);
}

void MainWindow::buildMenus()
{
    chipMenu_ = named(menuBar()->addMenu(QStringLiteral("Chip")), QStringLiteral("MenuChip"));
    // The chip table's first six entries, in its order: the menu the configuration
    // file's CHIP values 0..5 name. The chips after them sit in a submenu of their own,
    // and one check mark goes through both.
    moreChipsMenu_ = named(new QMenu(QStringLiteral("Mais chips"), chipMenu_), QStringLiteral("MenuMoreChips"));
    for (int i = 0; i < chipCount(); ++i) {
        const bool classic = i < kClassicChips;
        const QByteArray name = classic ? QByteArray(kChipItemNames[i])
                                        : "menu" + QByteArray(chipAt(i)->keyword).toUpper();
        chipItems_.push_back(
            makeItem(classic ? chipMenu_ : moreChipsMenu_, name.constData(), QLatin1String(chipAt(i)->caption), true));
        chipItems_.back()->setData(i);  // the entry's index: for the first six, the "CHIP" value
    }
    chipMenu_->addMenu(moreChipsMenu_);
    chipMenu_->addSeparator();
    detectItem_ = makeItem(chipMenu_, "menuDetect", QString::fromUtf8(Str::kDetect) + QStringLiteral("..."), false);
    // No entry is checked until one is selected: a stored CHIP outside the table
    // selects nothing, and the menu must not claim otherwise.

    writeModeMenu_ = named(menuBar()->addMenu(QStringLiteral("Modo de gravação")), QStringLiteral("MenuWriteMode"));
    normalModeItem_ = makeItem(writeModeMenu_, "menuNormal", QStringLiteral("Normal"), true);
    differentialModeItem_ = makeItem(writeModeMenu_, "menuDiferencial", QStringLiteral("Diferencial"), true);
    fastModeItem_ = makeItem(writeModeMenu_, "menuRapida", QStringLiteral("Rápida"), true);
    normalModeItem_->setChecked(true);

    toolsMenu_ = named(menuBar()->addMenu(QStringLiteral("Ferramentas")), QStringLiteral("MenuTools"));
    hexToBinItem_ = makeItem(toolsMenu_, "menuHexToBin", QStringLiteral("Conversor HEX -> BIN"), false);
    binToHexItem_ = makeItem(toolsMenu_, "menuBinToHex", QStringLiteral("Conversor BIN -> HEX"), false);
    hexEditorItem_ = makeItem(toolsMenu_, "menuHexEditor", QStringLiteral("Editor hexadecimal"), false);

    portMenu_ = named(menuBar()->addMenu(QStringLiteral("Porta")), QStringLiteral("MenuPort"));
    choosePortItem_ = makeItem(portMenu_, "menuChoosePort", QStringLiteral("Escolher porta serial"), false);

    helpMenu_ = named(menuBar()->addMenu(QStringLiteral("Ajuda")), QStringLiteral("MenuHelp"));
    helpItem_ = makeItem(helpMenu_, "menuHelpItem", QStringLiteral("Ajuda"), false);
    schematicItem_ = makeItem(helpMenu_, "menuSchematic", QStringLiteral("Esquema"), false);
    aboutItem_ = makeItem(helpMenu_, "menuAbout", QStringLiteral("Sobre..."), false);
    helpItem_->setShortcut(QKeySequence::HelpContents);

    buildFileMenu();
}

// The English texts, each with its Alt mnemonic (the & is not part of the text).
void MainWindow::applyEnglishCaptions()
{
    writeButton_->setText(mnemonic(Str::kWrite, u'W'));
    readButton_->setText(mnemonic(Str::kRead, u'R'));
    compareButton_->setText(mnemonic(Str::kCompare, u'p'));
    eraseButton_->setText(mnemonic(Str::kErase, u'E'));
    lockLevelButton_->setText(mnemonic(Str::kLock, u'L'));
    fuseBits_->setButtonTexts(mnemonic(Str::kRead, u'd'), mnemonic(Str::kWrite, u'i'));
    avrLockBits_->setReadButtonText(mnemonic(Str::kRead, u'a'));
    // The group keeps its layout caption; only its Alt letter is added. It shares it
    // with the 89S "Lock", which is disabled whenever this one is usable.
    if (auto* avrLock = avrLockBits_->findChild<QPushButton*>(QStringLiteral("ButtonLockAvr")))
        avrLock->setText(mnemonic(Str::kLock, u'L'));
    exitButton_->setText(mnemonic(Str::kExit, u'x'));
    helpButton_->setText(mnemonic(Str::kHelp, u'H'));
    fileMenu_->setTitle(mnemonic(Str::kMenuFileMain, u'F'));
    chipMenu_->setTitle(mnemonic(Str::kMenuChip, u'C'));
    moreChipsMenu_->setTitle(mnemonic(Str::kMenuMoreChips, u'M'));
    writeModeMenu_->setTitle(mnemonic(Str::kMenuWriteMode, u'M'));
    toolsMenu_->setTitle(mnemonic(Str::kMenuTools, u'T'));
    helpMenu_->setTitle(mnemonic(Str::kMenuHelp, u'H'));
    normalModeItem_->setText(mnemonic(Str::kModeNormal, u'N'));
    fastModeItem_->setText(mnemonic(Str::kModeFast, u'F'));
    differentialModeItem_->setText(mnemonic(Str::kModeDifferential, u'D'));
    hexToBinItem_->setText(mnemonic(Str::kHexToBin, u'H'));
    binToHexItem_->setText(mnemonic(Str::kBinToHex, u'B'));
    hexEditorItem_->setText(mnemonic(Str::kHexEditor, u'e'));
    helpItem_->setText(mnemonic(Str::kMenuHelpItem, u'H'));
    schematicItem_->setText(mnemonic(Str::kSchematic, u'S'));
    aboutItem_->setText(mnemonic(Str::kAbout, u'A'));
    portMenu_->setTitle(mnemonic(Str::kMenuPort, u'o'));
    choosePortItem_->setText(mnemonic(Str::kChooseSerialPort, u'C'));
    chooseFileItem_->setText(mnemonic(Str::kChooseFile, u'C'));
    writeItem_->setText(mnemonic(Str::kWrite, u'W'));
    readItem_->setText(mnemonic(Str::kRead, u'R'));
    readToEditorItem_->setText(mnemonic(Str::kReadToEditor, u't'));
    compareItem_->setText(mnemonic(Str::kCompare, u'p'));
    eraseItem_->setText(mnemonic(Str::kErase, u'E') + QStringLiteral("..."));
    recentMenu_->setTitle(mnemonic(Str::kRecentFiles, u'f'));
    exitItem_->setText(mnemonic(Str::kExit, u'x'));
    detectItem_->setText(mnemonic(Str::kDetect, u'D') + QStringLiteral("..."));
    titleLabel_->setText(Str::kProgramName);
    setWindowTitle(Str::kProgramName);
    cancelButton_->setToolTip(Str::kCancelHint);
}
