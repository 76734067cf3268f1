// MemoryCommands: one byte of the chosen memory read or written, with the
// instructions the chip table gives for it. The target must already be in
// programming mode. Device operations reach these through their DeviceSession
// (readByte / writeByte, or queueRead / queueWrite and flush for a batch), which also
// checks the line after each byte or batch.
#pragma once

#include <cstdint>

#include "link/IspLink.h"

struct MemorySpec;
struct TargetState;

class MemoryCommands {
public:
    MemoryCommands(IspLink& isp, const TargetState& target);

    // The byte at a byte address (from 0) of the chosen memory; 0 with nothing sent
    // when no chip is chosen.
    uint8_t readByte(int32_t address);
    // Writes one byte and waits out its write cycle (the memory's own write delay, or
    // the target's writeDelay; polled where the chip answers RDY/BSY). For a memory with a page buffer the byte goes
    // into the buffer, and the page last loaded is first written to the memory when the address lies in another page:
    // end such a write with one more call in another page than the last one loaded. Sends nothing when no chip is
    // chosen.
    void writeByte(int32_t address, uint8_t value);

    // The same, queued on the link: they go out at its next flush. A queued read's
    // value is there after that flush (0 with no chip chosen).
    IspLink::Ticket queueRead(int32_t address);
    uint8_t readValue(IspLink::Ticket ticket) const;
    void queueWrite(int32_t address, uint8_t value);

    // The page (its first word or byte address, as the page write takes it) whose
    // bytes the page buffer holds. Set it to 0 before a paged write.
    uint32_t loadedPage() const { return loadedPage_; }
    void setLoadedPage(uint32_t page) { loadedPage_ = page; }

    // The wait after one byte (or page) write of the chosen memory, in ms.
    int32_t writeDelay() const;

private:
    void loadIntoPage(const MemorySpec& memory, uint32_t address, uint8_t value);
    int32_t writeDelayOf(const MemorySpec& memory) const;

    IspLink& isp_;
    const TargetState& target_;
    uint32_t loadedPage_ = 0;
};
