#pragma once

// Large, realistic German lists for benchmarks and fault tests: a few hundred shops, product names and
// price texts that repeat as they do in real catalogues, shopping entries copied from the products.

#include "document/ListFile.h"
#include "lists/ListModel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

using namespace korbana;

namespace sample {

// The three lists with their real columns, owned together.
struct Lists
{
    std::unique_ptr<ListModel> stores = std::make_unique<ListModel>(QStringList { QStringLiteral("Name") });
    std::unique_ptr<ListModel> products = std::make_unique<ListModel>(
        QStringList { QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") });
    std::unique_ptr<ListModel> shopping = std::make_unique<ListModel>(QStringList {
        QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") });

    korbana::ListSet set() const { return { stores.get(), products.get(), shopping.get() }; }
    int total() const { return stores->count() + products->count() + shopping->count(); }
};

struct Counts
{
    int stores = 0;
    int products = 0;
    int shopping = 0;
};

// How a total of entries is shared out: a few hundred shops at most, the rest half products, half shopping.
inline Counts countsFor(int entries)
{
    Counts c;
    c.stores = std::clamp(entries / 50, std::min(entries, 10), 400);
    c.products = (entries - c.stores) / 2;
    c.shopping = entries - c.stores - c.products;
    return c;
}

namespace detail {

inline QStringList words(std::initializer_list<const char16_t*> list)
{
    QStringList out;
    for (const char16_t* w : list)
        out.append(QString::fromUtf16(w));
    return out;
}

template<class Rng> const QString& pick(const QStringList& from, Rng& rng)
{
    return from[static_cast<qsizetype>(rng() % static_cast<unsigned>(from.size()))];
}

inline QStringList shopKinds()
{
    return words({ u"Bäckerei", u"Metzgerei", u"Getränkemarkt", u"Drogerie", u"Biomarkt", u"Supermarkt", u"Hofladen",
        u"Apotheke", u"Kiosk", u"Fischhandel", u"Käserei", u"Weinhandlung", u"Wochenmarkt", u"Reformhaus",
        u"Feinkost" });
}

template<class Rng> QStringList shopNames(int count, Rng& rng)
{
    const QStringList kinds = shopKinds();
    const QStringList names = words({ u"Müller", u"Schäfer", u"Köhler", u"Weiß", u"Groß", u"Jäger", u"Schröder",
        u"Krüger", u"Hoffmann", u"Wagner", u"Becker", u"Schulz", u"Fuchs", u"Günther", u"Meißner", u"Bäumer", u"Lößner",
        u"Übel", u"Ölschläger", u"Wolff" });
    const QStringList places
        = words({ u"", u" Altstadt", u" Südstadt", u" am Markt", u" Nord", u" Bahnhof", u" Lindenstraße", u" Ost" });
    QStringList out;
    for (int i = 0; i < count; ++i)
        out.append(pick(kinds, rng) + u' ' + pick(names, rng) + pick(places, rng));
    return out;
}

template<class Rng> QStringList productNames(Rng& rng)
{
    const QStringList goods = words({ u"Vollkornbrot", u"Brötchen", u"Äpfel Elstar", u"Birnen", u"Vollmilch 3,5 %",
        u"Butter", u"Gouda jung", u"Joghurt natur", u"Röstkaffee", u"Früchtetee", u"Weizenmehl Type 405", u"Zucker",
        u"Eier Freiland", u"Spätzle", u"Basmatireis", u"Kartoffeln festkochend", u"Möhren", u"Zwiebeln", u"Knoblauch",
        u"Tomaten", u"Gurken", u"Kopfsalat", u"Bananen", u"Orangen", u"Zitronen", u"Weintrauben",
        u"Mineralwasser still", u"Apfelschorle", u"Pils", u"Rotwein trocken", u"Schokolade Zartbitter", u"Gummibärchen",
        u"Müsli", u"Haferflocken", u"Magerquark", u"Schlagsahne", u"Kochschinken", u"Wiener Würstchen",
        u"Hähnchenbrust", u"Räucherlachs", u"Spülmittel", u"Zahnpasta", u"Shampoo", u"Toilettenpapier", u"Waschmittel",
        u"Küchenrolle", u"Brezeln", u"Frischkäse", u"Leberwurst", u"Sauerkraut" });
    const QStringList kinds = words({ u"", u"Bio ", u"Regionale ", u"Große " });
    const QStringList packs
        = words({ u"", u", 250 g", u", 500 g", u", 1 kg", u", 1 l", u", 6 × 1,5 l", u", 10 Stück" });
    QStringList out;
    for (const QString& kind : kinds)
        for (const QString& good : goods)
            for (const QString& pack : packs)
                out.append(kind + good + pack);
    std::shuffle(out.begin(), out.end(), rng);
    return out;
}

template<class Rng> QStringList priceTexts(Rng& rng)
{
    QStringList out;
    for (int euros = 0; euros < 50; ++euros)
        for (const char16_t* cents : { u"19", u"29", u"49", u"79", u"95", u"99" })
            out.append(QString::number(euros) + u',' + QString::fromUtf16(cents) + QStringLiteral(" EUR"));
    std::shuffle(out.begin(), out.end(), rng);
    return out;
}

inline Entry entry(const QString& caption, std::initializer_list<QString> subItems = {})
{
    Entry e;
    e.caption = caption;
    std::copy(subItems.begin(), subItems.end(), e.subItems.begin());
    return e;
}

} // namespace detail

// Appends to the lists; the same seed gives the same entries.
inline void fill(const korbana::ListSet& lists, Counts counts, unsigned seed = 1)
{
    std::mt19937 rng(seed);
    const QStringList shops = detail::shopNames(counts.stores, rng);
    const QStringList goods = detail::productNames(rng);
    const QStringList prices = detail::priceTexts(rng);
    const QStringList amounts = detail::words({ u"1", u"1", u"1", u"2", u"3", u"6", u"0,5", u"1,5", u"2 Stück", u"" });
    const QString someShop = QStringLiteral("Supermarkt Müller");

    std::vector<Entry> stores;
    stores.reserve(static_cast<size_t>(counts.stores));
    for (const QString& shop : shops)
        stores.push_back(detail::entry(shop));

    std::vector<Entry> products;
    products.reserve(static_cast<size_t>(counts.products));
    for (int i = 0; i < counts.products; ++i) {
        const QString& shop = shops.isEmpty() ? someShop : detail::pick(shops, rng);
        products.push_back(detail::entry(detail::pick(goods, rng), { shop, detail::pick(prices, rng) }));
    }

    std::vector<Entry> shopping;
    shopping.reserve(static_cast<size_t>(counts.shopping));
    for (int i = 0; i < counts.shopping; ++i) {
        const Entry& p = products.empty() ? detail::entry(detail::pick(goods, rng), { someShop, prices[0] })
                                          : products[rng() % products.size()];
        shopping.push_back(detail::entry(detail::pick(amounts, rng), { p.caption, p.subItems[0], p.subItems[1] }));
    }

    lists.stores->appendAll(std::move(stores));
    lists.products->appendAll(std::move(products));
    lists.shopping->appendAll(std::move(shopping));
}

// Appends lists whose texts differ from row to row, the worst case for texts shared between rows: every product
// has a name and a price of its own ("Produkt 17 Bäckerei", "0,17 EUR") at one of the shops ("Bäckerei 3"), and
// the shopping list holds each product once, in another order. The same seed gives the same entries.
inline void fillDistinct(const korbana::ListSet& lists, Counts counts, unsigned seed = 1)
{
    std::mt19937 rng(seed);
    const QStringList kinds = detail::shopKinds();
    QStringList shops;
    for (int i = 0; i < std::max(counts.stores, 1); ++i)
        shops.append(detail::pick(kinds, rng) + u' ' + QString::number(i + 1));
    const QStringList amounts = detail::words({ u"1", u"1", u"2", u"3", u"0,5", u"2 Stück", u"" });

    std::vector<Entry> stores;
    stores.reserve(static_cast<size_t>(counts.stores));
    for (int i = 0; i < counts.stores; ++i)
        stores.push_back(detail::entry(shops[i]));

    std::vector<Entry> products;
    products.reserve(static_cast<size_t>(counts.products));
    for (int i = 0; i < counts.products; ++i) {
        const QString& shop = detail::pick(shops, rng);
        const QString name = QStringLiteral("Produkt %1 %2").arg(i).arg(shop.section(u' ', 0, 0));
        const QString price = QStringLiteral("%1,%2 EUR").arg(i / 100).arg(i % 100, 2, 10, QLatin1Char('0'));
        products.push_back(detail::entry(name, { shop, price }));
    }

    std::vector<int> order(products.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::shuffle(order.begin(), order.end(), rng);
    std::vector<Entry> shopping;
    shopping.reserve(static_cast<size_t>(counts.shopping));
    for (int i = 0; i < counts.shopping && !products.empty(); ++i) {
        // Texts made anew, as a file's reader makes them: nothing is shared with the catalogue's strings.
        const Entry& p = products[static_cast<size_t>(order[static_cast<size_t>(i) % order.size()])];
        shopping.push_back(detail::entry(detail::pick(amounts, rng),
            { QString(p.caption.constData(), p.caption.size()), p.subItems[0],
                QString(p.subItems[1].constData(), p.subItems[1].size()) }));
    }

    lists.stores->appendAll(std::move(stores));
    lists.products->appendAll(std::move(products));
    lists.shopping->appendAll(std::move(shopping));
}

// The list file of the lists, made without the program's writer: counts, then each field, CR LF after every
// line, one byte per character (the sample texts are all within Latin-1, where Windows-1252 agrees).
inline QByteArray fileBytes(const korbana::ListSet& lists)
{
    QByteArray out;
    const auto line = [&out](const QString& text) {
        const qsizetype at = out.size();
        out.resize(at + text.size() + 2);
        char* p = out.data() + at;
        for (const QChar c : text)
            *p++ = static_cast<char>(c.unicode());
        p[0] = '\r';
        p[1] = '\n';
    };
    out.reserve(static_cast<qsizetype>(lists.stores->count() + lists.products->count() + lists.shopping->count()) * 48);
    for (const ListModel* list : { lists.stores, lists.products, lists.shopping }) {
        line(QString::number(list->count()));
        for (int row = 0; row < list->count(); ++row) {
            const Entry& e = list->entryAt(row);
            line(e.caption);
            for (int sub = 0; sub < list->subItemCount(); ++sub)
                line(e.subItems[static_cast<size_t>(sub)]);
        }
    }
    return out;
}

} // namespace sample
