// GlyphBatch: one glyph run per batch, or plain text where the platform offers no raw font.
#include "app/GlyphBatch.h"

#include <QGlyphRun>
#include <QPainter>

void GlyphBatch::draw(QPainter& painter, const QColor& colour) const
{
    painter.setPen(colour);
    if (!font_.isValid()) {
        for (size_t i = 0; i < chars_.size(); ++i)
            painter.drawText(positions_[i], QString(QLatin1Char(chars_[i])));
        return;
    }
    QList<quint32> indexes;
    indexes.reserve(qsizetype(chars_.size()));
    for (char c : chars_)
        indexes.append(glyphs_[uchar(c) & 0x7F]);
    QGlyphRun run;
    run.setRawFont(font_);
    run.setGlyphIndexes(indexes);
    run.setPositions(QList<QPointF>(positions_.begin(), positions_.end()));
    painter.drawGlyphRun(QPointF(0, 0), run);
}
