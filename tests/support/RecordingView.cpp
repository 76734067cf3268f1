#include "tests/support/RecordingView.h"

void RecordingView::setPanelText(int panel, const QString& text)
{
    if (panel < 0 || panel > 2)
        return;
    panels[panel] = text;
    if (panel == 0)
        panel0History.push_back(text);
}

void RecordingView::setGauge(int progress, int maximum)
{
    gaugeProgress = progress;
    gaugeMaximum = maximum;
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

QString RecordingView::askOpenFileName(const QString& filter)
{
    openFilters << filter;
    if (openAnswers.empty())
        return {};
    QString answer = openAnswers.front();
    openAnswers.pop_front();
    return answer;
}

QString RecordingView::askSaveFileName(const QString& filter, const QString&)
{
    saveFilters << filter;
    if (saveAnswers.empty())
        return {};
    QString answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}
