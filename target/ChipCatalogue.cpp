// The chip table: capacities, instruction sets (TargetKind), delays and controls.
#include "target/ChipCatalogue.h"

#include <QStringList>

const std::array<ChipEntry, kChipCount> kChipTable = {{
    {"AT89S8252 (8K)", "s8252", 8192, 2048, 2, 1, -1, 3, true, false, false},
    {"AT89S8253 (12K)", "s8253", 12288, 2048, 5, 4, 4, 4, true, false, true},
    {"AT89S53 (12K)", "s53", 12288, -1, 2, 0, 3, 3, false, false, false},
    {"AT89S52 (8K)", "s52", 8192, -1, 3, 0, 1, 1, false, false, true},
    {"AT89S51 (4K)", "s51", 4096, -1, 3, 0, 1, 1, false, false, true},
    {"ATMEGA8/85X5 (8K)", "atmega8", 8192, 512, 7, 6, 7, 7, true, true, true},
}};

// The AT89S8252 and AT89S53 have no signature that can be read over the wire.
const std::array<ChipSignature, kSignatureCount> kSignatureTable = {{
    {{0x1E, 0x73, 0xFF}, "AT89S8253", 1},
    {{0x1E, 0x52, 0x06}, "AT89S52", 3},
    {{0x1E, 0x51, 0x06}, "AT89S51", 4},
    {{0x1E, 0x93, 0x07}, "ATmega8", kChipAtmega8},
    {{0x1E, 0x93, 0x06}, "ATmega8515", kChipAtmega8},
    {{0x1E, 0x93, 0x08}, "ATmega8535", kChipAtmega8},
}};

const ChipSignature* chipForSignature(const SignatureBytes& bytes)
{
    for (const ChipSignature& signature : kSignatureTable)
        if (signature.bytes == bytes)
            return &signature;
    return nullptr;
}

QString signatureText(const SignatureBytes& bytes)
{
    return QStringLiteral("%1 %2 %3")
        .arg(bytes[0], 2, 16, QLatin1Char('0'))
        .arg(bytes[1], 2, 16, QLatin1Char('0'))
        .arg(bytes[2], 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString signedPartsOfEntry(int index)
{
    QStringList parts;
    for (const ChipSignature& signature : kSignatureTable)
        if (signature.chipIndex == index)
            parts << QLatin1String(signature.part);
    if (parts.size() < 2)
        return parts.join(QString());
    const QString last = parts.takeLast();
    return parts.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

int chipIndexForKeyword(const QString& keyword)
{
    for (int i = 0; i < kChipCount; ++i)
        if (keyword == QLatin1String(kChipTable[i].keyword))
            return i;
    return -1;
}

void applyChipState(TargetState& state, int index)
{
    if (index < 0 || index >= kChipCount)
        return;
    const ChipEntry& entry = kChipTable[index];
    state.FlashCapacity = entry.flashCapacity;
    if (entry.eepromCapacity >= 0)
        state.EepromCapacity = entry.eepromCapacity;
    if (index == kChipAtmega8)
        state.FlashPageWords = 32;
    state.TargetKind = entry.flashKind;
    if (entry.writeDelay >= 0)
        state.WriteDelay = entry.writeDelay;
    // A failed run returns WriteDelay to this chip's own, not to another chip's or 0,
    // which would read a byte back before its write cycle is over.
    state.RestoreWriteDelay = entry.ownWriteDelay;
    if (index == kChipAtmega8)
        state.EepromWriteDelay = 12;
}

void ApplyMemoryChoice(TargetState& state, bool eepromChecked)
{
    int32_t& kind = state.TargetKind;
    if (eepromChecked) {
        if (kind == 5) kind = 4;
        else if (kind == 2) kind = 1;
        else if (kind == 7) kind = 6;
    } else {
        if (kind == 4) kind = 5;
        else if (kind == 1) kind = 2;
        else if (kind == 6) kind = 7;
    }
}
