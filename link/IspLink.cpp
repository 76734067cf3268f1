// ISP transfer over the modem lines. Line order inside a bit matters: MOSI is set
// before SCK rises (the chip samples on the rising edge) and MISO is read while SCK
// is high, before the falling edge lets the chip shift its next bit out.
#include "link/IspLink.h"

#include <array>

#include "link/LineDriver.h"
#include "view/OperationView.h"
#include "view/Strings.h"
#include "link/Timing.h"

namespace {

constexpr int32_t kIdleBeforeEnableMs = 100;
constexpr int32_t kSettleMs = 70;
constexpr uint8_t kSignatureFirstByte = 0x1E;
constexpr std::array<int32_t, 6> kLadder = {5, 7, 25, 205, 2005, 20000};

}  // namespace

IspLink::IspLink(LineDriver& line, const int32_t& targetKind, int32_t& writeDelay, OperationView& view)
    : line_(line), view_(view), TargetKind(targetKind), WriteDelay(writeDelay)
{
}

uint8_t IspLink::SpiTransferByte(uint8_t out)
{
    unsigned sending = out;
    unsigned received = 0;
    for (int i = 0; i < 8; ++i) {
        line_.SetMosi((sending & 0x80) ? 1 : 0);
        line_.ClockLeading();
        const int bit = line_.ReadMiso();
        line_.ClockTrailing();
        received = (received << 1) | (bit & 1);
        sending <<= 1;
    }
    return static_cast<uint8_t>(received);
}

bool IspLink::hasSignature() const { return TargetKind >= 3 && TargetKind <= 7; }

void IspLink::EnterProgrammingMode()
{
    line_.SetDtr(false);
    line_.SetRts(true);
    SleepMilliseconds(kIdleBeforeEnableMs);
    SpiTransferByte(0xAC);
    SpiTransferByte(0x53);
    SpiTransferByte(0x00);
    if (hasSignature())
        SpiTransferByte(0x00);
    SleepMilliseconds(kSettleMs);
}

uint8_t IspLink::readSignatureByte(int index)
{
    const int32_t kind = TargetKind;
    const auto k = static_cast<uint8_t>(index);
    if (kind == 6 || kind == 7) {
        SpiTransferByte(0x30);
        SpiTransferByte(0x00);
        SpiTransferByte(k);
    } else if (kind == 4 || kind == 5) {
        SpiTransferByte(0x28);
        SpiTransferByte(0x00);
        SpiTransferByte(static_cast<uint8_t>(0x30 + k));
    } else if (kind == 3) {
        // The AT89S51/52 keep their signature at 000H, 100H and 200H.
        SpiTransferByte(0x28);
        SpiTransferByte(k);
        SpiTransferByte(0x00);
    } else {
        return 0xFF;
    }
    return SpiTransferByte(0x00);
}

bool IspLink::ProbeSignature()
{
    // The 3-byte chips have no signature to read over this interface.
    const int32_t kind = TargetKind;
    if (kind == 1 || kind == 2)
        return true;
    // With no chip selected only the final byte goes out, so the probe still fails
    // cleanly instead of pretending that something answered.
    const uint8_t reply = hasSignature() ? readSignatureByte(0) : SpiTransferByte(0x00);
    SleepMilliseconds(kSettleMs);
    return reply == kSignatureFirstByte;
}

bool IspLink::StepTimingLadder()
{
    int32_t& delay = line_.ClockDelay;
    for (size_t i = 0; i + 1 < kLadder.size(); ++i) {
        if (delay == kLadder[i]) {
            delay = kLadder[i + 1];
            break;
        }
    }
    WriteDelay += 3;
    view_.processEvents();
    return delay != kLadder.back();
}

bool IspLink::CheckSync()
{
    // With no port nothing can answer (the 3-byte chips would otherwise pass unseen),
    // and after a failed line call no reply means anything.
    if (!line_.isOpen() || line_.lineFailed())
        return failSync();
    if (ProbeSignature() && !line_.lineFailed())
        return true;
    while (!line_.lineFailed() && StepTimingLadder()) {
        // A target too slow for the last rung missed the enable as well as the probe,
        // so each rung starts again from the enable.
        EnterProgrammingMode();
        if (!line_.lineFailed() && ProbeSignature() && !line_.lineFailed())
            return true;
    }
    return failSync();
}

bool IspLink::failSync()
{
    view_.setPanelText(0, QString::fromLatin1(Str::kCommunicationError));
    ReleaseTarget();
    line_.ClockDelay = kLadder.front();
    return false;
}

void IspLink::ReleaseTarget()
{
    line_.SetDtr(false);
    line_.SetRts(true);
    SleepMilliseconds(kSettleMs);
}
