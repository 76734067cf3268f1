// ImageBuffer and the image loader: a ".bin" or ".hex" file read into the byte
// array that a device operation holds for its own duration.
#pragma once

#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <vector>

using ImageBuffer = std::vector<uint8_t>;

inline constexpr qint64 kMaxImageFileSize = 10'000'000;
inline constexpr qint32 kMaxBinaryImage = 0x10000;
// Addresses 0..0xFFFF, so every file that bin2hex writes reads back whole.
inline constexpr qint32 kHexImageSize = 0x10000;

// Size in bytes of the named file, or -1 when there is no such file.
qint64 fileSizeByName(const QString& fileName);

// What loading an image file gave.
struct LoadedImage {
    qint32 length = 0;    // how many bytes of the buffer are the image
    bool tooBig = false;  // above kMaxImageFileSize: refused unread, buffer untouched, length 0
};

// Fills the buffer from a ".hex" file (by its extension, any case) or a binary one.
// A file too big is refused in the result; file and HEX errors are thrown
// (FileError, HexFileError).
LoadedImage loadImageFile(const QString& fileName, ImageBuffer& buffer);

// Parses a HEX file over addresses 0..kHexImageSize-1 into the buffer (gaps 0xFF)
// and returns 1 + the highest used address (1 when the file holds no data).
qint32 loadHexImage(const QString& fileName, ImageBuffer& buffer);
