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

#include "app/AvrLockGroup.h"
#include "app/FileDialog.h"
#include "app/FuseBitsGroup.h"
#include "app/MainWindow.h"
#include "app/Named.h"
#include "target/ChipCatalogue.h"
#include "view/Strings.h"

namespace {

QAction* makeItem(QMenu* menu, const char* name, const QString& caption, bool checkable)
{
    QAction* action = named(menu->addAction(caption), QLatin1String(name));
    action->setCheckable(checkable);
    return action;
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
    auto* lockLevel =
        named(new QGroupBox(QStringLiteral("Lock bits (89S):"), central), QStringLiteral("GroupLock89S"));
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

    closeTimer_ = named(new QTimer(this), QStringLiteral("CloseTimer"));
    closeTimer_->setInterval(100);

    openDialog_ = std::make_unique<FileDialog>(this, QFileDialog::AcceptOpen, QStringLiteral("OpenDialog"));
    saveDialog_ = std::make_unique<FileDialog>(this, QFileDialog::AcceptSave, QStringLiteral("SaveDialog"));
}

// Phase, progress, port.
void MainWindow::buildStatusBar()
{
    const int widths[3] = {130, 125, 60};
    for (int i = 0; i < 3; ++i) {
        QLabel* panel = named(new QLabel(this), QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        if (i < 2)
            panel->setFixedWidth(widths[i]);
        else
            panel->setMinimumWidth(widths[i]);  // long device paths must stay readable
        statusBar()->addWidget(panel, i == 2 ? 1 : 0);
        statusPanels_[i] = panel;
    }
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
        const QByteArray name = classic ? QByteArray(kChipItemNames[i]) : "menu" + QByteArray(chipAt(i)->keyword).toUpper();
        chipItems_.push_back(makeItem(classic ? chipMenu_ : moreChipsMenu_, name.constData(),
                                      QLatin1String(chipAt(i)->caption), true));
        chipItems_.back()->setData(i);  // the entry's index: for the first six, the "CHIP" value
    }
    chipMenu_->addMenu(moreChipsMenu_);
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
}

void MainWindow::applyEnglishCaptions()
{
    writeButton_->setText(Str::kWrite);
    readButton_->setText(Str::kRead);
    compareButton_->setText(Str::kCompare);
    eraseButton_->setText(Str::kErase);
    lockLevelButton_->setText(Str::kLock);
    fuseBits_->setButtonTexts(Str::kRead, Str::kWrite);
    avrLockBits_->setReadButtonText(Str::kRead);
    exitButton_->setText(Str::kExit);
    helpButton_->setText(Str::kHelp);
    chipMenu_->setTitle(Str::kMenuChip);
    moreChipsMenu_->setTitle(Str::kMenuMoreChips);
    writeModeMenu_->setTitle(Str::kMenuWriteMode);
    toolsMenu_->setTitle(Str::kMenuTools);
    helpMenu_->setTitle(Str::kMenuHelp);
    normalModeItem_->setText(Str::kModeNormal);
    fastModeItem_->setText(Str::kModeFast);
    differentialModeItem_->setText(Str::kModeDifferential);
    hexToBinItem_->setText(Str::kHexToBin);
    binToHexItem_->setText(Str::kBinToHex);
    hexEditorItem_->setText(Str::kHexEditor);
    helpItem_->setText(Str::kMenuHelpItem);
    schematicItem_->setText(Str::kSchematic);
    aboutItem_->setText(Str::kAbout);
    portMenu_->setTitle(Str::kMenuPort);
    choosePortItem_->setText(Str::kChooseSerialPort);
    titleLabel_->setText(Str::kProgramName);
    setWindowTitle(Str::kProgramName);
    cancelButton_->setToolTip(Str::kCancelHint);
}
