// FtdiAdapter: an FTDI USB serial adapter (FT232R, FT231X) whose modem-line pins drive
// the cable in synchronous bit-bang mode through libftdi: the second way to the same
// cable beside SerialLink's modem-line calls, with no USB round trip per edge.
//
// Port names: "FTDI:" (the only adapter plugged in) and "FTDI:SERIAL", the prefix in
// any case (FtdiPortName). Everything here reports results; nothing shows a message.
//
// Use: open() it, then drive it through FtdiSpi, which turns SPI bytes, waits and line
// levels into pin states and hands them to exchange() in as few transfers as the
// adapter's FIFOs allow. One thread at a time.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include <QString>

#include "link/BitBangPort.h"
#include "link/FtdiAdapterInfo.h"
#include "link/PortError.h"

struct ftdi_context;

class FtdiAdapter final : public BitBangPort {
public:
    // The FIFOs of an FT232R: 256 bytes host to device, 128 bytes device to host, and the
    // device sends its samples in 64-byte packets of 62 data bytes. In synchronous
    // bit-bang mode a state is only clocked while its sample has room, so at most
    // 128 + 256 states may be outstanding: one more and the write hangs until its timeout.
    static constexpr size_t kPacketData = 62;
    static constexpr size_t kHostToDeviceFifo = 256;
    static constexpr size_t kDeviceToHostFifo = 128;
    // Outstanding states per write at a fast clock: whole packets, under the limit with
    // room to spare. At a slow clock a write stays within the host-to-device FIFO, so that
    // it never waits for the clock.
    static constexpr size_t kFastBatch = 6 * kPacketData;
    static constexpr size_t kSlowBatch = 4 * kPacketData;
    // Held by the adapter for at most this long before it sends a short packet.
    static constexpr std::chrono::milliseconds kLatencyTimer{1};
    // A transfer honestly takes a few ms here; one that takes this long has hung.
    static constexpr std::chrono::milliseconds kUsbTimeout{2000};

    // The FTDI adapters plugged in, FT232R product ids first, then FT231X. An
    // adapter the user may not open is listed without strings (readable false). An empty
    // list with the reason in *error when libftdi could not look at the bus.
    static std::vector<FtdiAdapterInfo> list(PortError* error = nullptr);

    // Opens the adapter that portName picks and sets it up for the cable: synchronous
    // bit-bang with only D0 (TXD), D2 (SCK) and D4 (MOSI) as outputs, latency timer 1 ms,
    // USB timeouts of kUsbTimeout, FIFOs emptied, the pins at rest as a serial port's open
    // leaves the cable (TXD high, SCK low, MOSI low) and the clock at a 5 µs half clock.
    // Null with the reason in *error: not found (naming the adapters present), several
    // adapters for "FTDI:", no permission (with the cure), held by another program or the
    // kernel's driver, a chip without synchronous bit-bang, or libftdi's own reason.
    static std::unique_ptr<FtdiAdapter> open(const QString& portName, PortError* error);

    // Leaves the adapter in UART mode with both modem lines asserted (SCK low throughout)
    // and gives it back to the kernel's serial driver.
    ~FtdiAdapter() override;

    bool setBaudValue(int value) override;
    // Writes the states in batches of at most kFastBatch (kSlowBatch at a slow clock) and
    // reads each batch's samples back before the next: one bulk write and, at a fast
    // clock, one bulk read per batch. At a fast clock the last batch is padded to whole
    // packets with copies of the last state (the pins just hold it a little longer), so
    // that no read waits for the latency timer. On a failure libftdi's reason is kept and
    // the adapter stays failed.
    // At a 5 µs half clock and 1 ms USB round trips this runs at about 1.2 times the
    // clock's own time: while a bulk write is in flight the chip can clock no more states
    // than its device-to-host FIFO holds (128), and a write and a read cannot overlap.
    bool exchange(std::span<const uint8_t> states, std::span<uint8_t> samples) override;
    void sleepHost(std::chrono::microseconds duration) override;

    const FtdiAdapterInfo& info() const { return info_; }
    int baudValue() const { return baudValue_; }

    // The reason an open failed, as the code that names its cure. code is libftdi's
    // result of ftdi_usb_open_dev, reason its text; nodeAccessible whether this user may
    // read and write the adapter's USB device file (libftdi words a refusal as a failed open).
    static PortError describeOpenFailure(const QString& portName, const FtdiAdapterInfo& adapter, int code,
                                         const QString& reason, bool nodeAccessible);

private:
    FtdiAdapter(ftdi_context* context, FtdiAdapterInfo info);
    bool setUp();
    bool writeBatch(size_t count);
    bool readBatch(size_t count, std::chrono::steady_clock::time_point written);
    bool fastClock() const;
    void recordLibftdiFailure(int code, bool libusbCode);

    ftdi_context* context_;
    FtdiAdapterInfo info_;
    int baudValue_ = 0;
    double stateUs_ = 0;      // one state under the faster reading of the rate
    unsigned readChunk_ = 0;  // libftdi's read buffer, in bytes of whole packets
    // One batch each way, allocated once.
    std::vector<uint8_t> out_;
    std::vector<uint8_t> in_;
};
