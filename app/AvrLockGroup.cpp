// AvrLockGroup: columns BLB1x, BLB0x, LBx with the higher bit above, the buttons below.
#include "app/AvrLockGroup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>

#include "app/BitBoxes.h"
#include "app/Named.h"

namespace {

const char* const kCaptions[6] = {"LB1", "LB2", "BLB01", "BLB02", "BLB11", "BLB12"};

}  // namespace

AvrLockGroup::AvrLockGroup(QWidget* parent) : QGroupBox(QStringLiteral("Lock bits (AVR):"), parent)
{
    setObjectName(QStringLiteral("GroupLockAvr"));
    auto* layout = new QGridLayout(this);
    for (int bit = 0; bit < kBoxes; ++bit) {
        boxes_[bit] =
            named(new QCheckBox(QLatin1String(kCaptions[bit]), this), QStringLiteral("CheckBoxLock%1").arg(bit));
        const int column = 2 - bit / 2;
        const int row = 1 - bit % 2;
        layout->addWidget(boxes_[bit], row, column);
    }
    readButton_ = named(new QPushButton(QStringLiteral("Ler"), this), QStringLiteral("ButtonReadLockAvr"));
    lockButton_ = named(new QPushButton(QStringLiteral("Lock"), this), QStringLiteral("ButtonLockAvr"));
    layout->addWidget(readButton_, 2, 0);
    layout->addWidget(lockButton_, 2, 2);
    connect(readButton_, &QPushButton::clicked, this, &AvrLockGroup::readRequested);
    connect(lockButton_, &QPushButton::clicked, this, &AvrLockGroup::writeRequested);
}

uint8_t AvrLockGroup::lockByte() const { return bitsOf(boxes_); }

void AvrLockGroup::setLockByte(uint8_t lock) { showBits(boxes_, lock); }

void AvrLockGroup::setBoxesUsable(bool usable) { setUsable(boxes_, usable); }

void AvrLockGroup::setReadButtonText(const QString& read) { readButton_->setText(read); }
