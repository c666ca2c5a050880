#include "ShoppingPrintout.h"

#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "print/PrintCanvas.h"

#include <QHash>

#include <cmath>
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

} // namespace

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

    // The printing pass uses the texts and totals as measured, so each row is read only once.
    const int count = m_shopping.count();
    std::vector<RowTexts> rows;
    std::vector<double> lineTotals;
    QStringList suffixes;
    rows.reserve(static_cast<size_t>(count));
    lineTotals.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        rows.push_back(readRow(row));
        lineTotals.push_back(m_amounts.lineTotal);
        if (m_options.groupByShop)
            suffixes.append(m_amounts.currencySuffix);
        measureRow(rows.back());
    }

    // The boxes stand in a narrow column of their own left of the quantities.
    if (m_options.tickBoxes)
        m_tickBoxIndent = m_canvas.measure(kTickBox).width() + m_gap / 2;
    m_columnX[0] = m_left + m_tickBoxIndent;
    for (size_t k = 1; k < kColumns; ++k)
        m_columnX[k] = m_columnX[k - 1] + m_columnWidth[k - 1] + m_gap;

    // The grand total adds up in list order, also when the rows are printed grouped.
    m_grandTotal = 0;
    for (const double lineTotal : lineTotals)
        m_grandTotal += lineTotal;
    if (m_options.groupByShop) {
        printGroups(rows, lineTotals, suffixes);
    } else {
        for (const RowTexts& row : rows)
            printRow(row);
    }

    printLine(QStringLiteral(" "));
    printLine(totalLine(m_grandTotal, m_currencySuffix, m_decimalSep));
    m_canvas.endJob();
}

void ShoppingPrintout::printGroups(
    const std::vector<RowTexts>& rows, const std::vector<double>& lineTotals, const QStringList& suffixes)
{
    // Shops in the order of their first entry; entries keep their order within a shop.
    QHash<QString, size_t> groupOfShop;
    std::vector<std::vector<size_t>> groups;
    for (size_t row = 0; row < rows.size(); ++row) {
        const QString& shop = rows[row][2];
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
        const QString& shop = rows[members.front()][2];
        const int firstRowHeight = rowHeight(rows[members.front()]);
        m_canvas.setFont(m_font, true);
        // A shop without a name still gets its heading line, so its subtotal reads as a group of its own.
        const QString heading = shop.isEmpty() ? QStringLiteral(" ") : shop;
        // A heading never stays alone at the foot of a page: it moves on with its first entry.
        breakPageFor(m_canvas.measure(heading).height() + firstRowHeight);
        printLine(heading);
        m_canvas.setFont(m_font, false);

        double subtotal = 0;
        for (const size_t row : members) {
            subtotal += lineTotals[row];
            printRow(rows[row]);
        }
        const QString& suffix = suffixes[static_cast<qsizetype>(members.back())];
        printLine(QStringLiteral("Zwischensumme: ") + korbana::amountText(subtotal, m_decimalSep) + suffix);
    }
}

ShoppingPrintout::RowTexts ShoppingPrintout::readRow(int row)
{
    const Entry& entry = m_shopping.entryAt(row);
    m_amounts = readRowAmounts(entry.caption, entry.subItems[2], m_decimalSep);
    m_currencySuffix = m_amounts.currencySuffix;
    return { entry.caption, entry.subItems[0], entry.subItems[1], entry.subItems[2], m_amounts.lineTotalText };
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

int ShoppingPrintout::rowHeight(const RowTexts& texts)
{
    // An empty quantity still takes a full line, so the row's other columns are not overprinted.
    const QString& quantity = texts[0];
    return m_canvas.measure(quantity.isEmpty() ? QStringLiteral(" ") : quantity).height();
}

void ShoppingPrintout::printRow(const RowTexts& texts)
{
    const int h = rowHeight(texts);
    breakPageFor(h);
    if (m_options.tickBoxes)
        m_canvas.drawText(m_left, m_y, kTickBox);
    for (size_t k = 0; k < kColumns; ++k)
        m_canvas.drawText(m_columnX[k], m_y, texts[k]);
    m_y += h;
}

void ShoppingPrintout::measureRow(const RowTexts& texts)
{
    for (size_t k = 0; k < kColumns; ++k)
        m_columnWidth[k] = std::max(m_columnWidth[k], m_canvas.measure(texts[k]).width());
}
