// HEX <-> BIN converters. The input is read and checked before the output is
// touched, and the output is written whole or not at all.
#include "image/Converters.h"

#include "image/FileError.h"
#include "image/FileIo.h"

namespace {

// Writing over the input would replace the only copy of the user's file with its conversion.
void refuseSameFile(const QString& in, const QString& out)
{
    if (isSameFile(in, out))
        throw FileError(FileError::Code::OutputIsInput, out);
}

}  // namespace

HexToBinConversion::HexToBinConversion(const QString& in) : in_(in)
{
    length_ = loadHexImage(in, image_);
}

void HexToBinConversion::writeTo(const QString& out) const
{
    refuseSameFile(in_, out);
    writeFileBytes(out, reinterpret_cast<const char*>(image_.data()), length_);
}

BinToHexConversion::BinToHexConversion(const QString& in) : in_(in)
{
    // Every byte of the file becomes a used address. The writer has four address
    // digits; beyond them a record would be unreadable.
    const QByteArray bytes = readFileBytes(in, kMaxBinaryImage + 1);
    if (bytes.size() > kMaxBinaryImage)
        throw HexFileError(HexFileError::Code::BinaryTooBig);
    hex_.setUnusedBytes(0xFF);
    hex_.setDataSize(qint32(bytes.size()));
    for (qint32 i = 0; i < bytes.size(); ++i) {
        hex_.setDataBin(i, quint8(bytes[i]));
        hex_.setDataUsed(i, 1);
    }
}

void BinToHexConversion::writeTo(const QString& out)
{
    refuseSameFile(in_, out);
    hex_.update();
    hex_.saveToFile(out);
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
