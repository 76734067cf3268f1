// The RDY/BSY poll: one instruction after another until the chip's bit 0 reads 0.
#include "target/WriteCycle.h"

#include <chrono>

#include "link/IspLink.h"
#include "link/LineDriver.h"
#include "target/ChipEntry.h"

namespace {

using Clock = std::chrono::steady_clock;

// What one poll costs on the wire at the clock in force: two half clocks per bit.
std::chrono::microseconds pollCost(const IspLink& isp, const IspInstruction& poll)
{
    return std::chrono::microseconds(int64_t{poll.length()} * 8 * 2 * isp.line().clockDelay());
}

bool worthPolling(const IspLink& isp, const ChipEntry* chip, std::chrono::milliseconds fullWait)
{
    return chip && chip->pollsReady() && !isp.batches() && pollCost(isp, chip->readyPoll) < fullWait;
}

}  // namespace

bool awaitWriteCycle(IspLink& isp, const ChipEntry* chip, int32_t fullWaitMs, FullWait fullWait)
{
    const std::chrono::milliseconds full(fullWaitMs > 0 ? fullWaitMs : 0);
    if (!worthPolling(isp, chip, full)) {
        if (fullWait == FullWait::Sleep)
            isp.queueSleep(fullWaitMs);
        else
            isp.queueDelay(1000 * fullWaitMs);
        return false;
    }
    const Clock::time_point deadline = Clock::now() + full;
    for (;;) {
        // Each poll also sends whatever was queued before it, the write it asks about first.
        if ((isp.transfer(chip->readyPoll) & 0x01) == 0)
            return true;
        // A pulled adapter reads busy for ever: the caller's line check ends the operation.
        if (isp.line().lineFailed() || Clock::now() >= deadline)
            return false;
    }
}
