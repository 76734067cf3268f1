// The image loader and the file size query it shares with the hex editor.
#include "image/ImageBuffer.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "image/FileError.h"
#include "image/FileIo.h"
#include "image/IntelHexFile.h"

namespace {

// The extension from the last dot of the file's own name, in lower case.
QString extensionOf(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot).toLower();
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// ':' then the count, address, type and checksum at least, in whole bytes.
bool isRecord(const char* begin, const char* end)
{
    const qsizetype digits = end - begin - 1;
    if (digits < 10 || digits % 2 != 0 || *begin != ':')
        return false;
    return std::all_of(begin + 1, end, isHexDigit);
}

qint32 hexImageFrom(IntelHexFile& hex, const QString& fileName, ImageBuffer& buffer)
{
    hex.setDataSize(kHexImageSize);
    hex.update();
    buffer.resize(kHexImageSize);
    qint32 highest = -1;
    for (qint32 i = 0; i < kHexImageSize; ++i) {
        buffer[i] = hex.dataBin(i);
        if (hex.dataUsed(i))
            highest = i;
    }
    // Writing "nothing" would still erase the chip and report success.
    if (highest < 0)
        throw FileError(FileError::Code::NoData, fileName);
    return highest + 1;
}

qint32 binaryImageFrom(const QByteArray& bytes, const QString& fileName, ImageBuffer& buffer)
{
    if (bytes.isEmpty())
        throw FileError(FileError::Code::NoData, fileName);
    // Bytes past the largest image a chip can take are ignored.
    const qsizetype length = std::min<qsizetype>(bytes.size(), kMaxBinaryImage);
    buffer.assign(bytes.begin(), bytes.begin() + length);
    return qint32(length);
}

}  // namespace

qint64 fileSizeByName(const QString& fileName)
{
    const QFileInfo info(fileName);
    return info.exists() ? info.size() : -1;
}

bool isHexFileName(const QString& fileName)
{
    const QString extension = extensionOf(fileName);
    return extension == QLatin1String(".hex") || extension == QLatin1String(".ihx")
        || extension == QLatin1String(".ihex") || extension == QLatin1String(".eep");
}

bool isBinaryFileName(const QString& fileName) { return extensionOf(fileName) == QLatin1String(".bin"); }

bool looksLikeHexRecords(const QByteArray& text)
{
    const char* const end = text.constData() + (text.contains('\0') ? text.indexOf('\0') : text.size());
    bool anyRecord = false;
    for (const char* line = text.constData(); line < end;) {
        const char* stop = std::find_if(line, end, [](char c) { return c == '\r' || c == '\n'; });
        if (stop != line) {
            if (!isRecord(line, stop))
                return false;
            anyRecord = true;
        }
        line = stop == end ? end : stop + 1;
    }
    return anyRecord;
}

qint32 loadHexImage(const QString& fileName, ImageBuffer& buffer)
{
    IntelHexFile hex;
    hex.setUnusedBytes(0xFF);
    hex.loadFromFile(fileName);
    return hexImageFrom(hex, fileName, buffer);
}

ImageForm imageFormOf(const QString& fileName)
{
    if (isHexFileName(fileName))
        return ImageForm::IntelHex;
    if (isBinaryFileName(fileName) || fileSizeByName(fileName) > kMaxImageFileSize)
        return ImageForm::Binary;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return ImageForm::Binary;
    return looksLikeHexRecords(file.readAll()) ? ImageForm::IntelHex : ImageForm::Binary;
}

LoadedImage loadImageFile(const QString& fileName, ImageBuffer& buffer)
{
    if (fileSizeByName(fileName) > kMaxImageFileSize)
        return {0, true};
    if (isHexFileName(fileName))
        return {loadHexImage(fileName, buffer), false, ImageForm::IntelHex};
    if (isBinaryFileName(fileName))
        return {binaryImageFrom(readFileBytes(fileName, kMaxBinaryImage), fileName, buffer), false};

    // Any other name: what the text is decides (tools also write HEX as ".rom", ".mcs"
    // or with no extension at all; a raw dump is no HEX).
    const QByteArray bytes = readFileBytes(fileName);
    if (!looksLikeHexRecords(bytes))
        return {binaryImageFrom(bytes, fileName, buffer), false};
    IntelHexFile hex;
    hex.setUnusedBytes(0xFF);
    hex.loadFromText(bytes, fileName);
    return {hexImageFrom(hex, fileName, buffer), false, ImageForm::IntelHex};
}
