// RecordingView: every call kept as the user would have seen it.
#include "tests/support/RecordingView.h"

void RecordingView::showPhase(const QString& text)
{
    status = text;
    statusHistory.push_back(text);
}

void RecordingView::showResult(const QString& text, bool failed)
{
    status = text;
    statusHistory.push_back(text);
    if (failed)
        failures.push_back(text);
}

void RecordingView::showProgress(int done, int total, const QString& text)
{
    progressDone = done;
    progressTotal = total;
    if (!text.isEmpty())
        progressText = text;
    if (onProgress)
        onProgress();
}

void RecordingView::processEvents()
{
    ++eventPasses;
    if (onProcessEvents)
        onProcessEvents();
}

void RecordingView::showMessage(MessageIcon icon, const QString& caption, const QString& text)
{
    messages.push_back({icon, caption, text});
}
