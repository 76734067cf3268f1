// Chip erase: the chip's erase instruction, then its erase cycle waited out (polled
// where the chip answers RDY/BSY, else a plain sleep that covers it).
#include "target/EraseChip.h"

#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/RunReport.h"
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
    if (!inRun)
        session.report().kind = RunKind::Erase;
    // The instruction and its wait go out as one batch, or the chip is asked when it is done.
    if (chip) {
        session.queue(chip->erase);
        session.awaitWriteCycle(chip->eraseWaitMs, FullWait::Sleep);
    }
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
