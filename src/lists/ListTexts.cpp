#include "ListTexts.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <string>

namespace korbana {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
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

    const QLocale c = QLocale::c();
    // Work with 15 significant digits, as the amount was always shown.
    const double rounded = c.toDouble(c.toString(value, 'e', 14));
    QString text;
    if (std::fabs(rounded) >= 1e15) {
        text = c.toString(rounded, 'e', 14).toUpper();
    } else {
        text = c.toString(rounded, 'f', 2);
        if (text.startsWith(u'-') && c.toDouble(text) == 0.0)
            text.remove(0, 1);
    }
    text.replace(u'.', decimalSep.toString());
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
