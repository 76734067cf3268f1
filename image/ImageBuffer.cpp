// The image loader and the file size query it shares with the hex editor.
#include "image/ImageBuffer.h"

#include <QFileInfo>

#include "image/FileIo.h"
#include "image/IntelHexFile.h"

qint64 fileSizeByName(const QString& fileName)
{
    const QFileInfo info(fileName);
    return info.exists() ? info.size() : -1;
}

qint32 loadHexImage(const QString& fileName, ImageBuffer& buffer)
{
    IntelHexFile hex;
    hex.setUnusedBytes(0xFF);
    hex.loadFromFile(fileName);
    hex.setDataSize(kHexImageSize);
    hex.update();
    buffer.resize(kHexImageSize);
    qint32 highest = 0;
    for (qint32 i = 0; i < kHexImageSize; ++i) {
        buffer[i] = hex.dataBin(i);
        if (hex.dataUsed(i))
            highest = i;
    }
    return highest + 1;
}

LoadedImage loadImageFile(const QString& fileName, ImageBuffer& buffer)
{
    if (fileSizeByName(fileName) > kMaxImageFileSize)
        return {0, true};
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && name.mid(dot).toLower() == QLatin1String(".hex"))
        return {loadHexImage(fileName, buffer), false};

    // Bytes past the largest image a chip can take are ignored.
    const QByteArray bytes = readFileBytes(fileName, kMaxBinaryImage);
    buffer.assign(bytes.begin(), bytes.end());
    return {qint32(bytes.size()), false};
}
