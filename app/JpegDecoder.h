// decodeJpeg: a JPEG file's bytes to an image, through libjpeg itself.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// A null image when the bytes are not a JPEG libjpeg can read; error then says why.
QImage decodeJpeg(const QByteArray& data, QString* error = nullptr);
