// A view for tests: keeps every status text and message in order and answers the
// file dialogs from a queue, so a test asserts what the user would have seen.
#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <deque>
#include <functional>
#include <vector>

#include "view/OperationView.h"

class RecordingView : public OperationView {
public:
    struct Message {
        MessageIcon icon;
        QString caption;
        QString text;
    };

    void setPanelText(int panel, const QString& text) override;
    void setGauge(int progress, int maximum) override;
    void processEvents() override;
    bool cancelRequested() const override { return cancel; }
    void setCancelRequested(bool requested) override { cancel = requested; }
    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override;
    QString askOpenFileName(const QString& filter) override;
    QString askSaveFileName(const QString& filter, const QString& defaultSuffix) override;
    uint8_t avrFuseBits(bool high) const override { return high ? fuseHigh : fuseLow; }
    void setAvrFuseBits(uint8_t low, uint8_t high) override { fuseLow = low, fuseHigh = high; }
    uint8_t avrLockBits() const override { return lockBits | 0xC0; }
    void setAvrLockBits(uint8_t lock) override { lockBits = lock | 0xC0; }

    std::array<QString, 3> panels;      // what each status panel shows now
    std::vector<QString> panel0History; // every text panel 0 showed, in order
    std::vector<Message> messages;
    int gaugeProgress = 0;
    int gaugeMaximum = 0;
    int eventPasses = 0;
    bool cancel = false;
    uint8_t fuseLow = 0xFF, fuseHigh = 0xFF, lockBits = 0xFF;  // the AVR check boxes
    std::function<void()> onProcessEvents;  // runs at every pass (a click in the middle of a run)

    std::deque<QString> openAnswers;  // empty string = the user cancelled
    std::deque<QString> saveAnswers;
    QStringList openFilters;          // filters the open dialog was given, in order
    QStringList saveFilters;
};
