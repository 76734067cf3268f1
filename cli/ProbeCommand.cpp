// kestova-cli probe: brings the target into programming mode, finds the clock
// rung it answers at and prints its signature.
#include "cli/CliCommand.h"
#include "cli/ConsoleView.h"
#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "sim/PortFactory.h"
#include "target/ChipCatalogue.h"
#include "target/TargetState.h"

namespace {

int runProbe(CliContext& context)
{
    LineDriver line(context.view, openModemLines);
    if (!line.OpenSerialLink(context.port))
        return kExitFailed;
    TargetState target;
    applyChipState(target, context.chipIndex);
    IspLink isp(line, target.TargetKind, target.WriteDelay, context.view);

    isp.EnterProgrammingMode();
    if (!isp.CheckSync())
        return kExitFailed;
    QString found;
    if (isp.hasSignature()) {
        // The probe only checked the first byte; a full signature names the part.
        QStringList bytes;
        for (int i = 0; i < 3; ++i)
            bytes << QStringLiteral("%1").arg(isp.readSignatureByte(i), 2, 16, QLatin1Char('0')).toUpper();
        found = QStringLiteral("signature ") + bytes.join(QLatin1Char(' '));
    } else {
        // Nothing on the wire proves these chips are there, so say so rather than claim one.
        found = QStringLiteral("no signature to read (AT89S8252 and AT89S53 have none), presence not verified");
    }
    const int32_t rung = line.ClockDelay;
    isp.ReleaseTarget();
    printResult(QStringLiteral("%1 at ClockDelay %2 us").arg(found).arg(rung));
    return kExitOk;
}

const CliCommand::Registration kProbe({"probe", "", "enter programming mode, find the clock rung, read the signature",
                                       0, 0, true, runProbe});

}  // namespace
