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
#include "app/StatusPanel.h"
#include "link/Timing.h"
#include "settings/ConfigLocation.h"
#include "target/ChipCatalogue.h"
#include "target/PortOpening.h"
#include "view/Strings.h"

namespace {

const QString kSection = QStringLiteral("CONFIG");
const QString kKeyChip = QStringLiteral("CHIP");
const QString kKeyPart = QStringLiteral("PART");  // a chip after the first six, by keyword; wins over CHIP
constexpr int kChipValues = 6;                    // CHIP holds 0..5 for every reader of the file
const QString kKeyPort = QStringLiteral("PORTA");
// The desktop entry's file association: choose the file, write nothing.
const QString kOpenOption = QStringLiteral("--open");

// Where no port was ever chosen, Windows' first serial port is the likely one; on
// other systems no name is likely, and a made-up one would only fail.
QString defaultPort()
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM1");
#else
    return QString();
#endif
}

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
    connectFileCommands();
    connectOtherWindows();
    rebuildRecentMenu();
    showChosenFile();
    updateControls();
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
    connect(runTimeTimer_, &QTimer::timeout, this, &MainWindow::showRunTime);
}

void MainWindow::start(const QStringList& arguments)
{
    autoRunFile_.clear();
    config_.setPath(ConfigLocation::prepare(options_.executablePath));
    recentFiles_.load();
    rebuildRecentMenu();
    if (!recentFiles_.folder().isEmpty())
        FileDialog::setFolder(recentFiles_.folder());
    raiseProcessPriority();
    link_.setClockDelay(5);
    target_.writeMode = WriteMode::Normal;

    // A stored chip acts like a click on its menu item; anything else selects nothing.
    const int part = chipIndexOf(chipForName(config_.readString(kSection, kKeyPart, QString())));
    const int chip = part >= 0 ? part : config_.readInteger(kSection, kKeyChip, 0);
    if (chip >= 0 && chip < (part >= 0 ? chipCount() : kChipValues))
        chipItems_[static_cast<size_t>(chip)]->trigger();

    const QString port = config_.readString(kSection, kKeyPort, defaultPort());
    if (!port.isEmpty())
        openPort(link_, port, *this);
    link_.assertLines();

    applyEnglishCaptions();
    showPhase(QString::fromLatin1(Str::kReady));
    if (!link_.isOpen() && port.isEmpty())
        showPortMissing();
    updateControls();

    sleepMilliseconds(options_.startupPauseMs);
    startFromCommandLine(arguments);
}

void MainWindow::startFromCommandLine(const QStringList& arguments)
{
    // "--open FILE" (the desktop's file association): the file is chosen, nothing written.
    if (!arguments.isEmpty() && arguments[0] == kOpenOption) {
        if (arguments.size() >= 2 && !arguments[1].isEmpty())
            chooseFile(arguments[1]);
        return;
    }
    // A chip keyword (in any case, as kestova-cli takes it), then a file to write at once.
    if (!arguments.isEmpty() && !arguments[0].isEmpty()) {
        const int index = chipIndexOf(chipForName(arguments[0]));
        if (index < 0 || index >= static_cast<int>(chipItems_.size())) {
            // Writing the file into whatever chip was stored last could destroy it.
            showMessage(MessageIcon::None, Str::kProgramName,
                        usageMessage(QFileInfo(options_.executablePath).fileName()) + QStringLiteral("\r\n")
                            + QString::fromUtf8(Str::kUnknownKeyword).arg(arguments[0]));
            return;
        }
        chipItems_[static_cast<size_t>(index)]->trigger();
    }
    if (arguments.size() < 2 || arguments[1].isEmpty())
        return;
    if (!chooseFile(arguments[1]))
        return;
    show();
    if (askQuestion(MessageIcon::Warning, Str::kWarningCaption, Str::kPulseReset, Answers::OkCancel)) {
        writeButton_->click();
        return;
    }
    // Cancel, Escape or closing the box: the chip is not touched, the file waits for Write.
    showResult(QString::fromUtf8(Str::kNothingWritten), false);
    statusPanels_[0]->setHint(QString::fromUtf8(Str::kNothingWrittenNote).arg(QFileInfo(autoRunFile_).fileName()));
    runPanel_->setFullText(QString::fromUtf8(Str::kNothingWrittenNote).arg(QFileInfo(autoRunFile_).fileName()));
}

QString MainWindow::usageMessage(const QString& executableFileName)
{
    const QString crlf = QStringLiteral("\r\n");
    return QLatin1String(Str::kUsageTitle) + crlf + crlf + executableFileName + QStringLiteral(" [")
        + QLatin1String(Str::kUsageChip) + QStringLiteral("] [") + QLatin1String(Str::kUsageFile) + QStringLiteral("]")
        + crlf + crlf + QStringLiteral("-> ") + QLatin1String(Str::kUsageChipList) + crlf + QStringLiteral("-> ")
        + QLatin1String(Str::kUsageFileText) + crlf;
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
    // The menu is disabled during a run; a click queued before that changes nothing.
    if (running_ != Running::Nothing || runner_.busy()) {
        for (QAction* item : chipItems_)
            item->setChecked(item->data().toInt() == chipIndexOf(target_.chip));
        return;
    }
    const ChipEntry& entry = *chip;

    for (QAction* item : chipItems_)
        item->setChecked(false);
    chipItems_[static_cast<size_t>(index)]->setChecked(true);

    // What the chip has, from the table: its fuse and lock bytes, its lock levels, an EEPROM.
    fuseBits_->showChip(&entry);
    avrLockBits_->showChip(&entry);
    fuseBits_->setBoxesUsable(entry.hasFuses());
    avrLockBits_->setBoxesUsable(entry.hasAvrLock());
    flashRadio_->setChecked(true);
    eepromRadio_->setChecked(false);
    fusesRead_ = false;  // another chip's fuses say nothing of this one's

    applyChipState(target_, &entry);

    // Differential mode only where single bytes can be rewritten without an erase.
    if (!entry.differentialMode)
        normalModeChosen();
    // The groups, buttons and modes the chip has are usable, the others look disabled.
    updateControls();

    // The first six keep CHIP as every reader of the file knows it; a later chip goes
    // under PART, and CHIP stays for the readers that know only that.
    if (index < kChipValues)
        reportIfConfigFailed(config_.writeInteger(kSection, kKeyChip, index) && config_.removeKey(kSection, kKeyPart));
    else
        reportIfConfigFailed(config_.writeString(kSection, kKeyPart, QLatin1String(entry.keyword)));
}

void MainWindow::reportIfConfigFailed(bool written)
{
    // The selection stays in force; the user learns that it will not survive a restart.
    if (!written)
        showMessage(MessageIcon::Error, Str::kErrorCaption,
                    QStringLiteral("%1 %2").arg(QLatin1String(Str::kCannotWriteConfig), config_.path()));
}

void MainWindow::memoryChoiceChanged()
{
    // Disabled during a run; a click queued before that must not change the memory under it.
    if (running_ != Running::Nothing || runner_.busy()) {
        eepromRadio_->setChecked(target_.eepromSelected());
        flashRadio_->setChecked(!target_.eepromSelected());
        return;
    }
    applyMemoryChoice(target_, eepromRadio_->isChecked());
}

void MainWindow::chooseWriteMode(WriteMode mode)
{
    if (running_ != Running::Nothing || runner_.busy())
        mode = target_.writeMode;  // a run's mode stays as it began
    target_.writeMode = mode;
    normalModeItem_->setChecked(mode == WriteMode::Normal);
    differentialModeItem_->setChecked(mode == WriteMode::Differential);
    fastModeItem_->setChecked(mode == WriteMode::Fast);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // During a device operation a close only cancels it; the timer asks again until the
    // operation has released the target, so the port never goes away underneath it.
    // A write or erase stopped halfway leaves the chip part-written: the user decides.
    if (runner_.busy() && !closeRequested_ && (running_ == Running::Write || running_ == Running::Erase)
        && !askToStopRun()) {
        event->ignore();
        return;
    }
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
