// MainWindow as the view that device operations report through: the status panels
// and the gauge, message boxes and the erase button; and the shared file dialogs
// that its commands ask.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "app/FileDialog.h"
#include "app/MainWindow.h"
#include "app/StatusPanel.h"
#include "view/LineBreaks.h"

namespace {

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

void MainWindow::setUpProgressPainting()
{
    progressPaintTimer_ = new QTimer(this);
    progressPaintTimer_->setSingleShot(true);
    progressPaintTimer_->setInterval(kProgressPaintMs);
    connect(progressPaintTimer_, &QTimer::timeout, this, &MainWindow::showProgressNow);
}

void MainWindow::showPhase(const QString& text)
{
    // A phase or a result is drawn at once, with the progress it ends.
    showProgressNow();
    statusPanels_[0]->setHint(QString());
    statusPanels_[0]->setFullText(text);
}

void MainWindow::showResult(const QString& text, bool) { showPhase(text); }

void MainWindow::showProgress(int done, int total, const QString& text)
{
    if (!text.isEmpty()) {
        progressText_ = text;
        progressTextPending_ = true;
    }
    progressDone_ = done;
    progressTotal_ = total;
    gaugePending_ = true;
    progressChanged();
}

void MainWindow::showPort(const QString& name)
{
    statusPanels_[2]->setHint(QString());
    statusPanels_[2]->setFullText(name);
    updateControls();  // a port now open: the device buttons lose their hint
}

// Drawing the progress costs more than a byte takes on the wire, so the progress panel
// and the gauge keep each byte's values and show the latest at a human rate.
void MainWindow::progressChanged()
{
    if (!progressShown_.isValid() || progressShown_.elapsed() >= kProgressPaintMs)
        showProgressNow();
    else if (!progressPaintTimer_->isActive())
        progressPaintTimer_->start();
}

void MainWindow::showProgressNow()
{
    if (!progressTextPending_ && !gaugePending_)
        return;
    progressShown_.start();
    if (progressTextPending_)
        statusPanels_[1]->setFullText(progressText_);
    if (gaugePending_) {
        // Qt draws a range of 0..0 as a busy indicator; an empty run is simply full.
        gauge_->setRange(0, std::max(progressTotal_, 1));
        gauge_->setValue(progressTotal_ > 0 ? progressDone_ : 1);
    }
    progressTextPending_ = gaugePending_ = false;
    showRunTime();
}

void MainWindow::processEvents() { QCoreApplication::processEvents(); }

void MainWindow::eraseStarted() { eraseButton_->setEnabled(false); }

// Enabled again only once the whole operation has ended (the programming run's erase
// is followed by the write).
void MainWindow::eraseEnded() { updateControls(); }

void MainWindow::showMessage(MessageIcon icon, const QString& caption, const QString& text)
{
    QMessageBox box(toBoxIcon(icon), caption, withLineBreaks(text), QMessageBox::Ok, this);
    box.exec();
}

bool MainWindow::askQuestion(MessageIcon icon, const QString& caption, const QString& text, Answers answers)
{
    const bool ok = answers == Answers::OkCancel;
    const QMessageBox::StandardButton yes = ok ? QMessageBox::Ok : QMessageBox::Yes;
    const QMessageBox::StandardButton no = ok ? QMessageBox::Cancel : QMessageBox::No;
    QMessageBox box(toBoxIcon(icon), caption, withLineBreaks(text), yes | no, this);
    // Return takes the safe answer only where the question is about touching the chip.
    box.setDefaultButton(ok ? yes : no);
    box.setEscapeButton(no);
    return box.exec() == yes;
}

QString MainWindow::askOpenFileName(const QString& filter)
{
    if (!filter.isEmpty())
        openDialog_->setFilter(filter);
    return openDialog_->exec();
}

QString MainWindow::askSaveFileName(const QString& filter, const QString& defaultSuffix)
{
    if (!filter.isEmpty())
        saveDialog_->setFilter(filter);
    if (!defaultSuffix.isEmpty())
        saveDialog_->setDefaultSuffix(defaultSuffix);
    return saveDialog_->exec();
}
