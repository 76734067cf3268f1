// IntelHexFile: properties, update cycle, the Intel HEX parser and builder.
#include "image/IntelHexFile.h"

#include <algorithm>
#include <array>

#include "image/FileIo.h"

qint32 IntelHexFile::segmentBase_ = 0;

namespace {

// Either case: toolchains write lower-case digits too.
constexpr int digitValueOf(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// A table, because every character of a HEX file goes through here.
constexpr auto kDigitValues = [] {
    std::array<signed char, 128> values{};
    for (int c = 0; c < 128; ++c)
        values[c] = static_cast<signed char>(digitValueOf(c));
    return values;
}();

int hexDigitValue(char16_t c) { return c < kDigitValues.size() ? kDigitValues[c] : -1; }

// Bad digits give a wrong or negative value, never an error by themselves.
// position is 1-based, as the record layout is described; the caller has checked the length.
int hexPairValue(const QString& line, int position)
{
    return 16 * hexDigitValue(line[position - 1].unicode()) + hexDigitValue(line[position].unicode());
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

QChar* putHex2(QChar* out, int value)
{
    *out++ = QLatin1Char(kHexDigits[(value >> 4) & 0xF]);
    *out++ = QLatin1Char(kHexDigits[value & 0xF]);
    return out;
}

int low8(int value) { return value & 0xFF; }

const QString kEndRecord = QStringLiteral(":00000001FF");

}  // namespace

IntelHexFile::IntelHexFile() { segmentBase_ = 0; }

bool IntelHexFile::setVersion(HexFileVersion version)
{
    version_ = version;
    return version != HexFileVersion::Bits32;
}

void IntelHexFile::setDataSize(qint32 size)
{
    size = std::max(size, 0);
    if (size != dataSize_) {
        dirty_ = DirtyState::TextChanged;
        dataSize_ = size;
        dataBin_.assign(size, unusedBytes_);
        dataUsed_.assign(size, 0);
    }
    if (updatesAtOnce())
        update();
}

void IntelHexFile::setAutoUpdate(bool on)
{
    autoUpdate_ = on;
    if (updatesAtOnce())
        update();
}

void IntelHexFile::setHexLineLen(qint32 length)
{
    if (length == hexLineLen_)
        return;
    hexLineLen_ = length;
    if (updatesAtOnce()) {
        // Pending text must reach the data before the text is rebuilt from it.
        if (dirty_ == DirtyState::TextChanged)
            update();
        dirty_ = DirtyState::DataChanged;
        update();
    } else if (!autoUpdate_ && dirty_ != DirtyState::TextChanged) {
        dirty_ = DirtyState::DataChanged;
    }
}

quint8 IntelHexFile::dataBin(qint32 index) const
{
    if (!inRange(index))
        throw HexFileError(HexFileError::Code::DataBinIndex);
    return dataBin_[index];
}

void IntelHexFile::setDataBin(qint32 index, quint8 value)
{
    if (!inRange(index))
        throw HexFileError(HexFileError::Code::DataBinIndex);
    dataBin_[index] = value;
    dirty_ = DirtyState::DataChanged;
    if (dataUsed_[index] && updatesAtOnce())
        update();
}

quint8 IntelHexFile::dataUsed(qint32 index) const
{
    if (!inRange(index))
        throw HexFileError(HexFileError::Code::DataUsedIndex);
    return dataUsed_[index];
}

void IntelHexFile::setDataUsed(qint32 index, quint8 used)
{
    if (!inRange(index))
        throw HexFileError(HexFileError::Code::DataUsedIndex);
    dataUsed_[index] = used;
    dirty_ = DirtyState::DataChanged;
    if (updatesAtOnce())
        update();
}

void IntelHexFile::beginUpdate() { locked_ = true; }

void IntelHexFile::endUpdate()
{
    locked_ = false;
    if (autoUpdate_ && dirty_ != DirtyState::Clean)
        update();
}

void IntelHexFile::update()
{
    if (dirty_ == DirtyState::Clean)
        return;
    // An error leaves the object locked and dirty; its users free it and report.
    beginUpdate();
    if (dirty_ == DirtyState::DataChanged)
        build();
    else
        parse();
    dirty_ = DirtyState::Clean;
    endUpdate();
}

void IntelHexFile::loadFromFile(const QString& fileName) { loadText(readFileBytes(fileName), fileName); }

void IntelHexFile::loadFromText(const QByteArray& text, const QString& fileName) { loadText(text, fileName); }

void IntelHexFile::markDataChanged() { dirty_ = DirtyState::DataChanged; }

void IntelHexFile::loadText(const QByteArray& text, const QString& fileName)
{
    sourceName_ = fileName;
    lines_.clear();
    // A NUL ends the text; a line ends at CR, LF or CR LF and is not trimmed.
    const qsizetype end = text.contains('\0') ? text.indexOf('\0') : text.size();
    qsizetype start = 0;
    while (start < end) {
        qsizetype stop = start;
        while (stop < end && text[stop] != '\r' && text[stop] != '\n')
            ++stop;
        lines_.append(QString::fromLatin1(text.constData() + start, stop - start));
        if (stop < end) {
            const bool carriageReturn = text[stop] == '\r';
            ++stop;
            if (carriageReturn && stop < end && text[stop] == '\n')
                ++stop;
        }
        start = stop;
    }
    dirty_ = DirtyState::TextChanged;
    if (updatesAtOnce())
        update();
}

void IntelHexFile::saveToFile(const QString& fileName) const
{
    const QByteArray bytes = text();
    writeFileBytes(fileName, bytes.constData(), bytes.size());
}

QByteArray IntelHexFile::text() const
{
    QByteArray text;
    for (const QString& line : lines_) {
        text += line.toLatin1();
        text += "\r\n";
    }
    return text;
}

void IntelHexFile::parse()
{
    std::fill(dataBin_.begin(), dataBin_.end(), unusedBytes_);
    std::fill(dataUsed_.begin(), dataUsed_.end(), 0);
    for (qsizetype i = 0; i < lines_.size(); ++i) {
        try {
            if (parseLine(lines_[i]))
                return;  // the remaining lines are ignored, valid or not
        } catch (HexFileError& error) {
            error.setPlace(sourceName_, int(i + 1));
            throw;
        }
    }
}

bool IntelHexFile::parseLine(const QString& line)
{
    const auto invalid = [] { return HexFileError(HexFileError::Code::InvalidFile); };
    if (line.isEmpty() || line[0] != u':')
        throw invalid();
    // The count, address and type fields must be there before anything is read.
    if (line.size() < 9)
        throw invalid();

    const int count = hexPairValue(line, 2);
    const int high = hexPairValue(line, 4);
    const int low = hexPairValue(line, 6);
    const int type = hexPairValue(line, 8);
    const qint64 address = qint64(high) * 256 + low;
    int sum = -count - high - low - type;

    // The record's data bytes and its checksum, for the record types that are read whole.
    const auto checkSum = [&](int sumWithData) {
        const int position = 10 + 2 * count;
        if (hexPairValue(line, position) != low8(sumWithData)) {
            QChar computed[2];
            putHex2(computed, low8(sumWithData));
            throw HexFileError(HexFileError::Code::ChecksumMismatch, QString(computed, 2), line.mid(position - 1, 2));
        }
    };
    const auto requireFields = [&] {
        if (count < 0 || line.size() < 11 + 2 * count)
            throw invalid();
    };

    switch (type) {
    case 0: {
        requireFields();
        for (int j = 0; j < count; ++j) {
            const qint64 index = segmentBase_ + address + j;
            // A byte past the image ends the record quietly; the checksum then tells.
            if (index < 0 || index >= dataSize_)
                break;
            const quint8 value = quint8(hexPairValue(line, 10 + 2 * j));
            dataBin_[index] = value;
            dataUsed_[index] = 1;
            dirty_ = DirtyState::DataChanged;
            sum -= value;
        }
        checkSum(sum);
        return false;
    }
    case 1:
        if (line.compare(kEndRecord, Qt::CaseInsensitive) != 0)
            throw HexFileError(HexFileError::Code::InvalidEnd);
        return true;
    case 2:
        if (line.size() < 13)
            throw invalid();
        segmentBase_ = (hexPairValue(line, 10) * 256 + hexPairValue(line, 12)) * 16;
        return false;
    case 3:
    case 4:
    case 5: {
        requireFields();
        for (int j = 0; j < count; ++j)
            sum -= hexPairValue(line, 10 + 2 * j);
        checkSum(sum);
        // The start address records (03, 05) say where a program begins running, which
        // a programmer has no use for. An extended linear address (04) of 0000 keeps the
        // addresses as they are; any other one lies beyond every chip's memory.
        if (type == 4) {
            const QString upper = line.mid(9, 4);
            if (count != 2 || hexPairValue(line, 10) != 0 || hexPairValue(line, 12) != 0)
                throw HexFileError(HexFileError::Code::BeyondFirst64K, QString(), upper);
            segmentBase_ = 0;
        }
        return false;
    }
    default: throw HexFileError(HexFileError::Code::UnsupportedBlock);
    }
}

void IntelHexFile::build()
{
    lines_.clear();
    // The count field has two digits; a length outside 1..255 cannot be written as asked.
    const int recordLength = std::clamp(hexLineLen_, 1, 255);
    int k = 0;
    int start = 0;
    // A record covers the k used addresses from start: count, address, type 00, data, checksum.
    const auto emitRecord = [&] {
        QString record(11 + 2 * k, Qt::Uninitialized);
        QChar* out = record.data();
        *out++ = u':';
        int sum = 0;
        const auto put = [&](int value) {
            out = putHex2(out, value);
            sum -= value;
        };
        put(k);
        put(start >> 8);
        put(start & 0xFF);
        put(0);
        for (int j = 0; j < k; ++j)
            put(dataBin_[start + j]);
        putHex2(out, low8(sum));
        lines_.append(record);
        k = 0;
    };
    for (int i = 0; i < dataSize_; ++i) {
        if (dataUsed_[i]) {
            // Four address digits are all this writer has: refuse rather than write a wrong record.
            if (i > 0xFFFF)
                throw HexFileError(HexFileError::Code::AddressTooHigh);
            if (k == 0)
                start = i;
            if (++k == recordLength)
                emitRecord();
        } else if (k > 0) {
            emitRecord();
        }
    }
    if (k > 0)
        emitRecord();
    lines_.append(kEndRecord);
}
