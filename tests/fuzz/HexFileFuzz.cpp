// Fuzz target: any bytes as a HEX file. The parser must stay inside its buffers
// and fail only with its own errors; whatever it accepts must survive being built
// into text and parsed again unchanged.
#include <cstddef>
#include <cstdint>

#include "image/IntelHexFile.h"
#include "image/ImageBuffer.h"

namespace {

constexpr qint32 kImageSize = kHexImageSize;  // what the loader and the converter parse into

bool parse(IntelHexFile& hex, const QByteArray& text, qint32 size)
{
    hex.setUnusedBytes(0xFF);
    hex.loadFromText(text);
    hex.setDataSize(size);
    try {
        hex.update();
    } catch (const HexFileError&) {
        return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));

    // A small image sends most records past its end.
    IntelHexFile small;
    parse(small, text, 0x40);

    IntelHexFile hex;
    if (!parse(hex, text, kImageSize))
        return 0;

    // The round trip only needs the image up to its last used byte (and runs faster).
    qint32 length = 0;
    for (qint32 i = 0; i < kImageSize; ++i)
        if (hex.dataUsed(i))
            length = i + 1;

    IntelHexFile rebuilt;
    rebuilt.setDataSize(length);
    for (qint32 i = 0; i < length; ++i) {
        if (hex.dataUsed(i)) {
            rebuilt.setDataBin(i, hex.dataBin(i));
            rebuilt.setDataUsed(i, 1);
        }
    }
    rebuilt.update();

    IntelHexFile back;
    if (!parse(back, rebuilt.lines().join(QStringLiteral("\r\n")).toLatin1(), length))
        __builtin_trap();
    for (qint32 i = 0; i < length; ++i)
        if (back.dataUsed(i) != hex.dataUsed(i) || back.dataBin(i) != hex.dataBin(i))
            __builtin_trap();
    return 0;
}
