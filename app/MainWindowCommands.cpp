// MainWindow's commands: the buttons and Tools items that run a device operation or
// a file conversion. Every call from the window into the operations is here.
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
#include "target/FuseBits.h"
#include "target/LockBits.h"
#include "target/ProgramChip.h"
#include "target/ReadChip.h"
#include "view/Strings.h"

void MainWindow::connectCommands()
{
    connect(writeButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { writeChip(); }); });
    connect(readButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { ReadChip(runner_); }); });
    connect(compareButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { CompareChip(runner_); }); });
    connect(eraseButton_, &QPushButton::clicked, this, [this] { runGuarded([this] { EraseChip(runner_); }); });
    // The list's first item is no number and reads as level 0.
    connect(lockLevelButton_, &QPushButton::clicked, this, [this] {
        runGuarded([this] { WriteLockBits89S(runner_, lockLevelList_->currentText().toInt()); });
    });
    connect(fuseBits_, &FuseBitsGroup::readRequested, this, [this] { runGuarded([this] { ReadFuseBits(runner_); }); });
    connect(fuseBits_, &FuseBitsGroup::writeRequested, this,
            [this] { runGuarded([this] { WriteFuseBits(runner_); }); });
    connect(avrLockBits_, &AvrLockGroup::readRequested, this,
            [this] { runGuarded([this] { ReadLockBitsAvr(runner_); }); });
    connect(avrLockBits_, &AvrLockGroup::writeRequested, this,
            [this] { runGuarded([this] { WriteLockBitsAvr(runner_); }); });
    connect(hexToBinItem_, &QAction::triggered, this, [this] { runGuarded([this] { HexToBinConvert(*this); }); });
    connect(binToHexItem_, &QAction::triggered, this, [this] { runGuarded([this] { BinToHexConvert(*this); }); });
}

void MainWindow::runGuarded(const std::function<void()>& command)
{
    // Exceptions must not unwind through Qt's signal code, so they stop at the slot.
    try {
        command();
    } catch (const std::exception& e) {
        showMessage(MessageIcon::Error, Str::kErrorCaption, QString::fromUtf8(e.what()));
    }
}

void MainWindow::writeChip()
{
    setFocus();
    ProgramChip(runner_, autoRunFile_, eepromRadio_->isChecked());
}
