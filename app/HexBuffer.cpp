// HexBuffer: replacing a range and searching with wrap-round.
#include "app/HexBuffer.h"

#include <algorithm>

QByteArray HexBuffer::replace(qint64 pos, qint64 count, const QByteArray& bytes)
{
    pos = std::clamp<qint64>(pos, 0, size());
    count = std::clamp<qint64>(count, 0, size() - pos);
    QByteArray old = mid(pos, count);
    if (count == bytes.size())
        std::copy(bytes.begin(), bytes.end(), bytes_.begin() + pos);  // no reallocation for overwrites
    else
        bytes_.replace(qsizetype(pos), qsizetype(count), bytes);
    return old;
}

qint64 HexBuffer::find(const QByteArray& pattern, qint64 from) const
{
    if (pattern.isEmpty() || pattern.size() > size())
        return -1;
    from = std::clamp<qint64>(from, 0, size());
    qint64 found = bytes_.indexOf(pattern, qsizetype(from));
    if (found < 0 && from > 0) {
        // Wrapping round: a match may start before from and run past it.
        const qint64 end = std::min(size(), from + pattern.size() - 1);
        found = QByteArrayView(bytes_).first(qsizetype(end)).indexOf(pattern);
    }
    return found;
}
