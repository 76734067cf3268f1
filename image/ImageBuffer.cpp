// The image loader and the file size query it shares with the hex editor.
#include "image/ImageBuffer.h"

#include <QFileInfo>

#include "image/FileIo.h"
#include "image/HexFile.h"
#include "view/OperationView.h"
#include "view/Strings.h"

qint64 FileSizeByName(const QString& fileName)
{
    const QFileInfo info(fileName);
    return info.exists() ? info.size() : -1;
}

qint32 loadHexImage(const QString& fileName, ImageBuffer& buffer, OperationView* owner)
{
    THexFile hex(owner);
    hex.setUnusedBytes(0xFF);
    hex.LoadFromFile(fileName);
    hex.setDataSize(kHexImageSize);
    hex.Update();
    buffer.resize(kHexImageSize);
    qint32 highest = 0;
    for (qint32 i = 0; i < kHexImageSize; ++i) {
        buffer[i] = hex.DataBin(i);
        if (hex.DataUsed(i))
            highest = i;
    }
    return highest + 1;
}

qint32 LoadImageFile(const QString& fileName, ImageBuffer& buffer, OperationView& view)
{
    if (FileSizeByName(fileName) > kMaxImageFileSize) {
        view.showMessage(MessageIcon::Error, QString::fromUtf8(Str::kErrorCaption),
                         QString::fromUtf8(Str::kFileSizeTooBig));
        return 0;
    }
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && name.mid(dot).toLower() == QLatin1String(".hex"))
        return loadHexImage(fileName, buffer, &view);

    // Bytes past the largest image a chip can take are ignored.
    const QByteArray bytes = readFileBytes(fileName, kMaxBinaryImage);
    buffer.assign(bytes.begin(), bytes.end());
    return qint32(bytes.size());
}
