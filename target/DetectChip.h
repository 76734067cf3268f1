// detectChip: which chip is in the socket, found by trying each instruction set of
// the chip table that reads a signature and reading the signature. Chips without a
// signature (AT89S8252, AT89S53) cannot be found this way. kestova-cli detect and
// the window's Chip > Detect both ask it.
#pragma once

#include <optional>

#include "target/ChipCatalogue.h"

class LineDriver;

struct DetectResult {
    SignatureMatch found;                     // the part and its entry, when one answered
    std::optional<SignatureBytes> signature;  // what answered, known or not
    int32_t clockDelay = 0;                   // µs, the rung it answered at
    bool portLost = false;                    // a line call failed: nothing is known
};

// Leaves the lines at rest and the clock at its first rung.
DetectResult detectChip(LineDriver& line);
