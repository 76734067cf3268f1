// The six chip entries of the "Chip" menu and what selecting one does to the target state.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "target/TargetState.h"

struct ChipEntry {
    const char* caption;       // menu text
    const char* keyword;       // command-line keyword
    int32_t flashCapacity;
    int32_t eepromCapacity;    // -1: left as it was
    int32_t flashKind;         // TargetKind for the flash
    int32_t eepromKind;        // TargetKind for the EEPROM, 0 = none
    int32_t writeDelay;        // ms, -1: left as it was
    int32_t ownWriteDelay;     // ms, the chip's own: what WriteDelay returns to after a failed run
    bool memoryChoiceEnabled;  // "flash" / "eeprom" radio buttons
    bool avrBitsEnabled;       // fuse and AVR lock check boxes
    bool normalModeForced;     // Normal chosen, "Diferential" disabled
};

inline constexpr int kChipCount = 6;
inline constexpr int kChipAtmega8 = 5;

extern const std::array<ChipEntry, kChipCount> kChipTable;

// The signature that a chip with one answers in programming mode, and the part it names.
struct ChipSignature {
    std::array<uint8_t, 3> bytes;
    const char* part;  // e.g. "ATmega8515"
    int chipIndex;     // the chip entry that programs it
};
using SignatureBytes = std::array<uint8_t, 3>;

inline constexpr int kSignatureCount = 6;
extern const std::array<ChipSignature, kSignatureCount> kSignatureTable;

// The part that three signature bytes name, or null for none we know.
const ChipSignature* chipForSignature(const SignatureBytes& bytes);
// "1E 93 07"
QString signatureText(const SignatureBytes& bytes);
// The parts a chip entry programs that have a signature: "AT89S51", or
// "ATmega8, ATmega8515 or ATmega8535"; empty for entries without one.
QString signedPartsOfEntry(int index);

// Index 0..5 of a command-line keyword (compared case-sensitively), -1 for none.
int chipIndexForKeyword(const QString& keyword);

// The target-state part of a selection: capacities, page size, TargetKind, delays.
// Index outside 0..5 changes nothing.
void applyChipState(TargetState& state, int index);

// Brings TargetKind in line with the memory radio buttons.
void ApplyMemoryChoice(TargetState& state, bool eepromChecked);

// TargetKind follows the radio buttons, so it tells which memory is chosen.
inline bool eepromSelected(const TargetState& state)
{
    return state.TargetKind == 1 || state.TargetKind == 4 || state.TargetKind == 6;
}
// The byte count of the chosen memory: what a read reads and what an image may fill.
inline int32_t selectedCapacity(const TargetState& state)
{
    return eepromSelected(state) ? state.EepromCapacity : state.FlashCapacity;
}
// Only the ATmega8 entry selects TargetKind 6 or 7.
inline bool atmega8Selected(const TargetState& state) { return state.TargetKind == 6 || state.TargetKind == 7; }
