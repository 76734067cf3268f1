// The chip table: the entries of the "Chip" menu, in its order (the index is the
// configuration file's CHIP value), each with its facts and instructions as data
// (ChipEntry), and what choosing one does to the target state.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <span>

#include "target/ChipEntry.h"
#include "target/TargetState.h"

// Every entry, menu order.
std::span<const ChipEntry> chipTable();
inline int chipCount() { return static_cast<int>(chipTable().size()); }
// The entry at a menu index, null outside the table.
const ChipEntry* chipAt(int index);
// The menu index of an entry of the table, -1 for anything else.
int chipIndexOf(const ChipEntry* chip);

using SignatureBytes = std::array<uint8_t, 3>;
// A part that answered a signature, and the entry that programs it.
struct SignatureMatch {
    const ChipEntry* chip = nullptr;
    const PartSignature* part = nullptr;
    explicit operator bool() const { return chip != nullptr; }
};
// The part that three signature bytes name, or no match for none we know.
SignatureMatch chipForSignature(const SignatureBytes& bytes);
// The --chip name that selects a part: its own name where that names its entry
// ("atmega8515", "atmega328"), else the entry's keyword.
QString chipNameFor(const SignatureMatch& match);
// "1E 93 07"
QString signatureText(const SignatureBytes& bytes);
// The parts an entry programs that have a signature: "AT89S51", or
// "ATmega8, ATmega8515 or ATmega8535"; empty for entries without one.
QString signedPartsOfEntry(const ChipEntry& chip);

// The entry of a command-line keyword (compared case-sensitively), null for none.
const ChipEntry* chipForKeyword(const QString& keyword);
// The entry a keyword or an alias names, in any case (kestova-cli's --chip), null for none.
const ChipEntry* chipForName(const QString& keywordOrAlias);
// An entry's aliases as a list.
QStringList aliasesOf(const ChipEntry& chip);

// "a, b or c" for the texts that list what the table has.
QString listInWords(const QStringList& items, const QString& lastJoin = QStringLiteral(" or "));

// The target-state part of a selection: the chip, flash chosen, its delays. A null
// chip changes nothing.
void applyChipState(TargetState& state, const ChipEntry* chip);

// Brings the chosen memory in line with the memory radio buttons (or --eeprom): the
// EEPROM where the chip has one and it is asked for, else the flash.
void applyMemoryChoice(TargetState& state, bool eepromChecked);
