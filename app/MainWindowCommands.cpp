// MainWindow's commands: the buttons and Tools items that run a device operation or
// a file conversion. Every call from the window into the operations is here; the
// questions they need answered (which file, which bits) are asked here first.
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <exception>

#include "app/AvrLockGroup.h"
#include "app/FuseBitsGroup.h"
#include "app/MainWindow.h"
#include "image/Converters.h"
#include "target/CompareChip.h"
#include "target/EraseChip.h"
#include "target/ErrorText.h"
#include "target/FuseBits.h"
#include "target/LockBits.h"
#include "target/ProgramChip.h"
#include "target/ReadChip.h"
#include "view/Strings.h"

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

void MainWindow::connectCommands()
{
    connect(writeButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { writeChip(); }); });
    connect(readButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { readChipIntoFile(); }); });
    connect(compareButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { compareChipWithFile(); }); });
    connect(eraseButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { eraseChip(runner_); }); });
    // The list's first item is no number and reads as level 0.
    connect(lockLevelButton_, &QPushButton::clicked, this, [this] {
        runGuarded([this] { writeLockBits89S(runner_, lockLevelList_->currentText().toInt()); });
    });
    connect(fuseBits_, &FuseBitsGroup::readRequested, this, [this] { runGuarded([this] { readFuses(); }); });
    connect(fuseBits_, &FuseBitsGroup::writeRequested, this,
            [this] { runGuarded([this] { writeFuseBits(runner_, fuseBits_->fuseBytes()); }); });
    connect(avrLockBits_, &AvrLockGroup::readRequested, this, [this] { runGuarded([this] { readAvrLock(); }); });
    connect(avrLockBits_, &AvrLockGroup::writeRequested, this,
            [this] { runGuarded([this] { writeAvrLockBits(runner_, avrLockBits_->lockByte()); }); });
    connect(hexToBinItem_, &QAction::triggered, this, [this] { runGuarded([this] { convertHexToBinFile(); }); });
    connect(binToHexItem_, &QAction::triggered, this, [this] { runGuarded([this] { convertBinToHexFile(); }); });
}

void MainWindow::runGuarded(const std::function<void()>& command)
{
    // Exceptions must not unwind through Qt's signal code, so they stop at the slot.
    try {
        command();
    } catch (const std::exception& e) {
        showMessage(MessageIcon::Error, Str::kErrorCaption, errorText(e));
    }
}

// A click handled while another operation lets events run opens no dialog: the
// operation would refuse to start anyway.

void MainWindow::writeChip()
{
    setFocus();
    if (runner_.busy())
        return;
    if (autoRunFile_.isEmpty()) {
        const QString chosen = askOpenFileName(text(Str::kFilterImages));
        if (chosen.isEmpty())
            return;
        autoRunFile_ = chosen;
    }
    programChip(runner_, autoRunFile_, eepromRadio_->isChecked());
}

void MainWindow::readChipIntoFile()
{
    if (runner_.busy())
        return;
    // A HEX name gets Intel HEX, any other the raw bytes.
    const QString fileName = askSaveFileName(text(Str::kFilterBinOrHex), text(Str::kDefaultExtBin));
    if (!fileName.isEmpty())
        readChip(runner_, fileName);
}

void MainWindow::compareChipWithFile()
{
    if (runner_.busy())
        return;
    const QString fileName = askOpenFileName(text(Str::kFilterImages));
    if (!fileName.isEmpty())
        compareChip(runner_, fileName);
}

void MainWindow::readFuses()
{
    FuseBytes fuses;
    if (readFuseBits(runner_, &fuses) == RunOutcome::Done)
        fuseBits_->setFuseBytes(fuses.low, fuses.high);
}

void MainWindow::readAvrLock()
{
    uint8_t lock = 0xFF;
    if (readAvrLockBits(runner_, &lock) == RunOutcome::Done)
        avrLockBits_->setLockByte(lock);
}

// The converters read and check the input before the output is asked for, so a bad
// file is reported first; the output dialog offers the format being written, so a
// name typed without an extension gets the right one.

void MainWindow::convertHexToBinFile()
{
    const QString in = askOpenFileName(text(Str::kFilterHex));
    if (in.isEmpty())
        return;
    const HexToBinConversion conversion(in);
    const QString out = askSaveFileName(text(Str::kFilterBin), text(Str::kDefaultExtBin));
    if (!out.isEmpty())
        conversion.writeTo(out);
}

void MainWindow::convertBinToHexFile()
{
    const QString in = askOpenFileName(text(Str::kFilterBinAll));
    if (in.isEmpty())
        return;
    BinToHexConversion conversion(in);
    const QString out = askSaveFileName(text(Str::kFilterHex), text(Str::kDefaultExtHex));
    if (!out.isEmpty())
        conversion.writeTo(out);
}
