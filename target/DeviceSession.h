// DeviceSession: what a device operation's body holds while DeviceRunner frames it.
// Every call that touches the chip goes through here, so the session knows whether
// the target still has to be released, and ends the operation at once when a line
// call has failed (the bits read since then are noise: a pulled adapter).
#pragma once

#include <cstdint>
#include <vector>

#include "link/IspInstruction.h"
#include "target/WriteCycle.h"

class DeviceRunner;
class IspLink;
class LineDriver;
class MemoryCommands;
class OperationView;
struct RunReport;
struct TargetState;

class DeviceSession {
public:
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // --- The chip. Each call checks the line afterwards; after a failed line call it
    // does not return: the runner ends the operation (no result text of the body runs).
    // A byte of the chosen memory (see MemoryCommands).
    uint8_t readByte(int32_t address);
    void writeByte(int32_t address, uint8_t value);
    // One whole instruction of the chip table; returns its o bits.
    uint8_t transfer(const IspInstruction& instruction, const IspInstruction::Operands& operands = {});
    // Waits out a write cycle the chip times itself (an erase, a fuse write): RDY/BSY
    // polled where the chip has it, at most fullWaitMs; else the full wait, queued (so
    // on a batching cable it goes out with the rest of the batch).
    void awaitWriteCycle(int32_t fullWaitMs, FullWait fullWait);
    // The page-buffer bookkeeping of writeByte (set 0 before a paged write).
    uint32_t loadedPage() const;
    void setLoadedPage(uint32_t page);

    // --- Batches. On a cable that batches (an FTDI adapter) what is queued here goes
    // out together at flush(), or before the next call above; elsewhere each goes out
    // at once and flush() only checks the line. A queued read's value is there after
    // the flush, until the next queue call.
    using Read = size_t;
    Read queueRead(int32_t address);
    void queueWrite(int32_t address, uint8_t value);
    Read queue(const IspInstruction& instruction, const IspInstruction::Operands& operands = {});
    void queueSleep(int32_t milliseconds);
    void flush();
    uint8_t value(Read read) const;                                      // a queueRead's byte
    uint8_t output(const IspInstruction& instruction, Read read) const;  // a queued instruction's o bits
    // Reads `length` bytes from `first` on as one batch into values.
    void readBytes(int32_t first, int32_t length, std::vector<uint8_t>& values);
    // How many bytes one batch should hold when each costs `instructions` instructions
    // and waitUs µs of waiting: as many as take about kBatchTime at the current clock,
    // so that the progress and the cancel button stay live; 1 where the cable does not
    // batch, so that those operations run byte by byte as ever.
    static constexpr int32_t kBatchTimeUs = 150000;
    int32_t batchLength(int instructions, int32_t waitUs = 0) const;
    // The write cycle, in µs, that each byte (or page) write of the chosen memory waits.
    int32_t writeWaitUs() const;

    // --- The loop. Call once per byte: lets pending events run (gauge, "C", close),
    // checks the line, and returns false once the cancel flag is set.
    bool step();
    // Polls the cancel flag without letting events run.
    bool cancelRequested();
    // The operation failed in its own way and has told the user ("Write error",
    // "Devergence in data", an error box): the outcome becomes Failed.
    void fail();

    // --- The frame, for operations that need more than one pass. The runner has
    // already entered programming mode and synchronised before the body runs, and
    // releases the target after it, unless the body's last act was release().
    void release();     // releaseTarget, unless nothing was sent since the last one
    void enter();       // enterProgrammingMode again (after release(), or to retry)
    bool checkSync();   // checkSync again; false: "Communication error" shown, released
    bool stepLadder();  // stepTimingLadder: one rung slower, writeDelay + 3
    int32_t clockDelay() const;
    void setClockDelay(int32_t microseconds);

    TargetState& target();
    OperationView& view();
    // The run's report, which the body fills with what it does.
    RunReport& report();

private:
    friend class DeviceRunner;
    struct LineLost {};  // unwinds the body to the runner; never seen by operations

    explicit DeviceSession(DeviceRunner& runner);
    void checkLine();

    DeviceRunner& runner_;
    bool needsRelease_ = false;  // a command went out since the last releaseTarget
    bool cancelSeen_ = false;
    bool failed_ = false;
};
