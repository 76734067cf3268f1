// A view for tests: keeps every status text and message in order, so a test asserts
// what the user would have seen.
#pragma once

#include <QString>
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

    void showPhase(const QString& text) override;
    void showResult(const QString& text, bool failed) override;
    void showProgress(int done, int total, const QString& text) override;
    void showPort(const QString& name) override { port = name; }
    void showMessage(MessageIcon icon, const QString& caption, const QString& text) override;
    void processEvents() override;
    bool cancelRequested() const override { return cancel; }
    void setCancelRequested(bool requested) override { cancel = requested; }
    void eraseStarted() override
    {
        erasing = true;
        ++erases;
    }
    void eraseEnded() override { erasing = false; }

    QString status;                      // the phase or result shown now
    std::vector<QString> statusHistory;  // every phase and result, in order
    std::vector<QString> failures;       // the results that said it went wrong
    QString progressText;                // the progress words shown now
    int progressDone = 0;
    int progressTotal = 0;
    QString port;
    std::vector<Message> messages;
    int eventPasses = 0;
    bool cancel = false;
    bool erasing = false;  // between eraseStarted and eraseEnded
    int erases = 0;
    std::function<void()> onProcessEvents;  // runs at every pass (a click in the middle of a run)
    std::function<void()> onProgress;       // runs after each progress (a Ctrl+C that may come at any time)
};
