#include "Windows1252.h"

#include <array>

namespace korbana {

namespace {

// The characters of the bytes 0x80 to 0x9F; all other bytes are their own Latin-1 character.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

constexpr std::array<char16_t, 256> makeDecodeTable()
{
    std::array<char16_t, 256> table {};
    for (int byte = 0; byte < 256; ++byte)
        table[static_cast<size_t>(byte)] = static_cast<char16_t>(byte);
    for (size_t i = 0; i < kHighControls.size(); ++i)
        table[0x80 + i] = kHighControls[i];
    return table;
}

constexpr std::array<char16_t, 256> kDecodeTable = makeDecodeTable();

// The byte of a character, or -1 when the code page has none.
int byteOf(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(kDecodeTable[static_cast<unsigned char>(byte)]);
    return text;
}

bool canEncodeWindows1252(QStringView text)
{
    for (const QChar c : text) {
        if (byteOf(c.unicode()) < 0)
            return false;
    }
    return true;
}

bool appendWindows1252(QStringView text, QByteArray& out)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* dest = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = byteOf(text[i].unicode());
        if (byte < 0) {
            out.truncate(start + i);
            return false;
        }
        dest[i] = static_cast<char>(byte);
    }
    return true;
}

QByteArray encodeWindows1252(QStringView text, bool* ok)
{
    QByteArray bytes;
    const bool encoded = appendWindows1252(text, bytes);
    if (ok)
        *ok = encoded;
    return encoded ? bytes : QByteArray();
}

} // namespace korbana
