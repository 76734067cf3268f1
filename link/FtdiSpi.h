// FtdiSpi: the target's SPI lines on a bit-bang adapter. SPI bytes, waits and plain
// line levels are queued as pin states and go out together on flush(), in as few
// USB transfers as the adapter allows; each byte's reply is read afterwards.
//
// A batch: queue..., flush(), then reply() for each ticket. The replies stay readable
// until the next queue call, which starts a new batch. If flush() fails (the adapter
// was pulled) there is no reply at all, never a made-up one, and every later flush
// fails too: check the result before using a reply.
//
//     FtdiSpi spi(*adapter);
//     spi.setHalfClock(clockDelay);
//     spi.queueLevels(false, true);            // SCK low, MOSI high: the enable's rest
//     spi.queueSleep(100000);
//     for (uint8_t b : {0xAC, 0x53, 0x00, 0x00})
//         tickets.push_back(spi.queueByte(b));
//     if (!spi.flush()) ... report spi.failure() ...
//     uint8_t echo = *spi.reply(tickets[2]);  // 0x53 from an ATmega8
//
// Each bit is one half clock with SCK low and the new MOSI, then one with SCK high at
// the same MOSI: MOSI never changes with a rising edge, the chip samples it on the
// rising edge and shifts MISO after the falling one, and MISO is read at the end of the
// high half. A half clock is FtdiClock::repeat() states. After the last byte of a
// flush one more state brings SCK low, so the lines rest as a serial port's transfer
// leaves them: SCK low, MOSI at the last bit.
//
// Waits between instructions (a write cycle, a settle time):
// - queueIdle(): states at the rest levels, clocked by the adapter. They keep a batch
//   in one stream and cost no transfer of their own, but under the slower reading of
//   the rate (FtdiClock) they last 16 times longer than asked. Use them for short waits
//   inside a batch: an 89S byte write, a few ms at most.
// - queueSleep(): the batch is split there and the host sleeps between the transfers.
//   Its length holds under either reading and costs no USB traffic, but it ends a
//   stream (the transfers around it cannot overlap the clock: about a round trip lost).
//   Use it for long waits: the 100 ms before the enable, 70 ms settle times, an erase.
// - queueWait() picks: idle states up to kIdleStatesUpToUs, a host sleep beyond.
//   Through vftdi (1 ms round trips, 5 µs half clock, faster reading), ATmega8 page
//   loads with a 4.5 ms wait after each commit ran at 1.18 times their floor with idle
//   states and 1.24 with host sleeps; under the slower reading the idle states would
//   cost 72 ms a page. Until the reading is settled the sleep is the safe side.
// Either way the wait counts from the end of what was queued before it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

#include "link/BitBangPort.h"
#include "link/FtdiClock.h"

class FtdiSpi {
public:
    using Ticket = size_t;
    static constexpr int32_t kIdleStatesUpToUs = 2000;

    // The pins start as FtdiAdapter::open leaves them: SCK low, MOSI low. The half
    // clock starts at FtdiClock::kMinHalfClockUs.
    explicit FtdiSpi(BitBangPort& port);

    // The half clock (ClockDelay, µs; below 5 counts as 5) of what is queued from now on.
    // The adapter's rate changes between transfers, at that point of the batch.
    void setHalfClock(int32_t microseconds);
    const FtdiClock& clock() const { return clock_; }

    // One byte out, most significant bit first; its reply comes from reply(ticket).
    Ticket queueByte(uint8_t out);
    // Waits; see above for which to use when. Zero or less queues nothing.
    void queueIdle(int32_t microseconds);
    void queueSleep(int32_t microseconds);
    void queueWait(int32_t microseconds);
    // Drives SCK and MOSI to these levels for one half clock, for entering and leaving
    // programming mode (high = logic 1 on the target's pin).
    void queueLevels(bool sck, bool mosi);

    // Sends everything queued. False when the port failed now or before; the queue is
    // empty afterwards either way.
    bool flush();
    // The byte the chip sent while `ticket` went out, after a successful flush of its
    // batch; nothing otherwise.
    std::optional<uint8_t> reply(Ticket ticket) const;
    // One byte on its own: queue, flush, reply.
    std::optional<uint8_t> transferByte(uint8_t out);

    // Pin states waiting for the next flush.
    size_t queuedStates() const { return states_.size(); }
    bool failed() const { return port_.failed(); }
    const LineFailure& failure() const { return port_.failure(); }

private:
    // States [begin, end) go out at baudValue, then the host sleeps sleepUs.
    struct Segment {
        size_t begin = 0;
        size_t end = 0;
        int baudValue = 0;
        int64_t sleepUs = 0;
    };
    // Where a byte's bits are read: sample first + i * stride for bit i (MSB first).
    struct ReplyAt {
        size_t first = 0;
        size_t stride = 0;
    };

    void startBatch();
    void pushStates(bool sck, bool mosi, size_t count);
    void closeSegment(int64_t sleepUs);
    bool fail();

    BitBangPort& port_;
    FtdiClock clock_;
    std::vector<uint8_t> states_;
    std::vector<uint8_t> samples_;
    std::vector<Segment> segments_;
    std::vector<ReplyAt> replies_;
    size_t openBegin_ = 0;          // first state of the segment not yet closed
    bool sampleAfterLast_ = false;  // the last state's successor carries a needed sample
    bool mosi_ = false;             // MOSI as the last state queued leaves it
    bool flushed_ = false;          // replies_ hold a flushed batch's answers
};
