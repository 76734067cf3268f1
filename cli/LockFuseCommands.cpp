// kestova-cli lock, fuses and avr-lock: the lock and fuse groups of the window. The
// AVR commands take and print the bytes that the window's check boxes hold.
#include <functional>

#include "cli/ConsoleView.h"
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

// The AVR instructions are four bytes long: sent to a three-byte chip they knock it
// out of step until its reset is pulsed, so they go to the ATmega8 entry only.
bool isAtmega8(const CliContext& context) { return context.chipIndex == kChipAtmega8; }

int runLock(CliContext& context)
{
    bool ok = false;
    const int level = context.args[0].toInt(&ok);
    if (!ok || level < 1 || level > 3)
        return refuse(QStringLiteral("lock level %1: give 1, 2 or 3").arg(context.args[0]));
    if (isAtmega8(context))
        return refuse(QStringLiteral("the ATmega8 has no lock levels: use avr-lock"));
    return runDeviceCommand(context, [level](DeviceRunner& runner) { return WriteLockBits89S(runner, level); });
}

using BitsOperation = RunOutcome (*)(DeviceRunner&);

// Reads the bits into the view, after writing the view's bits when asked (nothing
// verifies a write, so the command reads back what the chip took), and prints them.
int runAvrBits(CliContext& context, bool write, BitsOperation writeBits, BitsOperation readBits,
               const std::function<QString(const ConsoleView&)>& result)
{
    const int status = runDeviceCommand(context, [&](DeviceRunner& runner) {
        if (write) {
            const RunOutcome written = writeBits(runner);
            if (written != RunOutcome::Done)
                return written;
        }
        return readBits(runner);
    });
    if (status == kExitOk)
        printResult(result(context.view));
    return status;
}

int runFuses(CliContext& context)
{
    if (!isAtmega8(context))
        return refuse(QStringLiteral("fuses are for the ATmega8 (--chip atmega8)"));
    if (context.args.size() == 1)
        return refuse(QStringLiteral("fuses takes both bytes: fuses LOW HIGH"));
    const bool write = context.args.size() == 2;
    if (write) {
        uint8_t low = 0, high = 0;
        if (!parseByte(context.args[0], low) || !parseByte(context.args[1], high))
            return refuse(QStringLiteral("fuse bytes are hexadecimal, e.g. E1 D9 or 0xE1 0xD9"));
        context.view.setAvrFuseBits(low, high);
    }
    return runAvrBits(context, write, WriteFuseBits, ReadFuseBits, [](const ConsoleView& view) {
        return QStringLiteral("low %1 high %2").arg(hexByte(view.avrFuseBits(false)), hexByte(view.avrFuseBits(true)));
    });
}

int runAvrLock(CliContext& context)
{
    if (!isAtmega8(context))
        return refuse(QStringLiteral("avr-lock is for the ATmega8 (--chip atmega8); the 89S chips use lock"));
    const bool write = context.args.size() == 1;
    if (write) {
        uint8_t lock = 0;
        if (!parseByte(context.args[0], lock))
            return refuse(QStringLiteral("the lock byte is hexadecimal, e.g. FC or 0xFC"));
        context.view.setAvrLockBits(lock);
    }
    return runAvrBits(context, write, WriteLockBitsAvr, ReadLockBitsAvr,
                      [](const ConsoleView& view) { return QStringLiteral("lock %1").arg(hexByte(view.avrLockBits())); });
}

const CliCommand::Registration kLock({"lock", "LEVEL", "program 89S lock level 1, 2 or 3 (not read back)", 1, 1, true,
                                      runLock});
const CliCommand::Registration kFuses({"fuses", "[LOW HIGH]", "ATmega8: read the fuse bytes, or write both and read back",
                                       0, 2, true, runFuses});
const CliCommand::Registration kAvrLock({"avr-lock", "[VALUE]", "ATmega8: read the lock byte, or write it and read back",
                                         0, 1, true, runAvrLock});

}  // namespace
