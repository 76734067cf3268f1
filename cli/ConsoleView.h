// The console stand-in for the main window: status texts and messages to standard
// error; every file and value comes from the command line.
#pragma once

#include "view/OperationView.h"

class ConsoleView : public OperationView {
public:
    void showPhase(const QString& text) override;
    void showResult(const QString& text, bool failed) override;
    void showProgress(int done, int total, const QString& text) override;
    void showPort(const QString&) override {}
    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override;
    void processEvents() override {}
    // Ctrl+C stays set once it came, whatever the operation clears.
    bool cancelRequested() const override { return cancel_ || interrupted(); }
    void setCancelRequested(bool requested) override { cancel_ = requested; }

    // The words of the last progress ("8192 bytes", "Identical data"): a command's result.
    const QString& progressText() const { return progressText_; }
    // The last progress in numbers, and the last phase shown ("Verifying").
    int progressDone() const { return progressDone_; }
    int progressTotal() const { return progressTotal_; }
    const QString& lastPhase() const { return lastPhase_; }
    // True once an operation ended with "Cancelled". That result is not printed as it
    // comes: the command prints how far it came instead (see runDeviceCommand).
    bool cancelShown() const { return cancelShown_; }
    // True once an error message or a failed result has been reported.
    bool failed() const { return failed_; }

    // Device commands print every phase and result, not only the failures.
    void setEchoStatus(bool echo) { echoStatus_ = echo; }
    // A progress bar on standard error (only worth drawing on a terminal).
    void setProgressBar(bool shown) { progressBar_ = shown; }
    // Ends the bar's line, if one is drawn.
    void endProgressBar();

    // Ctrl+C: called from the signal handler, so it only sets a flag.
    static void interrupt();
    static bool interrupted();

private:
    void printStatus(const QString& text);

    QString progressText_;
    int progressDone_ = 0;
    int progressTotal_ = 0;
    QString lastPhase_;
    bool cancelShown_ = false;
    QString lastPrinted_;
    bool failed_ = false;
    bool cancel_ = false;
    bool echoStatus_ = false;
    bool progressBar_ = false;
    int barPercent_ = -1;  // -1: no bar on the line
};
