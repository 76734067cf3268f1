// Fuse instructions from the chip table: read every fuse byte, write every fuse byte.
#include "target/FuseBits.h"

#include <array>

#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

constexpr std::array<FuseByte, 3> kFuseOrder = {FuseByte::Low, FuseByte::High, FuseByte::Extended};

uint8_t& byteOf(FuseBytes& fuses, FuseByte which)
{
    return which == FuseByte::Low ? fuses.low : which == FuseByte::High ? fuses.high : fuses.extended;
}

bool hasFuses(const TargetState& target) { return target.chip && target.chip->hasFuses(); }

}  // namespace

RunOutcome readFuseBits(DeviceRunner& runner, FuseBytes* fuses)
{
    if (!hasFuses(runner.target()))
        return RunOutcome::Cancelled;
    const ChipEntry& chip = *runner.target().chip;
    FuseBytes read;
    const RunOutcome outcome = runner.run([&](DeviceSession& session) {
        // Every fuse byte's read goes out in one batch.
        std::array<DeviceSession::Read, kFuseOrder.size()> reads{};
        for (size_t i = 0; i < kFuseOrder.size(); ++i) {
            const ConfigByte& fuse = chip.fuse(kFuseOrder[i]);
            if (fuse.exists())
                reads[i] = session.queue(fuse.read);
        }
        session.flush();
        for (size_t i = 0; i < kFuseOrder.size(); ++i) {
            const ConfigByte& fuse = chip.fuse(kFuseOrder[i]);
            if (fuse.exists())
                byteOf(read, kFuseOrder[i]) = fuse.normalized(session.output(fuse.read, reads[i]));
        }
        session.release();
        session.view().showResult(QString::fromLatin1(Str::kFuseBitsRead), false);
    });
    if (outcome == RunOutcome::Done && fuses)
        *fuses = read;
    return outcome;
}

RunOutcome writeFuseBits(DeviceRunner& runner, const FuseBytes& fuses)
{
    if (!hasFuses(runner.target()))
        return RunOutcome::Cancelled;
    const ChipEntry& chip = *runner.target().chip;
    FuseBytes values = fuses;
    return runner.run([&](DeviceSession& session) {
        bool first = true;
        for (FuseByte which : kFuseOrder) {
            const ConfigByte& fuse = chip.fuse(which);
            if (!fuse.exists())
                continue;
            // The chip ignores a write during the one before it, so each waits its turn.
            if (!first)
                session.queueSleep(chip.fuseWriteMs);
            first = false;
            session.queue(fuse.write, {0, fuse.normalized(byteOf(values, which))});
        }
        session.flush();
        session.release();  // its 70 ms cover the last fuse's write cycle
        session.view().showResult(QString::fromLatin1(Str::kFuseBitsProgrammed), false);
    });
}
