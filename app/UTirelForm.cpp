// The main window's layout: every control with the captions the layout carries
// (Portuguese where the English texts replace them at creation).
#include <QAction>
#include <QCheckBox>
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

#include "app/FileDialog.h"
#include "app/UTirel.h"
#include "target/ChipCatalogue.h"

namespace {

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QCheckBox* makeCheckBox(QWidget* parent, const QString& name, const QString& caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

QAction* makeItem(QMenu* menu, const char* name, const QString& caption, bool checkable)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(checkable);
    return action;
}

const char* const kHighFuseCaptions[8] = {"BOOTRST (0)", "BOOTSZ0 (1)", "BOOTSZ1 (2)", "EESAVE (3)",
                                          "CKOPT (4)",   "SPIEN (5)",   "WDTON (6)",   "RSTDISBL/S85X5C (7)"};
const char* const kLowFuseCaptions[8] = {"CKSEL0 (0)", "CKSEL1 (1)", "CKSEL2 (2)", "CKSEL3 (3)",
                                         "SUT0 (4)",   "SUT1 (5)",   "BODEN (6)",  "BODLEVEL (7)"};
const char* const kLockCaptions[6] = {"LB1", "LB2", "BLB01", "BLB02", "BLB11", "BLB12"};
const char* const kChipItemNames[6] = {"menuAT89S8252", "menuAT89S8253", "menuAT89S53",
                                       "menuAT89S52",   "menuAT89S51",   "menuATMEGA8"};

}  // namespace

void UTirel::buildForm()
{
    setObjectName(QStringLiteral("Tirel"));
    setWindowTitle(QStringLiteral("Gravador ISP"));

    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);

    LabelTitle = new QLabel(QStringLiteral("Gravador ISP"), central);
    LabelTitle->setObjectName(QStringLiteral("LabelTitle"));
    QFont titleFont = LabelTitle->font();
    titleFont.setPointSize(titleFont.pointSize() + 8);
    titleFont.setBold(true);
    LabelTitle->setFont(titleFont);
    outer->addWidget(LabelTitle);

    auto* top = new QHBoxLayout;
    outer->addLayout(top);

    // Memory: the four operations and the flash / EEPROM choice.
    GroupMemory = new QGroupBox(QStringLiteral("Flash/eeprom:"), central);
    GroupMemory->setObjectName(QStringLiteral("GroupMemory"));
    auto* memoryLayout = new QGridLayout(GroupMemory);
    ButtonWrite = makeButton(GroupMemory, "ButtonWrite", QStringLiteral("Gravar"));
    ButtonRead = makeButton(GroupMemory, "ButtonRead", QStringLiteral("Ler"));
    ButtonCompare = makeButton(GroupMemory, "ButtonCompare", QStringLiteral("Comparar"));
    ButtonErase = makeButton(GroupMemory, "ButtonErase", QStringLiteral("Apagar"));
    RadioFlash = new QRadioButton(QStringLiteral("flash"), GroupMemory);
    RadioFlash->setObjectName(QStringLiteral("RadioFlash"));
    RadioFlash->setChecked(true);
    RadioEeprom = new QRadioButton(QStringLiteral("eeprom"), GroupMemory);
    RadioEeprom->setObjectName(QStringLiteral("RadioEeprom"));
    memoryLayout->addWidget(ButtonWrite, 0, 0);
    memoryLayout->addWidget(ButtonRead, 0, 1);
    memoryLayout->addWidget(ButtonCompare, 1, 0);
    memoryLayout->addWidget(ButtonErase, 1, 1);
    memoryLayout->addWidget(RadioFlash, 2, 0);
    memoryLayout->addWidget(RadioEeprom, 2, 1);
    top->addWidget(GroupMemory);

    auto* locks = new QVBoxLayout;
    top->addLayout(locks);

    // 89S lock level: the list and its button.
    GroupLock89S = new QGroupBox(QStringLiteral("Lock bits (89S):"), central);
    GroupLock89S->setObjectName(QStringLiteral("GroupLock89S"));
    auto* lock89Layout = new QHBoxLayout(GroupLock89S);
    ComboLock89S = new QComboBox(GroupLock89S);
    ComboLock89S->setObjectName(QStringLiteral("ComboLock89S"));
    ComboLock89S->addItems({QStringLiteral("L.B.: (89S)"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    ComboLock89S->setCurrentIndex(1);
    ButtonLock89S = makeButton(GroupLock89S, "ButtonLock89S", QStringLiteral("Travar"));
    lock89Layout->addWidget(ComboLock89S);
    lock89Layout->addWidget(ButtonLock89S);
    locks->addWidget(GroupLock89S);

    // AVR lock byte: columns BLB1x, BLB0x, LBx, the higher bit above.
    GroupLockAvr = new QGroupBox(QStringLiteral("Lock bits (AVR):"), central);
    GroupLockAvr->setObjectName(QStringLiteral("GroupLockAvr"));
    auto* lockAvrLayout = new QGridLayout(GroupLockAvr);
    for (int bit = 0; bit < 6; ++bit) {
        CheckBoxLock[bit] = makeCheckBox(GroupLockAvr, QStringLiteral("CheckBoxLock%1").arg(bit),
                                         QLatin1String(kLockCaptions[bit]));
        const int column = 2 - bit / 2;
        const int row = 1 - bit % 2;
        lockAvrLayout->addWidget(CheckBoxLock[bit], row, column);
    }
    ButtonReadLockAvr = makeButton(GroupLockAvr, "ButtonReadLockAvr", QStringLiteral("Ler"));
    ButtonLockAvr = makeButton(GroupLockAvr, "ButtonLockAvr", QStringLiteral("Lock"));
    lockAvrLayout->addWidget(ButtonReadLockAvr, 2, 0);
    lockAvrLayout->addWidget(ButtonLockAvr, 2, 2);
    locks->addWidget(GroupLockAvr);

    // AVR fuses: high byte on the left, low byte on the right, bit 7 at the top.
    GroupFuse = new QGroupBox(QStringLiteral("Fuse bits (AVR)     <- high / low  ->   "), central);
    GroupFuse->setObjectName(QStringLiteral("GroupFuse"));
    auto* fuseLayout = new QGridLayout(GroupFuse);
    for (int bit = 7; bit >= 0; --bit) {
        CheckboxFuseH[bit] = makeCheckBox(GroupFuse, QStringLiteral("CheckboxFuse%1h").arg(bit),
                                          QLatin1String(kHighFuseCaptions[bit]));
        CheckboxFuseL[bit] = makeCheckBox(GroupFuse, QStringLiteral("CheckboxFuse%1l").arg(bit),
                                          QLatin1String(kLowFuseCaptions[bit]));
        fuseLayout->addWidget(CheckboxFuseH[bit], 7 - bit, 0);
        fuseLayout->addWidget(CheckboxFuseL[bit], 7 - bit, 1);
    }
    // SPIEN must stay programmed for serial programming: shown struck through as a warning.
    QFont struck = CheckboxFuseH[5]->font();
    struck.setStrikeOut(true);
    CheckboxFuseH[5]->setFont(struck);
    ButtonReadFuse = makeButton(GroupFuse, "ButtonReadFuse", QStringLiteral("Ler"));
    ButtonWriteFuse = makeButton(GroupFuse, "ButtonWriteFuse", QStringLiteral("Gravar"));
    fuseLayout->addWidget(ButtonReadFuse, 8, 0);
    fuseLayout->addWidget(ButtonWriteFuse, 8, 1);
    outer->addWidget(GroupFuse);

    auto* bottom = new QHBoxLayout;
    Gauge = new QProgressBar(central);
    Gauge->setObjectName(QStringLiteral("Gauge"));
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    Gauge->setTextVisible(false);
    ButtonCancel = makeButton(central, "ButtonCancel", QStringLiteral("C"));
    ButtonCancel->setFixedWidth(ButtonCancel->fontMetrics().horizontalAdvance(QStringLiteral("MM")) + 12);
    ButtonCancel->setToolTip(QStringLiteral("Interromper leitura/gravação"));
    ButtonHelp = makeButton(central, "ButtonHelp", QStringLiteral("Ajuda"));
    ButtonExit = makeButton(central, "ButtonExit", QStringLiteral("Sair"));
    bottom->addWidget(Gauge, 1);
    bottom->addWidget(ButtonCancel);
    bottom->addWidget(ButtonHelp);
    bottom->addWidget(ButtonExit);
    outer->addLayout(bottom);
    setCentralWidget(central);

    // Status bar: phase, progress, port.
    const int widths[3] = {130, 125, 60};
    for (int i = 0; i < 3; ++i) {
        Panels[i] = new QLabel(this);
        Panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        Panels[i]->setFrameShape(QFrame::Panel);
        Panels[i]->setFrameShadow(QFrame::Sunken);
        if (i < 2)
            Panels[i]->setFixedWidth(widths[i]);
        else
            Panels[i]->setMinimumWidth(widths[i]);  // long device paths must stay readable
        statusBar()->addWidget(Panels[i], i == 2 ? 1 : 0);
    }
    statusBar()->setSizeGripEnabled(false);

    // Menus
    MenuChip = menuBar()->addMenu(QStringLiteral("Chip"));
    MenuChip->setObjectName(QStringLiteral("MenuChip"));
    for (int i = 0; i < kChipCount; ++i) {
        ChipItems[i] = makeItem(MenuChip, kChipItemNames[i], QLatin1String(kChipTable[i].caption), true);
        ChipItems[i]->setData(i);  // the "CHIP" value of the entry
    }
    // No entry is checked until one is selected: a stored CHIP outside the table
    // selects nothing, and the menu must not claim otherwise.

    MenuWriteMode = menuBar()->addMenu(QStringLiteral("Modo de gravação"));
    MenuWriteMode->setObjectName(QStringLiteral("MenuWriteMode"));
    menuNormal = makeItem(MenuWriteMode, "menuNormal", QStringLiteral("Normal"), true);
    menuDiferencial = makeItem(MenuWriteMode, "menuDiferencial", QStringLiteral("Diferencial"), true);
    menuRapida = makeItem(MenuWriteMode, "menuRapida", QStringLiteral("Rápida"), true);
    menuNormal->setChecked(true);

    MenuTools = menuBar()->addMenu(QStringLiteral("Ferramentas"));
    MenuTools->setObjectName(QStringLiteral("MenuTools"));
    menuHexToBin = makeItem(MenuTools, "menuHexToBin", QStringLiteral("Conversor HEX -> BIN"), false);
    menuBinToHex = makeItem(MenuTools, "menuBinToHex", QStringLiteral("Conversor BIN -> HEX"), false);
    menuHexEditor = makeItem(MenuTools, "menuHexEditor", QStringLiteral("Editor hexadecimal"), false);

    MenuPort = menuBar()->addMenu(QStringLiteral("Porta"));
    MenuPort->setObjectName(QStringLiteral("MenuPort"));
    menuChoosePort = makeItem(MenuPort, "menuChoosePort", QStringLiteral("Escolher porta serial"), false);

    MenuHelp = menuBar()->addMenu(QStringLiteral("Ajuda"));
    MenuHelp->setObjectName(QStringLiteral("MenuHelp"));
    menuHelpItem = makeItem(MenuHelp, "menuHelpItem", QStringLiteral("Ajuda"), false);
    menuSchematic = makeItem(MenuHelp, "menuSchematic", QStringLiteral("Esquema"), false);
    menuAbout = makeItem(MenuHelp, "menuAbout", QStringLiteral("Sobre..."), false);

    progressPaintTimer_ = new QTimer(this);
    progressPaintTimer_->setSingleShot(true);
    progressPaintTimer_->setInterval(kProgressPaintMs);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);

    // The shared file dialogs keep their filters between commands.
    OpenDialog1 = std::make_unique<FileDialog>(this, QFileDialog::AcceptOpen, QStringLiteral("OpenDialog1"));
    SaveDialog1 = std::make_unique<FileDialog>(this, QFileDialog::AcceptSave, QStringLiteral("SaveDialog1"));
}
