// AvrLockGroup: the "Lock bits (AVR):" group, one check box for each lock bit the
// chosen AVR has (a checked box is a programmed bit, 0; bits 6 and 7 have none), a
// line with the byte in hexadecimal, and the group's "Read" and "Lock" buttons. It
// speaks in lock bytes, as FuseBitsGroup speaks in fuse bytes.
#pragma once

#include <QGroupBox>
#include <array>
#include <cstdint>

class QCheckBox;
class QLabel;
class QPushButton;
struct ChipEntry;

class AvrLockGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit AvrLockGroup(QWidget* parent = nullptr);

    // Bits without a box read 1.
    uint8_t lockByte() const;
    // Bits without a box are ignored.
    void setLockByte(uint8_t lock);
    // The chip's own lock bits (LB1 and LB2 alone on the parts without a boot section);
    // boxes of the bits it lacks are hidden. A chip without them keeps the layout.
    void showChip(const ChipEntry* chip);
    // A chip without these lock bits gets cleared, disabled boxes; the buttons stay usable.
    void setBoxesUsable(bool usable);
    // The "Lock" button keeps the layout's caption, which is already English.
    void setReadButtonText(const QString& read);

signals:
    void readRequested();
    void writeRequested();

private:
    void showByteLine();

    static constexpr int kBoxes = 6;
    std::array<QCheckBox*, kBoxes> boxes_{};  // index = bit of the lock byte
    QLabel* byteLine_ = nullptr;
    QPushButton* readButton_ = nullptr;
    QPushButton* lockButton_ = nullptr;
    const ChipEntry* shown_ = nullptr;  // null: the ATmega8's six boxes, before any chip
    bool usable_ = true;
};
