// The fuse values that end in-system programming over this cable, found from the chip
// table's bit names: RSTDISBL programmed (the RESET pin becomes an I/O pin), DWEN
// programmed (debugWIRE takes the RESET pin), SPIEN unprogrammed (serial programming
// off). The window asks and kestova-cli refuses on the same rule.
#pragma once

#include <QString>
#include <vector>

#include "target/ChipEntry.h"
#include "target/FuseBits.h"

class DeviceRunner;
enum class RunOutcome;

struct FuseHazard {
    FuseByte byte = FuseByte::Low;
    int bit = 0;
    QString name;  // "RSTDISBL"

    friend bool operator==(const FuseHazard&, const FuseHazard&) = default;
};

// A fuse bit's name on a part of the entry (the part's own name for it where it has
// one; part null: the entry's); null where the byte lacks the bit.
const char* fuseBitName(const ChipEntry& chip, const PartSignature* part, FuseByte byte, int bit);

// What writing `fuses` to `part` would end. With no part known, every part of the
// entry counts, so a bit that ends programming on any of them is named.
std::vector<FuseHazard> fuseHazards(const ChipEntry& chip, const PartSignature* part, const FuseBytes& fuses);

// Whether a bit can end in-system programming on one of the entry's parts (the window
// marks such a box).
bool fuseBitGuarded(const ChipEntry& chip, FuseByte byte, int bit);

// Whether the entry's parts disagree on what `fuses` would end (the ATmega8's RSTDISBL
// is the ATmega8515's S8515C): only the chip's signature can tell them apart.
bool fuseHazardsDependOnPart(const ChipEntry& chip, const FuseBytes& fuses);

// The hazards of writing `fuses` to the chip in the socket: where they depend on the
// part, its signature is read first (a run of its own; any outcome but Done leaves
// *hazards untouched); otherwise the chip is not touched and the outcome is Done.
RunOutcome checkFuseWrite(DeviceRunner& runner, const FuseBytes& fuses, std::vector<FuseHazard>* hazards);

// "RSTDISBL (high fuse bit 7) programmed: the RESET pin becomes an I/O pin"
QString fuseHazardText(const FuseHazard& hazard);
// The window's question before it writes such values: what each bit does, and whether
// to write them anyway.
QString fuseHazardQuestion(const std::vector<FuseHazard>& hazards);
// "RSTDISBL (high fuse bit 7) programmed and SPIEN (high fuse bit 5) unprogrammed"
QString fuseHazardNames(const std::vector<FuseHazard>& hazards);
