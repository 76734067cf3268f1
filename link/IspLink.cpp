// ISP instructions over the cable. How a bit is clocked (MOSI before the rising edge,
// MISO read while SCK is high) is the cable's business; the order of instructions,
// waits and answers is decided here.
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

// No port: nothing goes out, every bit reads 1 (so a byte reads 0xFF and the sync check
// fails cleanly), and the pauses still take their time.
class NoCable final : public IspCable {
public:
    void setHalfClock(int32_t) override {}
    Ticket queueBytes(const IspInstruction::Bytes&, int, unsigned) override { return 0; }
    void queueDelay(int32_t microseconds) override { delayMicroseconds(microseconds); }
    void queueSleep(int32_t milliseconds) override { sleepMilliseconds(milliseconds); }
    void queueLevels(bool, bool) override {}
    bool flush() override { return true; }
    IspInstruction::Bytes replies(Ticket) const override { return {0xFF, 0xFF, 0xFF, 0xFF}; }
    bool batches() const override { return false; }
    const LineFailure& failure() const override { return none_; }

private:
    LineFailure none_;
};

}  // namespace

IspLink::IspLink(LineDriver& line, int32_t& writeDelay) : line_(line), writeDelay_(writeDelay) {}

IspCable& IspLink::cable() const
{
    static NoCable noCable;
    IspCable* cable = line_.cable();
    return cable ? *cable : noCable;
}

uint8_t IspLink::transferByte(uint8_t out)
{
    const Ticket ticket = cable().queueBytes({out}, 1, 1u);
    cable().flush();
    return cable().replies(ticket)[0];
}

IspLink::Ticket IspLink::queue(const IspInstruction& instruction, const IspInstruction::Operands& operands)
{
    return cable().queueBytes(instruction.encode(operands), instruction.length(), instruction.outputBytes());
}

void IspLink::queueDelay(int32_t microseconds) { cable().queueDelay(microseconds); }

void IspLink::queueSleep(int32_t milliseconds) { cable().queueSleep(milliseconds); }

bool IspLink::flush() { return cable().flush(); }

uint8_t IspLink::output(const IspInstruction& instruction, Ticket ticket) const
{
    return instruction.decode(cable().replies(ticket));
}

bool IspLink::batches() const { return cable().batches(); }

uint8_t IspLink::transfer(const IspInstruction& instruction, const IspInstruction::Operands& operands)
{
    const Ticket ticket = queue(instruction, operands);
    flush();
    return output(instruction, ticket);
}

bool IspLink::enterProgrammingMode()
{
    cable().queueLevels(false, true);
    queueSleep(kIdleBeforeEnableMs);
    const IspInstruction& enable = protocol_ ? protocol_->enable : kBareEnable;
    const Ticket ticket = queue(enable);
    queueSleep(kSettleMs);
    flush();
    return !enable.hasOutput() || output(enable, ticket) == protocol_->enableEcho;
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
    uint8_t reply = 0;
    if (protocol_) {
        const Ticket ticket = queue(protocol_->signature, {0});
        queueSleep(kSettleMs);
        flush();
        reply = output(protocol_->signature, ticket);
    } else {
        const Ticket ticket = cable().queueBytes({0x00}, 1, 1u);
        queueSleep(kSettleMs);
        flush();
        reply = cable().replies(ticket)[0];
    }
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
    cable().queueLevels(false, true);
    queueSleep(kSettleMs);
    flush();
}
