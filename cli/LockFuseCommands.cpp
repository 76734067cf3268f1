// kestova-cli lock, fuses and avr-lock: the lock and fuse groups of the window. The
// AVR commands take and print the bytes that the window's check boxes hold. Which
// chips have which comes from the chip table.
#include <functional>
#include <optional>

#include "cli/DeviceCommand.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/FuseBits.h"
#include "target/FuseGuard.h"
#include "target/LockBits.h"
#include "view/Strings.h"

namespace {

// "E1", "e1", "0xE1": one byte in hexadecimal; false for anything else.
bool parseByte(QString text, uint8_t& value)
{
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text = text.mid(2);
    if (text.isEmpty() || text.size() > 2)
        return false;
    bool ok = false;
    const uint number = text.toUInt(&ok, 16);
    value = static_cast<uint8_t>(number);
    return ok;
}

QString hexByte(uint8_t value) { return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper(); }

int refuse(const QString& why)
{
    printError(QStringLiteral("kestova-cli: ") + why);
    return kExitUsage;
}

bool hasLockLevels(const ChipEntry& chip) { return chip.lockLevels.exist(); }
bool hasFuses(const ChipEntry& chip) { return chip.hasFuses(); }
bool hasAvrLock(const ChipEntry& chip) { return chip.hasAvrLock(); }

// "--chip atmega8": the keywords of the entries that have something.
QString chipOptionsWhere(bool (*has)(const ChipEntry&))
{
    QStringList options;
    for (const ChipEntry& chip : chipTable())
        if (has(chip))
            options << QStringLiteral("--chip ") + QLatin1String(chip.keyword);
    return listInWords(options);
}

int runLock(CliContext& context)
{
    bool ok = false;
    const int level = context.args[0].toInt(&ok);
    if (!ok || level < 1 || level > 3)
        return refuse(QStringLiteral("lock level %1: give 1, 2 or 3").arg(context.args[0]));
    if (!hasLockLevels(*context.chipEntry))
        return refuse(
            QStringLiteral("the %1 has no lock levels: use avr-lock").arg(QLatin1String(context.chipEntry->name)));
    return runDeviceCommand(context, [level](DeviceRunner& runner) { return writeLockBits89S(runner, level); });
}

// Runs the write when asked (nothing verifies a write, so the command reads back what
// the chip took), then the read, and prints what was read.
template <typename Bytes>
int runAvrBits(CliContext& context, const std::optional<Bytes>& toWrite,
               const std::function<RunOutcome(DeviceRunner&, const Bytes&)>& write,
               const std::function<RunOutcome(DeviceRunner&, Bytes*)>& read,
               const std::function<QString(const Bytes&)>& result)
{
    Bytes bytes{};
    const int status = runDeviceCommand(context, [&](DeviceRunner& runner) {
        if (toWrite) {
            const RunOutcome written = write(runner, *toWrite);
            if (written != RunOutcome::Done)
                return written;
        }
        return read(runner, &bytes);
    });
    if (status == kExitOk)
        printResult(result(bytes));
    return status;
}

QString fusesText(const ChipEntry& chip, const FuseBytes& fuses)
{
    QString text = QStringLiteral("low %1 high %2").arg(hexByte(fuses.low), hexByte(fuses.high));
    if (chip.fuse(FuseByte::Extended).exists())
        text += QStringLiteral(" ext %1").arg(hexByte(fuses.extended));
    return text;
}

// The fuse values to write, from LOW HIGH [EXT]; nothing after a refusal (*status set).
std::optional<FuseBytes> fusesToWrite(const CliContext& context, int* status)
{
    const ChipEntry& chip = *context.chipEntry;
    const bool hasExtended = chip.fuse(FuseByte::Extended).exists();
    const QString bytes = hasExtended ? QStringLiteral("fuses LOW HIGH [EXT]") : QStringLiteral("fuses LOW HIGH");
    if (context.args.size() == 1) {
        *status = refuse(QStringLiteral("fuses takes both bytes: ") + bytes);
        return std::nullopt;
    }
    if (context.args.size() == 3 && !hasExtended) {
        *status = refuse(QStringLiteral("the %1 has no extended fuse: %2").arg(QLatin1String(chip.name), bytes));
        return std::nullopt;
    }
    FuseBytes fuses;
    if (!parseByte(context.args[0], fuses.low) || !parseByte(context.args[1], fuses.high)
        || (context.args.size() == 3 && !parseByte(context.args[2], fuses.extended))) {
        *status = refuse(QStringLiteral("fuse bytes are hexadecimal, e.g. E1 D9 or 0xE1 0xD9"));
        return std::nullopt;
    }
    return fuses;
}

int refuseHazards(const std::vector<FuseHazard>& hazards)
{
    return refuse(QString::fromLatin1(Str::kFuseRefused).arg(fuseHazardNames(hazards)));
}

int runFuses(CliContext& context)
{
    const ChipEntry& chip = *context.chipEntry;
    if (!hasFuses(chip))
        return refuse(
            QStringLiteral("fuses are for %1 (%2)").arg(chipNamesWhere(hasFuses), chipOptionsWhere(hasFuses)));
    std::optional<FuseBytes> toWrite;
    if (!context.args.isEmpty()) {
        int status = kExitUsage;
        toWrite = fusesToWrite(context, &status);
        if (!toWrite)
            return status;
    }
    // LOW HIGH alone leaves an extended fuse as the chip holds it.
    const bool keepExtended = toWrite && context.args.size() == 2;
    const auto guarded = [keepExtended](std::vector<FuseHazard> hazards) {
        std::erase_if(hazards,
                      [keepExtended](const FuseHazard& h) { return keepExtended && h.byte == FuseByte::Extended; });
        return hazards;
    };
    // Refused before the port is opened where the part does not matter; otherwise the
    // chip's signature says which part it is.
    if (toWrite && !context.force && !fuseHazardsDependOnPart(chip, *toWrite)) {
        const std::vector<FuseHazard> hazards = guarded(fuseHazards(chip, nullptr, *toWrite));
        if (!hazards.empty())
            return refuseHazards(hazards);
    }
    std::vector<FuseHazard> refused;
    const auto write = [&](DeviceRunner& runner, const FuseBytes& fuses) {
        if (!context.force) {
            std::vector<FuseHazard> hazards;
            const RunOutcome checked = checkFuseWrite(runner, fuses, &hazards);
            refused = guarded(hazards);
            if (checked != RunOutcome::Done || !refused.empty())
                return checked == RunOutcome::Done ? RunOutcome::Failed : checked;
        }
        return keepExtended ? writeLowAndHighFuses(runner, fuses.low, fuses.high) : writeFuseBits(runner, fuses);
    };
    const int status = runAvrBits<FuseBytes>(context, toWrite, write, readFuseBits,
                                             [&chip](const FuseBytes& fuses) { return fusesText(chip, fuses); });
    return refused.empty() ? status : refuseHazards(refused);
}

int runAvrLock(CliContext& context)
{
    if (!hasAvrLock(*context.chipEntry))
        return refuse(QStringLiteral("avr-lock is for %1 (%2); the 89S chips use lock")
                          .arg(chipNamesWhere(hasAvrLock), chipOptionsWhere(hasAvrLock)));
    std::optional<uint8_t> toWrite;
    if (context.args.size() == 1) {
        uint8_t lock = 0;
        if (!parseByte(context.args[0], lock))
            return refuse(QStringLiteral("the lock byte is hexadecimal, e.g. FC or 0xFC"));
        toWrite = lock;
    }
    return runAvrBits<uint8_t>(
        context, toWrite, [](DeviceRunner& runner, const uint8_t& lock) { return writeAvrLockBits(runner, lock); },
        readAvrLockBits, [](const uint8_t& lock) { return QStringLiteral("lock %1").arg(hexByte(lock)); });
}

const CliCommand::Registration kLock({"lock", "LEVEL", "program 89S lock level 1, 2 or 3 (not read back)", 1, 1, true,
                                      runLock});
const CliCommand::Registration kFuses({"fuses", "[LOW HIGH [EXT]]",
                                       "AVR: read the fuse bytes, or write them and read back", 0, 3, true, runFuses});
const CliCommand::Registration kAvrLock({"avr-lock", "[VALUE]", "AVR: read the lock byte, or write it and read back", 0,
                                         1, true, runAvrLock});

}  // namespace
