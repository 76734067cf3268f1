// kestova-cli detect: finds which chip is in the socket by trying each four-byte
// instruction set and reading the signature. The AT89S8252 and AT89S53 have no
// signature and cannot be found this way.
#include <array>
#include <optional>

#include "cli/CliCommand.h"
#include "cli/ConsoleView.h"
#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "sim/PortFactory.h"
#include "target/ChipCatalogue.h"
#include "target/TargetState.h"
#include "view/SilentView.h"
#include "view/Strings.h"

namespace {

// The 89S sets go first: their signature reads are plain reads on every other chip,
// while the ATmega's 0x30 starts a page-mode read on an AT89S51/52 that would leave
// it out of step. Each attempt begins with the enable sequence after a 100 ms pause.
constexpr std::array<int32_t, 3> kKindsToTry = {3, 5, 7};  // AT89S51/52, AT89S8253, ATmega8 family

int runDetect(CliContext& context)
{
    LineDriver line(context.view, openModemLines);
    if (!openCliPort(line, context.port))
        return kExitFailed;
    SilentView quiet;  // attempts with a wrong instruction set are expected to fail
    std::optional<SignatureBytes> unknown;  // what answered without naming a chip of its set
    for (int32_t kind : kKindsToTry) {
        TargetState target;
        target.TargetKind = kind;
        IspLink isp(line, target.TargetKind, target.WriteDelay, quiet);
        isp.EnterProgrammingMode();
        if (!isp.CheckSync()) {
            if (reportLostPort(line))
                return kExitFailed;
            continue;  // released, and the clock is back at its first rung
        }
        const std::optional<SignatureBytes> read = readSignature(isp);
        const int32_t rung = line.ClockDelay;
        isp.ReleaseTarget();
        if (!read)
            return kExitFailed;
        const SignatureBytes& signature = *read;
        line.ClockDelay = 5;  // the next attempt starts again at the first rung
        // A wrong set can read a stray 0x1E from memory; only a signature of this set's own chips counts.
        const ChipSignature* found = chipForSignature(signature);
        if (found && kChipTable[static_cast<size_t>(found->chipIndex)].flashKind == kind) {
            printResult(QStringLiteral("%1 (%2) at ClockDelay %3 us")
                            .arg(QLatin1String(found->part), signatureText(signature))
                            .arg(rung));
            return kExitOk;
        }
        unknown = signature;
    }
    if (unknown)
        printError(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(Str::kUnknownChip), signatureText(*unknown)));
    else
        printError(QString::fromUtf8(Str::kCommunicationError));
    return kExitFailed;
}

const CliCommand::Registration kDetect({"detect", "",
                                        "name the chip in the socket by its signature (not AT89S8252/AT89S53)", 0,
                                        0, false, runDetect, true});

}  // namespace
