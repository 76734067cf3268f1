// kestova-cli read and compare: the "Read" and "Compare" buttons with the file named
// on the command line. The words of the progress are the result on standard output.
#include "cli/ConsoleView.h"
#include "cli/DeviceCommand.h"
#include "target/CompareChip.h"
#include "target/DeviceRunner.h"
#include "target/ReadChip.h"
#include "view/Strings.h"

namespace {

// The progress panel once the operation has run its course ("8192 bytes",
// "Identical data", "3 different bytes"); nothing when it never reached the chip
// or the port failed under it.
int runWithResult(CliContext& context, const DeviceOperation& operation, const CancelNote& cancelNote)
{
    RunOutcome outcome = RunOutcome::Busy;
    const int status = runDeviceCommand(
        context, [&](DeviceRunner& runner) { return outcome = operation(runner); }, cancelNote);
    const bool ranItsCourse = outcome == RunOutcome::Done || outcome == RunOutcome::Cancelled
        || outcome == RunOutcome::Failed;
    if (ranItsCourse && !context.view.progressText().isEmpty())
        printResult(context.view.progressText());
    return status;
}

int runRead(CliContext& context)
{
    const QString& file = context.args[0];
    return runWithResult(
        context, [&](DeviceRunner& runner) { return readChip(runner, file); },
        [&](const ConsoleView&) { return QString::fromUtf8(Str::kCancelledRead).arg(file); });
}

int runCompare(CliContext& context)
{
    return runWithResult(
        context, [&](DeviceRunner& runner) { return compareChip(runner, context.args[0]); },
        [](const ConsoleView&) { return QString::fromUtf8(Str::kCancelledCompare); });
}

const CliCommand::Registration kRead({"read", "OUT",
                                      "read the flash (or --eeprom) into a file: Intel HEX for a .hex, .ihx, .ihex "
                                      "or .eep name, else binary",
                                      1, 1, true, runRead});
const CliCommand::Registration kCompare({"compare", "FILE", "compare the flash (or --eeprom) with a .bin or .hex file",
                                         1, 1, true, runCompare});

}  // namespace
