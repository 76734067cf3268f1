// IspProtocol: what the link must know of a chip to bring it into programming mode
// and to see that it answers. The chip table holds one per chip; the link reads the
// one of the chip chosen.
#pragma once

#include "link/IspInstruction.h"

struct IspProtocol {
    // Programming enable. Its o bits mark where the chip echoes enableEcho when it has
    // understood, and the enable has no o bits where the chip echoes nothing known.
    IspInstruction enable{};
    uint8_t enableEcho = 0;
    // Reads signature byte a (0, 1, 2); empty for a chip without one, which the link
    // then takes as in step without asking.
    IspInstruction signature{};
};
