// kestova-cli write: the "Write" button's programming run, with the file and the
// write mode from the command line instead of the dialog and the menu.
#include <QFileInfo>

#include "cli/ConsoleView.h"
#include "cli/DeviceCommand.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/ProgramChip.h"
#include "target/TargetState.h"
#include "view/Strings.h"

namespace {

WriteMode writeModeFor(const QString& mode)
{
    if (mode == QLatin1String("differential"))
        return WriteMode::Differential;
    return mode == QLatin1String("fast") ? WriteMode::Fast : WriteMode::Normal;
}

int runWrite(CliContext& context)
{
    const WriteMode mode = writeModeFor(context.mode);
    const ChipEntry& chip = *context.chipEntry;
    // The menu offers Differential only where single bytes can be rewritten without an erase.
    if (mode == WriteMode::Differential && !chip.differentialMode) {
        printError(QStringLiteral("kestova-cli: differential mode is for %1, not the %2")
                       .arg(chipNamesWhere([](const ChipEntry& c) { return c.differentialMode; }),
                            QLatin1String(chip.caption)));
        return kExitUsage;
    }
    QString file = context.args.first();
    // The window's run ends silently on a missing file; a script needs to be told.
    if (!QFileInfo(file).isFile()) {
        printError(QString::fromLatin1(Str::kCannotOpenFile).arg(file, QStringLiteral("It is not a file.")));
        return kExitFailed;
    }
    return runDeviceCommand(
        context,
        [&](DeviceRunner& runner) {
            runner.target().writeMode = mode;
            return programChip(runner, file, context.eeprom);
        },
        [](const ConsoleView& view) {
            // Stopped in the verify pass, every byte had been written.
            const bool verifying = view.lastPhase() == QLatin1String(Str::kVerifying);
            return QString::fromUtf8(verifying ? Str::kCancelledVerify : Str::kCancelledWrite);
        });
}

const CliCommand::Registration kWrite({"write", "FILE",
                                       "write a .bin or .hex file into the chip (--mode normal|differential|fast)", 1,
                                       1, true, runWrite});

}  // namespace
