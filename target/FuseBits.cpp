// Fuse instructions of the ATmega8: read both bytes, write both bytes.
#include "target/FuseBits.h"

#include "link/Timing.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

// The chip is busy for 4.5 ms after a fuse write and ignores a write meanwhile, so
// the high fuse must not follow the low fuse at once.
constexpr int32_t kFuseWriteCycleMs = 5;

}  // namespace

RunOutcome ReadFuseBits(DeviceRunner& runner)
{
    if (!atmega8Selected(runner.target()))
        return RunOutcome::Cancelled;
    return runner.run([](DeviceSession& session) {
        const uint8_t low = session.send({0x50, 0x00, 0x00, 0x00});
        const uint8_t high = session.send({0x58, 0x08, 0x00, 0x00});
        session.release();
        session.view().setAvrFuseBits(low, high);
        session.view().setPanelText(0, QString::fromLatin1(Str::kFuseBitsRead));
    });
}

RunOutcome WriteFuseBits(DeviceRunner& runner)
{
    if (!atmega8Selected(runner.target()))
        return RunOutcome::Cancelled;
    const uint8_t low = runner.view().avrFuseBits(false);
    const uint8_t high = runner.view().avrFuseBits(true);
    return runner.run([low, high](DeviceSession& session) {
        session.send({0xAC, 0xA0, 0x00, low});
        SleepMilliseconds(kFuseWriteCycleMs);
        session.send({0xAC, 0xA8, 0x00, high});
        session.release();  // its 70 ms cover the high fuse's write cycle
        session.view().setPanelText(0, QString::fromLatin1(Str::kFuseBitsProgrammed));
    });
}
