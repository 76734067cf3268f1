// FtdiCable: the cable on an FTDI adapter's bit-bang pins. Instructions, waits and
// line levels are queued as pin states (FtdiSpi) and go out on flush(), in as few USB
// transfers as the adapter's FIFOs allow. Waits become idle clock states or host
// sleeps (FtdiSpi::queueWait decides), so a batch of page loads, their commit and the
// page write's wait is one stream.
#pragma once

#include <memory>
#include <vector>

#include "link/BitBangPort.h"
#include "link/FtdiSpi.h"
#include "link/IspCable.h"

class FtdiCable final : public IspCable {
public:
    explicit FtdiCable(std::unique_ptr<BitBangPort> port);
    ~FtdiCable() override;

    void setHalfClock(int32_t microseconds) override;
    Ticket queueBytes(const IspInstruction::Bytes& bytes, int count, unsigned used) override;
    void queueDelay(int32_t microseconds) override;
    void queueSleep(int32_t milliseconds) override;
    void queueLevels(bool sck, bool mosi) override;
    bool flush() override;
    IspInstruction::Bytes replies(Ticket ticket) const override;
    bool batches() const override { return true; }
    const LineFailure& failure() const override { return port_->failure(); }

    BitBangPort& port() const { return *port_; }
    const FtdiSpi& spi() const { return spi_; }

private:
    struct Queued {
        FtdiSpi::Ticket first = 0;
        int count = 0;
    };

    std::unique_ptr<BitBangPort> port_;
    FtdiSpi spi_;
    std::vector<Queued> queued_;
    bool flushed_ = false;  // queued_ belong to the last flush; the next queue starts anew
};
