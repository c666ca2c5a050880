#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <utility>
#include <vector>

namespace korbana {

class ListModel;

// Quick add: a line such as "2 milch", read as a quantity and a product's name, and the catalogue's names that
// begin like the name, ignoring case and umlaut spelling as the product search does.
namespace QuickAdd {

struct Line
{
    QString quantity; // "1" when the line names none
    QString name;
    bool quantityGiven = false;
};
// A leading number (digits, with "," or ".") and a blank make the quantity; the rest, trimmed, is the name.
Line parse(const QString& text);

} // namespace QuickAdd

// The distinct names of the catalogue, folded for searching and sorted, made at the first look after a change of
// the catalogue: a keystroke then costs a binary search.
class ProductNames
{
public:
    explicit ProductNames(const ListModel& products);

    void invalidate() { m_valid = false; }
    // Up to limit names of the catalogue, as written there, whose folded form begins with the folded typed name.
    QStringList suggestions(QStringView typedName, int limit) const;
    // The rows of the products whose name folds like name, in the catalogue's order.
    std::vector<int> rowsNamed(QStringView name) const;

private:
    void build() const;
    // The first name whose folded form does not sort before folded.
    size_t firstFrom(const QString& folded) const;

    const ListModel& m_products;
    // Folded name, name as written; sorted by the folded one.
    mutable std::vector<std::pair<QString, QString>> m_names;
    mutable bool m_valid = false;
};

} // namespace korbana
