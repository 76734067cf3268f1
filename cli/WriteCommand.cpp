// kestova-cli write: the "Write" button's programming run, with the file and the
// write mode from the command line instead of the dialog and the menu.
#include <QFileInfo>

#include "cli/DeviceCommand.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/ProgramChip.h"
#include "target/TargetState.h"
#include "view/Strings.h"

namespace {

uint8_t writeModeFor(const QString& mode)
{
    if (mode == QLatin1String("differential"))
        return 1;
    return mode == QLatin1String("fast") ? 2 : 0;
}

int runWrite(CliContext& context)
{
    const uint8_t mode = writeModeFor(context.mode);
    const ChipEntry& chip = kChipTable[static_cast<size_t>(context.chipIndex)];
    // The menu offers Differential only where single bytes can be rewritten without an erase.
    if (mode == 1 && chip.normalModeForced) {
        printError(QStringLiteral("kestova-cli: differential mode is for the AT89S8252 and AT89S53, not the %1")
                       .arg(QLatin1String(chip.caption)));
        return kExitUsage;
    }
    QString file = context.args.first();
    // The window's run ends silently on a missing file; a script needs to be told.
    if (!QFileInfo(file).isFile()) {
        printError(QString::fromLatin1(Str::kCannotOpenFile).arg(file, QStringLiteral("It is not a file.")));
        return kExitFailed;
    }
    return runDeviceCommand(context, [&](DeviceRunner& runner) {
        runner.target().WriteMode = mode;
        return ProgramChip(runner, file, context.eeprom);
    });
}

const CliCommand::Registration kWrite({"write", "FILE",
                                       "write a .bin or .hex file into the chip (--mode normal|differential|fast)",
                                       1, 1, true, runWrite});

}  // namespace
