#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace korbana {

// The texts the lists hold and the one rule by which they are read back as numbers.

// The decimal separator of the current default locale (the system's unless a test pinned another).
QString decimalSeparator();

// Blanks, optional sign, digits with the decimal separator, optional exponent, blanks, and nothing else.
// Fails (nullopt) on anything else and on values beyond the range of a double.
std::optional<double> readNumber(QStringView text, QStringView decimalSep);
std::optional<double> readNumber(QStringView text);

// Fixed point with exactly two decimals, no grouping, 15 significant digits; scientific beyond 15 integer digits.
QString amountText(double value, QStringView decimalSep);
QString amountText(double value);

// amountText(value) followed by " EUR".
QString priceText(double value);

// The part of a price text before its first blank (the whole text without a blank).
QStringView leadingAmount(QStringView priceText);

// "<count> Produkte auf der Einkaufsliste".
QString statusText(qsizetype shoppingCount);

} // namespace korbana
