// FtdiCable: the engine's instructions as FtdiSpi batches.
#include "link/FtdiCable.h"

FtdiCable::FtdiCable(std::unique_ptr<BitBangPort> port) : port_(std::move(port)), spi_(*port_) {}

FtdiCable::~FtdiCable()
{
    // Whatever is still queued (an operation cut short by an error) goes out, so the
    // lines end where the engine last put them.
    spi_.flush();
}

void FtdiCable::setHalfClock(int32_t microseconds) { spi_.setHalfClock(microseconds); }

IspCable::Ticket FtdiCable::queueBytes(const IspInstruction::Bytes& bytes, int count, unsigned)
{
    if (flushed_) {
        queued_.clear();
        flushed_ = false;
    }
    // Every byte's samples come back with the stream anyway: reading them costs nothing.
    Queued entry;
    entry.count = count;
    for (int i = 0; i < count && i < IspInstruction::kMaxBytes; ++i) {
        const FtdiSpi::Ticket ticket = spi_.queueByte(bytes[static_cast<size_t>(i)]);
        if (i == 0)
            entry.first = ticket;
    }
    queued_.push_back(entry);
    return queued_.size() - 1;
}

void FtdiCable::queueDelay(int32_t microseconds) { spi_.queueWait(microseconds); }

void FtdiCable::queueSleep(int32_t milliseconds) { spi_.queueSleep(milliseconds * 1000); }

void FtdiCable::queueLevels(bool sck, bool mosi) { spi_.queueLevels(sck, mosi); }

bool FtdiCable::flush()
{
    flushed_ = true;
    return spi_.flush();
}

IspInstruction::Bytes FtdiCable::replies(Ticket ticket) const
{
    IspInstruction::Bytes answer;
    answer.fill(0xFF);
    if (ticket >= queued_.size())
        return answer;
    const Queued& entry = queued_[ticket];
    for (int i = 0; i < entry.count && i < IspInstruction::kMaxBytes; ++i) {
        const std::optional<uint8_t> reply = spi_.reply(entry.first + static_cast<size_t>(i));
        answer[static_cast<size_t>(i)] = reply ? *reply : 0xFF;
    }
    return answer;
}
