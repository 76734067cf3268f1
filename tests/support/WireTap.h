// A tap on the cable: passes every line call on to the chip behind it and decodes the
// bytes on MOSI as the chip samples them (at SCK rising, i.e. RTS cleared), so a test
// sees the instruction bytes on the wire and what they did to the chip.
#pragma once

#include <memory>
#include <vector>

#include "link/ModemLines.h"

class WireTap final : public ModemLines {
public:
    explicit WireTap(std::unique_ptr<ModemLines> inner) : inner_(std::move(inner)) {}

    void setDtr(bool asserted) override
    {
        dtr_ = asserted;
        inner_->setDtr(asserted);
        passOnFailure();
        ++callsSinceClock;
    }
    void setRts(bool asserted) override
    {
        clock(asserted);
        inner_->setRts(asserted);
        passOnFailure();
    }
    // One call through to the chip, decoded as it acts: MOSI first, then the clock.
    void setLines(bool dtrAsserted, bool rtsAsserted) override
    {
        if (!dtrAsserted && rtsAsserted)
            ++restsSinceClock;
        dtr_ = dtrAsserted;
        clock(rtsAsserted);
        inner_->setLines(dtrAsserted, rtsAsserted);
        passOnFailure();
    }
    bool cts() override
    {
        const bool level = inner_->cts();
        passOnFailure();
        ++callsSinceClock;
        return level;
    }

    ModemLines& inner() { return *inner_; }
    std::vector<uint8_t> sent;  // every byte clocked out, in order
    int callsSinceClock = 0;    // line calls since the last rising SCK edge
    int restsSinceClock = 0;    // calls that put both lines at rest at once since then (releases)

private:
    void clock(bool rtsAsserted)
    {
        if (!rtsAsserted && rts_) {
            shift_ = (shift_ << 1) | (dtr_ ? 0u : 1u);
            if (++bits_ == 8) {
                sent.push_back(static_cast<uint8_t>(shift_));
                bits_ = 0;
            }
            callsSinceClock = 0;
            restsSinceClock = 0;
        } else {
            ++callsSinceClock;
        }
        rts_ = rtsAsserted;
    }

    void passOnFailure()
    {
        if (inner_->failed())
            recordFailure(inner_->failureReason());
    }

    std::unique_ptr<ModemLines> inner_;
    bool dtr_ = true;
    bool rts_ = true;
    unsigned shift_ = 0;
    int bits_ = 0;
};
