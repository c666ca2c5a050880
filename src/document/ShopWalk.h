#pragma once

#include "ListExtras.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace korbana {

class ListModel;

// The walk through each shop: the order in which its products are passed, one "walk" record per shop naming the
// shop and then its products. A product the walk does not name has no place: it comes after those that have one,
// in the order it had.
namespace ShopWalk {

inline constexpr QStringView kKind = u"walk";

// The product names of the shop's walk, as the records hold them.
QStringList walkOf(const QList<ListExtras::Record>& records, const QString& shop);
// The records with the shop's walk set to names (none: the shop's record goes).
QList<ListExtras::Record> withWalk(QList<ListExtras::Record> records, const QString& shop, const QStringList& names);

// The rows of the Shopping list in the order of the walk: shops in the order of the Store list (shops it does not
// hold after them, in the order of their first entry), within a shop the walk, then the entries without a place;
// equal places keep their order.
std::vector<int> shoppingOrder(
    const ListModel& shopping, const ListModel& stores, const QList<ListExtras::Record>& records);

// Moving the product at productRow one place earlier (step -1) or later (step 1) in its shop's walk: the shop's
// new walk, and the row of the catalogue whose product it trades places with. nullopt when it is first or last.
struct WalkMove
{
    QString shop;
    QStringList walk;
    int otherRow = -1;
};
std::optional<WalkMove> moveInWalk(
    const ListModel& products, const QList<ListExtras::Record>& records, int productRow, int step);

} // namespace ShopWalk

} // namespace korbana
