// Each enable-and-signature protocol once, in table order: entries that share one
// (the AT89S51 and AT89S52, and every AVR of the ATmega8's set) are one attempt, and
// the signature then names the entry. The table keeps the 89S sets before the AVRs:
// their signature reads are plain reads on every other chip, while the ATmega's 0x30
// starts a page-mode read on an AT89S51/52 that would leave it out of step. Each
// attempt begins with the enable sequence after a 100 ms pause.
#include "target/DetectChip.h"

#include <vector>

#include "link/IspLink.h"
#include "link/LineDriver.h"

namespace {

constexpr int32_t kFirstRung = 5;

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

}  // namespace

DetectResult detectChip(LineDriver& line)
{
    DetectResult result;
    for (const IspProtocol* protocol : protocolsToTry()) {
        int32_t writeDelay = 0;
        IspLink isp(line, writeDelay);
        isp.setProtocol(protocol);
        isp.enterProgrammingMode();
        // Attempts with a wrong instruction set are expected to fail.
        if (!isp.checkSync()) {
            if (line.lineFailed()) {
                result.portLost = true;
                return result;
            }
            continue;  // released, and the clock is back at its first rung
        }
        SignatureBytes signature{};
        for (int i = 0; i < 3; ++i)
            signature[static_cast<size_t>(i)] = isp.readSignatureByte(i);
        const int32_t rung = line.clockDelay();
        isp.releaseTarget();
        line.setClockDelay(kFirstRung);  // the next attempt starts again at the first rung
        // Bytes read after the adapter went away are noise, not some other chip.
        if (line.lineFailed()) {
            result.portLost = true;
            return result;
        }
        // A wrong set can read a stray 0x1E from memory; only a signature of this set's own chips counts.
        const SignatureMatch found = chipForSignature(signature);
        result.signature = signature;
        result.clockDelay = rung;
        if (found && usesProtocol(*found.chip, *protocol)) {
            result.found = found;
            return result;
        }
    }
    return result;
}
