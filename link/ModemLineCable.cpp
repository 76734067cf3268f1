// ModemLineCable: bits on the modem lines, two calls each, CTS read only where needed.
#include "link/ModemLineCable.h"

#include <algorithm>

#include "link/Timing.h"

namespace {
constexpr int32_t kMinHalfClockUs = 5;
}

ModemLineCable::ModemLineCable(std::unique_ptr<ModemLines> lines)
    : lines_(std::move(lines)), halfClock_(kMinHalfClockUs)
{
}

ModemLineCable::~ModemLineCable()
{
    // A port closed between instructions leaves the clock at rest.
    if (sckHigh_ && !lines_->failed())
        lines_->setRts(true);
}

void ModemLineCable::setHalfClock(int32_t microseconds) { halfClock_ = std::max(microseconds, kMinHalfClockUs); }

uint8_t ModemLineCable::clockByte(uint8_t out, bool read)
{
    unsigned received = 0;
    for (int bit = 7; bit >= 0; --bit) {
        const bool mosi = ((out >> bit) & 1) != 0;
        // SCK low and the bit's MOSI in one call; DTR asserted is MOSI 0, RTS asserted SCK low.
        lines_->setLines(!mosi, true);
        delayMicroseconds(halfClock_);
        lines_->setRts(false);
        delayMicroseconds(halfClock_);
        // MISO as the chip shifted it after the last falling edge; a failed read is 1.
        const bool miso = read ? !lines_->cts() : true;
        received = (received << 1) | (miso ? 1u : 0u);
    }
    sckHigh_ = true;
    return static_cast<uint8_t>(received);
}

void ModemLineCable::bringClockLow()
{
    if (!sckHigh_)
        return;
    lines_->setRts(true);
    delayMicroseconds(halfClock_);
    sckHigh_ = false;
}

IspCable::Ticket ModemLineCable::queueBytes(const IspInstruction::Bytes& bytes, int count, unsigned used)
{
    if (flushed_) {
        replies_.clear();
        flushed_ = false;
    }
    IspInstruction::Bytes answer;
    answer.fill(0xFF);
    for (int i = 0; i < count && i < IspInstruction::kMaxBytes; ++i)
        answer[static_cast<size_t>(i)] = clockByte(bytes[static_cast<size_t>(i)], ((used >> i) & 1u) != 0);
    replies_.push_back(answer);
    return replies_.size() - 1;
}

void ModemLineCable::queueDelay(int32_t microseconds)
{
    bringClockLow();
    delayMicroseconds(microseconds);
}

void ModemLineCable::queueSleep(int32_t milliseconds)
{
    bringClockLow();
    sleepMilliseconds(milliseconds);
}

void ModemLineCable::queueLevels(bool sck, bool mosi)
{
    // MOSI first where SCK would rise with it; otherwise one call for both.
    if (sck && !sckHigh_)
        lines_->setDtr(!mosi);
    lines_->setLines(!mosi, !sck);
    sckHigh_ = sck;
}

bool ModemLineCable::flush()
{
    flushed_ = true;
    return !lines_->failed();
}

IspInstruction::Bytes ModemLineCable::replies(Ticket ticket) const
{
    IspInstruction::Bytes none;
    none.fill(0xFF);
    return ticket < replies_.size() && !lines_->failed() ? replies_[ticket] : none;
}

const LineFailure& ModemLineCable::failure() const
{
    if (lines_->failed() && !failure_.failed())
        failure_ = {LineFailure::Code::System, lines_->failureReason()};
    return failure_;
}
