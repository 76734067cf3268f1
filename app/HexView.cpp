// HexView: drawing the rows in view, the keyboard and mouse, editing through undo
// commands, the clipboard, and loading and saving the content.
#include "app/HexView.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QIODevice>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QUndoStack>
#include <algorithm>
#include <cmath>

#include "app/GlyphBatch.h"
#include "app/HexEditCommand.h"
#include "image/FileIo.h"

namespace {

// Raw bytes on the clipboard, so a copy pastes back exactly, whatever the column.
const QString kBytesMime = QStringLiteral("application/x-kestova-bytes");
constexpr char kDigits[] = "0123456789ABCDEF";

bool printable(quint8 byte) { return byte >= 0x20 && byte < 0x7F; }

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

}  // namespace

HexView::HexView(QWidget* parent) : QAbstractScrollArea(parent), undoStack_(new QUndoStack(this))
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    setFont(font);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    connect(undoStack_, &QUndoStack::cleanChanged, this, [this](bool clean) { emit modifiedChanged(!clean); });
    updateMetrics();
}

HexView::~HexView()
{
    // The stack is deleted with the children, after this object stopped being a HexView;
    // it says it is clean on its way out, and nobody must hear that.
    undoStack_->blockSignals(true);
}

// ---- content and file ------------------------------------------------------

void HexView::loadFromFile(const QString& name)
{
    QByteArray bytes = readFileBytes(name);  // a file that cannot be read changes nothing
    replaceContent(std::move(bytes));
    setFileName(name);
}

void HexView::saveToFile(const QString& name, bool clearModified)
{
    writeFileBytes(name, buffer_.bytes().constData(), buffer_.size());
    if (clearModified) {
        undoStack_->setClean();
        setFileName(name);
    }
}

void HexView::loadFromStream(QIODevice& stream)
{
    replaceContent(stream.readAll());
    setFileName(QString());
}

void HexView::setFileName(const QString& name)
{
    fileName_ = name;
    emit fileNameChanged(name);
}

bool HexView::isModified() const { return !undoStack_->isClean(); }

void HexView::replaceContent(QByteArray bytes)
{
    buffer_.setBytes(std::move(bytes));
    undoStack_->clear();
    caret_ = anchor_ = 0;
    nibble_ = 0;
    updateScrollBars();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    viewport()->update();
    emit sizeChanged(buffer_.size());
    emit caretMoved(caret_, 0);
}

void HexView::setInsertMode(bool on)
{
    if (insertMode_ == on)
        return;
    insertMode_ = on;
    viewport()->update();
    emit insertModeChanged(on);
}

void HexView::setReadOnlyView(bool on)
{
    readOnly_ = on;
    viewport()->update();
}

// ---- caret and selection ---------------------------------------------------

void HexView::setCaretColumn(Column column)
{
    column_ = column;
    nibble_ = 0;
    viewport()->update();
}

void HexView::setCaretPosition(qint64 pos, bool extend)
{
    caret_ = std::clamp<qint64>(pos, 0, buffer_.size());
    if (!extend)
        anchor_ = caret_;
    nibble_ = 0;
    ensureCaretVisible();
    viewport()->update();
    emit caretMoved(caret_, selectionLength());
}

void HexView::select(qint64 from, qint64 count)
{
    setCaretPosition(from);
    setCaretPosition(from + count, true);
}

void HexView::selectAll() { select(0, buffer_.size()); }

qint64 HexView::firstVisibleRow() const { return verticalScrollBar()->value(); }

int HexView::visibleRows() const { return std::max(1, (viewport()->height() - rowHeight_) / rowHeight_); }

bool HexView::findFrom(const QByteArray& pattern, qint64 from)
{
    const qint64 found = buffer_.find(pattern, from);
    if (found < 0)
        return false;
    select(found, pattern.size());
    return true;
}

// ---- editing ---------------------------------------------------------------

void HexView::undo()
{
    if (!readOnly_)
        undoStack_->undo();
}

void HexView::redo()
{
    if (!readOnly_)
        undoStack_->redo();
}

void HexView::edit(qint64 pos, qint64 count, const QByteArray& bytes, qint64 caretAfter, bool typing)
{
    undoStack_->push(new HexEditCommand(this, pos, buffer_.mid(pos, count), bytes, caret_, caretAfter, typing));
}

void HexView::applyReplace(qint64 pos, qint64 count, const QByteArray& bytes, qint64 caret)
{
    const qint64 oldSize = buffer_.size();
    buffer_.replace(pos, count, bytes);
    if (buffer_.size() != oldSize) {
        updateScrollBars();
        emit sizeChanged(buffer_.size());
    }
    setCaretPosition(caret);
}

void HexView::typeHexDigit(int digit)
{
    const qint64 pos = selectionStart();
    const qint64 selected = selectionLength();
    if (nibble_ == 1 && selected == 0 && pos < buffer_.size()) {
        const char byte = char((buffer_.at(pos) & 0xF0) | digit);
        edit(pos, 1, QByteArray(1, byte), pos + 1, true);
        return;
    }
    // The high half starts a byte: a new one in insert mode or at the end, else the one under the caret.
    if (insertMode_ || pos == buffer_.size()) {
        edit(pos, insertMode_ ? selected : 0, QByteArray(1, char(digit << 4)), pos, true);
    } else {
        const char byte = char((digit << 4) | (buffer_.at(pos) & 0x0F));
        edit(pos, 1, QByteArray(1, byte), pos, true);
    }
    nibble_ = 1;
    viewport()->update();
}

void HexView::typeByte(quint8 byte)
{
    const qint64 pos = selectionStart();
    const qint64 replaced = insertMode_ ? selectionLength() : (pos < buffer_.size() ? 1 : 0);
    edit(pos, replaced, QByteArray(1, char(byte)), pos + 1, true);
}

void HexView::removeSelectionOrByte(bool backwards)
{
    qint64 pos = selectionStart();
    qint64 count = selectionLength();
    if (count == 0) {
        if (backwards && pos > 0)
            --pos;
        else if (backwards || pos >= buffer_.size())
            return;
        count = 1;
    }
    edit(pos, count, {}, pos, false);
}

void HexView::putBytes(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    const qint64 pos = selectionStart();
    // Overwriting past the end extends the content, as typing there does.
    const qint64 replaced = insertMode_ ? selectionLength() : std::min<qint64>(bytes.size(), buffer_.size() - pos);
    edit(pos, replaced, bytes, pos + bytes.size(), false);
}

void HexView::copy() const
{
    const QByteArray bytes = buffer_.mid(selectionStart(), selectionLength());
    if (bytes.isEmpty())
        return;
    QString text;
    if (column_ == Column::Hex) {
        text = QString::fromLatin1(bytes.toHex(' ').toUpper());
    } else {
        text.reserve(bytes.size());
        for (char c : bytes)
            text += printable(quint8(c)) ? QChar::fromLatin1(c) : QLatin1Char('.');
    }
    auto* mime = new QMimeData;
    mime->setText(text);
    mime->setData(kBytesMime, bytes);
    QApplication::clipboard()->setMimeData(mime);
}

void HexView::cut()
{
    if (readOnly_ || selectionLength() == 0)
        return;
    copy();
    removeSelectionOrByte(false);
}

void HexView::paste()
{
    if (readOnly_)
        return;
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime)
        return;
    QByteArray bytes;
    if (mime->hasFormat(kBytesMime))
        bytes = mime->data(kBytesMime);
    else if (column_ == Column::Text)
        bytes = mime->text().toLatin1();
    else if (!parseHexBytes(mime->text(), &bytes))
        QApplication::beep();
    putBytes(bytes);
}

bool HexView::parseHexBytes(const QString& text, QByteArray* bytes)
{
    QByteArray result;
    QString tokens = text;
    tokens.replace(QLatin1Char(','), QLatin1Char(' '));
    for (QString token : tokens.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        token = token.trimmed();
        if (token.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            token.remove(0, 2);
        if (token.isEmpty())
            return false;
        if (token.size() % 2)
            token.prepend(QLatin1Char('0'));
        for (qsizetype i = 0; i < token.size(); i += 2) {
            const int high = hexDigit(token[i]);
            const int low = hexDigit(token[i + 1]);
            if (high < 0 || low < 0)
                return false;
            result.append(char(high << 4 | low));
        }
    }
    if (result.isEmpty())
        return false;
    *bytes = result;
    return true;
}

// ---- keyboard and mouse ----------------------------------------------------

void HexView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::Cut)) {
        cut();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
    } else if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (event->matches(QKeySequence::Redo)) {
        redo();
    } else if (moveCaret(event)) {
        // done
    } else if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        setCaretColumn(column_ == Column::Hex ? Column::Text : Column::Hex);
    } else if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        setInsertMode(!insertMode_);
    } else if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
        if (!readOnly_)
            removeSelectionOrByte(event->key() == Qt::Key_Backspace);
    } else if (!event->text().isEmpty() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QChar c = event->text().front();
        if (readOnly_) {
            QApplication::beep();
        } else if (column_ == Column::Hex) {
            const int digit = hexDigit(c);
            if (digit >= 0)
                typeHexDigit(digit);
        } else if (c.unicode() >= 0x20 && c.unicode() <= 0xFF && c.unicode() != 0x7F) {
            typeByte(quint8(c.unicode()));
        }
    } else {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

bool HexView::moveCaret(QKeyEvent* event)
{
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    const bool control = event->modifiers() & Qt::ControlModifier;
    const qint64 page = qint64(visibleRows()) * kBytesPerRow;
    const qint64 rowStart = caret_ - caret_ % kBytesPerRow;
    qint64 pos = caret_;
    switch (event->key()) {
    case Qt::Key_Left:
        // From the low digit, Left goes back to the high digit of the same byte first.
        if (nibble_ == 1 && !extend) {
            nibble_ = 0;
            viewport()->update();
            return true;
        }
        pos -= 1;
        break;
    case Qt::Key_Right: pos += 1; break;
    case Qt::Key_Up: pos -= kBytesPerRow; break;
    case Qt::Key_Down: pos += kBytesPerRow; break;
    case Qt::Key_PageUp:
        pos -= page;
        verticalScrollBar()->setValue(verticalScrollBar()->value() - visibleRows());
        break;
    case Qt::Key_PageDown:
        pos += page;
        verticalScrollBar()->setValue(verticalScrollBar()->value() + visibleRows());
        break;
    case Qt::Key_Home: pos = control ? 0 : rowStart; break;
    case Qt::Key_End: pos = control ? buffer_.size() : std::min(buffer_.size(), rowStart + kBytesPerRow - 1); break;
    default: return false;
    }
    // Up on the first row and Down on the last stay in their column rather than jump to the end.
    if (pos < 0 && event->key() == Qt::Key_Up)
        pos = caret_;
    if (pos > buffer_.size() && event->key() == Qt::Key_Down)
        pos = caret_;
    setCaretPosition(pos, extend);
    return true;
}

void HexView::hitTest(QPoint point, qint64* pos, Column* column, int* nibble) const
{
    const qreal x = point.x() + horizontalScrollBar()->value();
    const qint64 row = firstVisibleRow() + std::max(0, point.y() - rowHeight_) / rowHeight_;
    int index = 0;
    *nibble = 0;
    if (x >= textX(0) - charWidth_) {
        *column = Column::Text;
        index = int(std::floor((x - textX(0)) / charWidth_));
    } else {
        *column = Column::Hex;
        qreal rel = (x - hexX(0)) / charWidth_;
        if (rel >= 3 * kBytesPerRow / 2)
            rel -= 1;  // the extra space in the middle of the row
        index = int(std::floor(rel / 3));
        *nibble = (rel - index * 3) >= 1 ? 1 : 0;
    }
    index = std::clamp(index, 0, kBytesPerRow - 1);
    *pos = std::clamp<qint64>(row * kBytesPerRow + index, 0, buffer_.size());
    if (*pos == buffer_.size())
        *nibble = 0;
}

void HexView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    qint64 pos;
    Column column;
    int nibble;
    hitTest(event->position().toPoint(), &pos, &column, &nibble);
    column_ = column;
    setCaretPosition(pos, event->modifiers() & Qt::ShiftModifier);
    nibble_ = insertMode_ ? 0 : nibble;
}

void HexView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    qint64 pos;
    Column column;
    int nibble;
    hitTest(event->position().toPoint(), &pos, &column, &nibble);
    // Dragging forward takes in the byte under the pointer too.
    if (pos >= anchor_ && pos < buffer_.size())
        ++pos;
    setCaretPosition(pos, true);
}

// ---- geometry and drawing --------------------------------------------------

void HexView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        updateMetrics();
    QAbstractScrollArea::changeEvent(event);
}

void HexView::focusInEvent(QFocusEvent* event)
{
    viewport()->update();
    QAbstractScrollArea::focusInEvent(event);
}

void HexView::focusOutEvent(QFocusEvent* event)
{
    viewport()->update();
    QAbstractScrollArea::focusOutEvent(event);
}

void HexView::updateMetrics()
{
    const QFontMetricsF metrics(font());
    // Whole pixels per cell: every glyph lands on the pixel grid, crisp and drawn from one cached image.
    charWidth_ = std::ceil(metrics.horizontalAdvance(QLatin1Char('0')));
    // The glyphs of the printable ASCII characters, looked up once: each frame then
    // places them without shaping any text.
    rawFont_ = QRawFont::fromFont(font());
    glyphs_.fill(0);
    if (rawFont_.isValid()) {
        QString ascii;
        for (char c = 0x20; c < 0x7F; ++c)
            ascii += QLatin1Char(c);
        const QList<quint32> indexes = rawFont_.glyphIndexesForString(ascii);
        for (qsizetype i = 0; i < indexes.size() && i < ascii.size(); ++i)
            glyphs_[0x20 + i] = indexes[i];
    }
    rowHeight_ = int(std::ceil(metrics.height())) + 2;
    ascent_ = int(std::ceil(metrics.ascent())) + 1;
    updateScrollBars();
    viewport()->update();
}

qreal HexView::hexX(int column) const
{
    const qreal start = charWidth_ * (offsetDigits_ + 2) + std::round(charWidth_ / 2);
    return start + charWidth_ * (3 * column + (column >= kBytesPerRow / 2 ? 1 : 0));
}

qreal HexView::textX(int column) const { return hexX(0) + charWidth_ * (3 * kBytesPerRow + 2 + column); }

qreal HexView::contentWidth() const { return textX(kBytesPerRow) + charWidth_; }

void HexView::updateScrollBars()
{
    QScrollBar* vertical = verticalScrollBar();
    const int rows = visibleRows();
    vertical->setRange(0, int(std::max<qint64>(0, rowCount() - rows)));
    vertical->setPageStep(rows);
    vertical->setSingleStep(1);
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, int(std::ceil(contentWidth())) - viewport()->width()));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(int(charWidth_));
}

void HexView::ensureCaretVisible()
{
    const qint64 row = caret_ / kBytesPerRow;
    QScrollBar* vertical = verticalScrollBar();
    if (row < vertical->value())
        vertical->setValue(int(row));
    else if (row >= vertical->value() + visibleRows())
        vertical->setValue(int(row - visibleRows() + 1));

    const int index = int(caret_ % kBytesPerRow);
    const qreal left = column_ == Column::Hex ? hexX(index) : textX(index);
    const qreal right = left + charWidth_ * (column_ == Column::Hex ? 2 : 1);
    QScrollBar* horizontal = horizontalScrollBar();
    if (left < horizontal->value())
        horizontal->setValue(int(left));
    else if (right > horizontal->value() + viewport()->width())
        horizontal->setValue(int(std::ceil(right)) - viewport()->width());
}

void HexView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void HexView::scrollContentsBy(int, int) { viewport()->update(); }

void HexView::paintHeader(QPainter& painter, GlyphBatch& batch)
{
    painter.fillRect(QRectF(0, 0, viewport()->width(), rowHeight_), palette().alternateBase());
    for (int i = 0; i < kBytesPerRow; ++i) {
        batch.add('0', hexX(i), ascent_);
        batch.add(kDigits[i], hexX(i) + charWidth_, ascent_);
        batch.add(kDigits[i], textX(i), ascent_);
    }
}

void HexView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    const QPalette& pal = palette();
    painter.translate(-horizontalScrollBar()->value(), 0);
    GlyphBatch dimText(rawFont_, glyphs_);
    GlyphBatch inkText(rawFont_, glyphs_);
    paintHeader(painter, dimText);

    const qint64 size = buffer_.size();
    const char* data = buffer_.bytes().constData();
    const qint64 top = firstVisibleRow();
    const int rows = viewport()->height() / rowHeight_ + 1;
    const qint64 selFrom = selectionStart();
    const qint64 selTo = selFrom + selectionLength();
    QColor selection = pal.color(QPalette::Highlight);
    selection.setAlpha(90);
    const QColor dim = pal.color(QPalette::PlaceholderText);
    const QColor ink = pal.color(QPalette::Text);

    // Column rules between offsets, hex and characters.
    painter.setPen(pal.color(QPalette::Mid));
    const qreal rule1 = hexX(0) - charWidth_ * 1.25;
    const qreal rule2 = textX(0) - charWidth_ * 1.0;
    painter.drawLine(QPointF(rule1, 0), QPointF(rule1, viewport()->height()));
    painter.drawLine(QPointF(rule2, 0), QPointF(rule2, viewport()->height()));

    for (int i = 0; i < rows; ++i) {
        const qint64 start = (top + i) * kBytesPerRow;
        if (start > size)
            break;
        const int y = rowHeight_ * (i + 1);
        const int count = int(std::min<qint64>(kBytesPerRow, size - start));

        // Selection behind the text.
        const qint64 from = std::max(selFrom, start);
        const qint64 to = std::min(selTo, start + count);
        if (from < to) {
            const int a = int(from - start);
            const int b = int(to - start) - 1;
            painter.fillRect(QRectF(hexX(a), y, hexX(b) + 2 * charWidth_ - hexX(a), rowHeight_), selection);
            painter.fillRect(QRectF(textX(a), y, textX(b + 1) - textX(a), rowHeight_), selection);
        }

        const qreal baseline = y + ascent_;
        quint64 value = quint64(start);
        for (int d = offsetDigits_ - 1; d >= 0; --d, value >>= 4)
            dimText.add(kDigits[value & 0xF], std::round(charWidth_ / 2) + charWidth_ * d, baseline);
        for (int j = 0; j < count; ++j) {
            const quint8 byte = quint8(data[start + j]);
            inkText.add(kDigits[byte >> 4], hexX(j), baseline);
            inkText.add(kDigits[byte & 0xF], hexX(j) + charWidth_, baseline);
            inkText.add(printable(byte) ? char(byte) : '.', textX(j), baseline);
        }
    }
    dimText.draw(painter, dim);
    inkText.draw(painter, ink);
    paintCaret(painter);
}

void HexView::paintCaret(QPainter& painter)
{
    // A block (overwrite) or a bar (insert) in the caret's column, an outline in the other.
    const qint64 row = caret_ / kBytesPerRow - firstVisibleRow();
    if (row < 0 || row > visibleRows())
        return;
    const QPalette& pal = palette();
    const int y = rowHeight_ * int(row + 1);
    const int j = int(caret_ % kBytesPerRow);
    const bool hexActive = column_ == Column::Hex;
    const qreal activeX = hexActive ? hexX(j) + nibble_ * charWidth_ : textX(j);
    const QRectF activeCell(activeX, y, charWidth_, rowHeight_);
    const QRectF otherCell = hexActive ? QRectF(textX(j), y, charWidth_, rowHeight_)
                                       : QRectF(hexX(j), y, 2 * charWidth_, rowHeight_);
    painter.setPen(pal.color(QPalette::PlaceholderText));
    painter.drawRect(otherCell.adjusted(0, 0, -1, -1));
    if (!hasFocus()) {
        painter.setPen(pal.color(QPalette::Text));
        painter.drawRect(activeCell.adjusted(0, 0, -1, -1));
    } else if (insertMode_) {
        painter.fillRect(QRectF(activeX - 1, y, 2, rowHeight_), pal.color(QPalette::Text));
    } else {
        painter.fillRect(activeCell, pal.color(QPalette::Text));
        if (caret_ < buffer_.size()) {
            const quint8 byte = buffer_.at(caret_);
            const char under = hexActive ? kDigits[nibble_ ? byte & 0xF : byte >> 4]
                : printable(byte)        ? char(byte)
                                         : '.';
            GlyphBatch glyph(rawFont_, glyphs_);
            glyph.add(under, activeX, y + ascent_);
            glyph.draw(painter, pal.color(QPalette::Base));
        }
    }
}
