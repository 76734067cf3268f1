// MainWindow's frame around each device operation: the values of the last run are
// cleared, the controls that would change the port, the chip, the memory or the
// write mode are locked, the elapsed time and the time left follow the byte count,
// and the run ends with its summary. Also the question a close asks during a write.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "app/AvrLockGroup.h"
#include "app/FuseBitsGroup.h"
#include "app/MainWindow.h"
#include "app/PortDialog.h"
#include "app/StatusPanel.h"
#include "target/RunReport.h"
#include "view/Strings.h"

namespace {

QString str(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

RunOutcome MainWindow::runDevice(Running what, const std::function<RunOutcome()>& operation)
{
    // A click handled while another operation lets events run starts nothing.
    if (runner_.busy() || running_ != Running::Nothing)
        return RunOutcome::Busy;
    running_ = what;
    struct Ended {
        MainWindow& window;
        ~Ended()
        {
            window.running_ = Running::Nothing;
            window.runTimeTimer_->stop();
            window.updateControls();
        }
    } ended{*this};

    statusPanels_[1]->setFullText(QString());
    runPanel_->setFullText(QString());
    progressTextPending_ = gaugePending_ = false;
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    runner_.clearReport();
    updateControls();
    runClock_.start();
    runTimeTimer_->start();

    const RunOutcome outcome = operation();
    showProgressNow();
    showRunSummary(outcome);
    return outcome;
}

void MainWindow::showRunSummary(RunOutcome outcome)
{
    // "C" and Esc end a run early; the first panel says so instead of a result that
    // would read as a finished run.
    if (outcome == RunOutcome::Cancelled && runner_.report().kind != RunKind::None)
        showResult(str(Str::kCancelled), false);
    QString summary;
    if (outcome == RunOutcome::Done || outcome == RunOutcome::Failed || outcome == RunOutcome::Cancelled)
        summary = runSummaryText(runner_.report());
    if (!runNote_.isEmpty())
        summary = summary.isEmpty() ? runNote_ : runNote_ + QStringLiteral("; ") + summary;
    runNote_.clear();
    runPanel_->setFullText(summary);
}

void MainWindow::showRunTime()
{
    if (running_ == Running::Nothing || !runClock_.isValid())
        return;
    const qint64 elapsedMs = runClock_.elapsed();
    const QString elapsed = durationText(elapsedMs / 1000.0);
    const RunReport& report = runner_.report();
    double left = -1;
    if (runner_.busy() && report.kind != RunKind::None && report.kind != RunKind::Erase)
        left = secondsLeft(report, target_, link_.clockDelay(), progressDone_, progressTotal_, elapsedMs);
    runPanel_->setFullText(left >= 0 ? str(Str::kElapsedLeft).arg(elapsed, durationText(left))
                                     : str(Str::kElapsed).arg(elapsed));
}

void MainWindow::updateControls()
{
    const bool idle = running_ == Running::Nothing && !runner_.busy();
    const ChipEntry* chip = target_.chip;
    const bool hasPort = link_.isOpen();

    // While a run goes nothing may change the port, the chip, the memory or the mode
    // under it, nor start a second operation.
    for (QAction* item : chipItems_)
        item->setEnabled(idle);
    moreChipsMenu_->menuAction()->setEnabled(idle);
    detectItem_->setEnabled(idle && hasPort);
    choosePortItem_->setEnabled(idle);
    if (windows_.portDialog)
        windows_.portDialog->setEnabled(idle);
    normalModeItem_->setEnabled(idle && chip);
    fastModeItem_->setEnabled(idle && chip);
    differentialModeItem_->setEnabled(idle && chip && chip->differentialMode);
    flashRadio_->setEnabled(idle && chip && chip->hasEeprom());
    eepromRadio_->setEnabled(idle && chip && chip->hasEeprom());

    // The device commands, and the groups a chip does not have, look disabled.
    const bool device = idle && chip;
    for (QPushButton* button : {writeButton_, readButton_, compareButton_, eraseButton_})
        button->setEnabled(device);
    for (QAction* item : {writeItem_, readItem_, readToEditorItem_, compareItem_, eraseItem_})
        item->setEnabled(device);
    lockLevelList_->setEnabled(device && chip->lockLevels.exist());
    lockLevelButton_->setEnabled(device && chip->lockLevels.exist());
    fuseBits_->setEnabled(device && chip->hasFuses());
    avrLockBits_->setEnabled(device && chip->hasAvrLock());
    chooseFileItem_->setEnabled(idle);
    recentMenu_->setEnabled(idle);
    hexToBinItem_->setEnabled(idle);
    binToHexItem_->setEnabled(idle);
    cancelItem_->setEnabled(!idle);

    // Without a port the device commands say where one is chosen.
    const QString hint = hasPort ? QString() : str(Str::kNoPortHint);
    for (QPushButton* button : {writeButton_, readButton_, compareButton_, eraseButton_})
        button->setToolTip(hint);
}

bool MainWindow::askToStopRun()
{
    const char* question = running_ == Running::Erase ? Str::kStopEraseQuestion : Str::kStopWriteQuestion;
    return askQuestion(MessageIcon::Warning, str(Str::kStopRunCaption), str(question), Answers::YesNo);
}
