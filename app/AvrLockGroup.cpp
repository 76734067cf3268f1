// AvrLockGroup: columns BLB1x, BLB0x, LBx with the higher bit above, the buttons
// below, the line with the byte at the bottom.
#include "app/AvrLockGroup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/BitBoxes.h"
#include "app/Named.h"
#include "target/ChipEntry.h"
#include "view/Strings.h"

namespace {

const char* const kCaptions[6] = {"LB1", "LB2", "BLB01", "BLB02", "BLB11", "BLB12"};

}  // namespace

AvrLockGroup::AvrLockGroup(QWidget* parent) : QGroupBox(QStringLiteral("Lock bits (AVR):"), parent)
{
    setObjectName(QStringLiteral("GroupLockAvr"));
    auto* layout = new QGridLayout(this);
    for (int bit = 0; bit < kBoxes; ++bit) {
        boxes_[bit] = named(new QCheckBox(QLatin1String(kCaptions[bit]), this),
                            QStringLiteral("CheckBoxLock%1").arg(bit));
        const int column = 2 - bit / 2;
        const int row = 1 - bit % 2;
        layout->addWidget(boxes_[bit], row, column);
        connect(boxes_[bit], &QCheckBox::toggled, this, &AvrLockGroup::showByteLine);
    }
    readButton_ = named(new QPushButton(QStringLiteral("Ler"), this), QStringLiteral("ButtonReadLockAvr"));
    lockButton_ = named(new QPushButton(QStringLiteral("Lock"), this), QStringLiteral("ButtonLockAvr"));
    layout->addWidget(readButton_, 2, 0);
    layout->addWidget(lockButton_, 2, 2);
    byteLine_ = named(new QLabel(this), QStringLiteral("LabelLockByte"));
    layout->addWidget(byteLine_, 3, 0, 1, 3);
    connect(readButton_, &QPushButton::clicked, this, &AvrLockGroup::readRequested);
    connect(lockButton_, &QPushButton::clicked, this, &AvrLockGroup::writeRequested);
    showByteLine();
}

uint8_t AvrLockGroup::lockByte() const { return bitsOf(boxes_); }

void AvrLockGroup::setLockByte(uint8_t lock)
{
    for (int bit = 0; bit < kBoxes; ++bit)
        if (boxes_[bit]->isHidden())
            lock |= static_cast<uint8_t>(1u << bit);
    showBits(boxes_, lock);
}

void AvrLockGroup::showChip(const ChipEntry* chip)
{
    if (!chip || !chip->hasAvrLock() || chip == shown_)
        return;
    // The ATmega8's boxes keep their checks when it is chosen again; another chip's start empty.
    for (int bit = 0; bit < kBoxes; ++bit) {
        if (shown_)
            boxes_[bit]->setChecked(false);
        const bool has = (chip->lock.bits >> bit) & 1;
        if (!has)
            boxes_[bit]->setChecked(false);
        boxes_[bit]->setVisible(has);
    }
    shown_ = chip;
}

void AvrLockGroup::setBoxesUsable(bool usable)
{
    usable_ = usable;
    setUsable(boxes_, usable);
    showByteLine();
}

void AvrLockGroup::setReadButtonText(const QString& read) { readButton_->setText(read); }

void AvrLockGroup::showByteLine()
{
    if (!usable_) {
        byteLine_->clear();
        return;
    }
    byteLine_->setText(QString::fromLatin1(Str::kLockByteLine)
                           .arg(QStringLiteral("%1").arg(lockByte(), 2, 16, QLatin1Char('0')).toUpper()));
}
