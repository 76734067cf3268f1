// Check boxes standing for the bits of a byte, box i for bit i: a checked box is a
// programmed bit, 0, as the chips' fuse and lock bytes count them.
#pragma once

#include <QCheckBox>
#include <cstdint>
#include <span>

// Bits without a box read 1.
inline uint8_t bitsOf(std::span<QCheckBox* const> boxes)
{
    uint8_t value = 0xFF;
    for (size_t bit = 0; bit < boxes.size(); ++bit)
        if (boxes[bit]->isChecked())
            value &= static_cast<uint8_t>(~(1u << bit));
    return value;
}

inline void showBits(std::span<QCheckBox* const> boxes, uint8_t value)
{
    for (size_t bit = 0; bit < boxes.size(); ++bit)
        boxes[bit]->setChecked((value & (1u << bit)) == 0);
}

// An unusable box holds no value: it is cleared as it is disabled.
inline void setUsable(std::span<QCheckBox* const> boxes, bool usable)
{
    for (QCheckBox* box : boxes) {
        if (!usable)
            box->setChecked(false);
        box->setEnabled(usable);
    }
}
