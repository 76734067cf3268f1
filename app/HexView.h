// HexView: a hex editor widget. An offset column, sixteen bytes a row in hex and
// as characters, a caret in either column, overwrite and insert typing, a
// read-only mode, selection with copy and paste, and undo through a QUndoStack.
// Only the rows in view are drawn, so the size of the content costs nothing on
// screen: a file of millions of bytes opens and scrolls at once.
#pragma once

#include <QAbstractScrollArea>
#include <QRawFont>
#include <QString>
#include <algorithm>
#include <array>

#include "app/HexBuffer.h"

class GlyphBatch;
class QIODevice;
class QPainter;
class QUndoStack;

class HexView : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum class Column { Hex, Text };
    static constexpr int kBytesPerRow = 16;

    explicit HexView(QWidget* parent = nullptr);
    ~HexView() override;

    // Content and file. Errors are thrown as FileError, naming the file (errorText says them).
    void loadFromFile(const QString& name);
    // Writes all or nothing: on failure the file on disk stays as it was.
    void saveToFile(const QString& name, bool clearModified);
    // Replaces the content by what the stream holds; a stream has no file name.
    void loadFromStream(QIODevice& stream);
    bool isModified() const;
    QString fileName() const { return fileName_; }

    void setInsertMode(bool on);
    void setReadOnlyView(bool on);
    bool insertMode() const { return insertMode_; }
    bool readOnlyView() const { return readOnly_; }

    const HexBuffer& buffer() const { return buffer_; }
    QUndoStack* undoStack() const { return undoStack_; }

    // The caret sits on a byte, 0..size (size: after the last byte, where typing appends).
    qint64 caretPosition() const { return caret_; }
    Column caretColumn() const { return column_; }
    void setCaretColumn(Column column);
    // With extend, the selection runs from where it was anchored to the new position.
    void setCaretPosition(qint64 pos, bool extend = false);
    qint64 selectionStart() const { return std::min(anchor_, caret_); }
    qint64 selectionLength() const { return std::max(anchor_, caret_) - selectionStart(); }
    void select(qint64 from, qint64 count);
    qint64 firstVisibleRow() const;
    int visibleRows() const;

    // Selects the first match at or after from, wrapping round; false when there is none.
    bool findFrom(const QByteArray& pattern, qint64 from);

    void copy() const;
    void cut();
    void paste();
    void selectAll();
    void undo();
    void redo();

    // "01 a2 FF", "01A2ff", "0x01,0xA2": bytes in hexadecimal; false for anything else.
    static bool parseHexBytes(const QString& text, QByteArray* bytes);

signals:
    void caretMoved(qint64 position, qint64 selectionLength);
    void modifiedChanged(bool modified);
    void insertModeChanged(bool on);
    void sizeChanged(qint64 size);
    void fileNameChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    friend class HexEditCommand;
    // Called by the undo commands only: the change itself, then the caret.
    void applyReplace(qint64 pos, qint64 count, const QByteArray& bytes, qint64 caret);

    void edit(qint64 pos, qint64 count, const QByteArray& bytes, qint64 caretAfter, bool typing);
    void typeHexDigit(int digit);
    void typeByte(quint8 byte);
    void removeSelectionOrByte(bool backwards);
    void putBytes(const QByteArray& bytes);
    bool moveCaret(QKeyEvent* event);
    void replaceContent(QByteArray bytes);
    void setFileName(const QString& name);

    void updateMetrics();
    void updateScrollBars();
    void ensureCaretVisible();
    qint64 rowCount() const { return buffer_.size() / kBytesPerRow + 1; }
    qreal hexX(int column) const;
    qreal textX(int column) const;
    qreal contentWidth() const;
    void hitTest(QPoint point, qint64* pos, Column* column, int* nibble) const;
    void paintHeader(QPainter& painter, GlyphBatch& batch);
    void paintCaret(QPainter& painter);

    HexBuffer buffer_;
    QUndoStack* undoStack_;
    QString fileName_;
    bool insertMode_ = false;
    bool readOnly_ = false;
    qint64 caret_ = 0;
    qint64 anchor_ = 0;
    int nibble_ = 0;  // 1 when the next hex digit goes into the low half of the byte
    Column column_ = Column::Hex;

    QRawFont rawFont_;
    std::array<quint32, 128> glyphs_{};  // glyph index of each printable ASCII character
    qreal charWidth_ = 8;
    int rowHeight_ = 16;
    int ascent_ = 12;
    int offsetDigits_ = 8;
};
