// kestova-cli's device-command frame. Ctrl+C only sets the cancel flag (the "C"
// button of the window), so the operation ends its own way and releases the target;
// a second Ctrl+C ends the program at once.
#include "cli/DeviceCommand.h"

#include <csignal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/ConsoleView.h"
#include "link/LineDriver.h"
#include "target/ChipCatalogue.h"
#include "target/DeviceRunner.h"
#include "target/RunReport.h"
#include "target/TargetState.h"
#include "view/Strings.h"

namespace {

void onInterrupt(int) { ConsoleView::interrupt(); }

void watchInterrupt()
{
#ifdef Q_OS_WIN
    std::signal(SIGINT, onInterrupt);  // reset to the default before the handler runs
#else
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
#endif
}

bool stderrIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

const char* outcomeWord(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Done: return "done";
    case RunOutcome::Failed: return "failed";
    case RunOutcome::NoSync: return "no-answer";
    case RunOutcome::Cancelled: return "cancelled";
    case RunOutcome::PortFailed: return "port-lost";
    case RunOutcome::Busy: break;
    }
    return "busy";
}

// The run in words for the user, then the one line a script reads, always last.
void reportRun(const QString& command, const RunReport& report, RunOutcome outcome, int status)
{
    const QString summary = runSummaryText(report);
    if (!summary.isEmpty() && outcome != RunOutcome::PortFailed && outcome != RunOutcome::NoSync)
        printError(summary);
    printError(runResultLine(report, command, QLatin1String(outcomeWord(outcome)), status));
}

}  // namespace

int runDeviceCommand(CliContext& context, const DeviceOperation& operation, const CancelNote& cancelNote)
{
    const ChipEntry& chip = *context.chipEntry;
    if (context.eeprom && !chip.hasEeprom()) {
        printError(QStringLiteral("kestova-cli: the %1 has no EEPROM (--eeprom)").arg(QLatin1String(chip.caption)));
        return kExitUsage;
    }
    ConsoleView& view = context.view;
    view.setEchoStatus(true);
    view.setProgressBar(stderrIsTerminal());
    watchInterrupt();

    LineDriver line;
    if (const int status = openCliPort(line, context.port, view); status != kExitOk)
        return status;
    TargetState target;
    applyChipState(target, &chip);
    applyMemoryChoice(target, context.eeprom);

    DeviceRunner runner(line, target, view);
    const RunOutcome outcome = operation(runner);
    view.endProgressBar();
    if (view.cancelShown()) {
        QString said = QString::fromLatin1(Str::kCancelledAfter).arg(view.progressDone()).arg(view.progressTotal());
        const QString note = cancelNote ? cancelNote(view) : QString();
        if (!note.isEmpty())
            said += QStringLiteral("; ") + note;
        printError(said);
    }
    int status = outcome == RunOutcome::Done && !view.failed() ? kExitOk : kExitFailed;
    if (outcome == RunOutcome::Cancelled)
        status = kExitCancelled;
    reportRun(context.command, runner.report(), outcome, status);
    return status;
}
