// What device operations need from the front end that runs them: where they are,
// how far they have come, how they ended, the port in use, a message, a chance to
// let events run, and the cancel flag. The main window implements it with its status
// bar, gauge and boxes, kestova-cli with standard error, tests with a recorder.
// Nothing below the front ends reaches the user any other way.
#pragma once

#include <QString>

enum class MessageIcon { None, Information, Warning, Error };

class OperationView {
public:
    virtual ~OperationView() = default;

    // What the operation is doing now ("Writing", "Verifying", "wait..."); an empty
    // text clears it.
    virtual void showPhase(const QString& text) = 0;
    // How the operation ended ("Done", "Erased", "F.B. read"); failed for the results
    // that say it went wrong ("Write error", "Communication error").
    virtual void showResult(const QString& text, bool failed) = 0;
    // How far it has come: done of total bytes, with the words for it ("12 of 4096
    // bytes", "3 different bytes", "Identical data"). An empty text leaves the words
    // shown as they are and only moves the gauge.
    virtual void showProgress(int done, int total, const QString& text) = 0;
    // The port the operations go through, once it is open.
    virtual void showPort(const QString& name) = 0;
    // A modal message with one OK button.
    virtual void showMessage(MessageIcon icon, const QString& caption, const QString& text) = 0;

    // Lets pending window events run once (keeps the gauge and the cancel button live).
    virtual void processEvents() = 0;
    virtual bool cancelRequested() const = 0;
    virtual void setCancelRequested(bool requested) = 0;

    // A chip erase runs between these two (the window disables its "Erase" button).
    virtual void eraseStarted() {}
    virtual void eraseEnded() {}
};
