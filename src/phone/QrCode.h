#pragma once

#include <QByteArray>
#include <QImage>

namespace korbana {

// The QR code of text as a black-on-white picture, moduleSize pixels a module, with the quiet zone of four
// modules around it. A null image when the text does not fit in a QR code.
QImage qrCodeImage(const QByteArray& text, int moduleSize = 6);

} // namespace korbana
