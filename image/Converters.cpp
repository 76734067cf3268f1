// HEX <-> BIN converters. The input is read and checked before the output is asked
// for, and the output is written whole or not at all.
#include "image/Converters.h"

#include <stdexcept>

#include "image/FileIo.h"
#include "image/HexFile.h"
#include "image/ImageBuffer.h"
#include "view/OperationView.h"
#include "view/Strings.h"

namespace {

// The commands set no save filter: the shared dialog keeps what it was last given.
// The output dialog offers the format being written, so a typed name without an
// extension gets the right one.
QString askOutput(OperationView& view, const char* filter, const char* suffix)
{
    return view.askSaveFileName(QString::fromUtf8(filter), QString::fromUtf8(suffix));
}

// Writing over the input would replace the only copy of the user's file with its conversion.
void refuseSameFile(const QString& in, const QString& out)
{
    if (isSameFile(in, out))
        throw std::runtime_error(QString::fromUtf8(Str::kOutputIsInput).arg(out).toStdString());
}

void writeBinImage(const QString& out, const ImageBuffer& image, qint32 length)
{
    writeFileBytes(out, reinterpret_cast<const char*>(image.data()), length);
}

// Every byte of the file becomes a used address of the codec.
void fillFromBinary(THexFile& hex, const QString& in)
{
    // The writer has four address digits; beyond them a record would be unreadable.
    const QByteArray bytes = readFileBytes(in, kMaxBinaryImage + 1);
    if (bytes.size() > kMaxBinaryImage)
        throw EHexFileError(QString::fromUtf8(Str::kBinTooBigForHex));
    hex.setUnusedBytes(0xFF);
    hex.setDataSize(qint32(bytes.size()));
    for (qint32 i = 0; i < bytes.size(); ++i) {
        hex.setDataBin(i, quint8(bytes[i]));
        hex.setDataUsed(i, 1);
    }
}

void writeHex(THexFile& hex, const QString& out)
{
    hex.Update();
    hex.SaveToFile(out);
}

}  // namespace

void convertHexToBin(const QString& in, const QString& out, OperationView* owner)
{
    refuseSameFile(in, out);
    ImageBuffer image;
    const qint32 length = loadHexImage(in, image, owner);
    writeBinImage(out, image, length);
}

void convertBinToHex(const QString& in, const QString& out, OperationView* owner)
{
    refuseSameFile(in, out);
    THexFile hex(owner);
    fillFromBinary(hex, in);
    writeHex(hex, out);
}

void HexToBinConvert(OperationView& view)
{
    const QString in = view.askOpenFileName(QString::fromUtf8(Str::kFilterHex));
    if (in.isEmpty())
        return;
    // Parsed before the output is asked for, so a bad file is reported first.
    ImageBuffer image;
    const qint32 length = loadHexImage(in, image, &view);
    const QString out = askOutput(view, Str::kFilterBin, Str::kDefaultExtBin);
    if (out.isEmpty())
        return;
    refuseSameFile(in, out);
    writeBinImage(out, image, length);
}

void BinToHexConvert(OperationView& view)
{
    const QString in = view.askOpenFileName(QString::fromUtf8(Str::kFilterBinAll));
    if (in.isEmpty())
        return;
    THexFile hex(&view);
    fillFromBinary(hex, in);
    const QString out = askOutput(view, Str::kFilterHex, Str::kDefaultExtHex);
    if (out.isEmpty())
        return;
    refuseSameFile(in, out);
    writeHex(hex, out);
}
