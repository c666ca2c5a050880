#include "ShoppingText.h"

#include "ShoppingPrintout.h"
#include "lists/ListModel.h"
#include "lists/ListTexts.h"

namespace korbana {

QString shoppingListText(const ListModel& shopping)
{
    const QString decimalSep = decimalSeparator();
    QString text;
    double total = 0;
    QString lastSuffix;
    for (int row = 0; row < shopping.count(); ++row) {
        const Entry& entry = shopping.entryAt(row);
        const RowAmounts amounts = ShoppingPrintout::readAmounts(entry.caption, entry.subItems[2], decimalSep);
        total += amounts.lineTotal;
        lastSuffix = amounts.currencySuffix;
        text += entry.caption + QStringLiteral(" × ") + entry.subItems[0] + QStringLiteral(" (") + entry.subItems[1]
            + QStringLiteral(") ") + entry.subItems[2] + u'\n';
    }
    if (!text.isEmpty())
        text += u'\n';
    return text + ShoppingPrintout::totalLine(total, lastSuffix, decimalSep);
}

QString rowText(const ListModel& list, int row)
{
    QStringList fields { list.caption(row) };
    for (int i = 0; i < list.subItemCount(); ++i)
        fields.append(list.subItem(row, i));
    return fields.join(u'\t');
}

} // namespace korbana
