// A view that tells nobody anything: for work whose outcome is reported elsewhere,
// such as the attempts of a search that are expected to fail, or a benchmark.
#pragma once

#include "view/OperationView.h"

class SilentView : public OperationView {
public:
    void setPanelText(int, const QString&) override {}
    void setGauge(int, int) override {}
    void processEvents() override {}
    bool cancelRequested() const override { return false; }
    void setCancelRequested(bool) override {}
    void showMessage(MessageIcon, const QString&, const QString&) override {}
    QString askOpenFileName(const QString&) override { return {}; }
    QString askSaveFileName(const QString&, const QString&) override { return {}; }
};
