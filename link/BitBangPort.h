// BitBangPort: an adapter's pins in synchronous bit-bang mode, the seam under FtdiSpi.
// FtdiAdapter is the real one; tests put a chip model behind the same calls.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>

#include <QString>

#include "link/LineFailure.h"

// The cable at an FTDI adapter's data pins (D0..D7 = TXD, RXD, RTS#, CTS#, DTR#, DSR#,
// DCD#, RI#): the adapter's RS232 transceiver and the board's MAX232 both invert, so
// none of the target's signals is inverted here.
namespace FtdiPin {
inline constexpr uint8_t kTxd = 0x01;   // D0, kept high (a low TXD is a BREAK)
inline constexpr uint8_t kSck = 0x04;   // D2, RTS#
inline constexpr uint8_t kMiso = 0x08;  // D3, CTS#
inline constexpr uint8_t kMosi = 0x10;  // D4, DTR#
// The only pins the adapter drives; the others are its receivers' outputs.
inline constexpr uint8_t kOutputs = kTxd | kSck | kMosi;
}  // namespace FtdiPin

class BitBangPort {
public:
    virtual ~BitBangPort() = default;

    // Sets how fast states are clocked out: `value` as ftdi_set_baudrate takes it in
    // bit-bang mode (FtdiClock::baudValue). Costs a USB control transfer when it
    // changes, none when it does not. False after a failure.
    virtual bool setBaudValue(int value) = 0;

    // Drives states[k] onto the pins, one per tick, and fills samples[k] (same size)
    // with the pins as read at state k's tick, before it is driven: sample k shows the
    // pins as state k-1 left them, sample 0 as the previous exchange left them.
    // All or nothing: on false the samples mean nothing and failed() is set.
    virtual bool exchange(std::span<const uint8_t> states, std::span<uint8_t> samples) = 0;

    // Waits on the host with nothing queued in the adapter: the pins hold the last
    // state meanwhile, and the wait starts no earlier than that state was driven.
    virtual void sleepHost(std::chrono::microseconds duration) = 0;

    // True once a transfer has failed (the adapter pulled): it stays failed, and every
    // later call fails at once without touching the adapter.
    bool failed() const { return failure_.failed(); }
    // Why; code None before a failure.
    const LineFailure& failure() const { return failure_; }

protected:
    // Only the first failure is kept: later ones are its consequences.
    void recordFailure(const LineFailure& failure)
    {
        if (!failed())
            failure_ = failure;
    }
    // A failure in libftdi's (or libusb's) own words.
    void recordFailure(const QString& reason) { recordFailure({LineFailure::Code::System, reason}); }

private:
    LineFailure failure_;
};
