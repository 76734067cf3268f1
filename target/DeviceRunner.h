// DeviceRunner: the one frame of every device operation. run() enters programming
// mode, synchronises (checkSync with its ladder), hands the body a DeviceSession for
// the operation's own commands, and releases the target afterwards, so no operation
// can forget a step. It also keeps the rules the operations share:
//  - one at a time: a run started while another runs (from a click handled in the
//    other's event processing) does nothing and returns Busy;
//  - a failed line call ends the operation at once: the target is released as far as
//    the port allows, the result "Communication error" shows and an "Error" box names
//    the port and the system's reason; the body's result texts never appear;
//  - an error thrown by the body (a file that cannot be written) passes on to the
//    top-level handler only after the target has been released.
#pragma once

#include <functional>

#include "link/IspLink.h"
#include "target/MemoryCommands.h"
#include "target/RunReport.h"

class DeviceSession;
class LineDriver;
class OperationView;
struct TargetState;

enum class RunOutcome {
    Done,        // the body ran to its end and showed its result
    Failed,      // the operation reported its own failure (session.fail(), or an error box before the run)
    NoSync,      // checkSync failed: "Communication error" is shown, nothing was done
    Cancelled,   // the cancel flag stopped it before its end; it showed "Cancelled"
    PortFailed,  // a line call failed: stopped at once, the user was told the port and the reason
    Busy,        // another device operation was running: nothing was sent, nothing shown
};

class DeviceRunner {
public:
    using Operation = std::function<void(DeviceSession&)>;

    // All three stay owned by the caller and must outlive the runner.
    DeviceRunner(LineDriver& line, TargetState& target, OperationView& view);

    // Runs one framed device operation; see the top of this file.
    RunOutcome run(const Operation& body);
    bool busy() const { return running_; }

    LineDriver& line() { return line_; }
    TargetState& target() { return target_; }
    OperationView& view() { return view_; }
    // What the last run did (and, while one runs, what it has done so far).
    const RunReport& report() const { return report_; }
    // Forgets the last run's report (a front end about to start an operation that may
    // never reach the runner).
    void clearReport() { report_ = RunReport{}; }

private:
    friend class DeviceSession;
    RunOutcome reportPortFailure();

    LineDriver& line_;
    TargetState& target_;
    OperationView& view_;
    IspLink isp_;
    MemoryCommands memory_;
    RunReport report_;
    bool running_ = false;
};
