// ChipModel: what a simulated chip does with whole instruction bytes once the
// cable's edges have been decoded into them (SimulatedTarget does the edges).
// Holds the memories, the programming-enable state, the write-cycle busy window
// and the lost-write fault; the families add their instruction sets.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>

// The state file stores these numbers: new chips are added at the end.
enum class SimChipType {
    At89s8252,
    At89s53,
    At89s52,
    At89s51,
    At89s8253,
    Atmega8,
    Atmega8515,
    Atmega8535,
    Atmega16,
    Atmega32,
    Atmega48,
    Atmega48p,
    Atmega88,
    Atmega88p,
    Atmega168,
    Atmega168p,
    Atmega328,
    Atmega328p,
    Attiny13,
    Attiny25,
    Attiny45,
    Attiny85,
    Attiny2313
};

enum class SimMemory { Flash, Eeprom };

// Everything a chip keeps across power cycles (and so across runs of the program).
struct ChipMemories {
    std::vector<uint8_t> flash;
    std::vector<uint8_t> eeprom;  // empty on chips without one
    uint8_t lowFuse = 0xFF;       // AVR only; a programmed bit reads 0
    uint8_t highFuse = 0xFF;
    uint8_t extendedFuse = 0xFF;  // AVRs that have one
    uint8_t lock = 0xFF;          // AVR lock byte; 89S: bit 0..2 = LB1..LB3, 0 = programmed

    // What a chip erase clears: the flash, the EEPROM unless the chip keeps it, the lock bits.
    void erase(bool keepEeprom = false)
    {
        std::fill(flash.begin(), flash.end(), uint8_t{0xFF});
        if (!keepEeprom)
            std::fill(eeprom.begin(), eeprom.end(), uint8_t{0xFF});
        lock = 0xFF;
    }
};

class ChipModel {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kMaxFrame = 4;

    virtual ~ChipModel() = default;

    SimChipType type() const { return type_; }
    int frameLength() const { return frameLength_; }
    ChipMemories& memories() { return memories_; }
    const ChipMemories& memories() const { return memories_; }
    bool programmingEnabled() const { return enabled_; }
    bool busy(Clock::time_point now) const { return now < busyUntil_; }

    // The byte shifted out during byte index + 1 of the instruction, once bytes
    // 0..index have arrived (index < frameLength - 1).
    uint8_t replyAfter(const uint8_t* frame, int index, Clock::time_point now);
    // The byte shifted out during the first byte of the next instruction.
    uint8_t replyBeforeFrame() const { return enabled_ ? lastReceived_ : 0xFF; }
    // Runs a complete instruction.
    void execute(const uint8_t* frame, Clock::time_point now);

    // The first `count` writes that would reach this cell are lost.
    void loseWrites(SimMemory memory, uint32_t address, int count);
    // A new chip from the factory: erased memories, factory fuses, no lock.
    virtual void resetToFactory();
    // Whether memories().extendedFuse is a fuse of this chip rather than filler.
    virtual bool hasExtendedFuse() const { return false; }

protected:
    ChipModel(SimChipType type, int frameLength, int flashSize, int eepromSize);

    // Data a read-type instruction shifts out in its last byte, or -1 when the
    // instruction's last byte just echoes.
    virtual int dataReply(const uint8_t* frame) const = 0;
    // Runs an instruction other than programming enable; the chip is enabled.
    virtual void run(const uint8_t* frame, Clock::time_point now) = 0;
    virtual bool isEnable(const uint8_t* frame) const { return frame[0] == 0xAC && frame[1] == 0x53; }
    // What a read shows during a write cycle: 0xFF (AVR) or data polling (89S).
    virtual uint8_t busyReply() const { return pollValue_; }

    // Starts a write cycle: writes are ignored and reads show busyReply() until it ends.
    void startWriteCycle(Clock::time_point now, std::chrono::microseconds length, uint8_t pollValue);
    // Writes a cell unless a lost-write fault swallows it; andOnly for flash that only
    // goes from 1 to 0 without an erase. Addresses outside the memory are ignored.
    void writeCell(SimMemory memory, uint32_t address, uint8_t value, bool andOnly);
    uint8_t readCell(SimMemory memory, uint32_t address) const;
    std::vector<uint8_t>& cells(SimMemory memory);

    ChipMemories memories_;

private:
    struct LostWrite {
        SimMemory memory = SimMemory::Flash;
        uint32_t address = 0;
        int remaining = 0;
    };

    SimChipType type_;
    int frameLength_;
    bool enabled_ = false;
    uint8_t lastReceived_ = 0xFF;
    uint8_t pollValue_ = 0xFF;
    Clock::time_point busyUntil_{};
    LostWrite lost_;
};
