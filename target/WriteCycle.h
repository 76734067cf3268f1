// Waiting out a write cycle the chip times itself (a page or byte write, an erase, a
// fuse write): by polling RDY/BSY where the chip answers it, else by the full wait.
// The poll only ever shortens the wait: it gives up once the full wait has passed.
// A cable that sends whole batches (an FTDI adapter) gets the full wait queued in the
// batch instead, since each poll would cost it a round trip.
#pragma once

#include <cstdint>

class IspLink;
struct ChipEntry;

enum class FullWait {
    BusyWait,  // the millisecond busy-wait of the byte and page writes
    Sleep,     // an ordinary sleep, for the long pauses (an erase)
};

// Returns true once the chip answered ready (everything queued before has then gone
// out), false when the full wait was queued instead: no poll, a batching cable, or a
// clock so slow that one poll would outlast the wait. Also false when the chip still
// answered busy once the full wait was over.
bool awaitWriteCycle(IspLink& isp, const ChipEntry* chip, int32_t fullWaitMs, FullWait fullWait = FullWait::BusyWait);
