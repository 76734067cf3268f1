// ImageBuffer and the image loader: a ".bin" or ".hex" file read into the byte
// array that a device operation holds for its own duration.
#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

class OperationView;

using vetorbyte = quint8;
using ImageBuffer = std::vector<vetorbyte>;

inline constexpr qint64 kMaxImageFileSize = 10'000'000;
inline constexpr qint32 kMaxBinaryImage = 0x10000;
// Addresses 0..0xFFFF, so every file that bin2hex writes reads back whole.
inline constexpr qint32 kHexImageSize = 0x10000;

// Size in bytes of the named file, or -1 when there is no such file.
qint64 FileSizeByName(const QString& fileName);

// Fills the buffer and returns how many bytes of it are the image. A file above
// kMaxImageFileSize is refused with a message box and gives 0, buffer untouched.
// File and HEX errors are thrown.
qint32 LoadImageFile(const QString& fileName, ImageBuffer& buffer, OperationView& view);

// Parses a HEX file over addresses 0..kHexImageSize-1 into the buffer (gaps 0xFF)
// and returns 1 + the highest used address (1 when the file holds no data).
qint32 loadHexImage(const QString& fileName, ImageBuffer& buffer, OperationView* owner);
