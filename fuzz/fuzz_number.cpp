// Number reading on arbitrary UTF-16 text: no crash, blanks around a text never change its reading, and
// every amount the program writes reads back.
#include "lists/ListTexts.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QString sep = (data[0] & 1) ? QStringLiteral(",") : QStringLiteral(".");
    std::u16string units((size - 1) / 2, u'\0');
    std::memcpy(units.data(), data + 1, units.size() * sizeof(char16_t));
    const QString text = QString::fromStdU16String(units);

    const std::optional<double> value = korbana::readNumber(text, sep);
    const std::optional<double> padded = korbana::readNumber(u' ' + text + u' ', sep);
    if (value.has_value() != padded.has_value() || (value && *value != *padded))
        std::abort();
    if (value && !std::isfinite(*value))
        std::abort();
    if (value && !korbana::readNumber(korbana::amountText(*value, sep), sep))
        std::abort(); // an amount the program wrote could not be read back
    return 0;
}
