// HEX <-> BIN converters. The input is read and checked before the output is
// touched, and the output is written whole or not at all.
#include "image/Converters.h"

#include "image/FileError.h"
#include "image/FileIo.h"
#include "image/IntelHexFile.h"

namespace {

// Writing over the input would replace the only copy of the user's file with its conversion.
void refuseSameFile(const QString& in, const QString& out)
{
    if (isSameFile(in, out))
        throw FileError(FileError::Code::OutputIsInput, out);
}

}  // namespace

HexToBinConversion::HexToBinConversion(const QString& in) : in_(in) { length_ = loadHexImage(in, image_); }

void HexToBinConversion::writeTo(const QString& out) const
{
    refuseSameFile(in_, out);
    writeFileBytes(out, reinterpret_cast<const char*>(image_.data()), length_);
}

BinToHexConversion::BinToHexConversion(const QString& in)
    : in_(in), text_(hexTextOf(readFileBytes(in, kMaxBinaryImage + 1)))
{
}

void BinToHexConversion::writeTo(const QString& out)
{
    refuseSameFile(in_, out);
    writeFileBytes(out, text_.constData(), text_.size());
}

QByteArray hexTextOf(const QByteArray& bytes)
{
    // Every byte becomes a used address. The writer has four address digits; beyond
    // them a record would be unreadable.
    if (bytes.size() > kMaxBinaryImage)
        throw HexFileError(HexFileError::Code::BinaryTooBig);
    IntelHexFile hex;
    hex.setUnusedBytes(0xFF);
    hex.setDataSize(qint32(bytes.size()));
    for (qint32 i = 0; i < bytes.size(); ++i) {
        hex.setDataBin(i, quint8(bytes[i]));
        hex.setDataUsed(i, 1);
    }
    // An empty image becomes the end record alone: a valid HEX file of no data.
    hex.markDataChanged();
    hex.update();
    return hex.text();
}

void convertHexToBin(const QString& in, const QString& out)
{
    refuseSameFile(in, out);
    HexToBinConversion(in).writeTo(out);
}

void convertBinToHex(const QString& in, const QString& out)
{
    refuseSameFile(in, out);
    BinToHexConversion(in).writeTo(out);
}
