// FuseBitsGroup: the "Fuse bits (AVR)" group, one check box per bit of the low and
// the high fuse byte (a checked box is a programmed bit, 0) and the group's "Read"
// and "Write" buttons. The boxes are the only store of the fuse values the window
// writes, so the group speaks in bytes and the window never counts boxes.
#pragma once

#include <QGroupBox>
#include <array>
#include <cstdint>

#include "target/FuseBits.h"

class QCheckBox;
class QPushButton;

class FuseBitsGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit FuseBitsGroup(QWidget* parent = nullptr);

    // The low and high bytes the boxes hold (the ATmega8 has no extended fuse: 0xFF).
    FuseBytes fuseBytes() const;
    void setFuseBytes(uint8_t low, uint8_t high);
    // A chip without these fuses gets cleared, disabled boxes; the buttons stay usable.
    void setBoxesUsable(bool usable);
    void setButtonTexts(const QString& read, const QString& write);

signals:
    void readRequested();
    void writeRequested();

private:
    std::array<QCheckBox*, 8> lowBoxes_{};   // index = bit of the low fuse byte
    std::array<QCheckBox*, 8> highBoxes_{};  // index = bit of the high fuse byte
    QPushButton* readButton_ = nullptr;
    QPushButton* writeButton_ = nullptr;
};
