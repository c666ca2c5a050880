#include "ShoppingPrintout.h"

#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "print/PrintCanvas.h"

#include <QHash>

#include <cmath>
#include <deque>
#include <vector>

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

// Rows whose strings and amounts are fetched before they are printed: the canvas keeps each text it is given.
constexpr size_t kFetchAhead = 8;

// A hint to the processor to start loading the memory; no effect on the result.
void prefetch(const void* address)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    Q_UNUSED(address);
#endif
}

} // namespace

// The amounts of the rows by the strings they are read from. Rows of a long list share their quantity and price
// strings (a loaded file shares texts that repeat), so most rows find their amounts read and formatted already.
// The list cannot change during a run, so its strings stay where they are. The table is open addressing over the
// strings' addresses: a lookup for every row has to cost far less than reading the row's texts.
class ShoppingPrintout::AmountsCache
{
public:
    explicit AmountsCache(const QString& decimalSep)
        : m_decimalSep(decimalSep)
        , m_slots(kFirstSlots)
    {
    }

    PricedQuantity& pairOf(const QString& quantityText, const QString& priceText)
    {
        const Slot key { quantityText.constData(), priceText.constData(), quantityText.size(), priceText.size(), {} };
        Slot* slot = find(key);
        if (slot->pair.amounts)
            return slot->pair;
        const RowAmounts& made = m_amounts.emplace_back(readRowAmounts(quantityText, priceText, m_decimalSep));
        if (m_used >= kMostRemembered) {
            m_unremembered = { &made, -1 };
            return m_unremembered;
        }
        *slot = key;
        slot->pair.amounts = &made;
        if (++m_used * 4 > m_slots.size() * 3) {
            grow();
            slot = find(key);
        }
        return slot->pair;
    }

private:
    // Past this many different pairs the texts hardly repeat; the rest are read row by row.
    static constexpr size_t kMostRemembered = size_t(1) << 16;
    static constexpr size_t kFirstSlots = 1024; // a power of two, kept at most three quarters full

    struct Slot
    {
        const QChar* quantity;
        const QChar* price;
        qsizetype quantitySize;
        qsizetype priceSize;
        PricedQuantity pair; // no amounts in a free slot

        bool sameTexts(const Slot& other) const
        {
            return quantity == other.quantity && price == other.price && quantitySize == other.quantitySize
                && priceSize == other.priceSize;
        }
    };

    // Where the search for the pair starts.
    size_t firstSlot(const QChar* quantity, const QChar* price) const
    {
        const auto address = [](const QChar* text) { return static_cast<quint64>(reinterpret_cast<quintptr>(text)); };
        // Multiplying spreads the aligned addresses over the high bits, which the shift keeps.
        const quint64 mixed = address(quantity) * 0x9E3779B97F4A7C15ULL ^ address(price) * 0xC2B2AE3D27D4EB4FULL;
        return static_cast<size_t>(mixed >> 32) & (m_slots.size() - 1);
    }

    // The slot holding the key's texts, or the free slot where they belong.
    Slot* find(const Slot& key)
    {
        const size_t mask = m_slots.size() - 1;
        for (size_t at = firstSlot(key.quantity, key.price);; at = (at + 1) & mask) {
            Slot& slot = m_slots[at];
            if (!slot.pair.amounts || slot.sameTexts(key))
                return &slot;
        }
    }

    void grow()
    {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        for (const Slot& slot : old) {
            if (slot.pair.amounts)
                *find(slot) = slot;
        }
    }

    QString m_decimalSep;
    std::vector<Slot> m_slots;
    size_t m_used = 0;
    std::deque<RowAmounts> m_amounts; // stays in place as it grows
    PricedQuantity m_unremembered;
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
    amounts.lineTotalText = korbana::amountText(amounts.lineTotal, decimalSep);
    amounts.lineTotalText += amounts.currencySuffix;
    return amounts;
}

QString ShoppingPrintout::totalLine(double grandTotal, const QString& currencySuffix, const QString& decimalSep)
{
    return QStringLiteral("Gesamtpreis in EUR: ") + korbana::amountText(grandTotal, decimalSep) + currencySuffix;
}

RowAmounts ShoppingPrintout::readAmounts(
    const QString& quantityText, const QString& priceText, const QString& decimalSep)
{
    RowAmounts amounts;
    amounts.quantity = korbana::readNumber(quantityText, decimalSep).value_or(1.0);

    const qsizetype lastBlank = priceText.lastIndexOf(u' ');
    QStringView amountText = priceText;
    if (lastBlank >= 0) {
        const QStringView currencyWord = QStringView(priceText).mid(lastBlank + 1);
        if (!currencyWord.isEmpty()) {
            amountText = QStringView(priceText).left(lastBlank);
            amounts.currencySuffix.reserve(currencyWord.size() + 1);
            amounts.currencySuffix += u' ';
            amounts.currencySuffix += currencyWord;
        }
    }
    // A price text without any blank is all amount and carries no currency word.

    if (const auto unitPrice = korbana::readNumber(amountText, decimalSep)) {
        amounts.unitPrice = *unitPrice;
    } else {
        amounts.unitPrice = 0;
        amounts.currencySuffix = QStringLiteral(" EUR");
    }
    amounts.lineTotal = amounts.unitPrice * amounts.quantity;
    return amounts;
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
    AmountsCache cache(m_decimalSep);
    std::vector<Row> rows;
    rows.reserve(static_cast<size_t>(m_shopping.count()));
    for (int row = 0; row < m_shopping.count(); ++row)
        rows.push_back(readRow(row, cache));

    // The boxes stand in a narrow column of their own left of the quantities.
    if (m_options.tickBoxes)
        m_tickBoxIndent = m_canvas.measure(kTickBox).width() + m_gap / 2;
    m_columnX[0] = m_left + m_tickBoxIndent;
    for (size_t k = 1; k < kColumns; ++k)
        m_columnX[k] = m_columnX[k - 1] + m_columnWidth[k - 1] + m_gap;

    // The grand total adds up in list order, also when the rows are printed grouped, and carries the currency
    // word of the last row.
    if (!rows.empty())
        m_currencySuffix = rows.back().amounts->currencySuffix;
    if (m_options.groupByShop) {
        for (const Row& row : rows)
            m_grandTotal += row.amounts->lineTotal;
        printGroups(rows);
    } else {
        for (size_t i = 0; i < rows.size(); ++i) {
            if (i + kFetchAhead < rows.size()) {
                m_shopping.prefetchTexts(static_cast<int>(i + kFetchAhead));
                prefetch(rows[i + kFetchAhead].amounts);
            }
            m_grandTotal += rows[i].amounts->lineTotal;
            printRow(rows[i]);
        }
    }

    printLine(QStringLiteral(" "));
    printLine(totalLine(m_grandTotal, m_currencySuffix, m_decimalSep));
    m_canvas.endJob();
}

void ShoppingPrintout::printGroups(const std::vector<Row>& rows)
{
    // Shops in the order of their first entry; entries keep their order within a shop.
    QHash<QString, size_t> groupOfShop;
    std::vector<std::vector<size_t>> groups;
    for (size_t row = 0; row < rows.size(); ++row) {
        const QString& shop = rows[row].entry->subItems[1];
        auto found = groupOfShop.constFind(shop);
        if (found == groupOfShop.cend()) {
            found = groupOfShop.insert(shop, groups.size());
            groups.emplace_back();
        }
        groups[*found].push_back(row);
    }

    for (size_t g = 0; g < groups.size(); ++g) {
        const std::vector<size_t>& members = groups[g];
        if (g > 0)
            printLine(QStringLiteral(" "));
        const Row& first = rows[members.front()];
        const QString& shop = first.entry->subItems[1];
        m_canvas.setFont(m_font, true);
        // A shop without a name still gets its heading line, so its subtotal reads as a group of its own.
        const QString heading = shop.isEmpty() ? QStringLiteral(" ") : shop;
        // A heading never stays alone at the foot of a page: it moves on with its first entry.
        breakPageFor(m_canvas.measure(heading).height() + first.height);
        printLine(heading);
        m_canvas.setFont(m_font, false);

        double subtotal = 0;
        for (size_t i = 0; i < members.size(); ++i) {
            if (i + kFetchAhead < members.size())
                m_shopping.prefetchTexts(static_cast<int>(members[i + kFetchAhead]));
            const Row& row = rows[members[i]];
            subtotal += row.amounts->lineTotal;
            printRow(row);
        }
        const QString& suffix = rows[members.back()].amounts->currencySuffix;
        printLine(QStringLiteral("Zwischensumme: ") + korbana::amountText(subtotal, m_decimalSep) + suffix);
    }
}

inline ShoppingPrintout::RowTexts ShoppingPrintout::textsOf(const Row& row)
{
    const Entry& entry = *row.entry;
    // Quantity, name, shop, price, then the line total.
    return { &entry.caption, &entry.subItems[0], &entry.subItems[1], &entry.subItems[2], &row.amounts->lineTotalText };
}

ShoppingPrintout::Row ShoppingPrintout::readRow(int row, AmountsCache& cache)
{
    const Entry& entry = m_shopping.entryAt(row);
    PricedQuantity& pair = cache.pairOf(entry.caption, entry.subItems[2]);
    if (pair.height < 0)
        measurePair(entry.caption, entry.subItems[2], pair);
    widenColumn(1, entry.subItems[0]);
    widenColumn(2, entry.subItems[1]);
    return { &entry, pair.amounts, pair.height };
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

void ShoppingPrintout::printRow(const Row& row)
{
    const RowTexts texts = textsOf(row);
    breakPageFor(row.height);
    if (m_options.tickBoxes)
        m_canvas.drawText(m_left, m_y, kTickBox);
    for (size_t k = 0; k < kColumns; ++k)
        m_canvas.drawText(m_columnX[k], m_y, *texts[k]);
    m_y += row.height;
}

void ShoppingPrintout::widenColumn(size_t column, const QString& text)
{
    m_columnWidth[column] = std::max(m_columnWidth[column], m_canvas.measure(text).width());
}

void ShoppingPrintout::measurePair(const QString& quantityText, const QString& priceText, PricedQuantity& pair)
{
    const QSize quantity = m_canvas.measure(quantityText);
    m_columnWidth[0] = std::max(m_columnWidth[0], quantity.width());
    widenColumn(3, priceText);
    widenColumn(4, pair.amounts->lineTotalText);
    // An empty quantity still takes a full line, so the row's other columns are not overprinted.
    pair.height = quantityText.isEmpty() ? m_canvas.measure(QStringLiteral(" ")).height() : quantity.height();
}
