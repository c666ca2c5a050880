#pragma once

#include "ListModel.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <deque>
#include <optional>
#include <unordered_map>
#include <vector>

// Which shop of the catalogue sells a product cheapest. Products of the catalogue are the same when their names
// are equal but for case and blanks at either end; a shop is named by its exact text.
namespace korbana {

// What makes two product names the same product: both trimmed, then compared without case.
bool sameProduct(QStringView a, QStringView b);

// A catalogue product's offer: its shop, its price text as the catalogue holds it, and the amount read from it.
struct ShopOffer
{
    QString shop;
    QString priceText;
    double price = 0;
};

// The same product cheaper at another shop than a shopping entry's: the offer, and how much less the entry's
// quantity costs there.
struct CheaperOffer
{
    ShopOffer offer;
    double saving = 0;
};

// One shop of the comparison: how many of the list's entries it carries, what they cost there, and which
// products it lacks (their names, a few of them).
struct ShopTotal
{
    QString shop;
    int carried = 0;
    int missing = 0;
    double total = 0;
    double saving = 0; // what the cheapest mix saves against this shop, over the entries it carries
    QStringList missingNames;
};

// The shops compared over a Shopping list, and the cheapest mix of shops.
struct PriceComparisonResult
{
    std::vector<ShopTotal> shops; // in the order the catalogue first names them
    double cheapestMixTotal = 0; // each entry at its cheapest shop
    int mixMissing = 0; // entries that no shop of the catalogue carries
    int referenceShop = -1; // the cheapest shop that carries everything, else with the fewest missing; -1: none
    double saving = 0; // what the mix saves against the reference shop, over the entries that shop carries
    double listSaving = 0; // what moving each entry to its cheapest shop saves against the list as it stands
};

// Shopping entries moved to their cheapest shop: which row gets the shop and price text of which catalogue row, and
// what it saves. Numbers only: half a million moves take a few megabytes.
struct ShopMove
{
    int row = 0;
    int product = 0; // the catalogue row with the shop and price
};

struct Reassignment
{
    std::deque<ShopMove> moves; // given up block by block as the undo step takes them over
    double saving = 0;
};

// The catalogue grouped by product, with each shop's cheapest price of each product. Built from the Product
// catalogue in one pass; rebuilt whole when the catalogue changes (fast enough for half a million products).
// Texts are kept as the catalogue's own implicitly shared strings.
class PriceIndex
{
public:
    // Reads the catalogue (name, shop, price text per row). Products whose price text is no number are left out.
    // The index refers to the catalogue's rows: rebuild it after the catalogue changes, before asking it again.
    void rebuild(const ListModel& products);
    void clear();

    // The cheapest offer of the entry's product at another shop, when it is cheaper than what the entry pays now
    // (the lower of its own price and its shop's catalogue price); none when neither of those is known.
    std::optional<CheaperOffer> cheaperElsewhere(const Entry& shoppingEntry) const;

    // Every shopping entry to the shop with its product cheapest; ties keep the current shop.
    Reassignment cheapestShops(const ListModel& shopping) const;

    // One row per shop of the catalogue over the entries of the Shopping list, and the cheapest mix.
    PriceComparisonResult compare(const ListModel& shopping) const;

    int groupCount() const { return static_cast<int>(m_groups.size()); }
    int shopCount() const { return static_cast<int>(m_shops.size()); }

private:
    struct Offer
    {
        int shop;
        int product;
        double price;
    };
    struct Group
    {
        QString name; // the first product of the group names it
        std::vector<Offer> offers; // the cheapest per shop, ordered by shop
        int best = -1; // indices into offers: the cheapest, and the cheapest at another shop than that
        int runnerUp = -1;
    };
    // A trimmed name that hashes and compares without case.
    struct NameKey
    {
        QStringView name;
        bool operator==(const NameKey& other) const;
    };
    struct NameHash
    {
        size_t operator()(const NameKey& key) const;
    };
    // What an entry pays now and where, as the comparison sees it.
    struct EntryPrices
    {
        int group = -1;
        int shop = -1;
        std::optional<double> current;
        double quantity = 1;
    };

    struct Memo;

    int groupOf(QStringView name) const;
    int shopOf(const QString& shop) const;
    const Offer* offerAt(const Group& group, int shop) const;
    EntryPrices pricesOf(const Entry& entry, QStringView decimalSep, Memo* memo = nullptr) const;
    // Calls take(row, cheapest offer, saving) for every entry that a cheaper shop would take; ties keep the shop.
    template<class Take> void forEachCheaperEntry(const ListModel& shopping, Take take) const;
    ShopOffer offerText(const Offer& offer) const;

    const ListModel* m_products = nullptr;
    std::vector<Group> m_groups;
    std::unordered_map<NameKey, int, NameHash> m_groupOfName;
    std::vector<QString> m_shops;
    QHash<QString, int> m_shopIds;
};

} // namespace korbana
