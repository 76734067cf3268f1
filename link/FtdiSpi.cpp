// FtdiSpi: pin states for SPI bytes, waits and line levels, cut into segments where the
// rate changes or the host sleeps, and the replies read back from the samples.
#include "link/FtdiSpi.h"

#include <cmath>

FtdiSpi::FtdiSpi(BitBangPort& port) : port_(port), clock_(FtdiClock::forHalfClock(FtdiClock::kMinHalfClockUs)) {}

void FtdiSpi::setHalfClock(int32_t microseconds)
{
    const FtdiClock next = FtdiClock::forHalfClock(microseconds);
    if (next == clock_)
        return;
    // What is queued keeps the rate it was encoded for.
    if (states_.size() > openBegin_)
        closeSegment(0);
    clock_ = next;
}

void FtdiSpi::startBatch()
{
    if (!flushed_)
        return;
    replies_.clear();
    samples_.clear();
    flushed_ = false;
}

void FtdiSpi::pushStates(bool sck, bool mosi, size_t count)
{
    if (count == 0)
        return;
    const auto state = static_cast<uint8_t>(FtdiPin::kTxd | (sck ? FtdiPin::kSck : 0) | (mosi ? FtdiPin::kMosi : 0));
    states_.insert(states_.end(), count, state);
    mosi_ = mosi;
    sampleAfterLast_ = false;
}

FtdiSpi::Ticket FtdiSpi::queueByte(uint8_t out)
{
    startBatch();
    const auto halfStates = static_cast<size_t>(clock_.repeat());
    ReplyAt at;
    at.stride = 2 * halfStates;
    for (int bit = 7; bit >= 0; --bit) {
        const bool mosi = ((out >> bit) & 1) != 0;
        pushStates(false, mosi, halfStates);
        pushStates(true, mosi, halfStates);
        // The sample of the state after a high half shows MISO as the high half left it.
        if (bit == 7)
            at.first = states_.size();
    }
    sampleAfterLast_ = true;
    replies_.push_back(at);
    return replies_.size() - 1;
}

void FtdiSpi::queueIdle(int32_t microseconds)
{
    if (microseconds <= 0)
        return;
    startBatch();
    const auto count = static_cast<size_t>(std::ceil(static_cast<double>(microseconds) / clock_.stateUs()));
    pushStates(false, mosi_, count);
}

void FtdiSpi::queueSleep(int32_t microseconds)
{
    if (microseconds <= 0)
        return;
    startBatch();
    // Sleeps with nothing between them are one sleep.
    if (states_.size() == openBegin_ && !segments_.empty()) {
        segments_.back().sleepUs += microseconds;
        return;
    }
    closeSegment(microseconds);
}

void FtdiSpi::queueWait(int32_t microseconds)
{
    if (microseconds <= kIdleStatesUpToUs)
        queueIdle(microseconds);
    else
        queueSleep(microseconds);
}

void FtdiSpi::queueLevels(bool sck, bool mosi)
{
    startBatch();
    pushStates(sck, mosi, static_cast<size_t>(clock_.repeat()));
}

void FtdiSpi::closeSegment(int64_t sleepUs)
{
    // The falling edge after a byte's last high half carries that bit's sample.
    if (sampleAfterLast_)
        pushStates(false, mosi_, 1);
    segments_.push_back({openBegin_, states_.size(), clock_.baudValue(), sleepUs});
    openBegin_ = states_.size();
}

bool FtdiSpi::flush()
{
    if (states_.empty() && segments_.empty())
        return !port_.failed();
    if (port_.failed())
        return fail();
    if (states_.size() > openBegin_)
        closeSegment(0);
    samples_.assign(states_.size(), 0);
    for (const Segment& segment : segments_) {
        const size_t count = segment.end - segment.begin;
        if (count > 0) {
            if (!port_.setBaudValue(segment.baudValue))
                return fail();
            if (!port_.exchange(std::span<const uint8_t>(states_.data() + segment.begin, count),
                                std::span<uint8_t>(samples_.data() + segment.begin, count)))
                return fail();
        }
        if (segment.sleepUs > 0)
            port_.sleepHost(std::chrono::microseconds(segment.sleepUs));
    }
    states_.clear();
    segments_.clear();
    openBegin_ = 0;
    flushed_ = true;
    return true;
}

bool FtdiSpi::fail()
{
    states_.clear();
    samples_.clear();
    segments_.clear();
    replies_.clear();
    openBegin_ = 0;
    sampleAfterLast_ = false;
    flushed_ = false;
    return false;
}

std::optional<uint8_t> FtdiSpi::reply(Ticket ticket) const
{
    if (!flushed_ || ticket >= replies_.size())
        return std::nullopt;
    const ReplyAt& at = replies_[ticket];
    unsigned value = 0;
    for (size_t i = 0; i < 8; ++i)
        value = (value << 1) | ((samples_[at.first + i * at.stride] & FtdiPin::kMiso) ? 1u : 0u);
    return static_cast<uint8_t>(value);
}

std::optional<uint8_t> FtdiSpi::transferByte(uint8_t out)
{
    const Ticket ticket = queueByte(out);
    if (!flush())
        return std::nullopt;
    return reply(ticket);
}
