// ImageBuffer and the image loader: a binary or Intel HEX file read into the byte
// array that a device operation holds for its own duration.
#pragma once

#include <QByteArray>
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

enum class ImageForm { Binary, IntelHex };

// .hex, .ihx, .ihex and .eep, in any case: the names toolchains give Intel HEX files.
bool isHexFileName(const QString& fileName);
// .bin in any case: always read as binary, whatever it holds.
bool isBinaryFileName(const QString& fileName);
// True when every line of the text (up to a NUL, as the codec reads it) is an Intel
// HEX record or empty, and there is at least one record.
bool looksLikeHexRecords(const QByteArray& text);

// The form loadImageFile reads a file in, by the same rules, without loading it. A
// file that cannot be read, or is too big to be an image, counts as binary.
ImageForm imageFormOf(const QString& fileName);

// What loading an image file gave.
struct LoadedImage {
    qint32 length = 0;    // how many bytes of the buffer are the image
    bool tooBig = false;  // above kMaxImageFileSize: refused unread, buffer untouched, length 0
    ImageForm form = ImageForm::Binary;
};

// Fills the buffer from an image file: Intel HEX for a HEX name (isHexFileName), binary
// for a .bin, and for any other name HEX when the whole text is HEX records, else
// binary. A file too big is refused in the result; a file without data (an empty one,
// or HEX without data records) throws FileError::Code::NoData; file and HEX errors are
// thrown (FileError, HexFileError).
LoadedImage loadImageFile(const QString& fileName, ImageBuffer& buffer);

// Parses a HEX file over addresses 0..kHexImageSize-1 into the buffer (gaps 0xFF)
// and returns 1 + the highest used address; NoData when no address is used.
qint32 loadHexImage(const QString& fileName, ImageBuffer& buffer);
