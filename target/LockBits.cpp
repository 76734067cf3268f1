// Lock-bit instructions: per-kind bytes for the 89S levels, the AVR lock byte.
#include "target/LockBits.h"

#include <array>

#include "link/Timing.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

// The 89S chips time no lock write of their own; 50 ms covers every one.
constexpr int32_t kLockWriteWaitMs = 50;

// Index = level - 1.
constexpr std::array<uint8_t, 3> kAt89s8253Levels = {0xE6, 0xE5, 0xE3};
constexpr std::array<uint8_t, 3> kThreeByteLevels = {0x67, 0x27, 0x07};

void programLevel(DeviceSession& session, int level)
{
    const int32_t kind = session.target().TargetKind;
    if (kind == 3) {
        // One instruction per lock bit, starting from mode 1.
        for (int bit = 0; bit <= level; ++bit) {
            session.send({0xAC, static_cast<uint8_t>(0xE0 | bit), 0x00, 0x00});
            SleepMilliseconds(kLockWriteWaitMs);
        }
    } else if (kind == 4 || kind == 5) {
        session.send({0xAC, kAt89s8253Levels[static_cast<size_t>(level - 1)], 0x00, 0x00});
        SleepMilliseconds(kLockWriteWaitMs);
    } else {
        session.send({0xAC, kThreeByteLevels[static_cast<size_t>(level - 1)], 0x00});
        SleepMilliseconds(kLockWriteWaitMs);
    }
    session.release();
    session.view().setPanelText(0, QString::fromLatin1(Str::kLockBitsProgrammed));
}

}  // namespace

RunOutcome WriteLockBits89S(DeviceRunner& runner, int level)
{
    const int32_t kind = runner.target().TargetKind;
    if (level < 1 || level > 3 || kind < 1 || kind > 5)
        return RunOutcome::Cancelled;
    return runner.run([level](DeviceSession& session) { programLevel(session, level); });
}

RunOutcome ReadLockBitsAvr(DeviceRunner& runner)
{
    if (!atmega8Selected(runner.target()))
        return RunOutcome::Cancelled;
    return runner.run([](DeviceSession& session) {
        const uint8_t lock = session.send({0x58, 0x00, 0x00, 0x00});
        session.release();
        session.view().setAvrLockBits(lock);
        session.view().setPanelText(0, QString::fromLatin1(Str::kLockBitsRead));
    });
}

RunOutcome WriteLockBitsAvr(DeviceRunner& runner)
{
    if (!atmega8Selected(runner.target()))
        return RunOutcome::Cancelled;
    // Bits 6 and 7 have no box and are left unprogrammed.
    const uint8_t lock = runner.view().avrLockBits() | 0xC0;
    return runner.run([lock](DeviceSession& session) {
        session.send({0xAC, 0xE0, 0x00, lock});
        session.release();
        session.view().setPanelText(0, QString::fromLatin1(Str::kLockBitsProgrammed));
    });
}
