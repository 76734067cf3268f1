// ISP transfer over the modem lines. Line order inside a bit matters: MOSI is set
// before SCK rises (the chip samples on the rising edge) and MISO is read while SCK
// is high, before the falling edge lets the chip shift its next bit out.
#include "link/IspLink.h"

#include <array>

#include "link/LineDriver.h"
#include "link/Timing.h"

namespace {

constexpr int32_t kIdleBeforeEnableMs = 100;
constexpr int32_t kSettleMs = 70;
constexpr uint8_t kSignatureFirstByte = 0x1E;  // Atmel's manufacturer code
constexpr std::array<int32_t, 6> kLadder = {5, 7, 25, 205, 2005, 20000};
// With no chip chosen the bare three bytes of every chip's enable go out.
constexpr IspInstruction kBareEnable = "1010 1100  0101 0011  0000 0000";

}  // namespace

IspLink::IspLink(LineDriver& line, int32_t& writeDelay) : line_(line), writeDelay_(writeDelay) {}

uint8_t IspLink::transferByte(uint8_t out)
{
    unsigned sending = out;
    unsigned received = 0;
    for (int i = 0; i < 8; ++i) {
        line_.setMosi((sending & 0x80) ? 1 : 0);
        line_.clockLeading();
        const int bit = line_.readMiso();
        line_.clockTrailing();
        received = (received << 1) | (bit & 1);
        sending <<= 1;
    }
    return static_cast<uint8_t>(received);
}

uint8_t IspLink::transfer(const IspInstruction& instruction, const IspInstruction::Operands& operands)
{
    const IspInstruction::Bytes out = instruction.encode(operands);
    IspInstruction::Bytes replies{};
    for (int i = 0; i < instruction.length(); ++i)
        replies[static_cast<size_t>(i)] = transferByte(out[static_cast<size_t>(i)]);
    return instruction.decode(replies);
}

bool IspLink::enterProgrammingMode()
{
    line_.setDtr(false);
    line_.setRts(true);
    sleepMilliseconds(kIdleBeforeEnableMs);
    const IspInstruction& enable = protocol_ ? protocol_->enable : kBareEnable;
    const uint8_t echo = transfer(enable);
    sleepMilliseconds(kSettleMs);
    return !enable.hasOutput() || echo == protocol_->enableEcho;
}

uint8_t IspLink::readSignatureByte(int index)
{
    if (!hasSignature())
        return 0xFF;
    return transfer(protocol_->signature, {static_cast<uint32_t>(index)});
}

bool IspLink::probeSignature()
{
    // Chips without a signature have nothing to read over this interface.
    if (protocol_ && !hasSignature())
        return true;
    // With no chip chosen only the final byte goes out, so the probe still fails
    // cleanly instead of pretending that something answered.
    const uint8_t reply = protocol_ ? readSignatureByte(0) : transferByte(0x00);
    sleepMilliseconds(kSettleMs);
    return reply == kSignatureFirstByte;
}

bool IspLink::stepTimingLadder()
{
    int32_t delay = line_.clockDelay();
    for (size_t i = 0; i + 1 < kLadder.size(); ++i) {
        if (delay == kLadder[i]) {
            delay = kLadder[i + 1];
            break;
        }
    }
    line_.setClockDelay(delay);
    writeDelay_ += 3;
    if (eventPump_)
        eventPump_();
    return delay != kLadder.back();
}

bool IspLink::checkSync()
{
    // With no port nothing can answer (the chips without a signature would otherwise
    // pass unseen), and after a failed line call no reply means anything.
    if (!line_.isOpen() || line_.lineFailed())
        return failSync();
    if (probeSignature() && !line_.lineFailed())
        return true;
    while (!line_.lineFailed() && stepTimingLadder()) {
        // A target too slow for the last rung missed the enable as well as the probe,
        // so each rung starts again from the enable.
        enterProgrammingMode();
        if (!line_.lineFailed() && probeSignature() && !line_.lineFailed())
            return true;
    }
    return failSync();
}

bool IspLink::failSync()
{
    releaseTarget();
    line_.setClockDelay(kLadder.front());
    return false;
}

void IspLink::releaseTarget()
{
    line_.setDtr(false);
    line_.setRts(true);
    sleepMilliseconds(kSettleMs);
}
