// DeviceSession: what a device operation's body holds while DeviceRunner frames it.
// Every call that touches the chip goes through here, so the session knows whether
// the target still has to be released, and ends the operation at once when a line
// call has failed (the bits read since then are noise: a pulled adapter).
#pragma once

#include <cstdint>
#include <initializer_list>

class DeviceRunner;
class IspLink;
class LineDriver;
class MemoryCommands;
class OperationView;
struct TargetState;

class DeviceSession {
public:
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // --- The chip. Each call checks the line afterwards; after a failed line call it
    // does not return: the runner ends the operation (no result text of the body runs).
    // ReadTargetByte / WriteTargetByte of the selected memory (see MemoryCommands).
    uint8_t readByte(int32_t address);
    void writeByte(int32_t address, uint8_t value);
    // One whole instruction, byte by byte; returns the reply to its last byte.
    uint8_t send(std::initializer_list<uint8_t> instruction);
    // The ATmega8 page-buffer bookkeeping of writeByte (set 0 before a flash write).
    uint16_t& LoadedPage();

    // --- The loop. Call once per byte: lets pending events run (gauge, "C", close),
    // checks the line, and returns false once CancelRequested is set.
    bool step();
    // Polls CancelRequested without letting events run.
    bool cancelRequested();
    // The operation failed in its own way and has told the user ("Write error",
    // "Devergence in data", an error box): the outcome becomes Failed.
    void fail();

    // --- The frame, for operations that need more than one pass. The runner has
    // already entered programming mode and synchronised before the body runs, and
    // releases the target after it, unless the body's last act was release().
    void release();      // ReleaseTarget, unless nothing was sent since the last one
    void enter();        // EnterProgrammingMode again (after release(), or to retry)
    bool checkSync();    // CheckSync again; false: "Communication error" shown, released
    bool stepLadder();   // StepTimingLadder: one rung slower, WriteDelay + 3
    int32_t& ClockDelay();

    TargetState& target();
    OperationView& view();

private:
    friend class DeviceRunner;
    struct LineLost {};  // unwinds the body to the runner; never seen by operations

    explicit DeviceSession(DeviceRunner& runner);
    void checkLine();

    DeviceRunner& runner_;
    bool needsRelease_ = false;  // a command went out since the last ReleaseTarget
    bool cancelSeen_ = false;
    bool failed_ = false;
};
