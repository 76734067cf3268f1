// The frame around every device operation, and what happens when the port fails.
#include "target/DeviceRunner.h"

#include <QElapsedTimer>

#include "link/LineDriver.h"
#include "target/DeviceSession.h"
#include "target/ErrorText.h"
#include "target/TargetState.h"
#include "view/OperationView.h"
#include "view/Strings.h"

DeviceRunner::DeviceRunner(LineDriver& line, TargetState& target, OperationView& view)
    : line_(line), target_(target), view_(view), isp_(line, target.writeDelay), memory_(isp_, target)
{
    // The ladder's slow rungs take seconds; the window stays live meanwhile.
    isp_.setEventPump([this] { view_.processEvents(); });
}

RunOutcome DeviceRunner::run(const Operation& body)
{
    // Operations let events run between bytes, so a click can land here in the middle
    // of another one; two instruction streams must never interleave on the wire.
    if (running_)
        return RunOutcome::Busy;
    running_ = true;
    struct Idle {
        bool& running;
        ~Idle() { running = false; }
    } idle{running_};
    // However it ends, what stands behind the lines hears of it (a simulated chip then
    // saves its state for the next program that opens it).
    struct Ended {
        LineDriver& line;
        ~Ended()
        {
            if (line.lines())
                line.lines()->operationEnded();
        }
    } ended{line_};

    // The chip may have been changed since the last run.
    isp_.setProtocol(target_.chip ? &target_.chip->isp : nullptr);
    DeviceSession session(*this);
    report_ = RunReport{};
    QElapsedTimer clock;
    clock.start();
    // The report's time runs from the enable to the release, however the run ends.
    struct Timed {
        RunReport& report;
        QElapsedTimer& clock;
        LineDriver& line;
        ~Timed()
        {
            report.elapsedMs = clock.elapsed();
            report.endClockDelay = line.clockDelay();
        }
    } timed{report_, clock, line_};
    try {
        session.enter();
        if (!session.checkSync())
            return RunOutcome::NoSync;
        report_.startClockDelay = line_.clockDelay();
        body(session);
        session.release();
    } catch (const DeviceSession::LineLost&) {
        // Put the lines at rest if the port still takes it; the failure state stays.
        session.release();
        return reportPortFailure();
    } catch (...) {
        // A file error of the body: the chip is let go before the error is shown.
        session.release();
        throw;
    }
    report_.cancelled = session.cancelSeen_;
    report_.completed = !session.failed_ && !session.cancelSeen_;
    if (session.failed_)
        return RunOutcome::Failed;
    return session.cancelSeen_ ? RunOutcome::Cancelled : RunOutcome::Done;
}

RunOutcome DeviceRunner::reportPortFailure()
{
    line_.setClockDelay(5);
    view_.showResult(QString::fromLatin1(Str::kCommunicationError), true);
    view_.showMessage(MessageIcon::Error, QString::fromLatin1(Str::kErrorCaption),
                      QString::fromLatin1(Str::kPortFailed).arg(line_.portName(), errorText(line_.failure())));
    return RunOutcome::PortFailed;
}
