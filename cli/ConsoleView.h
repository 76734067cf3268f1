// The console stand-in for the main window: status texts and messages to standard
// error, no dialogs (every file comes from the command line).
#pragma once

#include <array>

#include "view/OperationView.h"

class ConsoleView : public OperationView {
public:
    void setPanelText(int panel, const QString& text) override;
    void setGauge(int, int) override {}
    void processEvents() override {}
    bool cancelRequested() const override { return false; }
    void setCancelRequested(bool) override {}
    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override;
    QString askOpenFileName(const QString&) override { return {}; }
    QString askSaveFileName(const QString&, const QString&) override { return {}; }

    const QString& panel(int index) const { return panels_[index]; }
    // True once an error message or an error status has been reported.
    bool failed() const { return failed_; }

private:
    std::array<QString, 3> panels_;
    bool failed_ = false;
};
