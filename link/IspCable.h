// IspCable: the cable as the ISP engine drives it: whole instructions, waits and line
// levels, queued and then sent together by flush(). Two stand behind it:
// ModemLineCable bit-bangs a serial port's modem lines as each call comes (a flush
// sends nothing more), and FtdiCable turns everything queued into pin states for an
// FTDI adapter in synchronous bit-bang mode and sends them in as few USB transfers as
// it can. The engine queues as much as an operation allows before it needs an answer,
// and reads the answers after the flush; a cable that does not gain from batches()
// gets the same calls one instruction at a time.
#pragma once

#include <cstdint>

#include "link/IspInstruction.h"
#include "link/LineFailure.h"

class IspCable {
public:
    using Ticket = size_t;

    virtual ~IspCable() = default;

    // The half clock (ClockDelay, µs) of what is queued from now on; never under the
    // cable's 5 µs, whatever is asked.
    virtual void setHalfClock(int32_t microseconds) = 0;

    // Clocks out `count` bytes, most significant bit first. Bit i of `used` marks byte
    // i as one whose answer is read: the other bytes' answers may not be sampled at all.
    virtual Ticket queueBytes(const IspInstruction::Bytes& bytes, int count, unsigned used) = 0;
    // A chip's write cycle between two instructions, timed to the microsecond where the
    // cable can (a busy wait on the modem lines).
    virtual void queueDelay(int32_t microseconds) = 0;
    // A pause between protocol phases (settle times, the erase): a sleep, not a busy wait.
    virtual void queueSleep(int32_t milliseconds) = 0;
    // SCK and MOSI at these levels on the target (true = logic 1), for entering and
    // leaving programming mode. MOSI never changes with a rising SCK.
    virtual void queueLevels(bool sck, bool mosi) = 0;

    // Sends what is queued. False when the cable has failed, now or before.
    virtual bool flush() = 0;
    // The bytes the chip answered while the ticket's bytes went out, after a flush; only
    // the bytes marked used mean anything. All 0xFF after a failure.
    virtual IspInstruction::Bytes replies(Ticket ticket) const = 0;

    // True when queuing many instructions before a flush saves time, because each
    // exchange with the adapter is a USB round trip; false where every call goes out at
    // once and batching only delays the answers. A poll for the end of a write cycle
    // costs a round trip per poll on a cable that batches.
    virtual bool batches() const = 0;

    // Set once a call on the cable has failed (an adapter pulled out): every answer since
    // then is noise, and it stays set for the life of the cable.
    virtual const LineFailure& failure() const = 0;
    bool failed() const { return failure().failed(); }
};
