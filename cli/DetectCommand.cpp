// kestova-cli detect: finds which chip is in the socket by trying each instruction
// set of the chip table that reads a signature, and reading the signature. Chips
// without a signature (AT89S8252, AT89S53) cannot be found this way. With --chip it
// also checks that the chip found is the one asked for, as probe does.
#include <optional>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/ConsoleView.h"
#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "target/ChipCatalogue.h"
#include "view/Strings.h"

namespace {

// Each enable-and-signature protocol once, in table order: entries that share one
// (the AT89S51 and AT89S52, and every AVR of the ATmega8's set) are one attempt, and
// the signature then names the entry. The table keeps the 89S sets before the AVRs:
// their signature reads are plain reads on every other chip, while the ATmega's 0x30
// starts a page-mode read on an AT89S51/52 that would leave it out of step. Each
// attempt begins with the enable sequence after a 100 ms pause.
std::vector<const IspProtocol*> protocolsToTry()
{
    std::vector<const IspProtocol*> protocols;
    for (const ChipEntry& chip : chipTable()) {
        if (!chip.hasSignature())
            continue;
        bool known = false;
        for (const IspProtocol* seen : protocols)
            known = known || (seen->enable == chip.isp.enable && seen->signature == chip.isp.signature);
        if (!known)
            protocols.push_back(&chip.isp);
    }
    return protocols;
}

bool usesProtocol(const ChipEntry& chip, const IspProtocol& protocol)
{
    return chip.isp.enable == protocol.enable && chip.isp.signature == protocol.signature;
}

int runDetect(CliContext& context)
{
    LineDriver line;
    if (const int status = openCliPort(line, context.port, context.view); status != kExitOk)
        return status;
    std::optional<SignatureBytes> unknown;  // what answered without naming a chip of its set
    for (const IspProtocol* protocol : protocolsToTry()) {
        int32_t writeDelay = 0;
        IspLink isp(line, writeDelay);
        isp.setProtocol(protocol);
        isp.enterProgrammingMode();
        // Attempts with a wrong instruction set are expected to fail: nothing is said.
        if (!isp.checkSync()) {
            if (reportLostPort(line))
                return kExitFailed;
            continue;  // released, and the clock is back at its first rung
        }
        const std::optional<SignatureBytes> read = readSignature(isp);
        const int32_t rung = line.clockDelay();
        isp.releaseTarget();
        if (!read)
            return kExitFailed;
        const SignatureBytes& signature = *read;
        line.setClockDelay(5);  // the next attempt starts again at the first rung
        // A wrong set can read a stray 0x1E from memory; only a signature of this set's own chips counts.
        const SignatureMatch found = chipForSignature(signature);
        if (found && usesProtocol(*found.chip, *protocol)) {
            if (!isChipAskedFor(context, signature))
                return kExitFailed;
            printResult(QStringLiteral("%1 (%2) at ClockDelay %3 us")
                            .arg(QLatin1String(found.part->part), signatureText(signature))
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
