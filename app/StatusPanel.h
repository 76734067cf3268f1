// StatusPanel: one panel of the main window's status bar. It never cuts its text
// silently: it is at least as wide as the longest text it is told to expect, and a
// text that still does not fit is elided, with the whole of it as the tooltip.
#pragma once

#include <QLabel>

class StatusPanel : public QLabel {
    Q_OBJECT
public:
    explicit StatusPanel(QWidget* parent = nullptr);

    // The panel is never narrower than these texts need (nor than minimumWidth).
    void expectTexts(const QStringList& texts);
    // The whole text, however much of it is shown.
    QString fullText() const { return full_; }
    void setFullText(const QString& text);
    // The tooltip while the whole text shows (an elided text shows itself instead).
    void setHint(const QString& hint);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString full_;
    QString hint_;
};
