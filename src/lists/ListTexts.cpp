#include "ListTexts.h"

#include <QLocale>

#include <algorithm>
#include <array>
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
// Amounts work with this many significant digits, as they were always shown.
constexpr int kSignificantDigits = 15;

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

// The length of the locale's decimal separator when it stands at i, else 0.
qsizetype decimalSepAt(QStringView text, qsizetype i, QStringView decimalSep)
{
    return !decimalSep.isEmpty() && text.mid(i).startsWith(decimalSep) ? decimalSep.size() : 0;
}

// A "." or "," at i that can only be a decimal separator: the locale's own separator occurs nowhere in the text,
// and one or two digits end the number after it (three would be a digit group). So "1,09" typed on a machine
// that writes "1.09", or a list from such a machine, reads alike everywhere.
bool otherSeparatorAt(QStringView text, qsizetype i, QStringView decimalSep)
{
    const qsizetype n = text.size();
    if (i >= n || (text[i] != u'.' && text[i] != u',') || decimalSepAt(text, i, decimalSep) > 0)
        return false;
    qsizetype digits = 0;
    while (i + 1 + digits < n && isDigit(text[i + 1 + digits]))
        ++digits;
    return digits >= 1 && digits <= 2 && (decimalSep.isEmpty() || !text.contains(decimalSep));
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

    // Rebuild the number in the locale-free form that std::from_chars reads. Each text character gives at most
    // one, and at most two zeros are added, so n + 2 places suffice; typical numbers fit on the stack.
    std::array<char, 64> local;
    std::string spill;
    const size_t room = static_cast<size_t>(n) + 2;
    char* const plain = room <= local.size() ? local.data() : (spill.resize(room), spill.data());
    char* out = plain;
    const auto copyDigits = [&] {
        while (i < n && isDigit(text[i]))
            *out++ = static_cast<char>(text[i++].unicode());
    };

    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            *out++ = '-';
        ++i;
    }

    bool tookSomething = false;
    const qsizetype intStart = i;
    copyDigits();
    tookSomething = i > intStart;
    if (intStart == i)
        *out++ = '0';
    const qsizetype sepSize = otherSeparatorAt(text, i, decimalSep) ? 1 : decimalSepAt(text, i, decimalSep);
    if (sepSize > 0) {
        i += sepSize;
        tookSomething = true;
        *out++ = '.';
        const qsizetype fracStart = i;
        copyDigits();
        if (i == fracStart)
            *out++ = '0';
    }
    if (!tookSomething)
        return std::nullopt;

    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        // An exponent mark without digits is read past but not used.
        char* const mark = out;
        *out++ = 'e';
        if (i < n && (text[i] == u'+' || text[i] == u'-')) {
            if (text[i] == u'-')
                *out++ = '-';
            ++i;
        }
        const qsizetype expStart = i;
        copyDigits();
        if (i == expStart)
            out = mark;
    }

    while (i < n && text[i] == u' ')
        ++i;
    if (i != n)
        return std::nullopt;

    double value = 0;
    const auto [ptr, ec] = std::from_chars(plain, out, value);
    if (ec != std::errc() || ptr != out || !std::isfinite(value))
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
    // The amount is the value's 15 significant decimal digits ("d.dddddddddddddde+XX"), rounded half away from
    // zero to two decimals: "2,675" typed gives 2,68 although the nearest double lies just below 2.675.
    char* last = formatAwayFromZero(buf, end, std::fabs(value), std::chars_format::scientific, 14);
    const char* e = std::find(buf, last, 'e');
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), last, exponent);
    QString text;
    // Room for the usual amount and a currency word after it, so that neither grows the string again.
    text.reserve(24);
    const auto append = [&text, decimalSep](const char* from, const char* to) {
        for (const char* p = from; p != to; ++p) {
            if (*p == '.')
                text += decimalSep;
            else
                text += QLatin1Char(*p == 'e' ? 'E' : *p);
        }
    };
    if (value < 0)
        text += u'-';
    if (exponent >= 15) {
        double rounded = 0;
        if (std::from_chars(buf, last, rounded).ec == std::errc::result_out_of_range) {
            // Rounded up past the largest double: cut the 16th digit instead, so that the text still reads back.
            last = std::to_chars(buf, end, std::fabs(value), std::chars_format::scientific, 15).ptr;
            char* exp = std::find(buf, last, 'e');
            last = std::copy(exp, last, exp - 1);
        }
        append(buf, last);
        return text;
    }
    // The digits up to the hundredths, and the one after them that decides the rounding.
    char digits[kSignificantDigits];
    digits[0] = buf[0];
    std::copy(buf + 2, buf + 1 + kSignificantDigits, digits + 1);
    const int keep = exponent + 3;
    qint64 hundredths = 0;
    for (int i = 0; i < std::min(keep, kSignificantDigits); ++i)
        hundredths = hundredths * 10 + (digits[i] - '0');
    for (int i = kSignificantDigits; i < keep; ++i)
        hundredths *= 10;
    if (keep >= 0 && keep < kSignificantDigits && digits[keep] >= '5')
        ++hundredths;
    if (hundredths == 0)
        text.clear();
    append(buf, std::to_chars(buf, end, hundredths / 100).ptr);
    text += decimalSep;
    text += QLatin1Char(static_cast<char>('0' + hundredths % 100 / 10));
    text += QLatin1Char(static_cast<char>('0' + hundredths % 10));
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

PriceParts splitPriceText(QStringView priceText)
{
    const qsizetype lastBlank = priceText.lastIndexOf(u' ');
    if (lastBlank < 0 || lastBlank + 1 == priceText.size())
        return { priceText, {} };
    return { priceText.left(lastBlank), priceText.mid(lastBlank + 1) };
}

double quantityOf(QStringView quantityText, QStringView decimalSep)
{
    return readNumber(quantityText, decimalSep).value_or(1.0);
}

QString totalText(double value, QStringView decimalSep, QStringView suffix)
{
    if (!std::isfinite(value))
        return QStringLiteral("Überlauf");
    return amountText(value, decimalSep) + suffix;
}

std::optional<double> unitPriceOf(QStringView priceText, QStringView decimalSep)
{
    return readNumber(splitPriceText(priceText).amount, decimalSep);
}

QString statusText(qsizetype shoppingCount)
{
    return QString::number(shoppingCount) + QStringLiteral(" Produkte auf der Einkaufsliste");
}

} // namespace korbana
