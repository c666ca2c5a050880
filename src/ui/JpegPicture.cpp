#include "JpegPicture.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace korbana {

namespace {

// Far beyond any picture of ours (64 million pixels, 256 MB as RGB32), far below what would exhaust memory.
constexpr quint64 kMaxPixels = 64ull * 1024 * 1024;

struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg's default would end the program; we jump back to the decoder instead.
void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings are counted, not printed to stderr.
void keepQuiet(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
}

int scaled(int a, int b)
{
    return (a * b + 127) / 255;
}

QRgb cmykPixel(const JSAMPLE* p, bool inverted)
{
    // Adobe's files store CMYK inverted; libjpeg hands the values through unchanged.
    const int c = inverted ? p[0] : 255 - p[0];
    const int m = inverted ? p[1] : 255 - p[1];
    const int y = inverted ? p[2] : 255 - p[2];
    const int k = inverted ? p[3] : 255 - p[3];
    return qRgb(scaled(c, k), scaled(m, k), scaled(y, k));
}

// Everything alive across the longjmp lives in the caller: no destructor is skipped here.
bool decodeInto(
    jpeg_decompress_struct& cinfo, ErrorManager& err, const QByteArray& data, QImage& image, std::vector<JSAMPLE>& row)
{
    if (setjmp(err.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(
        &cinfo, reinterpret_cast<const unsigned char*>(data.constData()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    // A damaged header may claim a picture of gigabytes, which libjpeg would set out to buffer whole.
    if (quint64(cinfo.image_width) * cinfo.image_height > kMaxPixels) {
        std::strcpy(err.message, "image too large");
        return false;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    image = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB32);
    if (image.isNull()) {
        std::strcpy(err.message, "image too large");
        return false;
    }
    row.resize(std::size_t(cinfo.output_width) * std::size_t(cinfo.output_components));
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = { row.data() };
        const int y = int(cinfo.output_scanline);
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1)
            return false;
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
            const JSAMPLE* p = row.data() + std::size_t(x) * std::size_t(cinfo.output_components);
            out[x] = cmyk ? cmykPixel(p, inverted) : qRgb(p[0], p[1], p[2]);
        }
    }
    jpeg_finish_decompress(&cinfo);
    // A damaged file decodes with warnings and grey gaps: take it as broken.
    return err.pub.num_warnings == 0;
}

} // namespace

QImage decodeJpeg(const QByteArray& data, QString* error)
{
    jpeg_decompress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = keepQuiet;
    err.message[0] = '\0';
    QImage image;
    std::vector<JSAMPLE> row;
    const bool ok = !data.isEmpty() && decodeInto(cinfo, err, data, image, row);
    jpeg_destroy_decompress(&cinfo);
    if (ok)
        return image;
    if (error)
        *error = data.isEmpty() ? QStringLiteral("empty file") : QString::fromLocal8Bit(err.message);
    return {};
}

} // namespace korbana
