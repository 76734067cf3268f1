// StatusPanel: the width it needs, and the elided text with its tooltip.
#include "app/StatusPanel.h"

#include <QFontMetrics>
#include <algorithm>

StatusPanel::StatusPanel(QWidget* parent) : QLabel(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Sunken);
    setTextFormat(Qt::PlainText);
}

void StatusPanel::expectTexts(const QStringList& texts)
{
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, fontMetrics().horizontalAdvance(text));
    const int margins = 2 * frameWidth() + 2 * margin() + 8;
    setMinimumWidth(std::max(minimumWidth(), widest + margins));
}

void StatusPanel::setFullText(const QString& text)
{
    full_ = text;
    elide();
}

void StatusPanel::setHint(const QString& hint)
{
    hint_ = hint;
    elide();
}

void StatusPanel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    elide();
}

void StatusPanel::elide()
{
    const int room = contentsRect().width() - 2 * margin() - 2;
    const QString shown = room > 0 ? fontMetrics().elidedText(full_, Qt::ElideRight, room) : full_;
    QLabel::setText(shown);
    if (shown == full_)
        setToolTip(hint_);
    else
        setToolTip(hint_.isEmpty() ? full_ : full_ + QLatin1Char('\n') + hint_);
}
