// Chip erase: the chip's erase instruction, then a plain sleep that covers the
// erase cycle.
#include "target/EraseChip.h"

#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

// The view hears of the end however the erase ends, a lost port included.
struct EraseRunning {
    explicit EraseRunning(OperationView& view) : view(view) { view.eraseStarted(); }
    ~EraseRunning() { view.eraseEnded(); }
    OperationView& view;
};

void sendErase(DeviceSession& session, bool inRun)
{
    OperationView& view = session.view();
    const ChipEntry* chip = session.target().chip;
    const EraseRunning running(view);
    // The instruction and its wait go out as one batch.
    if (chip)
        session.queue(chip->erase);
    session.queueSleep(chip ? chip->eraseWaitMs : 0);
    session.flush();
    session.release();
    if (!inRun)
        view.showResult(QString::fromLatin1(Str::kErased), false);
}

}  // namespace

RunOutcome eraseChip(DeviceRunner& runner)
{
    return runner.run([](DeviceSession& session) { sendErase(session, false); });
}

bool eraseChip(DeviceSession& session)
{
    if (!session.checkSync())
        return false;
    sendErase(session, true);
    return true;
}
