#include "QrCode.h"

#include <qrencode.h>

#include <memory>

namespace korbana {

QImage qrCodeImage(const QByteArray& text, int moduleSize)
{
    if (text.isEmpty() || text.contains('\0') || moduleSize < 1)
        return {};
    // Medium error correction: readable from a screen at an angle, still small for an address.
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(text.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code)
        return {};
    constexpr int kQuietZone = 4;
    const int modules = code->width;
    const int side = (modules + 2 * kQuietZone) * moduleSize;
    QImage image(side, side, QImage::Format_Mono);
    image.setColorTable({ qRgb(255, 255, 255), qRgb(0, 0, 0) });
    image.fill(0);
    for (int y = 0; y < modules; ++y) {
        for (int x = 0; x < modules; ++x) {
            // The lowest bit of each module's byte says dark.
            if ((code->data[y * modules + x] & 1) == 0)
                continue;
            for (int dy = 0; dy < moduleSize; ++dy)
                for (int dx = 0; dx < moduleSize; ++dx)
                    image.setPixel((kQuietZone + x) * moduleSize + dx, (kQuietZone + y) * moduleSize + dy, 1);
        }
    }
    return image;
}

} // namespace korbana
