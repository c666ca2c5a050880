#include "ListTexts.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

namespace korbana {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Room for the exact expansion of any double that formatAwayFromZero looks at.
constexpr int kFormatBuffer = 1200;

// The digits of value with `precision` digits after the point, into buf. Halfway cases round away from zero, as
// amounts always did (std::to_chars alone would round them to even).
char* formatAwayFromZero(char* buf, char* end, double value, std::chars_format format, int precision)
{
    const auto mantissaEnd = [format](char* first, char* last) {
        return format == std::chars_format::scientific ? std::find(first, last, 'e') : last;
    };
    char* last = std::to_chars(buf, end, value, format, precision + 1).ptr;
    const char* tieDigit = mantissaEnd(buf, last) - 1;
    // Halfway only when the exact expansion ends in that 5; then one step away from zero rounds it outward.
    // A few more digits settle nearly every case; the whole expansion (up to 767 digits) only the rest.
    const auto endsInTheFive = [&](int moreDigits) {
        char exact[kFormatBuffer];
        char* exactLast = std::to_chars(exact, exact + sizeof exact, value, format, precision + moreDigits).ptr;
        const char* rest = exact + (tieDigit - buf) + 1;
        return std::all_of(
            rest, static_cast<const char*>(mantissaEnd(exact, exactLast)), [](char c) { return c == '0'; });
    };
    if (*tieDigit == '5' && endsInTheFive(24) && endsInTheFive(800))
        value = std::nextafter(value, std::copysign(HUGE_VAL, value));
    return std::to_chars(buf, end, value, format, precision).ptr;
}

} // namespace

QString decimalSeparator()
{
    return QLocale().decimalPoint();
}

std::optional<double> readNumber(QStringView text, QStringView decimalSep)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == u' ')
        ++i;

    // Rebuild the number in the locale-free form that std::from_chars reads.
    std::string plain;
    plain.reserve(static_cast<size_t>(n) + 2);
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            plain += '-';
        ++i;
    }

    bool tookSomething = false;
    const qsizetype intStart = i;
    while (i < n && isDigit(text[i]))
        plain += static_cast<char>(text[i++].unicode());
    tookSomething = i > intStart;
    if (intStart == i)
        plain += '0';
    if (!decimalSep.isEmpty() && text.mid(i).startsWith(decimalSep)) {
        i += decimalSep.size();
        tookSomething = true;
        plain += '.';
        const qsizetype fracStart = i;
        while (i < n && isDigit(text[i]))
            plain += static_cast<char>(text[i++].unicode());
        if (i == fracStart)
            plain += '0';
    }
    if (!tookSomething)
        return std::nullopt;

    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        std::string exponent;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            if (text[i] == u'-')
                exponent += '-';
            ++i;
        }
        const qsizetype expStart = i;
        while (i < n && isDigit(text[i]))
            exponent += static_cast<char>(text[i++].unicode());
        if (i > expStart)
            plain += 'e' + exponent;
    }

    while (i < n && text[i] == u' ')
        ++i;
    if (i != n)
        return std::nullopt;

    double value = 0;
    const char* first = plain.data();
    const char* last = first + plain.size();
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> readNumber(QStringView text)
{
    const QString sep = decimalSeparator();
    return readNumber(text, sep);
}

QString amountText(double value, QStringView decimalSep)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");

    // std::to_chars rather than QLocale: the printout writes an amount for every row, and QLocale took
    // microseconds per call.
    char buf[kFormatBuffer];
    char* const end = buf + sizeof buf;
    // Work with 15 significant digits, as the amount was always shown.
    char* last = formatAwayFromZero(buf, end, value, std::chars_format::scientific, 14);
    double rounded = 0;
    if (std::from_chars(buf, last, rounded).ec == std::errc::result_out_of_range) {
        // Rounded up past the largest double: cut the 16th digit instead, so that the text still reads back.
        last = std::to_chars(buf, end, value, std::chars_format::scientific, 15).ptr;
        char* exponent = std::find(buf, last, 'e');
        last = std::copy(exponent, last, exponent - 1);
    } else if (std::fabs(rounded) >= 1e15) {
        last = formatAwayFromZero(buf, end, rounded, std::chars_format::scientific, 14);
    } else {
        last = formatAwayFromZero(buf, end, rounded, std::chars_format::fixed, 2);
        if (buf[0] == '-' && std::all_of(buf + 1, last, [](char c) { return c == '0' || c == '.'; })) {
            std::memmove(buf, buf + 1, static_cast<size_t>(last - buf - 1));
            --last;
        }
    }
    QString text;
    text.reserve(last - buf + decimalSep.size());
    for (const char* p = buf; p != last; ++p) {
        if (*p == '.')
            text += decimalSep;
        else
            text += QLatin1Char(*p == 'e' ? 'E' : *p);
    }
    return text;
}

QString amountText(double value)
{
    return amountText(value, decimalSeparator());
}

QString priceText(double value)
{
    return amountText(value) + QStringLiteral(" EUR");
}

QStringView leadingAmount(QStringView priceText)
{
    const qsizetype blank = priceText.indexOf(u' ');
    return blank < 0 ? priceText : priceText.left(blank);
}

QString statusText(qsizetype shoppingCount)
{
    return QString::number(shoppingCount) + QStringLiteral(" Produkte auf der Einkaufsliste");
}

} // namespace korbana
