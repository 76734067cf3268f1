// Edge decoding and instruction framing of the simulated chips. This is the
// per-bit path of every simulated run: it reads the clock once per edge and
// never allocates.
#include "sim/SimulatedTarget.h"

#include <cerrno>
#include <cstring>

SimulatedTarget::SimulatedTarget(std::unique_ptr<ChipModel> chip) : chip_(std::move(chip)) {}

SimulatedTarget::~SimulatedTarget()
{
    if (chip_ && save_)
        save_(*chip_);
}

void SimulatedTarget::operationEnded()
{
    // Another program may open this chip next, or this one may be killed before it closes.
    if (!chip_ || !save_ || instructions_ == savedAt_)
        return;
    save_(*chip_);
    savedAt_ = instructions_;
}

bool SimulatedTarget::unplugged()
{
    if (unplugAfter_ < 0 || lineCalls_ < unplugAfter_) {
        ++lineCalls_;
        return false;
    }
    // What a pulled USB adapter's driver answers to every modem-line call.
    if (!failed())
        recordFailure(QString::fromLocal8Bit(std::strerror(EIO)));
    return true;
}

void SimulatedTarget::setDtr(bool asserted)
{
    if (!unplugged())
        dtr_ = asserted;
}

void SimulatedTarget::setRts(bool asserted)
{
    if (unplugged() || asserted == rts_)
        return;
    rts_ = asserted;
    if (chip_)
        sckEdge(!asserted);  // clearing RTS raises SCK
}

void SimulatedTarget::setLines(bool dtrAsserted, bool rtsAsserted)
{
    // One call, as one TIOCMSET: MOSI is in place before the clock edge it comes with.
    if (unplugged())
        return;
    dtr_ = dtrAsserted;
    if (rtsAsserted == rts_)
        return;
    rts_ = rtsAsserted;
    if (chip_)
        sckEdge(!rtsAsserted);
}

bool SimulatedTarget::cts()
{
    if (unplugged())
        return false;
    return miso_ == 0;
}

void SimulatedTarget::sckEdge(bool rising)
{
    const Clock::time_point now = Clock::now();
    const Clock::duration sinceLast = now - lastEdge_;
    lastEdge_ = now;

    if (sinceLast >= resyncIdle_ && (bitCount_ != 0 || byteIndex_ != 0)) {
        bitCount_ = 0;
        byteIndex_ = 0;
        garbled_ = false;
        shiftOut_ = nextOut_ = chip_->replyBeforeFrame();
        miso_ = (shiftOut_ >> 7) & 1;
    }
    // A slow oscillator misses an edge that comes too soon: the instruction is lost.
    // The fall that ends an instruction already run belongs to no instruction.
    const bool endOfInstruction = !rising && bitCount_ == 0 && byteIndex_ == 0;
    if (minHalfPeriod_.count() != 0 && sinceLast < minHalfPeriod_ && !endOfInstruction) {
        garbled_ = true;
        miso_ = 1;
    }

    if (!rising) {
        // The chip moves MISO on to its next bit once SCK has fallen.
        if (bitCount_ == 0)
            shiftOut_ = nextOut_;
        miso_ = garbled_ ? 1 : (shiftOut_ >> (7 - bitCount_)) & 1;
        return;
    }

    shiftIn_ = (shiftIn_ << 1) | (dtr_ ? 0u : 1u);
    if (++bitCount_ < 8)
        return;
    bitCount_ = 0;
    frame_[byteIndex_] = static_cast<uint8_t>(shiftIn_);
    if (byteIndex_ + 1 < chip_->frameLength()) {
        nextOut_ = garbled_ ? uint8_t{0xFF} : chip_->replyAfter(frame_, byteIndex_, now);
        ++byteIndex_;
        return;
    }
    if (!garbled_) {
        chip_->execute(frame_, now);
        ++instructions_;
    }
    garbled_ = false;
    byteIndex_ = 0;
    nextOut_ = chip_->replyBeforeFrame();
}
