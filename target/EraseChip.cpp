// Chip erase: three bytes for the AT89S8252 / AT89S53, four for the others, then a
// plain 500 ms sleep that covers every chip's erase cycle.
#include "target/EraseChip.h"

#include "link/Timing.h"
#include "target/DeviceRunner.h"
#include "target/DeviceSession.h"
#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

constexpr int32_t kEraseWaitMs = 500;

// The button comes back however the erase ends, a lost port included.
struct EraseButtonOff {
    explicit EraseButtonOff(OperationView& view) : view(view) { view.setEraseEnabled(false); }
    ~EraseButtonOff() { view.setEraseEnabled(true); }
    OperationView& view;
};

void sendErase(DeviceSession& session, bool inRun)
{
    OperationView& view = session.view();
    const int32_t kind = session.target().TargetKind;
    const EraseButtonOff off(view);
    if (kind == 1 || kind == 2)
        session.send({0xAC, 0x04, 0x00});
    else if (kind >= 3 && kind <= 7)
        session.send({0xAC, 0x80, 0x00, 0x00});
    SleepMilliseconds(kEraseWaitMs);
    session.release();
    if (!inRun)
        view.setPanelText(0, QString::fromLatin1(Str::kErased));
}

}  // namespace

RunOutcome EraseChip(DeviceRunner& runner)
{
    return runner.run([](DeviceSession& session) { sendErase(session, false); });
}

bool EraseChip(DeviceSession& session)
{
    if (!session.checkSync())
        return false;
    sendErase(session, true);
    return true;
}
