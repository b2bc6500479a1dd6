#include "jpeg_picture.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back
// to the decoding function instead of ending the program.
struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void errorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->jump, 1);
}

// Warnings about damaged data are not shown to anyone.
void ignoreMessage(j_common_ptr, int) {}

// Only plain C objects live in this frame, so jumping out of libjpeg skips no destructor. The
// image is made by the caller's callback before the first row is read.
bool decodeInto(const unsigned char *data, unsigned long size, QImage *image)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.emit_message = ignoreMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || info.output_width > 16384 || info.output_height > 16384) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    *image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image->isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage JpegPicture::decode(const QByteArray &data)
{
    if (data.isEmpty())
        return QImage();
    QImage image;
    if (!decodeInto(reinterpret_cast<const unsigned char *>(data.constData()),
                    static_cast<unsigned long>(data.size()), &image))
        return QImage();
    return image;
}
