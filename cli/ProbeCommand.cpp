// kestova-cli probe: brings the target into programming mode, finds the clock
// rung it answers at, and checks that its signature names the chip asked for.
#include "cli/CliCommand.h"
#include "cli/ConsoleView.h"
#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "sim/PortFactory.h"
#include "target/ChipCatalogue.h"
#include "target/TargetState.h"
#include "view/Strings.h"

namespace {

int runProbe(CliContext& context)
{
    LineDriver line(context.view, openModemLines);
    if (!openCliPort(line, context.port))
        return kExitFailed;
    TargetState target;
    applyChipState(target, context.chipIndex);
    IspLink isp(line, target.TargetKind, target.WriteDelay, context.view);

    isp.EnterProgrammingMode();
    if (!isp.CheckSync()) {
        reportLostPort(line);
        return kExitFailed;
    }
    const int32_t rung = line.ClockDelay;
    if (!isp.hasSignature()) {
        isp.ReleaseTarget();
        // Nothing on the wire proves these chips are there, and a script takes 0 as "present".
        printError(QStringLiteral("no signature to read (AT89S8252 and AT89S53 have none), presence not verified"
                                  " at ClockDelay %1 us").arg(rung));
        return kExitFailed;
    }
    // The probe only checked the first byte; the full signature names the part.
    const std::optional<SignatureBytes> read = readSignature(isp);
    isp.ReleaseTarget();
    if (!read)
        return kExitFailed;
    const SignatureBytes& signature = *read;
    const ChipSignature* found = chipForSignature(signature);
    if (!found || found->chipIndex != context.chipIndex) {
        printError(QString::fromUtf8(Str::kSignatureMismatch)
                       .arg(QString::fromUtf8(found ? found->part : Str::kUnknownChip), signatureText(signature),
                            signedPartsOfEntry(context.chipIndex)));
        return kExitFailed;
    }
    printResult(QStringLiteral("signature %1 at ClockDelay %2 us").arg(signatureText(signature)).arg(rung));
    return kExitOk;
}

const CliCommand::Registration kProbe({"probe", "",
                                       "enter programming mode, find the clock rung, check the chip's signature", 0, 0,
                                       true, runProbe});

}  // namespace
