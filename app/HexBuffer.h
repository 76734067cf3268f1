// HexBuffer: the bytes a hex view shows and edits, behind the few operations the
// view and its undo commands need, so another store could stand in for it.
#pragma once

#include <QByteArray>

class HexBuffer {
public:
    qint64 size() const { return bytes_.size(); }
    const QByteArray& bytes() const { return bytes_; }
    quint8 at(qint64 pos) const { return quint8(bytes_[qsizetype(pos)]); }
    QByteArray mid(qint64 pos, qint64 count) const { return bytes_.mid(qsizetype(pos), qsizetype(count)); }

    void setBytes(QByteArray bytes) { bytes_ = std::move(bytes); }
    // Replaces count bytes at pos (clamped to the end) by bytes; returns what was there.
    QByteArray replace(qint64 pos, qint64 count, const QByteArray& bytes);
    // First match at or after from, wrapping round to the start; -1 when there is none.
    qint64 find(const QByteArray& pattern, qint64 from) const;

private:
    QByteArray bytes_;
};
