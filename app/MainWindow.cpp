// MainWindow: start-up, the chip, memory and write-mode choices, and the close
// protocol.
#include "app/MainWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/resource.h>
#endif

#include "app/AvrLockGroup.h"
#include "app/FileDialog.h"
#include "app/FuseBitsGroup.h"
#include "link/Timing.h"
#include "settings/ConfigLocation.h"
#include "target/ChipCatalogue.h"
#include "target/PortOpening.h"
#include "view/Strings.h"

namespace {

const QString kSection = QStringLiteral("CONFIG");
const QString kKeyChip = QStringLiteral("CHIP");
const QString kKeyPort = QStringLiteral("PORTA");

}  // namespace

MainWindow::MainWindow(Options options, QWidget* parent)
    : QMainWindow(parent), link_(options.opener), runner_(link_, target_, *this), options_(std::move(options))
{
    buildLayout();
    setUpProgressPainting();
    openDialog_->setFilter(QStringLiteral("Arquivos .BIN|*.bin|Arquivos .HEX|*.hex"));
    saveDialog_->setFilter(QStringLiteral("Arquivos (.BIN)|*.bin"));
    saveDialog_->setDefaultSuffix(QStringLiteral(".bin"));
    connectChoices();
    connectCommands();
    connectOtherWindows();
}

MainWindow::~MainWindow() = default;

void MainWindow::connectChoices()
{
    for (QAction* item : chipItems_)
        connect(item, &QAction::triggered, this, [this, item] { selectChip(item->data().toInt()); });
    connect(flashRadio_, &QRadioButton::clicked, this, &MainWindow::memoryChoiceChanged);
    connect(eepromRadio_, &QRadioButton::clicked, this, &MainWindow::memoryChoiceChanged);
    connect(normalModeItem_, &QAction::triggered, this, &MainWindow::normalModeChosen);
    connect(differentialModeItem_, &QAction::triggered, this, &MainWindow::differentialModeChosen);
    connect(fastModeItem_, &QAction::triggered, this, &MainWindow::fastModeChosen);
    connect(exitButton_, &QPushButton::clicked, this, &QWidget::close);
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancelRequested_ = true; });
    connect(closeTimer_, &QTimer::timeout, this, &QWidget::close);
}

void MainWindow::start(const QStringList& arguments)
{
    autoRunFile_.clear();
    config_.setPath(ConfigLocation::prepare(options_.executablePath));
    raiseProcessPriority();
    link_.setClockDelay(5);
    target_.writeMode = WriteMode::Normal;

    // A stored chip acts like a click on its menu item; anything else selects nothing.
    const int chip = config_.readInteger(kSection, kKeyChip, 0);
    if (chip >= 0 && chip < static_cast<int>(chipItems_.size()))
        chipItems_[chip]->trigger();

    openPort(link_, config_.readString(kSection, kKeyPort, QStringLiteral("COM1")), *this);
    link_.assertLines();

    applyEnglishCaptions();
    showPhase(QString::fromLatin1(Str::kReady));

    sleepMilliseconds(options_.startupPauseMs);

    // Command line: a chip keyword, then a file to write at once.
    if (!arguments.isEmpty() && !arguments[0].isEmpty()) {
        const int index = chipIndexOf(chipForKeyword(arguments[0]));
        if (index >= 0 && index < static_cast<int>(chipItems_.size()))
            chipItems_[index]->trigger();
        else
            showMessage(MessageIcon::None, Str::kProgramName,
                        usageMessage(QFileInfo(options_.executablePath).fileName()));
    }
    if (arguments.size() >= 2 && !arguments[1].isEmpty() && QFileInfo(arguments[1]).isFile()) {
        autoRunFile_ = arguments[1];
        show();
        showMessage(MessageIcon::Warning, Str::kWarningCaption, Str::kPulseReset);
        writeButton_->click();
    }
}

QString MainWindow::usageMessage(const QString& executableFileName)
{
    const QString crlf = QStringLiteral("\r\n");
    return QLatin1String(Str::kUsageTitle) + crlf + crlf + executableFileName + QStringLiteral(" [")
        + QLatin1String(Str::kUsageChip) + QStringLiteral("] [") + QLatin1String(Str::kUsageFile)
        + QStringLiteral("]") + crlf + crlf + QStringLiteral("-> ") + QLatin1String(Str::kUsageChipList) + crlf
        + QStringLiteral("-> ") + QLatin1String(Str::kUsageFileText) + crlf;
}

void MainWindow::raiseProcessPriority()
{
    // The busy-waits time the clock edges; a higher priority keeps them steady.
    // Where the system refuses (no privilege), the program runs at normal priority.
#ifdef Q_OS_WIN
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
#else
    setpriority(PRIO_PROCESS, 0, -10);
#endif
}

void MainWindow::selectChip(int index)
{
    const ChipEntry* chip = chipAt(index);
    if (!chip || index >= static_cast<int>(chipItems_.size()))
        return;
    const ChipEntry& entry = *chip;

    for (QAction* item : chipItems_)
        item->setChecked(false);
    chipItems_[index]->setChecked(true);

    // What the chip has, from the table: its fuse and lock bytes, its lock levels, an EEPROM.
    fuseBits_->setBoxesUsable(entry.hasFuses());
    avrLockBits_->setBoxesUsable(entry.hasAvrLock());
    lockLevelList_->setEnabled(entry.lockLevels.exist());
    lockLevelButton_->setEnabled(entry.lockLevels.exist());
    flashRadio_->setChecked(true);
    eepromRadio_->setChecked(false);
    flashRadio_->setEnabled(entry.hasEeprom());
    eepromRadio_->setEnabled(entry.hasEeprom());

    applyChipState(target_, &entry);

    // Differential mode only where single bytes can be rewritten without an erase.
    if (!entry.differentialMode)
        normalModeChosen();
    normalModeItem_->setEnabled(true);
    fastModeItem_->setEnabled(true);
    differentialModeItem_->setEnabled(entry.differentialMode);

    reportIfConfigFailed(config_.writeInteger(kSection, kKeyChip, index));
}

void MainWindow::reportIfConfigFailed(bool written)
{
    // The selection stays in force; the user learns that it will not survive a restart.
    if (!written)
        showMessage(MessageIcon::Error, Str::kErrorCaption,
                    QStringLiteral("%1 %2").arg(QLatin1String(Str::kCannotWriteConfig), config_.path()));
}

void MainWindow::memoryChoiceChanged() { applyMemoryChoice(target_, eepromRadio_->isChecked()); }

void MainWindow::chooseWriteMode(WriteMode mode)
{
    target_.writeMode = mode;
    normalModeItem_->setChecked(mode == WriteMode::Normal);
    differentialModeItem_->setChecked(mode == WriteMode::Differential);
    fastModeItem_->setChecked(mode == WriteMode::Fast);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // During a device operation a close only cancels it; the timer asks again until the
    // operation has released the target, so the port never goes away underneath it.
    if (runner_.busy()) {
        closeRequested_ = true;
        cancelRequested_ = true;
        closeTimer_->start();
        event->ignore();
        return;
    }
    // The first request only cancels what is running; the timer closes the window a
    // tick later, once the running loop has seen the flag.
    const bool allowed = cancelRequested_;
    cancelRequested_ = true;
    closeTimer_->start();
    if (!allowed) {
        event->ignore();
        return;
    }
    closeTimer_->stop();
    config_.setPath({});
    link_.close();
    event->accept();
}
