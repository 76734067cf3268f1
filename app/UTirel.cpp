// UTirel: start-up, chip and write-mode selection, the close protocol, and the
// view that device operations and file commands report through.
#include "app/UTirel.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/resource.h>
#endif

#include "app/FileDialog.h"
#include "image/Converters.h"
#include "view/LineBreaks.h"
#include "view/Strings.h"
#include "link/Timing.h"
#include "target/ChipCatalogue.h"
#include "target/CompareChip.h"
#include "target/ConfigLocation.h"
#include "target/EraseChip.h"
#include "target/FuseBits.h"
#include "target/LockBits.h"
#include "target/ProgramChip.h"
#include "target/ReadChip.h"

namespace {

const QString kSection = QStringLiteral("CONFIG");
const QString kKeyChip = QStringLiteral("CHIP");
const QString kKeyPort = QStringLiteral("PORTA");

QMessageBox::Icon toBoxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

UTirel::UTirel(Options options, QWidget* parent)
    : QMainWindow(parent), link(*this, options.opener), runner(link, target, *this), options_(std::move(options))
{
    buildForm();
    OpenDialog1->setFilter(QStringLiteral("Arquivos .BIN|*.bin|Arquivos .HEX|*.hex"));
    SaveDialog1->setFilter(QStringLiteral("Arquivos (.BIN)|*.bin"));
    SaveDialog1->setDefaultSuffix(QStringLiteral(".bin"));
    connectHandlers();
}

UTirel::~UTirel() = default;

void UTirel::connectHandlers()
{
    for (QAction* item : ChipItems)
        connect(item, &QAction::triggered, this, [this, item] { selectChip(item->data().toInt()); });
    connect(RadioFlash, &QRadioButton::clicked, this, &UTirel::ApplyMemoryChoice);
    connect(RadioEeprom, &QRadioButton::clicked, this, &UTirel::ApplyMemoryChoice);
    connect(menuNormal, &QAction::triggered, this, &UTirel::menuNormalClick);
    connect(menuDiferencial, &QAction::triggered, this, &UTirel::menuDiferencialClick);
    connect(menuRapida, &QAction::triggered, this, &UTirel::menuRapidaClick);
    connect(ButtonExit, &QPushButton::clicked, this, &QWidget::close);
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { CancelRequested = true; });
    connect(Timer1, &QTimer::timeout, this, &QWidget::close);
    connect(progressPaintTimer_, &QTimer::timeout, this, &UTirel::showProgressNow);
    connect(menuHexToBin, &QAction::triggered, this, [this] { runGuarded([this] { HexToBinConvert(*this); }); });
    connect(menuBinToHex, &QAction::triggered, this, [this] { runGuarded([this] { BinToHexConvert(*this); }); });
    connect(ButtonErase, &QPushButton::clicked, this, [this] { runGuarded([this] { EraseChip(runner); }); });
    connect(ButtonRead, &QPushButton::clicked, this, [this] { runGuarded([this] { ReadChip(runner); }); });
    connect(ButtonCompare, &QPushButton::clicked, this, [this] { runGuarded([this] { CompareChip(runner); }); });
    // The list's first item is no number and reads as level 0.
    connect(ButtonLock89S, &QPushButton::clicked, this,
            [this] { runGuarded([this] { WriteLockBits89S(runner, ComboLock89S->currentText().toInt()); }); });
    connect(ButtonReadFuse, &QPushButton::clicked, this, [this] { runGuarded([this] { ReadFuseBits(runner); }); });
    connect(ButtonWriteFuse, &QPushButton::clicked, this, [this] { runGuarded([this] { WriteFuseBits(runner); }); });
    connect(ButtonReadLockAvr, &QPushButton::clicked, this, [this] { runGuarded([this] { ReadLockBitsAvr(runner); }); });
    connect(ButtonLockAvr, &QPushButton::clicked, this, [this] { runGuarded([this] { WriteLockBitsAvr(runner); }); });
    connect(ButtonWrite, &QPushButton::clicked, this, [this] {
        runGuarded([this] {
            setFocus();
            ProgramChip(runner, AutoRunFile, RadioEeprom->isChecked());
        });
    });
    connectWindowMenus();
}

void UTirel::runGuarded(const std::function<void()>& command)
{
    // Exceptions must not unwind through Qt's signal code, so they stop at the slot.
    try {
        command();
    } catch (const std::exception& e) {
        showMessage(MessageIcon::Error, Str::kErrorCaption, QString::fromUtf8(e.what()));
    }
}

void UTirel::FormCreate(const QStringList& arguments)
{
    AutoRunFile.clear();
    config.setPath(ConfigLocation::prepare(options_.executablePath));
    raiseProcessPriority();
    link.ClockDelay = 5;
    target.WriteMode = 0;

    // A stored chip acts like a click on its menu item; anything else selects nothing.
    const int chip = config.readInteger(kSection, kKeyChip, 0);
    if (chip >= 0 && chip < kChipCount)
        ChipItems[chip]->trigger();

    link.OpenSerialLink(config.readString(kSection, kKeyPort, QStringLiteral("COM1")));
    link.SetDtr(true);
    link.SetRts(true);

    applyEnglishCaptions();
    setPanelText(0, Str::kReady);

    SleepMilliseconds(options_.startupPauseMs);

    // Command line: a chip keyword, then a file to write at once.
    if (!arguments.isEmpty() && !arguments[0].isEmpty()) {
        const int index = chipIndexForKeyword(arguments[0]);
        if (index >= 0)
            ChipItems[index]->trigger();
        else
            showMessage(MessageIcon::None, Str::kProgramName,
                        usageMessage(QFileInfo(options_.executablePath).fileName()));
    }
    if (arguments.size() >= 2 && !arguments[1].isEmpty() && QFileInfo(arguments[1]).isFile()) {
        AutoRunFile = arguments[1];
        show();
        showMessage(MessageIcon::Warning, Str::kWarningCaption, Str::kPulseReset);
        ButtonWrite->click();
    }
}

QString UTirel::usageMessage(const QString& executableFileName)
{
    const QString crlf = QStringLiteral("\r\n");
    return QLatin1String(Str::kUsageTitle) + crlf + crlf + executableFileName + QStringLiteral(" [")
        + QLatin1String(Str::kUsageChip) + QStringLiteral("] [") + QLatin1String(Str::kUsageFile)
        + QStringLiteral("]") + crlf + crlf + QStringLiteral("-> ") + QLatin1String(Str::kUsageChipList) + crlf
        + QStringLiteral("-> ") + QLatin1String(Str::kUsageFileText) + crlf;
}

void UTirel::applyEnglishCaptions()
{
    ButtonWrite->setText(Str::kWrite);
    ButtonRead->setText(Str::kRead);
    ButtonCompare->setText(Str::kCompare);
    ButtonErase->setText(Str::kErase);
    ButtonLock89S->setText(Str::kLock);
    ButtonWriteFuse->setText(Str::kWrite);
    ButtonReadFuse->setText(Str::kRead);
    ButtonReadLockAvr->setText(Str::kRead);
    ButtonExit->setText(Str::kExit);
    ButtonHelp->setText(Str::kHelp);
    MenuChip->setTitle(Str::kMenuChip);
    MenuWriteMode->setTitle(Str::kMenuWriteMode);
    MenuTools->setTitle(Str::kMenuTools);
    MenuHelp->setTitle(Str::kMenuHelp);
    menuNormal->setText(Str::kModeNormal);
    menuRapida->setText(Str::kModeFast);
    menuDiferencial->setText(Str::kModeDifferential);
    menuHexToBin->setText(Str::kHexToBin);
    menuBinToHex->setText(Str::kBinToHex);
    menuHexEditor->setText(Str::kHexEditor);
    menuHelpItem->setText(Str::kMenuHelpItem);
    menuSchematic->setText(Str::kSchematic);
    menuAbout->setText(Str::kAbout);
    MenuPort->setTitle(Str::kMenuPort);
    menuChoosePort->setText(Str::kChooseSerialPort);
    LabelTitle->setText(Str::kProgramName);
    setWindowTitle(Str::kProgramName);
    ButtonCancel->setToolTip(Str::kCancelHint);
}

void UTirel::raiseProcessPriority()
{
    // The busy-waits time the clock edges; a higher priority keeps them steady.
    // Where the system refuses (no privilege), the program runs at normal priority.
#ifdef Q_OS_WIN
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
#else
    setpriority(PRIO_PROCESS, 0, -10);
#endif
}

void UTirel::selectChip(int index)
{
    if (index < 0 || index >= kChipCount)
        return;
    const ChipEntry& entry = kChipTable[index];

    for (QAction* item : ChipItems)
        item->setChecked(false);
    ChipItems[index]->setChecked(true);

    for (auto* boxes : {&CheckboxFuseH, &CheckboxFuseL})
        for (QCheckBox* box : *boxes) {
            if (!entry.avrBitsEnabled)
                box->setChecked(false);
            box->setEnabled(entry.avrBitsEnabled);
        }
    for (QCheckBox* box : CheckBoxLock) {
        if (!entry.avrBitsEnabled)
            box->setChecked(false);
        box->setEnabled(entry.avrBitsEnabled);
    }

    ComboLock89S->setEnabled(!entry.avrBitsEnabled);
    ButtonLock89S->setEnabled(!entry.avrBitsEnabled);
    RadioFlash->setChecked(true);
    RadioEeprom->setChecked(false);
    RadioFlash->setEnabled(entry.memoryChoiceEnabled);
    RadioEeprom->setEnabled(entry.memoryChoiceEnabled);

    applyChipState(target, index);

    if (entry.normalModeForced) {
        menuNormalClick();
        menuNormal->setEnabled(true);
        menuRapida->setEnabled(true);
        menuDiferencial->setEnabled(false);
    } else {
        menuNormal->setEnabled(true);
        menuDiferencial->setEnabled(true);
        menuRapida->setEnabled(true);
    }

    reportIfConfigFailed(config.writeInteger(kSection, kKeyChip, index));
}

void UTirel::reportIfConfigFailed(bool written)
{
    // The selection stays in force; the user learns that it will not survive a restart.
    if (!written)
        showMessage(MessageIcon::Error, Str::kErrorCaption,
                    QStringLiteral("%1 %2").arg(QLatin1String(Str::kCannotWriteConfig), config.path()));
}

void UTirel::ApplyMemoryChoice() { ::ApplyMemoryChoice(target, RadioEeprom->isChecked()); }

void UTirel::menuNormalClick()
{
    target.WriteMode = 0;
    menuNormal->setChecked(true);
    menuDiferencial->setChecked(false);
    menuRapida->setChecked(false);
}

void UTirel::menuDiferencialClick()
{
    target.WriteMode = 1;
    menuNormal->setChecked(false);
    menuDiferencial->setChecked(true);
    menuRapida->setChecked(false);
}

void UTirel::menuRapidaClick()
{
    target.WriteMode = 2;
    menuNormal->setChecked(false);
    menuDiferencial->setChecked(false);
    menuRapida->setChecked(true);
}

void UTirel::closeEvent(QCloseEvent* event)
{
    // During a device operation a close only cancels it; the timer asks again until the
    // operation has released the target, so the port never goes away underneath it.
    if (runner.busy()) {
        closeRequested_ = true;
        CancelRequested = true;
        Timer1->start();
        event->ignore();
        return;
    }
    // The first request only cancels what is running; the timer closes the window a
    // tick later, once the running loop has seen the flag.
    const bool allowed = CancelRequested;
    CancelRequested = true;
    Timer1->start();
    if (!allowed) {
        event->ignore();
        return;
    }
    Timer1->stop();
    config.setPath({});
    link.CloseSerialLink();
    event->accept();
}

void UTirel::setPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel >= 3)
        return;
    if (panel == 1) {
        progressText_ = text;
        progressTextPending_ = true;
        progressChanged();
        return;
    }
    // A phase or a result is drawn at once, with the progress it ends.
    showProgressNow();
    Panels[panel]->setText(text);
}

void UTirel::setGauge(int progress, int maximum)
{
    gaugeProgress_ = progress;
    gaugeMaximum_ = maximum;
    gaugePending_ = true;
    progressChanged();
}

// Drawing the progress costs more than a byte takes on the wire, so panel 1 and the
// gauge keep each byte's values and show the latest at a human rate.
void UTirel::progressChanged()
{
    if (!progressShown_.isValid() || progressShown_.elapsed() >= kProgressPaintMs)
        showProgressNow();
    else if (!progressPaintTimer_->isActive())
        progressPaintTimer_->start();
}

void UTirel::showProgressNow()
{
    if (!progressTextPending_ && !gaugePending_)
        return;
    progressShown_.start();
    if (progressTextPending_)
        Panels[1]->setText(progressText_);
    if (gaugePending_) {
        // Qt draws a range of 0..0 as a busy indicator; a one-byte run is simply full.
        Gauge->setRange(0, std::max(gaugeMaximum_, 1));
        Gauge->setValue(gaugeMaximum_ > 0 ? gaugeProgress_ : 1);
    }
    progressTextPending_ = gaugePending_ = false;
}

void UTirel::processEvents() { QCoreApplication::processEvents(); }

void UTirel::setEraseEnabled(bool enabled) { ButtonErase->setEnabled(enabled); }

namespace {

// A checked box is a programmed bit, 0.
uint8_t bitsOf(const QCheckBox* const* boxes, int count)
{
    uint8_t value = 0xFF;
    for (int bit = 0; bit < count; ++bit)
        if (boxes[bit]->isChecked())
            value &= static_cast<uint8_t>(~(1u << bit));
    return value;
}

void showBits(QCheckBox* const* boxes, int count, uint8_t value)
{
    for (int bit = 0; bit < count; ++bit)
        boxes[bit]->setChecked((value & (1u << bit)) == 0);
}

}  // namespace

uint8_t UTirel::avrFuseBits(bool high) const { return bitsOf((high ? CheckboxFuseH : CheckboxFuseL).data(), 8); }

void UTirel::setAvrFuseBits(uint8_t low, uint8_t high)
{
    showBits(CheckboxFuseL.data(), 8, low);
    showBits(CheckboxFuseH.data(), 8, high);
}

uint8_t UTirel::avrLockBits() const { return bitsOf(CheckBoxLock.data(), 6); }

void UTirel::setAvrLockBits(uint8_t lock) { showBits(CheckBoxLock.data(), 6, lock); }

void UTirel::showMessage(MessageIcon icon, const QString& caption, const QString& text)
{
    QMessageBox box(toBoxIcon(icon), caption, withLineBreaks(text), QMessageBox::Ok, this);
    box.exec();
}

QString UTirel::askOpenFileName(const QString& filter)
{
    if (!filter.isEmpty())
        OpenDialog1->setFilter(filter);
    return OpenDialog1->exec();
}

QString UTirel::askSaveFileName(const QString& filter, const QString& defaultSuffix)
{
    if (!filter.isEmpty())
        SaveDialog1->setFilter(filter);
    if (!defaultSuffix.isEmpty())
        SaveDialog1->setDefaultSuffix(defaultSuffix);
    return SaveDialog1->exec();
}
