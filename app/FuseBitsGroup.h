// FuseBitsGroup: the "Fuse bits (AVR)" group, one check box per bit of the chosen
// AVR's fuse bytes (a checked box is a programmed bit, 0), a line with the bytes in
// hexadecimal, and the group's "Read" and "Write" buttons. The boxes are the only
// store of the fuse values the window writes, so the group speaks in bytes and the
// window never counts boxes. The ATmega8's sixteen boxes are drawn until a chip
// with other fuses is chosen.
#pragma once

#include <QGroupBox>
#include <array>
#include <cstdint>

#include "target/FuseBits.h"

class QCheckBox;
class QLabel;
class QPushButton;
struct ChipEntry;
enum class FuseByte;

class FuseBitsGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit FuseBitsGroup(QWidget* parent = nullptr);

    // The bytes the boxes hold; bits without a box, and a byte the chip lacks, read 1.
    FuseBytes fuseBytes() const;
    void setFuseBytes(uint8_t low, uint8_t high);
    void setFuseBytes(const FuseBytes& fuses);
    // The chip's own bytes and bit names; boxes of bits a byte lacks are hidden. Another
    // chip's layout starts with no box checked; a chip without fuses keeps the layout.
    void showChip(const ChipEntry* chip);
    // A chip without these fuses gets cleared, disabled boxes; the buttons stay usable.
    void setBoxesUsable(bool usable);
    void setButtonTexts(const QString& read, const QString& write);

signals:
    void readRequested();
    void writeRequested();

private:
    std::array<QCheckBox*, 8>& boxesOf(FuseByte byte);
    void showNames(const ChipEntry& chip);
    void showBytesLine();

    std::array<QCheckBox*, 8> lowBoxes_{};       // index = bit of the low fuse byte
    std::array<QCheckBox*, 8> highBoxes_{};      // index = bit of the high fuse byte
    std::array<QCheckBox*, 8> extendedBoxes_{};  // index = bit of the extended fuse byte
    QLabel* bytesLine_ = nullptr;
    QPushButton* readButton_ = nullptr;
    QPushButton* writeButton_ = nullptr;
    const ChipEntry* shown_ = nullptr;
    bool usable_ = true;
};
