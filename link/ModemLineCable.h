// ModemLineCable: the cable on a serial port's modem lines (DTR = MOSI, RTS = SCK,
// CTS = MISO), each edge timed by a busy wait. Everything goes out as it is queued.
//
// A bit costs two line calls where its answer is not read: SCK falls together with
// the new MOSI in one call (the chip samples MOSI on the rising edge, so it has the
// whole low half to settle), then SCK rises. CTS is read, at the end of the high half,
// only for the bytes whose answer is used. After an instruction's last bit SCK stays
// high until the next bit's call or anything else brings it low.
#pragma once

#include <memory>
#include <vector>

#include "link/IspCable.h"
#include "link/ModemLines.h"

class ModemLineCable final : public IspCable {
public:
    explicit ModemLineCable(std::unique_ptr<ModemLines> lines);
    ~ModemLineCable() override;

    void setHalfClock(int32_t microseconds) override;
    Ticket queueBytes(const IspInstruction::Bytes& bytes, int count, unsigned used) override;
    void queueDelay(int32_t microseconds) override;
    void queueSleep(int32_t milliseconds) override;
    void queueLevels(bool sck, bool mosi) override;
    bool flush() override;
    IspInstruction::Bytes replies(Ticket ticket) const override;
    bool batches() const override { return false; }
    const LineFailure& failure() const override;

    ModemLines& lines() const { return *lines_; }

private:
    uint8_t clockByte(uint8_t out, bool read);
    void bringClockLow();

    std::unique_ptr<ModemLines> lines_;
    int32_t halfClock_;
    bool sckHigh_ = false;  // an instruction's last bit left SCK high
    std::vector<IspInstruction::Bytes> replies_;
    bool flushed_ = false;  // replies_ belong to the last batch; the next queue starts anew
    mutable LineFailure failure_;
};
