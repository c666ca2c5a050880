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

// Rows whose strings are fetched before they are printed: the canvas keeps each text it is given.
constexpr size_t kFetchAhead = 8;

} // namespace

// The amounts of the rows by the strings they are read from. Rows of a long list share their quantity and price
// strings (a loaded file shares texts that repeat), so most rows find their amounts read and formatted already.
// The list cannot change during a run, so its strings stay where they are.
class ShoppingPrintout::AmountsCache
{
public:
    explicit AmountsCache(const QString& decimalSep)
        : m_decimalSep(decimalSep)
    {
    }

    const RowAmounts& amountsOf(const QString& quantityText, const QString& priceText)
    {
        const Key key { quantityText.constData(), quantityText.size(), priceText.constData(), priceText.size() };
        if (const auto known = m_index.constFind(key); known != m_index.cend())
            return **known;
        const RowAmounts& made = m_amounts.emplace_back(readRowAmounts(quantityText, priceText, m_decimalSep));
        if (m_index.size() < kMostRemembered)
            m_index.insert(key, &made);
        return made;
    }

private:
    // Past this many different pairs the texts hardly repeat; the rest are read row by row.
    static constexpr qsizetype kMostRemembered = 1 << 16;

    struct Key
    {
        const QChar* quantity;
        qsizetype quantitySize;
        const QChar* price;
        qsizetype priceSize;

        bool operator==(const Key& other) const
        {
            return quantity == other.quantity && quantitySize == other.quantitySize && price == other.price
                && priceSize == other.priceSize;
        }
        friend size_t qHash(const Key& key, size_t seed = 0)
        {
            return qHashMulti(seed, key.quantity, key.quantitySize, key.price, key.priceSize);
        }
    };

    QString m_decimalSep;
    std::deque<RowAmounts> m_amounts; // stays in place as it grows
    QHash<Key, const RowAmounts*> m_index;
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
    amounts.lineTotalText = korbana::amountText(amounts.lineTotal, decimalSep) + amounts.currencySuffix;
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
            amounts.currencySuffix = QChar(u' ') + currencyWord.toString();
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
    for (int row = 0; row < m_shopping.count(); ++row) {
        rows.push_back(readRow(row, cache));
        measureRow(rows.back());
    }

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
    m_grandTotal = 0;
    for (const Row& row : rows)
        m_grandTotal += row.amounts->lineTotal;
    if (m_options.groupByShop) {
        printGroups(rows);
    } else {
        for (size_t i = 0; i < rows.size(); ++i) {
            m_shopping.prefetchTexts(static_cast<int>(i + kFetchAhead));
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

ShoppingPrintout::Row ShoppingPrintout::readRow(int row, AmountsCache& cache)
{
    const Entry& entry = m_shopping.entryAt(row);
    return { &entry, &cache.amountsOf(entry.caption, entry.subItems[2]), 0 };
}

ShoppingPrintout::RowTexts ShoppingPrintout::textsOf(const Row& row)
{
    const Entry& entry = *row.entry;
    // Quantity, name, shop, price, then the line total.
    return { &entry.caption, &entry.subItems[0], &entry.subItems[1], &entry.subItems[2], &row.amounts->lineTotalText };
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

void ShoppingPrintout::measureRow(Row& row)
{
    const RowTexts texts = textsOf(row);
    for (size_t k = 0; k < kColumns; ++k) {
        const QSize size = m_canvas.measure(*texts[k]);
        m_columnWidth[k] = std::max(m_columnWidth[k], size.width());
        if (k == 0)
            row.height = size.height();
    }
    // An empty quantity still takes a full line, so the row's other columns are not overprinted.
    if (texts[0]->isEmpty())
        row.height = m_canvas.measure(QStringLiteral(" ")).height();
}
