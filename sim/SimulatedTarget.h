// SimulatedTarget: a chip behind the three modem lines, decoded edge by edge the
// way the chip's SPI port sees them (MOSI sampled as SCK rises, MISO shifted after
// SCK falls). It frames bits into instructions for its ChipModel, keeps time on
// the same monotonic clock as the link, and can stand for a slow target: one whose
// slow oscillator moves MISO on late, so a programmer that clocks too fast reads
// each bit one place late and sees garbage, while the chip still takes its input.
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
    bool cts() override { return miso_ == 0; }

    // A target on a slow clock: after SCK falls its MISO needs this long to show
    // the next bit; a shorter low half period leaves the previous bit on the line.
    // 0 = any speed.
    void setMinHalfPeriod(std::chrono::microseconds minimum) { minHalfPeriod_ = minimum; }
    // Runs when the port closes (the chip's state is saved there).
    void setCloseHandler(std::function<void(const ChipModel&)> handler) { onClose_ = std::move(handler); }

    ChipModel* chip() const { return chip_.get(); }
    long instructionsRun() const { return instructions_; }

private:
    void sckEdge(bool rising);

    std::unique_ptr<ChipModel> chip_;
    std::function<void(const ChipModel&)> onClose_;
    std::chrono::microseconds minHalfPeriod_{0};

    // Opening a port asserts both lines: MOSI 0, SCK low.
    bool dtr_ = true;
    bool rts_ = true;
    int miso_ = 1;
    int settlingMiso_ = 1;  // the bit a slow target is still moving onto MISO

    Clock::time_point lastEdge_{};
    uint8_t frame_[ChipModel::kMaxFrame] = {};
    int byteIndex_ = 0;
    int bitCount_ = 0;
    unsigned shiftIn_ = 0;
    uint8_t shiftOut_ = 0xFF;
    uint8_t nextOut_ = 0xFF;
    long instructions_ = 0;
};
