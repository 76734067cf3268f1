// kestova-cli detect: names the chip in the socket by its signature (detectChip) and,
// on a second line, the --chip option that selects it. With --chip it also checks
// that the chip found is the one asked for, as probe does.
#include "cli/CliCommand.h"
#include "cli/ConsoleView.h"
#include "link/LineDriver.h"
#include "target/DetectChip.h"
#include "view/Strings.h"

namespace {

int runDetect(CliContext& context)
{
    LineDriver line;
    if (const int status = openCliPort(line, context.port, context.view); status != kExitOk)
        return status;
    const DetectResult result = detectChip(line);
    if (result.portLost) {
        reportLostPort(line);
        return kExitFailed;
    }
    if (result.found) {
        if (!isChipAskedFor(context, *result.signature))
            return kExitFailed;
        printResult(QStringLiteral("%1 (%2) at ClockDelay %3 us")
                        .arg(QLatin1String(result.found.part->part), signatureText(*result.signature))
                        .arg(result.clockDelay));
        printResult(QStringLiteral("--chip ") + chipNameFor(result.found));
        return kExitOk;
    }
    if (result.signature)
        printError(
            QStringLiteral("%1 (%2)").arg(QString::fromUtf8(Str::kUnknownChip), signatureText(*result.signature)));
    else
        printError(QString::fromUtf8(Str::kCommunicationError));
    return kExitFailed;
}

const CliCommand::Registration kDetect({"detect", "",
                                        "name the chip in the socket by its signature (not AT89S8252/AT89S53)", 0, 0,
                                        false, runDetect, true});

}  // namespace
