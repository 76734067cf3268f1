// SimulatedTarget: a chip behind the three modem lines, decoded edge by edge the
// way the chip's SPI port sees them (MOSI sampled as SCK rises, MISO shifted after
// SCK falls). It frames bits into instructions for its ChipModel, keeps time on
// the same monotonic clock as the link, and can stand for two faults: a slow target,
// whose slow oscillator misses SCK edges that come too fast (the instruction is lost
// and MISO stays high for the rest of it, the enable included), and a USB adapter
// pulled out in the middle of a run (every line call fails from then on).
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "link/ModemLines.h"
#include "sim/ChipModel.h"

class SimulatedTarget final : public ModemLines {
public:
    using Clock = std::chrono::steady_clock;
    // SCK idle this long drops a partial instruction, as a pulse of the reset switch
    // would; the link always pauses 100 ms before its enable sequence.
    static constexpr std::chrono::milliseconds kResyncIdle{50};

    // A null chip is an empty socket: MISO floats high.
    explicit SimulatedTarget(std::unique_ptr<ChipModel> chip);
    ~SimulatedTarget() override;

    void setDtr(bool asserted) override;
    void setRts(bool asserted) override;
    bool cts() override;
    void setLines(bool dtrAsserted, bool rtsAsserted) override;

    // A target on a slow clock: an SCK edge closer than this to the one before garbles
    // the instruction it belongs to (not run, MISO high until it ends). 0 = any speed.
    void setMinHalfPeriod(std::chrono::microseconds minimum) { minHalfPeriod_ = minimum; }
    // The adapter is pulled after this many line calls (setDtr, setRts, setLines, cts): every
    // later call fails with the system's "Input/output error" and does nothing; the
    // chip keeps what it had. Negative = never.
    void unplugAfter(long lineCalls) { unplugAfter_ = lineCalls; }
    // How long SCK must stay idle to drop a partial instruction (kResyncIdle). Tests
    // that never put the chip out of step raise it: on a loaded machine a scheduling
    // stall inside an instruction can outlast 50 ms, and a real chip waits for reset.
    void setResyncIdle(std::chrono::milliseconds idle) { resyncIdle_ = idle; }
    // Saves the chip's state: when an operation that sent instructions has ended, and
    // when the port closes.
    void setSaveHandler(std::function<void(const ChipModel&)> handler) { save_ = std::move(handler); }
    void operationEnded() override;

    ChipModel* chip() const { return chip_.get(); }
    long instructionsRun() const { return instructions_; }

private:
    void sckEdge(bool rising);
    bool unplugged();  // counts a line call; true once the adapter is gone

    std::unique_ptr<ChipModel> chip_;
    std::function<void(const ChipModel&)> save_;
    long savedAt_ = 0;  // instructionsRun() at the last save
    std::chrono::microseconds minHalfPeriod_{0};
    long unplugAfter_ = -1;
    std::chrono::milliseconds resyncIdle_ = kResyncIdle;
    long lineCalls_ = 0;

    // Opening a port asserts both lines: MOSI 0, SCK low.
    bool dtr_ = true;
    bool rts_ = true;
    int miso_ = 1;
    bool garbled_ = false;  // the instruction in progress was clocked too fast

    Clock::time_point lastEdge_{};
    uint8_t frame_[ChipModel::kMaxFrame] = {};
    int byteIndex_ = 0;
    int bitCount_ = 0;
    unsigned shiftIn_ = 0;
    uint8_t shiftOut_ = 0xFF;
    uint8_t nextOut_ = 0xFF;
    long instructions_ = 0;
};
