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
    // Keeps the AVR bits it is given, like boxes nobody looks at.
    uint8_t avrFuseBits(bool high) const override { return high ? fuseHigh_ : fuseLow_; }
    void setAvrFuseBits(uint8_t low, uint8_t high) override { fuseLow_ = low, fuseHigh_ = high; }
    uint8_t avrLockBits() const override { return lock_; }
    void setAvrLockBits(uint8_t lock) override { lock_ = lock | 0xC0; }

private:
    uint8_t fuseLow_ = 0xFF, fuseHigh_ = 0xFF, lock_ = 0xFF;
};
