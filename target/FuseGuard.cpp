// The rule of FuseGuard.h over the chip table's fuse bit names.
#include "target/FuseGuard.h"

#include <QStringList>
#include <cstring>

#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/TargetState.h"
#include "view/Strings.h"

namespace {

constexpr FuseByte kFuseOrder[] = {FuseByte::Low, FuseByte::High, FuseByte::Extended};

enum class Ends { Nothing, WhenProgrammed, WhenUnprogrammed };

Ends whatEnds(const char* name)
{
    if (!name)
        return Ends::Nothing;
    if (std::strcmp(name, "RSTDISBL") == 0 || std::strcmp(name, "DWEN") == 0)
        return Ends::WhenProgrammed;
    if (std::strcmp(name, "SPIEN") == 0)
        return Ends::WhenUnprogrammed;
    return Ends::Nothing;
}

uint8_t byteOf(const FuseBytes& fuses, FuseByte which)
{
    return which == FuseByte::Low ? fuses.low : which == FuseByte::High ? fuses.high : fuses.extended;
}

bool endsProgramming(const char* name, uint8_t value, int bit)
{
    const bool programmed = ((value >> bit) & 1) == 0;
    const Ends ends = whatEnds(name);
    return (ends == Ends::WhenProgrammed && programmed) || (ends == Ends::WhenUnprogrammed && !programmed);
}

std::vector<const PartSignature*> partsOf(const ChipEntry& chip)
{
    std::vector<const PartSignature*> parts;
    for (const PartSignature& part : chip.parts)
        if (part.part)
            parts.push_back(&part);
    if (parts.empty())
        parts.push_back(nullptr);  // the entry's own names
    return parts;
}

const PartSignature* partWithSignature(const ChipEntry& chip, const SignatureBytes& bytes)
{
    for (const PartSignature& part : chip.parts)
        if (part.part && part.bytes == bytes)
            return &part;
    return nullptr;
}

const char* byteName(FuseByte which)
{
    return which == FuseByte::Low ? Str::kLowFuse : which == FuseByte::High ? Str::kHighFuse : Str::kExtendedFuse;
}

}  // namespace

const char* fuseBitName(const ChipEntry& chip, const PartSignature* part, FuseByte byte, int bit)
{
    const ConfigByte& fuse = chip.fuse(byte);
    if (!fuse.exists() || bit < 0 || bit > 7 || !((fuse.bits >> bit) & 1))
        return nullptr;
    if (part && part->ownBit.byte == byte && part->ownBit.bit == bit)
        return part->ownBit.name;
    return fuse.names[static_cast<size_t>(bit)];
}

std::vector<FuseHazard> fuseHazards(const ChipEntry& chip, const PartSignature* part, const FuseBytes& fuses)
{
    const std::vector<const PartSignature*> parts = part ? std::vector<const PartSignature*>{part} : partsOf(chip);
    std::vector<FuseHazard> hazards;
    for (FuseByte which : kFuseOrder) {
        if (!chip.fuse(which).exists())
            continue;
        const uint8_t value = byteOf(fuses, which);
        for (int bit = 7; bit >= 0; --bit) {
            for (const PartSignature* candidate : parts) {
                const char* name = fuseBitName(chip, candidate, which, bit);
                if (endsProgramming(name, value, bit)) {
                    hazards.push_back({which, bit, QLatin1String(name)});
                    break;
                }
            }
        }
    }
    return hazards;
}

bool fuseBitGuarded(const ChipEntry& chip, FuseByte byte, int bit)
{
    for (const PartSignature* part : partsOf(chip))
        if (whatEnds(fuseBitName(chip, part, byte, bit)) != Ends::Nothing)
            return true;
    return false;
}

bool fuseHazardsDependOnPart(const ChipEntry& chip, const FuseBytes& fuses)
{
    const std::vector<const PartSignature*> parts = partsOf(chip);
    for (const PartSignature* part : parts)
        if (fuseHazards(chip, part, fuses) != fuseHazards(chip, parts.front(), fuses))
            return true;
    return false;
}

RunOutcome checkFuseWrite(DeviceRunner& runner, const FuseBytes& fuses, std::vector<FuseHazard>* hazards)
{
    const ChipEntry* chip = runner.target().chip;
    if (!chip || !chip->hasFuses()) {
        hazards->clear();
        return RunOutcome::Done;
    }
    if (!fuseHazardsDependOnPart(*chip, fuses)) {
        *hazards = fuseHazards(*chip, nullptr, fuses);
        return RunOutcome::Done;
    }
    SignatureBytes signature{};
    const RunOutcome outcome = runner.run([&](DeviceSession& session) {
        for (uint32_t i = 0; i < signature.size(); ++i)
            signature[i] = session.transfer(chip->isp.signature, {i});
        session.release();
    });
    // A signature of none of the entry's parts: every part's meaning counts.
    if (outcome == RunOutcome::Done)
        *hazards = fuseHazards(*chip, partWithSignature(*chip, signature), fuses);
    return outcome;
}

QString fuseHazardText(const FuseHazard& hazard)
{
    const Ends ends = whatEnds(hazard.name.toLatin1().constData());
    const char* what = ends == Ends::WhenUnprogrammed ? Str::kFuseSpiOff
        : hazard.name == QLatin1String("DWEN")        ? Str::kFuseDebugWire
                                                      : Str::kFuseResetDisabled;
    return QString::fromLatin1(Str::kFuseBitPlace)
               .arg(hazard.name, QLatin1String(byteName(hazard.byte)))
               .arg(hazard.bit)
        + QLatin1Char(' ') + QString::fromUtf8(what);
}

QString fuseHazardQuestion(const std::vector<FuseHazard>& hazards)
{
    QString text = QString::fromUtf8(Str::kFuseEndsIsp) + QLatin1Char('\n');
    for (const FuseHazard& hazard : hazards)
        text += QLatin1Char('\n') + fuseHazardText(hazard);
    return text + QStringLiteral("\n\n") + QString::fromLatin1(Str::kFuseWriteAnyway);
}

QString fuseHazardNames(const std::vector<FuseHazard>& hazards)
{
    QStringList names;
    for (const FuseHazard& hazard : hazards) {
        const bool spien = whatEnds(hazard.name.toLatin1().constData()) == Ends::WhenUnprogrammed;
        names << QString::fromLatin1(Str::kFuseBitPlace)
                     .arg(hazard.name, QLatin1String(byteName(hazard.byte)))
                     .arg(hazard.bit)
                + QLatin1Char(' ') + QLatin1String(spien ? Str::kUnprogrammed : Str::kProgrammed);
    }
    return listInWords(names, QStringLiteral(" and "));
}
