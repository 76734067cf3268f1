// The console stand-in for the main window: status texts and messages to standard
// error, no dialogs (every file comes from the command line).
#pragma once

#include <array>

#include "view/OperationView.h"

class ConsoleView : public OperationView {
public:
    void setPanelText(int panel, const QString& text) override;
    void setGauge(int progress, int maximum) override;
    void processEvents() override {}
    // Ctrl+C stays set once it came, whatever the operation clears.
    bool cancelRequested() const override { return cancel_ || interrupted(); }
    void setCancelRequested(bool requested) override { cancel_ = requested; }
    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override;
    QString askOpenFileName(const QString&) override { return {}; }
    QString askSaveFileName(const QString&, const QString&) override { return {}; }
    // The AVR check boxes are the command's arguments and its printed result.
    uint8_t avrFuseBits(bool high) const override { return fuses_[high ? 1 : 0]; }
    void setAvrFuseBits(uint8_t low, uint8_t high) override { fuses_ = {low, high}; }
    uint8_t avrLockBits() const override { return lock_ | 0xC0; }
    void setAvrLockBits(uint8_t lock) override { lock_ = lock | 0xC0; }

    const QString& panel(int index) const { return panels_[index]; }
    // True once an error message or an error status has been reported.
    bool failed() const { return failed_; }

    // Device commands print every status text of panel 0, not only the failures.
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

    std::array<QString, 3> panels_;
    std::array<uint8_t, 2> fuses_{0xFF, 0xFF};  // low, high
    uint8_t lock_ = 0xFF;
    QString lastPrinted_;
    bool failed_ = false;
    bool cancel_ = false;
    bool echoStatus_ = false;
    bool progressBar_ = false;
    int barPercent_ = -1;  // -1: no bar on the line
};
