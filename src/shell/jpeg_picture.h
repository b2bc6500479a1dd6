#pragma once

#include <QByteArray>
#include <QImage>

// JPEG decoding with libjpeg. A stream that libjpeg cannot decode gives a null image.
namespace JpegPicture {

QImage decode(const QByteArray &data);

} // namespace JpegPicture
