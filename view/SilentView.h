// A view that tells nobody anything: for work whose outcome is reported elsewhere,
// such as the attempts of a search that are expected to fail, or a benchmark.
#pragma once

#include "view/OperationView.h"

class SilentView : public OperationView {
public:
    void showPhase(const QString&) override {}
    void showResult(const QString&, bool) override {}
    void showProgress(int, int, const QString&) override {}
    void showPort(const QString&) override {}
    void showMessage(MessageIcon, const QString&, const QString&) override {}
    void processEvents() override {}
    bool cancelRequested() const override { return false; }
    void setCancelRequested(bool) override {}
};
