#pragma once

#include "lists/ListModel.h"
#include "lists/ListTexts.h"

// The baseline of the cases that work over the whole Shopping list: what the status bar's total costs, every
// entry's price read once.
inline double readEveryPrice(const korbana::ListModel& shopping)
{
    const QString sep = korbana::decimalSeparator();
    double total = 0;
    for (int row = 0; row < shopping.count(); ++row) {
        const korbana::Entry& e = shopping.entryAt(row);
        total += korbana::readNumber(korbana::splitPriceText(e.subItems[2]).amount, sep).value_or(0)
            * korbana::quantityOf(e.caption, sep);
    }
    return total;
}
