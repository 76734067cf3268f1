// The AT89S8252 and AT89S53: 3-byte instructions with the address high bits in
// the opcode, self-erasing byte writes and no readable signature.
#pragma once

#include "sim/ChipModel.h"

class At89ThreeByteChip final : public ChipModel {
public:
    explicit At89ThreeByteChip(SimChipType type);

protected:
    int dataReply(const uint8_t* frame) const override;
    void run(const uint8_t* frame, Clock::time_point now) override;

private:
    enum class Op { None, ReadFlash, WriteFlash, ReadEeprom, WriteEeprom };
    struct Decoded {
        Op op = Op::None;
        uint32_t address = 0;
    };
    Decoded decode(const uint8_t* frame) const;
    bool writesLocked() const { return (memories_.lock & 0x01) == 0; }
};
