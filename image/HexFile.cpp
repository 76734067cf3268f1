// THexFile: properties, update cycle, the Intel HEX parser and builder.
#include "image/HexFile.h"

#include <algorithm>
#include <array>

#include "image/FileIo.h"
#include "view/OperationView.h"
#include "view/Strings.h"

qint32 THexFile::SegmentBase = 0;

namespace {

// Upper case only: lower-case digits are not hex digits to this codec.
constexpr int digitValueOf(int c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A table, because every character of a HEX file goes through here.
constexpr auto kDigitValues = [] {
    std::array<signed char, 128> values{};
    for (int c = 0; c < 128; ++c)
        values[c] = static_cast<signed char>(digitValueOf(c));
    return values;
}();

int HexDigitValue(char16_t c)
{
    return c < kDigitValues.size() ? kDigitValues[c] : -1;
}

// Bad digits give a wrong or negative value, never an error by themselves.
// position is 1-based, as the record layout is described; the caller has checked the length.
int HexPairValue(const QString& line, int position)
{
    return 16 * HexDigitValue(line[position - 1].unicode()) + HexDigitValue(line[position].unicode());
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

THexFile::THexFile(OperationView* owner) : owner_(owner)
{
    SegmentBase = 0;
}

void THexFile::setHexfileVersion(THexfileVersion version)
{
    if (version == hv32Bit && owner_)
        owner_->showMessage(MessageIcon::Error, QString::fromUtf8(Str::kErrorCaption),
                            QString::fromUtf8(Str::kHex32BitUnsupported));
    version_ = version;
}

void THexFile::setDataSize(qint32 size)
{
    size = std::max(size, 0);
    if (size != dataSize_) {
        dirty_ = dsTextChanged;
        dataSize_ = size;
        dataBin_.assign(size, unusedBytes_);
        dataUsed_.assign(size, 0);
    }
    if (updatesAtOnce())
        Update();
}

void THexFile::setAutoUpdate(bool on)
{
    autoUpdate_ = on;
    if (updatesAtOnce())
        Update();
}

void THexFile::setHexLineLen(qint32 length)
{
    if (length == hexLineLen_)
        return;
    hexLineLen_ = length;
    if (updatesAtOnce()) {
        // Pending text must reach the data before the text is rebuilt from it.
        if (dirty_ == dsTextChanged)
            Update();
        dirty_ = dsDataChanged;
        Update();
    } else if (!autoUpdate_ && dirty_ != dsTextChanged) {
        dirty_ = dsDataChanged;
    }
}

quint8 THexFile::DataBin(qint32 index) const
{
    if (!inRange(index))
        throw EHexFileError(QString::fromUtf8(Str::kDataBinIndex));
    return dataBin_[index];
}

void THexFile::setDataBin(qint32 index, quint8 value)
{
    if (!inRange(index))
        throw EHexFileError(QString::fromUtf8(Str::kDataBinIndex));
    dataBin_[index] = value;
    dirty_ = dsDataChanged;
    if (dataUsed_[index] && updatesAtOnce())
        Update();
}

quint8 THexFile::DataUsed(qint32 index) const
{
    if (!inRange(index))
        throw EHexFileError(QString::fromUtf8(Str::kDataUsedIndex));
    return dataUsed_[index];
}

void THexFile::setDataUsed(qint32 index, quint8 used)
{
    if (!inRange(index))
        throw EHexFileError(QString::fromUtf8(Str::kDataUsedIndex));
    dataUsed_[index] = used;
    dirty_ = dsDataChanged;
    if (updatesAtOnce())
        Update();
}

void THexFile::BeginUpdate()
{
    locked_ = true;
}

void THexFile::EndUpdate()
{
    locked_ = false;
    if (autoUpdate_ && dirty_ != dsClean)
        Update();
}

void THexFile::Update()
{
    if (dirty_ == dsClean)
        return;
    // An error leaves the object locked and dirty; its users free it and report.
    BeginUpdate();
    if (dirty_ == dsDataChanged)
        build();
    else
        parse();
    dirty_ = dsClean;
    EndUpdate();
}

void THexFile::LoadFromFile(const QString& fileName)
{
    loadFromText(readFileBytes(fileName));
}

void THexFile::loadFromText(const QByteArray& text)
{
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
    dirty_ = dsTextChanged;
    if (updatesAtOnce())
        Update();
}

void THexFile::SaveToFile(const QString& fileName) const
{
    QByteArray text;
    for (const QString& line : lines_) {
        text += line.toLatin1();
        text += "\r\n";
    }
    writeFileBytes(fileName, text.constData(), text.size());
}

void THexFile::parse()
{
    std::fill(dataBin_.begin(), dataBin_.end(), unusedBytes_);
    std::fill(dataUsed_.begin(), dataUsed_.end(), 0);
    for (const QString& line : lines_)
        if (parseLine(line))
            return;  // the remaining lines are ignored, valid or not
}

bool THexFile::parseLine(const QString& line)
{
    const auto invalid = [] { return EHexFileError(QString::fromUtf8(Str::kInvalidHexFile)); };
    if (line.isEmpty() || line[0] != u':')
        throw invalid();
    // The count, address and type fields must be there before anything is read.
    if (line.size() < 9)
        throw invalid();

    const int count = HexPairValue(line, 2);
    const int high = HexPairValue(line, 4);
    const int low = HexPairValue(line, 6);
    const int type = HexPairValue(line, 8);
    const qint64 address = qint64(high) * 256 + low;
    int sum = -count - high - low - type;

    switch (type) {
    case 0: {
        if (count < 0 || line.size() < 11 + 2 * count)
            throw invalid();
        for (int j = 0; j < count; ++j) {
            const qint64 index = SegmentBase + address + j;
            // A byte past the image ends the record quietly; the checksum then tells.
            if (index < 0 || index >= dataSize_)
                break;
            const quint8 value = quint8(HexPairValue(line, 10 + 2 * j));
            dataBin_[index] = value;
            dataUsed_[index] = 1;
            dirty_ = dsDataChanged;
            sum -= value;
        }
        const int position = 10 + 2 * count;
        if (HexPairValue(line, position) != low8(sum)) {
            QChar computed[2];
            putHex2(computed, low8(sum));
            const QString message = QString::fromUtf8(Str::kHexChecksumError) + QStringLiteral("\r\r ")
                + QString(computed, 2) + QStringLiteral(" <> ") + line.mid(position - 1, 2);
            throw EHexFileError(message);
        }
        return false;
    }
    case 1:
        if (line != kEndRecord)
            throw EHexFileError(QString::fromUtf8(Str::kInvalidHexEnd));
        return true;
    case 2:
        if (line.size() < 13)
            throw invalid();
        SegmentBase = (HexPairValue(line, 10) * 256 + HexPairValue(line, 12)) * 16;
        return false;
    default:
        throw EHexFileError(QString::fromUtf8(Str::kUnsupportedHexBlock));
    }
}

void THexFile::build()
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
                throw EHexFileError(QString::fromUtf8(Str::kHexAddressTooHigh));
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
