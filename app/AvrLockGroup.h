// AvrLockGroup: the "Lock bits (AVR):" group, one check box for each of lock bits
// 0..5 (a checked box is a programmed bit, 0; bits 6 and 7 have none) and the
// group's "Read" and "Lock" buttons. It speaks in lock bytes, as FuseBitsGroup
// speaks in fuse bytes.
#pragma once

#include <QGroupBox>
#include <array>
#include <cstdint>

class QCheckBox;
class QPushButton;

class AvrLockGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit AvrLockGroup(QWidget* parent = nullptr);

    // Bits without a box read 1.
    uint8_t lockByte() const;
    // Bits without a box are ignored.
    void setLockByte(uint8_t lock);
    // A chip without these lock bits gets cleared, disabled boxes; the buttons stay usable.
    void setBoxesUsable(bool usable);
    // The "Lock" button keeps the layout's caption, which is already English.
    void setReadButtonText(const QString& read);

signals:
    void readRequested();
    void writeRequested();

private:
    static constexpr int kBoxes = 6;
    std::array<QCheckBox*, kBoxes> boxes_{};  // index = bit of the lock byte
    QPushButton* readButton_ = nullptr;
    QPushButton* lockButton_ = nullptr;
};
