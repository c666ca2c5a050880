#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace korbana {

// The texts the lists hold and the one rule by which they are read back as numbers.

// The decimal separator of the current default locale (the system's unless a test pinned another).
QString decimalSeparator();

// Blanks, optional sign, digits with the decimal separator, optional exponent, blanks, and nothing else.
// Where decimalSep does not occur in the text, one "." or "," followed by one or two digits that end the digits
// reads as the decimal separator too: "1,09" and "2.5" read alike under every locale, while "1.000" (a digit
// group) does not. Fails (nullopt) on anything else and on values beyond the range of a double.
std::optional<double> readNumber(QStringView text, QStringView decimalSep);
std::optional<double> readNumber(QStringView text);

// Fixed point with exactly two decimals, no grouping, 15 significant digits; scientific beyond 15 integer digits.
QString amountText(double value, QStringView decimalSep);
QString amountText(double value);

// amountText(value) followed by " EUR".
QString priceText(double value);

// A total as the user reads it: amountText(value) followed by suffix, or "Überlauf" where the sum left the range of
// a double (infinite, or infinities of both signs added up).
QString totalText(double value, QStringView decimalSep, QStringView suffix);

// The part of a price text before its first blank (the whole text without a blank).
QStringView leadingAmount(QStringView priceText);

// A price text as the printout reads it: the currency word follows the last blank (none when the text ends in a
// blank or has none), the amount text is what stands before that blank (the whole text without a currency word).
struct PriceParts
{
    QStringView amount;
    QStringView currency;
};
PriceParts splitPriceText(QStringView priceText);
// The unit price a total counts for a price text: its amount text read as a number; none where that fails (the
// entry then counts as 0).
std::optional<double> unitPriceOf(QStringView priceText, QStringView decimalSep);

// A quantity text as the printout counts it: read as a number, else 1.
double quantityOf(QStringView quantityText, QStringView decimalSep);

// "<count> Produkte auf der Einkaufsliste".
QString statusText(qsizetype shoppingCount);

} // namespace korbana
