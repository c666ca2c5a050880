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
    // The amount is the value's 15 significant decimal digits, rounded half away from zero to two decimals:
    // "2,675" typed gives 2,68 although the nearest double lies just below 2.675.
    const QString scientific = c.toString(std::fabs(value), 'e', 14); // "d.dddddddddddddde+XX"
    const qsizetype e = scientific.indexOf(u'e');
    const int exponent = QStringView(scientific).mid(e + 1).toInt();
    QString text;
    if (exponent >= 15) {
        text = c.toString(value, 'e', 14).toUpper();
    } else {
        const QString digits = scientific.left(1) + scientific.mid(2, e - 2);
        // The digits up to the hundredths, and the one after them that decides the rounding.
        const int keep = exponent + 3;
        qint64 hundredths = 0;
        QChar next = u'0';
        if (keep >= digits.size()) {
            hundredths = digits.leftJustified(keep, u'0').toLongLong();
        } else if (keep >= 0) {
            hundredths = digits.left(keep).toLongLong();
            next = digits[keep];
        }
        if (next >= u'5')
            ++hundredths;
        text = QString::number(hundredths / 100) + u'.' + QString::number(hundredths % 100).rightJustified(2, u'0');
        if (value < 0 && hundredths != 0)
            text.prepend(u'-');
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
