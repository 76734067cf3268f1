// Edge decoding and instruction framing of the simulated chips. This is the
// per-bit path of every simulated run: it reads the clock once per edge and
// never allocates.
#include "sim/SimulatedTarget.h"

SimulatedTarget::SimulatedTarget(std::unique_ptr<ChipModel> chip) : chip_(std::move(chip)) {}

SimulatedTarget::~SimulatedTarget()
{
    if (chip_ && onClose_)
        onClose_(*chip_);
}

void SimulatedTarget::setDtr(bool asserted) { dtr_ = asserted; }

void SimulatedTarget::setRts(bool asserted)
{
    if (asserted == rts_)
        return;
    rts_ = asserted;
    if (chip_)
        sckEdge(!asserted);  // clearing RTS raises SCK
}

void SimulatedTarget::sckEdge(bool rising)
{
    const Clock::time_point now = Clock::now();
    const Clock::duration sinceLast = now - lastEdge_;
    lastEdge_ = now;

    if (sinceLast >= kResyncIdle && (bitCount_ != 0 || byteIndex_ != 0)) {
        bitCount_ = 0;
        byteIndex_ = 0;
        shiftOut_ = nextOut_ = chip_->replyBeforeFrame();
        miso_ = settlingMiso_ = (shiftOut_ >> 7) & 1;
    }

    if (!rising) {
        // The chip moves MISO on to its next bit once SCK has fallen.
        if (bitCount_ == 0)
            shiftOut_ = nextOut_;
        settlingMiso_ = (shiftOut_ >> (7 - bitCount_)) & 1;
        if (minHalfPeriod_.count() == 0)
            miso_ = settlingMiso_;
        return;
    }

    if (sinceLast >= minHalfPeriod_)
        miso_ = settlingMiso_;
    shiftIn_ = (shiftIn_ << 1) | (dtr_ ? 0u : 1u);
    if (++bitCount_ < 8)
        return;
    bitCount_ = 0;
    frame_[byteIndex_] = static_cast<uint8_t>(shiftIn_);
    if (byteIndex_ + 1 < chip_->frameLength()) {
        nextOut_ = chip_->replyAfter(frame_, byteIndex_, now);
        ++byteIndex_;
        return;
    }
    chip_->execute(frame_, now);
    ++instructions_;
    byteIndex_ = 0;
    nextOut_ = chip_->replyBeforeFrame();
}
