// Fuzz target: any bytes as a HEX file. The parser must stay inside its buffers
// and fail only with its own errors; whatever it accepts must survive being built
// into text and parsed again unchanged.
#include <cstddef>
#include <cstdint>

#include "image/HexFile.h"
#include "image/ImageBuffer.h"

namespace {

constexpr qint32 kImageSize = kHexImageSize;  // what the loader and the converter parse into

bool parse(THexFile& hex, const QByteArray& text, qint32 size)
{
    hex.setUnusedBytes(0xFF);
    hex.loadFromText(text);
    hex.setDataSize(size);
    try {
        hex.Update();
    } catch (const EHexFileError&) {
        return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));

    // A small image sends most records past its end.
    THexFile small(nullptr);
    parse(small, text, 0x40);

    THexFile hex(nullptr);
    if (!parse(hex, text, kImageSize))
        return 0;

    // The round trip only needs the image up to its last used byte (and runs faster).
    qint32 length = 0;
    for (qint32 i = 0; i < kImageSize; ++i)
        if (hex.DataUsed(i))
            length = i + 1;

    THexFile rebuilt(nullptr);
    rebuilt.setDataSize(length);
    for (qint32 i = 0; i < length; ++i) {
        if (hex.DataUsed(i)) {
            rebuilt.setDataBin(i, hex.DataBin(i));
            rebuilt.setDataUsed(i, 1);
        }
    }
    rebuilt.Update();

    THexFile back(nullptr);
    if (!parse(back, rebuilt.Lines().join(QStringLiteral("\r\n")).toLatin1(), length))
        __builtin_trap();
    for (qint32 i = 0; i < length; ++i)
        if (back.DataUsed(i) != hex.DataUsed(i) || back.DataBin(i) != hex.DataBin(i))
            __builtin_trap();
    return 0;
}
