// FuseBitsGroup: high byte on the left, low byte on the right, bit 7 at the top, the
// buttons below.
#include "app/FuseBitsGroup.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>

#include "app/BitBoxes.h"
#include "app/Named.h"

namespace {

const char* const kHighCaptions[8] = {"BOOTRST (0)", "BOOTSZ0 (1)", "BOOTSZ1 (2)", "EESAVE (3)",
                                      "CKOPT (4)",   "SPIEN (5)",   "WDTON (6)",   "RSTDISBL/S85X5C (7)"};
const char* const kLowCaptions[8] = {"CKSEL0 (0)", "CKSEL1 (1)", "CKSEL2 (2)", "CKSEL3 (3)",
                                     "SUT0 (4)",   "SUT1 (5)",   "BODEN (6)",  "BODLEVEL (7)"};
constexpr int kSpienBit = 5;

}  // namespace

FuseBitsGroup::FuseBitsGroup(QWidget* parent)
    : QGroupBox(QStringLiteral("Fuse bits (AVR)     <- high / low  ->   "), parent)
{
    setObjectName(QStringLiteral("GroupFuse"));
    auto* layout = new QGridLayout(this);
    for (int bit = 7; bit >= 0; --bit) {
        highBoxes_[bit] = named(new QCheckBox(QLatin1String(kHighCaptions[bit]), this),
                                QStringLiteral("CheckboxFuse%1h").arg(bit));
        lowBoxes_[bit] = named(new QCheckBox(QLatin1String(kLowCaptions[bit]), this),
                               QStringLiteral("CheckboxFuse%1l").arg(bit));
        layout->addWidget(highBoxes_[bit], 7 - bit, 0);
        layout->addWidget(lowBoxes_[bit], 7 - bit, 1);
    }
    // SPIEN must stay programmed for serial programming: shown struck through as a warning.
    QFont struck = highBoxes_[kSpienBit]->font();
    struck.setStrikeOut(true);
    highBoxes_[kSpienBit]->setFont(struck);

    readButton_ = named(new QPushButton(QStringLiteral("Ler"), this), QStringLiteral("ButtonReadFuse"));
    writeButton_ = named(new QPushButton(QStringLiteral("Gravar"), this), QStringLiteral("ButtonWriteFuse"));
    layout->addWidget(readButton_, 8, 0);
    layout->addWidget(writeButton_, 8, 1);
    connect(readButton_, &QPushButton::clicked, this, &FuseBitsGroup::readRequested);
    connect(writeButton_, &QPushButton::clicked, this, &FuseBitsGroup::writeRequested);
}

FuseBytes FuseBitsGroup::fuseBytes() const { return {.low = bitsOf(lowBoxes_), .high = bitsOf(highBoxes_)}; }

void FuseBitsGroup::setFuseBytes(uint8_t low, uint8_t high)
{
    showBits(lowBoxes_, low);
    showBits(highBoxes_, high);
}

void FuseBitsGroup::setBoxesUsable(bool usable)
{
    setUsable(highBoxes_, usable);
    setUsable(lowBoxes_, usable);
}

void FuseBitsGroup::setButtonTexts(const QString& read, const QString& write)
{
    readButton_->setText(read);
    writeButton_->setText(write);
}
