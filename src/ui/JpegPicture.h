#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace korbana {

// Decodes a JPEG (baseline or progressive; colour, grey or CMYK) with libjpeg into an RGB32 image.
// Broken or truncated data gives a null image and, if asked for, libjpeg's reason.
QImage decodeJpeg(const QByteArray& data, QString* error = nullptr);

} // namespace korbana
