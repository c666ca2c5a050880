#pragma once

#include <QString>

namespace korbana {

class ListModel;

// The Shopping list as plain text for a messenger: one line "<quantity> × <name> (<shop>) <price>" per entry in
// list order, an empty line, and the printout's total line. Lines end in "\n"; the last line has no end.
QString shoppingListText(const ListModel& shopping);

// The texts of one row, tab-separated, as a spreadsheet takes them.
QString rowText(const ListModel& list, int row);

} // namespace korbana
