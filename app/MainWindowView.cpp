// MainWindow as the view that device operations and file commands report through:
// the status panels and the gauge, message boxes, the shared file dialogs, the erase
// button, and the AVR fuse and lock bytes held by their groups' boxes.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "app/AvrLockGroup.h"
#include "app/FileDialog.h"
#include "app/FuseBitsGroup.h"
#include "app/MainWindow.h"
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

void MainWindow::setPanelText(int panel, const QString& text)
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
    statusPanels_[panel]->setText(text);
}

void MainWindow::setGauge(int progress, int maximum)
{
    gaugeProgress_ = progress;
    gaugeMaximum_ = maximum;
    gaugePending_ = true;
    progressChanged();
}

// Drawing the progress costs more than a byte takes on the wire, so panel 1 and the
// gauge keep each byte's values and show the latest at a human rate.
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
        statusPanels_[1]->setText(progressText_);
    if (gaugePending_) {
        // Qt draws a range of 0..0 as a busy indicator; a one-byte run is simply full.
        gauge_->setRange(0, std::max(gaugeMaximum_, 1));
        gauge_->setValue(gaugeMaximum_ > 0 ? gaugeProgress_ : 1);
    }
    progressTextPending_ = gaugePending_ = false;
}

void MainWindow::processEvents() { QCoreApplication::processEvents(); }

void MainWindow::setEraseEnabled(bool enabled) { eraseButton_->setEnabled(enabled); }

uint8_t MainWindow::avrFuseBits(bool high) const
{
    const FuseBytes bytes = fuseBits_->fuseBytes();
    return high ? bytes.high : bytes.low;
}

void MainWindow::setAvrFuseBits(uint8_t low, uint8_t high) { fuseBits_->setFuseBytes(low, high); }

uint8_t MainWindow::avrLockBits() const { return avrLockBits_->lockByte(); }

void MainWindow::setAvrLockBits(uint8_t lock) { avrLockBits_->setLockByte(lock); }

void MainWindow::showMessage(MessageIcon icon, const QString& caption, const QString& text)
{
    QMessageBox box(toBoxIcon(icon), caption, withLineBreaks(text), QMessageBox::Ok, this);
    box.exec();
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
