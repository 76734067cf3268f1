// kestova-cli probe: brings the target into programming mode, finds the clock
// rung it answers at, and checks that its signature names the chip asked for.
#include "cli/CliCommand.h"
#include "cli/ConsoleView.h"
#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "target/ChipCatalogue.h"
#include "target/TargetState.h"
#include "view/Strings.h"

namespace {

QString noSignatureNames()
{
    QStringList names;
    for (const ChipEntry& chip : chipTable())
        if (!chip.hasSignature())
            names << QLatin1String(chip.name);
    return listInWords(names, QStringLiteral(" and "));
}

int runProbe(CliContext& context)
{
    LineDriver line;
    if (const int status = openCliPort(line, context.port, context.view); status != kExitOk)
        return status;
    const ChipEntry& chip = *context.chipEntry;
    TargetState target;
    applyChipState(target, &chip);
    IspLink isp(line, target.writeDelay);
    isp.setProtocol(&chip.isp);

    isp.enterProgrammingMode();
    if (!isp.checkSync()) {
        context.view.showResult(QString::fromLatin1(Str::kCommunicationError), true);
        reportLostPort(line);
        return kExitFailed;
    }
    const int32_t rung = line.clockDelay();
    if (!isp.hasSignature()) {
        isp.releaseTarget();
        // Nothing on the wire proves these chips are there, and a script takes 0 as "present".
        printError(QStringLiteral("no signature to read (%1 have none), presence not verified at ClockDelay %2 us")
                       .arg(noSignatureNames())
                       .arg(rung));
        return kExitFailed;
    }
    // The probe only checked the first byte; the full signature names the part.
    const std::optional<SignatureBytes> read = readSignature(isp);
    isp.releaseTarget();
    if (!read)
        return kExitFailed;
    const SignatureBytes& signature = *read;
    if (!isChipAskedFor(context, signature))
        return kExitFailed;
    printResult(QStringLiteral("signature %1 at ClockDelay %2 us").arg(signatureText(signature)).arg(rung));
    return kExitOk;
}

const CliCommand::Registration kProbe({"probe", "",
                                       "enter programming mode, find the clock rung, check the chip's signature", 0, 0,
                                       true, runProbe});

}  // namespace
