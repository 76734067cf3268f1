// kestova-cli lock, fuses and avr-lock: the lock and fuse groups of the window. The
// AVR commands take and print the bytes that the window's check boxes hold. Which
// chips have which comes from the chip table.
#include <functional>
#include <optional>

#include "cli/DeviceCommand.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/FuseBits.h"
#include "target/LockBits.h"

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
        return refuse(QStringLiteral("the %1 has no lock levels: use avr-lock").arg(QLatin1String(context.chipEntry->name)));
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

int runFuses(CliContext& context)
{
    if (!hasFuses(*context.chipEntry))
        return refuse(QStringLiteral("fuses are for %1 (%2)").arg(chipNamesWhere(hasFuses), chipOptionsWhere(hasFuses)));
    if (context.args.size() == 1)
        return refuse(QStringLiteral("fuses takes both bytes: fuses LOW HIGH"));
    std::optional<FuseBytes> toWrite;
    if (context.args.size() == 2) {
        FuseBytes fuses;
        if (!parseByte(context.args[0], fuses.low) || !parseByte(context.args[1], fuses.high))
            return refuse(QStringLiteral("fuse bytes are hexadecimal, e.g. E1 D9 or 0xE1 0xD9"));
        toWrite = fuses;
    }
    return runAvrBits<FuseBytes>(context, toWrite, writeFuseBits, readFuseBits, [](const FuseBytes& fuses) {
        return QStringLiteral("low %1 high %2").arg(hexByte(fuses.low), hexByte(fuses.high));
    });
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
const CliCommand::Registration kFuses({"fuses", "[LOW HIGH]", "ATmega8: read the fuse bytes, or write both and read back",
                                       0, 2, true, runFuses});
const CliCommand::Registration kAvrLock({"avr-lock", "[VALUE]", "ATmega8: read the lock byte, or write it and read back",
                                         0, 1, true, runAvrLock});

}  // namespace
