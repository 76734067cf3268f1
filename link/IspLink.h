// IspLink: the ISP byte channel over the line driver, the programming-enable
// handshake, the signature probe and the timing ladder that slows the clock down
// until the target answers. It reports through its results; what the user is told
// is decided above it.
#pragma once

#include <cstdint>
#include <functional>

#include "link/IspInstruction.h"
#include "link/IspProtocol.h"

class LineDriver;

class IspLink {
public:
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
    // Sends a whole instruction and returns its o bits (0 when it has none).
    uint8_t transfer(const IspInstruction& instruction, const IspInstruction::Operands& operands = {});

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

    LineDriver& line_;
    int32_t& writeDelay_;
    const IspProtocol* protocol_ = nullptr;
    std::function<void()> eventPump_;
};
