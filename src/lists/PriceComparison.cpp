#include "PriceComparison.h"

#include "ListTexts.h"

#include <algorithm>
#include <limits>

namespace korbana {

namespace {

// The entries of a product are found by its name; the comparison shows this many names of what a shop lacks.
constexpr int kMissingNamesShown = 5;

std::optional<double> priceOf(QStringView priceText, QStringView decimalSep)
{
    return readNumber(splitPriceText(priceText).amount, decimalSep);
}

// The code points of a text, case folded, one after the other.
template<class Visit> void forFoldedCodePoints(QStringView text, Visit visit)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        char32_t code = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        visit(QChar::toCaseFolded(code));
    }
}

} // namespace

// Texts of a list that repeat mostly share one string (a loaded file shares them, and so do copies): during one
// pass over a list that does not change, each string is looked up once and then found by its address.
struct PriceIndex::Memo
{
    // Beyond this many strings the texts hardly repeat, and each is looked up on its own.
    static constexpr size_t kMaxRemembered = 1 << 16;

    std::unordered_map<const QChar*, std::pair<qsizetype, int>> groups;
    std::unordered_map<const QChar*, std::pair<qsizetype, int>> shops;

    template<class Find>
    static int remembered(
        std::unordered_map<const QChar*, std::pair<qsizetype, int>>& known, const QString& text, Find find)
    {
        const auto it = known.find(text.constData());
        if (it != known.end() && it->second.first == text.size())
            return it->second.second;
        const int found = find(text);
        if (found >= 0 && known.size() < kMaxRemembered)
            known[text.constData()] = { text.size(), found };
        return found;
    }
};

bool sameProduct(QStringView a, QStringView b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

bool PriceIndex::NameKey::operator==(const NameKey& other) const
{
    return name.compare(other.name, Qt::CaseInsensitive) == 0;
}

size_t PriceIndex::NameHash::operator()(const NameKey& key) const
{
    // FNV-1a over the folded code points: names equal without case hash alike, without making a folded copy.
    size_t hash = 14695981039346656037ULL;
    forFoldedCodePoints(key.name, [&hash](char32_t code) {
        hash ^= code;
        hash *= 1099511628211ULL;
    });
    return hash;
}

void PriceIndex::clear()
{
    m_products = nullptr;
    m_groups.clear();
    m_groupOfName.clear();
    m_shops.clear();
    m_shopIds.clear();
}

void PriceIndex::rebuild(const ListModel& products)
{
    clear();
    m_products = &products;
    const QString decimalSep = decimalSeparator();
    std::vector<std::vector<Offer>> raw;
    Memo memo;
    const auto groupOrNew = [&](const QString& name) {
        int group = groupOf(name);
        if (group < 0) {
            // The key views the group's own copy of the name, which outlives any change to the catalogue.
            group = int(m_groups.size());
            m_groups.push_back(Group { name, {}, -1, -1 });
            m_groupOfName.emplace(NameKey { QStringView(m_groups.back().name).trimmed() }, group);
            raw.emplace_back();
        }
        return group;
    };
    const auto shopOrNew = [&](const QString& name) {
        int shop = shopOf(name);
        if (shop < 0) {
            shop = int(m_shops.size());
            m_shops.push_back(name);
            m_shopIds.insert(name, shop);
        }
        return shop;
    };
    for (int row = 0; row < products.count(); ++row) {
        const Entry& entry = products.entryAt(row);
        const std::optional<double> price = priceOf(entry.subItems[1], decimalSep);
        if (!price)
            continue;
        const int group = Memo::remembered(memo.groups, entry.caption, groupOrNew);
        const int shop = Memo::remembered(memo.shops, entry.subItems[0], shopOrNew);
        raw[size_t(group)].push_back(Offer { shop, row, *price });
    }
    // Each shop's cheapest offer per product; of equal prices at one shop, the first in the catalogue.
    for (size_t g = 0; g < m_groups.size(); ++g) {
        std::vector<Offer>& offers = raw[g];
        std::sort(offers.begin(), offers.end(), [](const Offer& a, const Offer& b) {
            return a.shop != b.shop ? a.shop < b.shop : a.price != b.price ? a.price < b.price : a.product < b.product;
        });
        offers.erase(
            std::unique(offers.begin(), offers.end(), [](const Offer& a, const Offer& b) { return a.shop == b.shop; }),
            offers.end());
        offers.shrink_to_fit();
        Group& group = m_groups[g];
        group.offers = std::move(offers);
        for (int i = 0; i < int(group.offers.size()); ++i) {
            const double price = group.offers[size_t(i)].price;
            if (group.best < 0 || price < group.offers[size_t(group.best)].price) {
                group.runnerUp = group.best;
                group.best = i;
            } else if (group.runnerUp < 0 || price < group.offers[size_t(group.runnerUp)].price) {
                group.runnerUp = i;
            }
        }
    }
}

int PriceIndex::groupOf(QStringView name) const
{
    const auto it = m_groupOfName.find(NameKey { name.trimmed() });
    return it == m_groupOfName.end() ? -1 : it->second;
}

int PriceIndex::shopOf(const QString& shop) const
{
    return m_shopIds.value(shop, -1);
}

const PriceIndex::Offer* PriceIndex::offerAt(const Group& group, int shop) const
{
    const auto it = std::lower_bound(group.offers.begin(), group.offers.end(), shop,
        [](const Offer& offer, int wanted) { return offer.shop < wanted; });
    return it != group.offers.end() && it->shop == shop ? &*it : nullptr;
}

PriceIndex::EntryPrices PriceIndex::pricesOf(const Entry& entry, QStringView decimalSep, Memo* memo) const
{
    EntryPrices prices;
    const auto findGroup = [this](const QString& name) { return groupOf(name); };
    const auto findShop = [this](const QString& name) { return shopOf(name); };
    prices.group = memo ? Memo::remembered(memo->groups, entry.subItems[0], findGroup) : groupOf(entry.subItems[0]);
    if (prices.group < 0)
        return prices;
    prices.shop = memo ? Memo::remembered(memo->shops, entry.subItems[1], findShop) : shopOf(entry.subItems[1]);
    prices.quantity = quantityOf(entry.caption, decimalSep);
    prices.current = priceOf(entry.subItems[2], decimalSep);
    // The entry's price text may be older than the catalogue: its shop's price there counts when lower.
    if (const Offer* atShop = prices.shop < 0 ? nullptr : offerAt(m_groups[size_t(prices.group)], prices.shop))
        prices.current = std::min(prices.current.value_or(atShop->price), atShop->price);
    return prices;
}

ShopOffer PriceIndex::offerText(const Offer& offer) const
{
    // Rebuilt after every change of the catalogue; a row that is gone anyway gives no text rather than a crash.
    const bool present = m_products && offer.product < m_products->count();
    return ShopOffer { m_shops[size_t(offer.shop)],
        present ? m_products->entryAt(offer.product).subItems[1] : QString(), offer.price };
}

std::optional<CheaperOffer> PriceIndex::cheaperElsewhere(const Entry& shoppingEntry) const
{
    const EntryPrices prices = pricesOf(shoppingEntry, decimalSeparator());
    if (prices.group < 0 || !prices.current)
        return std::nullopt;
    const Group& group = m_groups[size_t(prices.group)];
    const int pick
        = group.best >= 0 && group.offers[size_t(group.best)].shop == prices.shop ? group.runnerUp : group.best;
    if (pick < 0)
        return std::nullopt;
    const Offer& offer = group.offers[size_t(pick)];
    if (!(offer.price < *prices.current))
        return std::nullopt;
    return CheaperOffer { offerText(offer), (*prices.current - offer.price) * prices.quantity };
}

template<class Take> void PriceIndex::forEachCheaperEntry(const ListModel& shopping, Take take) const
{
    const QString decimalSep = decimalSeparator();
    Memo memo;
    for (int row = 0; row < shopping.count(); ++row) {
        const EntryPrices prices = pricesOf(shopping.entryAt(row), decimalSep, &memo);
        if (prices.group < 0 || !prices.current)
            continue;
        const Group& group = m_groups[size_t(prices.group)];
        const Offer& best = group.offers[size_t(group.best)];
        // A tie keeps the shop: current is never above its own shop's catalogue price.
        if (best.shop == prices.shop || !(best.price < *prices.current))
            continue;
        take(row, best, (*prices.current - best.price) * prices.quantity);
    }
}

Reassignment PriceIndex::cheapestShops(const ListModel& shopping) const
{
    Reassignment result;
    forEachCheaperEntry(shopping, [&result](int row, const Offer& best, double saving) {
        result.saving += saving;
        result.moves.push_back(ShopMove { row, best.product });
    });
    return result;
}

PriceComparisonResult PriceIndex::compare(const ListModel& shopping) const
{
    PriceComparisonResult result;
    const QString decimalSep = decimalSeparator();
    // The quantities of the list summed per product: the shops are then compared product by product.
    std::vector<double> quantityOfGroup(m_groups.size(), 0.0);
    std::vector<int> entriesOfGroup(m_groups.size(), 0);
    QStringList notInCatalogue;
    Memo memo;
    const auto findGroup = [this](const QString& name) { return groupOf(name); };
    for (int row = 0; row < shopping.count(); ++row) {
        const Entry& entry = shopping.entryAt(row);
        const int group = Memo::remembered(memo.groups, entry.subItems[0], findGroup);
        if (group < 0) {
            ++result.mixMissing;
            if (notInCatalogue.size() < kMissingNamesShown
                && std::none_of(notInCatalogue.cbegin(), notInCatalogue.cend(),
                    [&](const QString& name) { return sameProduct(name, entry.subItems[0]); }))
                notInCatalogue.append(entry.subItems[0]);
            continue;
        }
        quantityOfGroup[size_t(group)] += quantityOf(entry.caption, decimalSep);
        ++entriesOfGroup[size_t(group)];
    }

    result.shops.resize(m_shops.size());
    for (size_t s = 0; s < m_shops.size(); ++s) {
        result.shops[s].shop = m_shops[s];
        result.shops[s].missingNames = notInCatalogue;
    }
    std::vector<char> carries(m_shops.size());
    for (size_t g = 0; g < m_groups.size(); ++g) {
        if (entriesOfGroup[g] == 0)
            continue;
        const Group& group = m_groups[g];
        const double atBest = quantityOfGroup[g] * group.offers[size_t(group.best)].price;
        result.cheapestMixTotal += atBest;
        std::fill(carries.begin(), carries.end(), 0);
        for (const Offer& offer : group.offers) {
            ShopTotal& shop = result.shops[size_t(offer.shop)];
            shop.carried += entriesOfGroup[g];
            shop.total += quantityOfGroup[g] * offer.price;
            // The mix over the same entries as the shop, so that the saving compares like with like.
            shop.saving += quantityOfGroup[g] * offer.price - atBest;
            carries[size_t(offer.shop)] = 1;
        }
        for (size_t s = 0; s < m_shops.size(); ++s) {
            if (!carries[s] && result.shops[s].missingNames.size() < kMissingNamesShown)
                result.shops[s].missingNames.append(group.name);
        }
    }
    const int entries = shopping.count();
    for (ShopTotal& shop : result.shops)
        shop.missing = entries - shop.carried;

    // The reference: no missing entries if any shop has none, else the fewest; of those the cheapest.
    for (size_t s = 0; s < result.shops.size(); ++s) {
        const ShopTotal& shop = result.shops[s];
        const ShopTotal* ref = result.referenceShop < 0 ? nullptr : &result.shops[size_t(result.referenceShop)];
        if (shop.carried > 0
            && (!ref || shop.missing < ref->missing || (shop.missing == ref->missing && shop.total < ref->total)))
            result.referenceShop = int(s);
    }
    if (result.referenceShop >= 0)
        result.saving = result.shops[size_t(result.referenceShop)].saving;
    // The same figure as "Günstigste Läden wählen" reports.
    forEachCheaperEntry(shopping, [&result](int, const Offer&, double saving) { result.listSaving += saving; });
    return result;
}

} // namespace korbana
