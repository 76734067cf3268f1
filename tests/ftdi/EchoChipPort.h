// A bit-bang port with an SPI chip behind its pins, for FtdiSpi's own tests: it answers
// each byte with the one before it (0xFF first), as an AVR echoes an instruction, and
// notes every breach of the cable's rules instead of trusting the encoder.
#pragma once

#include <algorithm>
#include <chrono>
#include <limits>
#include <vector>

#include "link/BitBangPort.h"

class EchoChipPort final : public BitBangPort {
public:
    // What happened, in order: an exchange of `states` states, or a host sleep.
    struct Event {
        size_t states = 0;
        std::chrono::microseconds sleep{0};
    };

    bool setBaudValue(int value) override
    {
        if (failed())
            return false;
        if (baudValues.empty() || baudValues.back() != value)
            baudValues.push_back(value);
        return true;
    }

    bool exchange(std::span<const uint8_t> states, std::span<uint8_t> samples) override
    {
        if (failed())
            return false;
        if (failAtExchange == exchanges()) {
            recordFailure(QStringLiteral("usb bulk read failed"));
            return false;
        }
        events.push_back({states.size(), {}});
        for (size_t k = 0; k < states.size(); ++k) {
            samples[k] = pins();
            drive(states[k]);
        }
        return true;
    }

    void sleepHost(std::chrono::microseconds duration) override { events.push_back({0, duration}); }

    size_t exchanges() const
    {
        return static_cast<size_t>(
            std::count_if(events.begin(), events.end(), [](const Event& e) { return e.states > 0; }));
    }

    std::vector<int> baudValues;
    std::vector<Event> events;
    std::vector<uint8_t> received;  // bytes as the chip sampled them
    size_t failAtExchange = std::numeric_limits<size_t>::max();
    bool mosiChangedWithRisingEdge = false;
    bool txdWentLow = false;
    size_t shortestHalf = std::numeric_limits<size_t>::max();  // in states, between two edges
    uint8_t last = FtdiPin::kTxd;                              // the pins as the last state left them

private:
    uint8_t pins() const
    {
        // The receivers with nothing behind them read high; MISO is the chip's.
        const uint8_t inputs = static_cast<uint8_t>(~FtdiPin::kOutputs & ~FtdiPin::kMiso);
        return static_cast<uint8_t>((last & FtdiPin::kOutputs) | inputs | (out_ & 0x80 ? FtdiPin::kMiso : 0));
    }

    void drive(uint8_t state)
    {
        const bool sckBefore = last & FtdiPin::kSck;
        const bool sckNow = state & FtdiPin::kSck;
        if (!(state & FtdiPin::kTxd))
            txdWentLow = true;
        if (sckBefore != sckNow) {
            if (edges_ > 0)
                shortestHalf = std::min(shortestHalf, run_);
            ++edges_;
            run_ = 0;
        }
        ++run_;
        if (!sckBefore && sckNow) {
            if ((state ^ last) & FtdiPin::kMosi)
                mosiChangedWithRisingEdge = true;
            in_ = static_cast<uint8_t>((in_ << 1) | ((state & FtdiPin::kMosi) ? 1 : 0));
            ++bits_;
        }
        if (sckBefore && !sckNow) {
            // Mode 0: the next bit goes out after the falling edge; after a whole byte
            // the chip starts on the echo of what it just took in.
            if (bits_ % 8 == 0) {
                received.push_back(in_);
                out_ = in_;
            } else {
                out_ = static_cast<uint8_t>(out_ << 1);
            }
        }
        last = state;
    }

    uint8_t in_ = 0;
    uint8_t out_ = 0xFF;
    size_t bits_ = 0;
    size_t edges_ = 0;
    size_t run_ = 0;
};
