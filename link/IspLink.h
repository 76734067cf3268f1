// IspLink: the ISP byte channel over the line driver, the programming-enable
// handshake, the signature probe and the timing ladder that slows the clock down
// until the target answers.
#pragma once

#include <cstdint>

class LineDriver;
class OperationView;

class IspLink {
public:
    // The link reads the selected instruction set (TargetKind 0..7)
    // and lengthens the write delay on each slower rung; both stay owned by the caller.
    IspLink(LineDriver& line, const int32_t& targetKind, int32_t& writeDelay, OperationView& view);

    // Clocks one byte out MSB first and returns the bits read meanwhile, first one in bit 7.
    uint8_t SpiTransferByte(uint8_t out);
    void EnterProgrammingMode();
    // One signature read; true when the target answered 0x1E (always true for 3-byte chips).
    bool ProbeSignature();
    // One rung slower; false once the ladder is exhausted.
    bool StepTimingLadder();
    // ProbeSignature along the ladder, sending the enable again before the probe at each
    // new rung; on failure shows "Communication error", releases and resets the clock.
    // Fails at once with no open port or after a failed line call.
    bool CheckSync();
    void ReleaseTarget();

    // The signature byte at index (0..2) of the chips that have one; the reply of the
    // instruction's last byte. TargetKinds without a signature read return 0xFF.
    uint8_t readSignatureByte(int index);
    // True for the 4-byte instruction sets (TargetKind 3..7).
    bool hasSignature() const;

    LineDriver& line() const { return line_; }

private:
    bool failSync();

    LineDriver& line_;
    OperationView& view_;
    const int32_t& TargetKind;
    int32_t& WriteDelay;
};
