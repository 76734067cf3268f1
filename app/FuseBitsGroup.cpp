// FuseBitsGroup: high byte on the left, low byte on the right and an extended byte
// after it, bit 7 at the top, the buttons below, the line of bytes at the bottom.
#include "app/FuseBitsGroup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "app/BitBoxes.h"
#include "app/Named.h"
#include "target/ChipCatalogue.h"
#include "target/FuseGuard.h"
#include "view/Strings.h"

namespace {

const QString kTitle = QStringLiteral("Fuse bits (AVR)     <- high / low  ->   ");
constexpr int kButtonRow = 8;
constexpr int kBytesRow = 9;

QString hex(uint8_t value) { return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper(); }

// SPIEN must stay programmed and RSTDISBL and DWEN must stay unprogrammed for serial
// programming: the one struck through, the others in red, each with why.
void markGuarded(QCheckBox* box, const char* name, bool guarded)
{
    QFont font = box->font();
    const bool spien = guarded && qstrcmp(name, "SPIEN") == 0;
    font.setStrikeOut(spien);
    box->setFont(font);
    QPalette palette = box->palette();
    palette.setColor(QPalette::WindowText,
                     guarded && !spien ? QColor(Qt::red) : QPalette().color(QPalette::WindowText));
    box->setPalette(palette);
    box->setToolTip(guarded ? QString::fromUtf8(Str::kFuseEndsIsp) : QString());
}

}  // namespace

FuseBitsGroup::FuseBitsGroup(QWidget* parent) : QGroupBox(kTitle, parent)
{
    setObjectName(QStringLiteral("GroupFuse"));
    auto* layout = new QGridLayout(this);
    const auto addColumn = [&](std::array<QCheckBox*, 8>& boxes, QChar suffix, int column) {
        for (int bit = 7; bit >= 0; --bit) {
            boxes[bit] = named(new QCheckBox(this), QStringLiteral("CheckboxFuse%1%2").arg(bit).arg(suffix));
            layout->addWidget(boxes[bit], 7 - bit, column);
            connect(boxes[bit], &QCheckBox::toggled, this, &FuseBitsGroup::showBytesLine);
        }
    };
    addColumn(highBoxes_, QLatin1Char('h'), 0);
    addColumn(lowBoxes_, QLatin1Char('l'), 1);
    addColumn(extendedBoxes_, QLatin1Char('e'), 2);

    readButton_ = named(new QPushButton(QStringLiteral("Ler"), this), QStringLiteral("ButtonReadFuse"));
    writeButton_ = named(new QPushButton(QStringLiteral("Gravar"), this), QStringLiteral("ButtonWriteFuse"));
    layout->addWidget(readButton_, kButtonRow, 0);
    layout->addWidget(writeButton_, kButtonRow, 1);
    bytesLine_ = named(new QLabel(this), QStringLiteral("LabelFuseBytes"));
    // Under the high and low columns: a column with every box hidden then takes no room.
    layout->addWidget(bytesLine_, kBytesRow, 0, 1, 2);
    connect(readButton_, &QPushButton::clicked, this, &FuseBitsGroup::readRequested);
    connect(writeButton_, &QPushButton::clicked, this, &FuseBitsGroup::writeRequested);

    // The ATmega8's layout until a chip is chosen.
    showNames(*chipForKeyword(QStringLiteral("atmega8")));
}

std::array<QCheckBox*, 8>& FuseBitsGroup::boxesOf(FuseByte byte)
{
    return byte == FuseByte::Low ? lowBoxes_ : byte == FuseByte::High ? highBoxes_ : extendedBoxes_;
}

void FuseBitsGroup::showNames(const ChipEntry& chip)
{
    for (FuseByte byte : {FuseByte::Low, FuseByte::High, FuseByte::Extended}) {
        const ConfigByte& fuse = chip.fuse(byte);
        for (int bit = 0; bit < 8; ++bit) {
            QCheckBox* box = boxesOf(byte)[bit];
            const char* name = fuse.exists() ? fuse.names[static_cast<size_t>(bit)] : nullptr;
            box->setText(name ? QStringLiteral("%1 (%2)").arg(QLatin1String(name)).arg(bit) : QString());
            markGuarded(box, name, name && fuseBitGuarded(chip, byte, bit));
            // A bit the byte lacks has no box: it reads 1, and a hidden box is never checked.
            if (!name)
                box->setChecked(false);
            box->setVisible(name != nullptr);
        }
    }
    setTitle(chip.fuse(FuseByte::Extended).exists() ? QString::fromLatin1(Str::kFuseGroupWithExtended) : kTitle);
    shown_ = &chip;
    showBytesLine();
}

void FuseBitsGroup::showChip(const ChipEntry* chip)
{
    if (!chip || !chip->hasFuses() || chip == shown_)
        return;
    // The boxes' bits mean other things on another chip: none stays checked.
    for (FuseByte byte : {FuseByte::Low, FuseByte::High, FuseByte::Extended})
        showBits(boxesOf(byte), 0xFF);
    showNames(*chip);
}

FuseBytes FuseBitsGroup::fuseBytes() const
{
    return {.low = bitsOf(lowBoxes_), .high = bitsOf(highBoxes_), .extended = bitsOf(extendedBoxes_)};
}

void FuseBitsGroup::setFuseBytes(uint8_t low, uint8_t high)
{
    setFuseBytes({.low = low, .high = high, .extended = bitsOf(extendedBoxes_)});
}

void FuseBitsGroup::setFuseBytes(const FuseBytes& fuses)
{
    // Bits without a box stay unchecked, whatever the byte says of them.
    const auto shownBits = [](const std::array<QCheckBox*, 8>& boxes, uint8_t value) {
        for (int bit = 0; bit < 8; ++bit)
            if (boxes[bit]->isHidden())
                value |= static_cast<uint8_t>(1u << bit);
        return value;
    };
    showBits(lowBoxes_, shownBits(lowBoxes_, fuses.low));
    showBits(highBoxes_, shownBits(highBoxes_, fuses.high));
    showBits(extendedBoxes_, shownBits(extendedBoxes_, fuses.extended));
}

void FuseBitsGroup::setBoxesUsable(bool usable)
{
    usable_ = usable;
    setUsable(highBoxes_, usable);
    setUsable(lowBoxes_, usable);
    setUsable(extendedBoxes_, usable);
    showBytesLine();
}

void FuseBitsGroup::setButtonTexts(const QString& read, const QString& write)
{
    readButton_->setText(read);
    writeButton_->setText(write);
}

void FuseBitsGroup::showBytesLine()
{
    // Boxes that hold no value show no bytes.
    if (!usable_ || !shown_) {
        bytesLine_->clear();
        return;
    }
    const FuseBytes fuses = fuseBytes();
    bytesLine_->setText(
        shown_->fuse(FuseByte::Extended).exists()
            ? QString::fromLatin1(Str::kFuseBytesLineExtended).arg(hex(fuses.low), hex(fuses.high), hex(fuses.extended))
            : QString::fromLatin1(Str::kFuseBytesLine).arg(hex(fuses.low), hex(fuses.high)));
}
