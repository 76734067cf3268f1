// MainWindow's commands: the buttons and Tools items that run a device operation or
// a file conversion. Every call from the window into the operations is here; the
// questions they need answered (which file, which bits) are asked here first.
#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <exception>

#include "app/AvrLockGroup.h"
#include "app/FuseBitsGroup.h"
#include "app/HexEditorWindow.h"
#include "app/MainWindow.h"
#include "image/Converters.h"
#include "target/ChipCatalogue.h"
#include "target/CompareChip.h"
#include "target/DetectChip.h"
#include "target/EraseChip.h"
#include "target/ErrorText.h"
#include "target/FuseBits.h"
#include "target/FuseGuard.h"
#include "target/LockBits.h"
#include "target/ProgramChip.h"
#include "target/ReadChip.h"
#include "target/RunReport.h"
#include "view/Strings.h"

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

void MainWindow::connectCommands()
{
    connect(writeButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { writeChip(); }); });
    connect(readButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { readChipIntoFile(); }); });
    connect(compareButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { compareChipWithFile(); }); });
    connect(eraseButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { eraseAfterAsking(); }); });
    // The list's first item is no number and reads as level 0.
    connect(lockLevelButton_, &QPushButton::clicked, this, [this] {
        runGuarded([this] {
            runDevice(Running::Other,
                      [this] { return writeLockBits89S(runner_, lockLevelList_->currentText().toInt()); });
        });
    });
    connect(fuseBits_, &FuseBitsGroup::readRequested, this, [this] { runGuarded([this] { readFuses(); }); });
    connect(fuseBits_, &FuseBitsGroup::writeRequested, this, [this] { runGuarded([this] { writeFuses(); }); });
    connect(avrLockBits_, &AvrLockGroup::readRequested, this, [this] { runGuarded([this] { readAvrLock(); }); });
    connect(avrLockBits_, &AvrLockGroup::writeRequested, this, [this] {
        runGuarded([this] {
            runDevice(Running::Other, [this] { return writeAvrLockBits(runner_, avrLockBits_->lockByte()); });
        });
    });
    connect(hexToBinItem_, &QAction::triggered, this, [this] { runGuarded([this] { convertHexToBinFile(); }); });
    connect(binToHexItem_, &QAction::triggered, this, [this] { runGuarded([this] { convertBinToHexFile(); }); });
    connect(detectItem_, &QAction::triggered, this, [this] { runGuarded([this] { detectChip(); }); });
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
    if (runner_.busy() || running_ != Running::Nothing)
        return;
    if (autoRunFile_.isEmpty()) {
        const QString chosen = askOpenFileName(text(Str::kFilterImages));
        rememberFolder();
        if (chosen.isEmpty() || !chooseFile(chosen))
            return;
    } else {
        chosenFileChanged();  // the run reads it afresh either way; the user is told
    }
    // The run empties its copy when it gives up on the file; the window keeps the
    // choice for the next chip unless the file is gone.
    QString file = autoRunFile_;
    try {
        runDevice(Running::Write, [&] { return programChip(runner_, file, eepromRadio_->isChecked()); });
    } catch (...) {
        runNote_.clear();
        throw;
    }
    if (!QFileInfo::exists(autoRunFile_)) {
        autoRunFile_.clear();
        showChosenFile();
    }
}

void MainWindow::readChipIntoFile()
{
    if (runner_.busy() || running_ != Running::Nothing)
        return;
    // A HEX name gets Intel HEX, any other the raw bytes.
    const QString fileName = askSaveFileName(text(Str::kFilterBinOrHex), text(Str::kDefaultExtBin));
    rememberFolder();
    if (!fileName.isEmpty())
        runDevice(Running::Other, [&] { return readChip(runner_, fileName); });
}

void MainWindow::compareChipWithFile()
{
    if (runner_.busy() || running_ != Running::Nothing)
        return;
    const QString fileName = askOpenFileName(text(Str::kFilterImages));
    rememberFolder();
    if (fileName.isEmpty())
        return;
    runDevice(Running::Other, [&] { return compareChip(runner_, fileName); });
    const RunReport& report = runner_.report();
    if (report.kind != RunKind::Compare || !report.hasDifference())
        return;
    const QString where = QStringLiteral("0x")
        + QStringLiteral("%1").arg(report.firstDifference, 4, 16, QLatin1Char('0')).toUpper();
    if (askQuestion(MessageIcon::Information, text(Str::kProgramName), text(Str::kOpenDifferenceQuestion).arg(where),
                    Answers::YesNo))
        showChipBytes(report.chipBytes, report.firstDifference);
}

void MainWindow::readFuses()
{
    FuseBytes fuses;
    if (runDevice(Running::Other, [&] { return readFuseBits(runner_, &fuses); }) == RunOutcome::Done) {
        fuseBits_->setFuseBytes(fuses);
        fusesRead_ = true;
        lastFuses_ = fuses;
    }
}

void MainWindow::writeFuses()
{
    if (runner_.busy())
        return;
    const FuseBytes fuses = fuseBits_->fuseBytes();
    // The chip's signature first where the value's meaning depends on the part.
    std::vector<FuseHazard> hazards;
    if (runDevice(Running::Other, [&] { return checkFuseWrite(runner_, fuses, &hazards); }) != RunOutcome::Done)
        return;
    if (!hazards.empty()
        && !askQuestion(MessageIcon::Warning, text(Str::kWarningCaption), fuseHazardQuestion(hazards), Answers::YesNo))
        return;
    runDevice(Running::Other, [&] { return writeFuseBits(runner_, fuses); });
}

void MainWindow::readAvrLock()
{
    uint8_t lock = 0xFF;
    if (runDevice(Running::Other, [&] { return readAvrLockBits(runner_, &lock); }) == RunOutcome::Done)
        avrLockBits_->setLockByte(lock);
}

// What an erase takes, named before it happens: the flash, the EEPROM unless the
// EESAVE fuse keeps it (said honestly when the fuses were not read), the lock bits.
void MainWindow::eraseAfterAsking()
{
    const ChipEntry* chip = target_.chip;
    if (!chip || runner_.busy() || running_ != Running::Nothing)
        return;
    QStringList goes{text(Str::kEraseFlash).arg(QLocale().toString(chip->flash.size))};
    QString kept;
    if (chip->hasEeprom()) {
        // The chip table names each fuse bit; a chip without EESAVE loses its EEPROM.
        int eesaveBit = -1;
        FuseByte eesaveByte = FuseByte::High;
        for (FuseByte which : {FuseByte::Low, FuseByte::High, FuseByte::Extended})
            for (int bit = 0; bit < 8; ++bit)
                if (const char* name = chip->fuse(which).names[static_cast<size_t>(bit)];
                    name && QLatin1String(name) == QLatin1String("EESAVE")) {
                    eesaveBit = bit;
                    eesaveByte = which;
                }
        const QString eeprom = QLocale().toString(chip->eeprom.size);
        if (eesaveBit < 0) {
            goes << text(Str::kEraseEeprom).arg(eeprom);
        } else if (!fusesRead_) {
            goes << text(Str::kEraseEepromUnlessKept).arg(eeprom, QStringLiteral("EESAVE"));
        } else {
            const uint8_t byte = eesaveByte == FuseByte::Low ? lastFuses_.low
                : eesaveByte == FuseByte::High               ? lastFuses_.high
                                                             : lastFuses_.extended;
            if ((byte >> eesaveBit) & 1)
                goes << text(Str::kEraseEeprom).arg(eeprom);
            else
                kept = text(Str::kEraseEepromKept).arg(QStringLiteral("EESAVE"));
        }
    }
    goes << text(Str::kEraseLockBits);
    QString question = text(Str::kEraseQuestion).arg(QLatin1String(chip->name)) + QLatin1Char('\n')
        + text(Str::kEraseGoes).arg(listInWords(goes, QStringLiteral(" and ")));
    if (!kept.isEmpty())
        question += QLatin1Char('\n') + kept;
    if (askQuestion(MessageIcon::Warning, text(Str::kEraseCaption), question, Answers::YesNo))
        runDevice(Running::Erase, [this] { return eraseChip(runner_); });
}

void MainWindow::readChipIntoEditor()
{
    if (!target_.chip || runner_.busy() || running_ != Running::Nothing)
        return;
    const RunOutcome outcome = runDevice(Running::Other, [this] { return readChipToMemory(runner_); });
    if (outcome == RunOutcome::Done || outcome == RunOutcome::Cancelled)
        showChipBytes(runner_.report().chipBytes, 0);
}

void MainWindow::showChipBytes(const QByteArray& bytes, qint64 caret)
{
    if (!windows_.hexEditor || !target_.chip)
        return;
    const QString memory = text(target_.eepromSelected() ? Str::kMemoryEeprom : Str::kMemoryFlash);
    const QString title = text(Str::kEditorTitle)
                              .arg(QLatin1String(target_.chip->name), memory,
                                   QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
    windows_.hexEditor->showBytes(bytes, title, caret);
}

// What kestova-cli detect does: names the chip and offers to select its entry.
void MainWindow::detectChip()
{
    if (runner_.busy() || running_ != Running::Nothing)
        return;
    DetectResult result;
    runDevice(Running::Other, [&] {
        showPhase(text(Str::kWait));
        processEvents();
        result = ::detectChip(link_);
        showPhase(QString());
        return RunOutcome::Done;
    });
    if (result.portLost) {
        showResult(text(Str::kCommunicationError), true);
        showMessage(
            MessageIcon::Error, text(Str::kErrorCaption),
            text(Str::kPortFailed).arg(link_.portName(), link_.lines() ? link_.lines()->failureReason() : QString()));
        return;
    }
    if (!result.found) {
        const QString what = result.signature
            ? QStringLiteral("%1 (%2)").arg(text(Str::kUnknownChip), signatureText(*result.signature))
            : text(Str::kDetectNoSignature);
        showMessage(MessageIcon::Information, text(Str::kDetectCaption), what);
        return;
    }
    const QString found = text(Str::kDetectFound)
                              .arg(QLatin1String(result.found.part->part), signatureText(*result.signature))
                              .arg(result.clockDelay);
    const int index = chipIndexOf(result.found.chip);
    if (result.found.chip == target_.chip) {
        showMessage(MessageIcon::Information, text(Str::kDetectCaption),
                    found + QLatin1Char('\n') + text(Str::kDetectSelected));
    } else if (index < 0 || index >= static_cast<int>(chipItems_.size())) {
        showMessage(MessageIcon::Information, text(Str::kDetectCaption),
                    found + QLatin1Char('\n') + text(Str::kDetectNotInMenu));
    } else if (askQuestion(MessageIcon::Information, text(Str::kDetectCaption),
                           found + QLatin1Char('\n')
                               + text(Str::kDetectSelect).arg(QLatin1String(result.found.chip->caption)),
                           Answers::YesNo)) {
        chipItems_[static_cast<size_t>(index)]->trigger();
    }
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
    rememberFolder();
    if (out.isEmpty())
        return;
    conversion.writeTo(out);
    showConversion(out);
}

void MainWindow::convertBinToHexFile()
{
    const QString in = askOpenFileName(text(Str::kFilterBinAll));
    if (in.isEmpty())
        return;
    BinToHexConversion conversion(in);
    const QString out = askSaveFileName(text(Str::kFilterHex), text(Str::kDefaultExtHex));
    rememberFolder();
    if (out.isEmpty())
        return;
    conversion.writeTo(out);
    showConversion(out);
}
