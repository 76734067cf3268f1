// IspLink: ISP instructions over the open port's cable, the programming-enable
// handshake, the signature probe and the timing ladder that slows the clock down
// until the target answers. It reports through its results; what the user is told
// is decided above it.
//
// Instructions can go one at a time (transfer) or in batches: queue() as many as need
// no answer in between, flush(), then output() for each. On a cable that batches (an
// FTDI adapter) a batch is one stream of USB transfers; on the modem lines every
// instruction goes out as it is queued and flush() costs nothing.
#pragma once

#include <cstdint>
#include <functional>

#include "link/IspCable.h"
#include "link/IspInstruction.h"
#include "link/IspProtocol.h"

class LineDriver;

class IspLink {
public:
    using Ticket = IspCable::Ticket;

    // The link lengthens writeDelay (ms) on each slower rung; it stays owned by the caller.
    IspLink(LineDriver& line, int32_t& writeDelay);

    // The chosen chip's enable and signature; null while no chip is chosen. The
    // protocol stays owned by the caller (the chip table).
    void setProtocol(const IspProtocol* protocol) { protocol_ = protocol; }
    const IspProtocol* protocol() const { return protocol_; }
    // Runs at each new rung of the ladder, so a window stays live while the clock slows.
    void setEventPump(std::function<void()> pump) { eventPump_ = std::move(pump); }

    // Clocks one byte out MSB first and returns the bits read meanwhile, first one in bit 7.
    uint8_t transferByte(uint8_t out);
    // Sends a whole instruction (and whatever was queued before it) and returns its o
    // bits (0 when it has none).
    uint8_t transfer(const IspInstruction& instruction, const IspInstruction::Operands& operands = {});

    // --- Batches: what is queued goes out, in order, at the next flush (or transfer).
    Ticket queue(const IspInstruction& instruction, const IspInstruction::Operands& operands = {});
    void queueDelay(int32_t microseconds);  // a write cycle (a busy wait on the modem lines)
    void queueSleep(int32_t milliseconds);  // a pause between phases (a sleep)
    // False when the cable has failed, now or before.
    bool flush();
    // The o bits of a queued instruction after its flush.
    uint8_t output(const IspInstruction& instruction, Ticket ticket) const;
    // True when the cable gains from batches (see IspCable::batches).
    bool batches() const;

    // Lines to rest, a 100 ms pause, the enable, a 70 ms settle. True when the chip
    // echoed as its protocol says (or says nothing to check); the sync check decides.
    bool enterProgrammingMode();
    // One signature read; true when the target answered 0x1E (always true for chips
    // without a signature).
    bool probeSignature();
    // One rung slower; false once the ladder is exhausted.
    bool stepTimingLadder();
    // probeSignature along the ladder, sending the enable again before the probe at each
    // new rung; on failure releases the target and resets the clock. Fails at once with
    // no open port or after a failed line call.
    bool checkSync();
    void releaseTarget();

    // The signature byte at index (0..2) of the chips that have one; 0xFF for the others.
    uint8_t readSignatureByte(int index);
    bool hasSignature() const { return protocol_ && !protocol_->signature.isEmpty(); }

    LineDriver& line() const { return line_; }

private:
    bool failSync();
    IspCable& cable() const;

    LineDriver& line_;
    int32_t& writeDelay_;
    const IspProtocol* protocol_ = nullptr;
    std::function<void()> eventPump_;
};
