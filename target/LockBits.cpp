// Lock-bit instructions from the chip table: the 89S levels, the AVR lock byte.
#include "target/LockBits.h"

#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

void programLevel(DeviceSession& session, const LockLevels& locks, int level)
{
    // The chips time no lock write of their own: each instruction gets the table's wait.
    const LockLevels::Level& steps = locks.levels[static_cast<size_t>(level - 1)];
    for (int i = 0; i < steps.count; ++i) {
        session.queue(locks.write, {0, steps.values[static_cast<size_t>(i)]});
        session.queueSleep(locks.waitMs);
    }
    session.flush();
    session.release();
    session.view().showResult(QString::fromLatin1(Str::kLockBitsProgrammed), false);
}

bool hasAvrLock(const TargetState& target) { return target.chip && target.chip->hasAvrLock(); }

}  // namespace

RunOutcome writeLockBits89S(DeviceRunner& runner, int level)
{
    const ChipEntry* chip = runner.target().chip;
    if (level < 1 || level > 3 || !chip || !chip->lockLevels.exist())
        return RunOutcome::Cancelled;
    const LockLevels& locks = chip->lockLevels;
    return runner.run([&locks, level](DeviceSession& session) { programLevel(session, locks, level); });
}

RunOutcome readAvrLockBits(DeviceRunner& runner, uint8_t* lock)
{
    if (!hasAvrLock(runner.target()))
        return RunOutcome::Cancelled;
    const ConfigByte& form = runner.target().chip->lock;
    uint8_t read = 0xFF;
    const RunOutcome outcome = runner.run([&](DeviceSession& session) {
        read = form.normalized(session.transfer(form.read));
        session.release();
        session.view().showResult(QString::fromLatin1(Str::kLockBitsRead), false);
    });
    if (outcome == RunOutcome::Done && lock)
        *lock = read;
    return outcome;
}

RunOutcome writeAvrLockBits(DeviceRunner& runner, uint8_t lock)
{
    if (!hasAvrLock(runner.target()))
        return RunOutcome::Cancelled;
    const ConfigByte& form = runner.target().chip->lock;
    return runner.run([&form, lock](DeviceSession& session) {
        session.transfer(form.write, {0, form.normalized(lock)});
        session.release();
        session.view().showResult(QString::fromLatin1(Str::kLockBitsProgrammed), false);
    });
}
