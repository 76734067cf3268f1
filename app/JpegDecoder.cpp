// decodeJpeg: libjpeg reports fatal errors through error_exit, which must not
// return; it jumps back here. The jumps stay inside the small functions below,
// which hold no object with a destructor, so nothing is skipped on the way out.
#include "app/JpegDecoder.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void onMessage(j_common_ptr) {}  // warnings (a truncated file, say) are not worth a console line

bool startDecoding(jpeg_decompress_struct* info, ErrorManager* errors, const QByteArray& data)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_mem_src(info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(info, TRUE);
    info->out_color_space = JCS_RGB;  // grey pictures come out as RGB too
    jpeg_start_decompress(info);
    return true;
}

bool readRows(jpeg_decompress_struct* info, ErrorManager* errors, uchar* bits, qsizetype stride)
{
    if (setjmp(errors->jump))
        return false;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = bits + qsizetype(info->output_scanline) * stride;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

}  // namespace

QImage decodeJpeg(const QByteArray& data, QString* error)
{
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = onError;
    errors.pub.output_message = onMessage;
    jpeg_create_decompress(&info);

    QImage image;
    bool ok = !data.isEmpty() && startDecoding(&info, &errors, data);
    if (ok && info.output_components == 3) {
        image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
        if (image.isNull()) {
            ok = false;
            std::snprintf(errors.message, sizeof errors.message, "picture too large: %u x %u", info.output_width,
                          info.output_height);
        } else {
            ok = readRows(&info, &errors, image.bits(), image.bytesPerLine());
        }
    } else if (ok) {
        ok = false;
        std::snprintf(errors.message, sizeof errors.message, "unexpected colour components: %d",
                      info.output_components);
    }
    jpeg_destroy_decompress(&info);
    if (!ok) {
        if (error)
            *error = data.isEmpty() ? QStringLiteral("no data") : QString::fromLocal8Bit(errors.message);
        return {};
    }
    return image;
}
