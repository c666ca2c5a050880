#include "ShoppingPrintout.h"

#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "print/PrintCanvas.h"

#include <QHash>

#include <cmath>
#include <vector>

namespace korbana {

namespace {

const QString kDocumentName = QStringLiteral("Einkaufsliste");
const QString kTickBox = QStringLiteral("\u2610");

// A length in millimetres as printer dots before truncation.
double millimetresToDots(int millimetres, int dpi)
{
    return static_cast<double>(millimetres) * dpi / ShoppingPrintout::kMillimetresPerInch;
}

// The far edge of the printable extent less a margin; the subtraction comes before the truncation.
int edgeLessMargin(int extent, int millimetres, int dpi)
{
    return static_cast<int>(std::trunc(extent - millimetresToDots(millimetres, dpi)));
}

// Rows whose strings are fetched before they are printed: the canvas keeps each text it is given.
constexpr size_t kFetchAhead = 8;

// A string by where its characters are and how many there are, packed in one word; 0 when that does not fit.
// While the list cannot change, equal keys mean equal texts.
quint64 stringKey(const QString& text)
{
    // Characters are two-byte aligned, so the low bit is free: set, it keeps a null string's key from being 0.
    const auto address = static_cast<quint64>(reinterpret_cast<quintptr>(text.constData())) | 1;
    const auto size = static_cast<quint64>(text.size());
    return (address >> 48) == 0 && size < (quint64(1) << 16) ? address | size << 48 : 0;
}

// Spreads the keys' aligned addresses over the high bits, which the caller keeps.
quint64 mixKeys(quint64 first, quint64 second)
{
    return (first * 0x9E3779B97F4A7C15ULL) ^ (second * 0xC2B2AE3D27D4EB4FULL);
}

} // namespace

// Indices by texts, or by pairs of texts, told apart by their strings. Rows of a long list share their quantity
// and price strings (a loaded file shares texts that repeat), so most rows find theirs read, formatted and measured
// already. The table is open addressing over the string keys: a lookup for every row has to cost far less than
// reading the row's texts.
class ShoppingPrintout::TextTable
{
public:
    TextTable()
        : m_slots(size_t(1) << kFirstBits)
    {
    }

    // The index of the text; make() gives the index of a text not seen before.
    template<class Make> quint32 indexOf(const QString& text, Make make)
    {
        return indexOfKeys(stringKey(text), 1, make);
    }
    template<class Make> quint32 indexOf(const QString& first, const QString& second, Make make)
    {
        const quint64 secondKey = stringKey(second);
        return indexOfKeys(secondKey == 0 ? 0 : stringKey(first), secondKey, make);
    }

private:
    // Past this many different texts they hardly repeat; the rest are read row by row.
    static constexpr size_t kMostRemembered = size_t(1) << 16;
    static constexpr int kFirstBits = 10; // the table is kept at most half full: most lookups end at their first slot

    struct Slot
    {
        quint64 first; // 0 in a free slot
        quint64 second;
        quint32 index;
    };

    template<class Make> quint32 indexOfKeys(quint64 first, quint64 second, Make make)
    {
        if (first == 0)
            return make();
        Slot* slot = find(first, second);
        if (slot->first != 0)
            return slot->index;
        const quint32 index = make();
        if (m_used < kMostRemembered) {
            *slot = { first, second, index };
            if (++m_used * 2 > m_slots.size())
                grow();
        }
        return index;
    }

    // The slot holding the keys, or the free slot where they belong.
    Slot* find(quint64 first, quint64 second)
    {
        const size_t mask = m_slots.size() - 1;
        for (size_t at = static_cast<size_t>(mixKeys(first, second) >> (64 - m_bits));; at = (at + 1) & mask) {
            Slot& slot = m_slots[at];
            if (slot.first == 0 || (slot.first == first && slot.second == second))
                return &slot;
        }
    }

    void grow()
    {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        ++m_bits;
        for (const Slot& slot : old) {
            if (slot.first != 0)
                *find(slot.first, slot.second) = slot;
        }
    }

    std::vector<Slot> m_slots;
    int m_bits = kFirstBits;
    size_t m_used = 0;
};

// The texts a column was already widened to, by their strings: rows share the strings of names and shops that
// repeat, and the same text measured again cannot widen its column. Each slot remembers the text that came last;
// a text that lost its slot to another is just measured once more.
class ShoppingPrintout::MeasuredTexts
{
public:
    MeasuredTexts()
        : m_slots(size_t(1) << kBits)
    {
    }

    // Whether the text was seen before; it counts as seen from now on.
    bool seenBefore(const QString& text)
    {
        const quint64 key = stringKey(text);
        if (key == 0)
            return false;
        quint64& slot = m_slots[static_cast<size_t>(mixKeys(key, 0) >> (64 - kBits))];
        if (slot == key)
            return true;
        slot = key;
        return false;
    }

private:
    static constexpr int kBits = 12;

    std::vector<quint64> m_slots;
};

ShoppingPrintout::ShoppingPrintout(PrintCanvas& canvas, const ListModel& shopping, const PrintMargins& margins,
    const PrintFont& font, const PrintOptions& options)
    : m_canvas(canvas)
    , m_shopping(shopping)
    , m_margins(margins)
    , m_font(font)
    , m_options(options)
{
}

RowAmounts ShoppingPrintout::readRowAmounts(
    const QString& quantityText, const QString& priceText, const QString& decimalSep)
{
    RowAmounts amounts = readAmounts(quantityText, priceText, decimalSep);
    amounts.lineTotalText = lineTotalText(amounts, decimalSep);
    return amounts;
}

QString ShoppingPrintout::lineTotalText(const RowAmounts& amounts, const QString& decimalSep)
{
    QString text = korbana::amountText(amounts.lineTotal, decimalSep);
    text += amounts.currencySuffix;
    return text;
}

QString ShoppingPrintout::totalLine(double grandTotal, const QString& currencySuffix, const QString& decimalSep)
{
    return QStringLiteral("Gesamtpreis in EUR: ") + korbana::totalText(grandTotal, decimalSep, currencySuffix);
}

RowAmounts ShoppingPrintout::readAmounts(
    const QString& quantityText, const QString& priceText, const QString& decimalSep)
{
    RowAmounts amounts;
    amounts.quantity = readQuantityText(quantityText, decimalSep);
    readPriceText(priceText, decimalSep, amounts);
    amounts.lineTotal = amounts.unitPrice * amounts.quantity;
    return amounts;
}

double ShoppingPrintout::readQuantityText(const QString& quantityText, const QString& decimalSep)
{
    return korbana::quantityOf(quantityText, decimalSep);
}

void ShoppingPrintout::readPriceText(const QString& priceText, const QString& decimalSep, RowAmounts& amounts)
{
    // A price text without any blank is all amount and carries no currency word.
    const korbana::PriceParts parts = korbana::splitPriceText(priceText);
    if (!parts.currency.isEmpty()) {
        amounts.currencySuffix.reserve(parts.currency.size() + 1);
        amounts.currencySuffix += u' ';
        amounts.currencySuffix += parts.currency;
    }

    if (const auto unitPrice = korbana::readNumber(parts.amount, decimalSep)) {
        amounts.unitPrice = *unitPrice;
    } else {
        amounts.unitPrice = 0;
        amounts.currencySuffix = QStringLiteral(" EUR");
    }
}

void ShoppingPrintout::startLayout()
{
    const int dpiX = m_canvas.dpiX();
    const int dpiY = m_canvas.dpiY();
    m_left = static_cast<int>(std::trunc(millimetresToDots(m_margins.left, dpiX)));
    m_top = static_cast<int>(std::trunc(millimetresToDots(m_margins.top, dpiY)));
    m_bottom = edgeLessMargin(m_canvas.printableHeight(), m_margins.bottom, dpiY);
    // The right edge limits nothing: a long line runs on past it, as it always has.
    m_rightEdge = edgeLessMargin(m_canvas.printableWidth(), m_margins.right, dpiX);
    m_gap = static_cast<int>(std::trunc(millimetresToDots(5, dpiX)));
    m_tickBoxIndent = 0;
    m_y = m_top;
    m_columnWidth.fill(0);
    m_columnX.fill(0);
    m_grandTotal = 0;
    m_currencySuffix.clear();
}

void ShoppingPrintout::run()
{
    // Read once: the locale does not change in the middle of a run.
    m_decimalSep = korbana::decimalSeparator();

    m_canvas.beginJob(kDocumentName);
    startLayout();

    m_canvas.setFont(m_font, true);
    printLine(kDocumentName);
    printLine(QStringLiteral(" "));
    m_canvas.setFont(m_font, false);

    // The printing pass uses the texts and amounts as measured, so each row is read only once.
    readRows();

    // The boxes stand in a narrow column of their own left of the quantities.
    if (m_options.tickBoxes)
        m_tickBoxIndent = m_canvas.measure(kTickBox).width() + m_gap / 2;
    m_columnX[0] = m_left + m_tickBoxIndent;
    for (size_t k = 1; k < kColumns; ++k)
        m_columnX[k] = m_columnX[k - 1] + m_columnWidth[k - 1] + m_gap;

    // The grand total adds up in list order, also when the rows are printed grouped, and carries the currency
    // word of the last row.
    if (m_shopping.count() > 0)
        m_currencySuffix = pairOfRow(m_shopping.count() - 1).amounts.currencySuffix;
    if (m_options.groupByShop)
        printGroups();
    else
        printRows();

    printLine(QStringLiteral(" "));
    printLine(totalLine(m_grandTotal, m_currencySuffix, m_decimalSep));
    m_canvas.endJob();
}

void ShoppingPrintout::readRows()
{
    // Few quantity texts recur (1, 2, 500 g ...): the pairs of a price with the first of them are found by index.
    constexpr size_t kQuantitiesByPrice = 8;
    constexpr quint32 kNoPair = ~quint32(0);
    // A quantity text read and measured.
    struct Quantity
    {
        double value;
        int height;
    };
    // A price text read: the unit price, the currency suffix, and the pairs it makes with the first quantities.
    struct Price
    {
        double unitPrice;
        QString currencySuffix;
        std::array<quint32, kQuantitiesByPrice> pairWithQuantity;
    };
    std::vector<Quantity> quantities;
    std::vector<Price> prices;
    const auto readQuantity = [&](const QString& text) {
        const QSize size = m_canvas.measure(text);
        m_columnWidth[0] = std::max(m_columnWidth[0], size.width());
        // An empty quantity still takes a full line, so the row's other columns are not overprinted.
        const int height = text.isEmpty() ? m_canvas.measure(QStringLiteral(" ")).height() : size.height();
        quantities.push_back({ readQuantityText(text, m_decimalSep), height });
        return static_cast<quint32>(quantities.size() - 1);
    };
    const auto readPrice = [&](const QString& text) {
        widenColumn(3, text);
        RowAmounts amounts;
        readPriceText(text, m_decimalSep, amounts);
        Price& price = prices.emplace_back();
        price.unitPrice = amounts.unitPrice;
        price.currencySuffix = amounts.currencySuffix;
        price.pairWithQuantity.fill(kNoPair);
        return static_cast<quint32>(prices.size() - 1);
    };
    const auto makePair = [&](const Quantity& quantity, const Price& price) {
        PricedQuantity& pair = m_pairs.emplace_back();
        pair.amounts.quantity = quantity.value;
        pair.amounts.unitPrice = price.unitPrice;
        pair.amounts.currencySuffix = price.currencySuffix;
        pair.amounts.lineTotal = price.unitPrice * quantity.value;
        pair.amounts.lineTotalText = lineTotalText(pair.amounts, m_decimalSep);
        pair.height = quantity.height;
        widenColumn(4, pair.amounts.lineTotalText);
        return static_cast<quint32>(m_pairs.size() - 1);
    };

    TextTable quantityIndex;
    TextTable priceIndex;
    TextTable pairIndex; // for quantities past the first few
    MeasuredTexts names;
    MeasuredTexts shops;
    const int count = m_shopping.count();
    m_pairs.clear();
    m_pairOfRow.resize(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        const Entry& entry = m_shopping.entryAt(row);
        const QString& quantityText = entry.caption;
        const QString& priceText = entry.subItems[2];
        const quint32 quantityAt = quantityIndex.indexOf(quantityText, [&] { return readQuantity(quantityText); });
        const quint32 priceAt = priceIndex.indexOf(priceText, [&] { return readPrice(priceText); });
        quint32 pairAt = kNoPair;
        if (quantityAt < kQuantitiesByPrice) {
            pairAt = prices[priceAt].pairWithQuantity[quantityAt];
            if (pairAt == kNoPair) {
                pairAt = makePair(quantities[quantityAt], prices[priceAt]);
                prices[priceAt].pairWithQuantity[quantityAt] = pairAt;
            }
        } else {
            pairAt = pairIndex.indexOf(
                quantityText, priceText, [&] { return makePair(quantities[quantityAt], prices[priceAt]); });
        }
        m_pairOfRow[static_cast<size_t>(row)] = pairAt;
        if (!names.seenBefore(entry.subItems[0]))
            widenColumn(1, entry.subItems[0]);
        if (!shops.seenBefore(entry.subItems[1]))
            widenColumn(2, entry.subItems[1]);
    }
}

inline void ShoppingPrintout::printRow(const Entry& entry, const PricedQuantity& pair)
{
    breakPageFor(pair.height);
    if (m_options.tickBoxes)
        m_canvas.drawText(m_left, m_y, kTickBox);
    // Quantity, name, shop, price, then the line total.
    m_canvas.drawText(m_columnX[0], m_y, entry.caption);
    m_canvas.drawText(m_columnX[1], m_y, entry.subItems[0]);
    m_canvas.drawText(m_columnX[2], m_y, entry.subItems[1]);
    m_canvas.drawText(m_columnX[3], m_y, entry.subItems[2]);
    m_canvas.drawText(m_columnX[4], m_y, pair.amounts.lineTotalText);
    m_y += pair.height;
}

void ShoppingPrintout::printRows()
{
    // In list order the rows follow one another in memory: the processor fetches them ahead unasked.
    const int count = m_shopping.count();
    double grandTotal = 0;
    for (int row = 0; row < count; ++row) {
        const PricedQuantity& pair = pairOfRow(row);
        grandTotal += pair.amounts.lineTotal;
        printRow(m_shopping.entryAt(row), pair);
    }
    m_grandTotal = grandTotal;
}

void ShoppingPrintout::printGroups()
{
    // Shops in the order of their first entry; entries keep their order within a shop.
    QHash<QString, size_t> groupOfShop;
    std::vector<std::vector<int>> groups;
    double grandTotal = 0;
    for (int row = 0; row < m_shopping.count(); ++row) {
        grandTotal += pairOfRow(row).amounts.lineTotal;
        const QString& shop = m_shopping.entryAt(row).subItems[1];
        auto found = groupOfShop.constFind(shop);
        if (found == groupOfShop.cend()) {
            found = groupOfShop.insert(shop, groups.size());
            groups.emplace_back();
        }
        groups[*found].push_back(row);
    }
    m_grandTotal = grandTotal;

    for (size_t g = 0; g < groups.size(); ++g) {
        const std::vector<int>& members = groups[g];
        if (g > 0)
            printLine(QStringLiteral(" "));
        const QString& shop = m_shopping.entryAt(members.front()).subItems[1];
        m_canvas.setFont(m_font, true);
        // A shop without a name still gets its heading line, so its subtotal reads as a group of its own.
        const QString heading = shop.isEmpty() ? QStringLiteral(" ") : shop;
        // A heading never stays alone at the foot of a page: it moves on with its first entry.
        breakPageFor(m_canvas.measure(heading).height() + pairOfRow(members.front()).height);
        printLine(heading);
        m_canvas.setFont(m_font, false);

        double subtotal = 0;
        for (size_t i = 0; i < members.size(); ++i) {
            if (i + kFetchAhead < members.size())
                m_shopping.prefetchTexts(members[i + kFetchAhead]);
            const PricedQuantity& pair = pairOfRow(members[i]);
            subtotal += pair.amounts.lineTotal;
            printRow(m_shopping.entryAt(members[i]), pair);
        }
        const QString& suffix = pairOfRow(members.back()).amounts.currencySuffix;
        printLine(QStringLiteral("Zwischensumme: ") + korbana::totalText(subtotal, m_decimalSep, suffix));
    }
}

void ShoppingPrintout::breakPageFor(int h)
{
    if (m_y + h > m_bottom && m_y > m_top) {
        m_canvas.newPage();
        m_y = m_top;
    }
}

void ShoppingPrintout::printLine(const QString& text)
{
    const int h = m_canvas.measure(text).height();
    breakPageFor(h);
    m_canvas.drawText(m_left, m_y, text);
    m_y += h;
}

void ShoppingPrintout::widenColumn(size_t column, const QString& text)
{
    m_columnWidth[column] = std::max(m_columnWidth[column], m_canvas.measure(text).width());
}

} // namespace korbana
