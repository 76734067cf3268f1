// GlyphBatch: characters gathered with their positions and drawn in one call, from
// glyphs looked up once. A hex view draws thousands of characters a frame; placing
// ready glyphs spares it shaping any text.
#pragma once

#include <QPointF>
#include <QRawFont>
#include <array>
#include <vector>

class QColor;
class QPainter;

class GlyphBatch {
public:
    // glyphs: the glyph index of each ASCII character in font (0: none).
    GlyphBatch(const QRawFont& font, const std::array<quint32, 128>& glyphs) : font_(font), glyphs_(glyphs) {}

    void add(char c, qreal x, qreal baseline)
    {
        chars_.push_back(c);
        positions_.emplace_back(x, baseline);
    }
    void draw(QPainter& painter, const QColor& colour) const;

private:
    const QRawFont& font_;
    const std::array<quint32, 128>& glyphs_;
    std::vector<char> chars_;
    std::vector<QPointF> positions_;
};
