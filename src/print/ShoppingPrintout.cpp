#include "ShoppingPrintout.h"

#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "print/PrintCanvas.h"

#include <cmath>
#include <vector>

namespace {

const QString kDocumentName = QStringLiteral("Einkaufsliste");

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

ShoppingPrintout::ShoppingPrintout(
    PrintCanvas& canvas, const ListModel& shopping, const PrintMargins& margins, const PrintFont& font)
    : m_canvas(canvas)
    , m_shopping(shopping)
    , m_margins(margins)
    , m_font(font)
{
}

RowAmounts ShoppingPrintout::readRowAmounts(
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
    amounts.lineTotalText = korbana::amountText(amounts.lineTotal, decimalSep) + amounts.currencySuffix;
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
    rows.reserve(static_cast<size_t>(count));
    lineTotals.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        rows.push_back(readRow(row));
        lineTotals.push_back(m_amounts.lineTotal);
        measureRow(rows.back());
    }

    m_columnX[0] = m_left;
    for (size_t k = 1; k < kColumns; ++k)
        m_columnX[k] = m_columnX[k - 1] + m_columnWidth[k - 1] + m_gap;

    m_grandTotal = 0;
    for (size_t row = 0; row < rows.size(); ++row) {
        m_grandTotal += lineTotals[row];
        printRow(rows[row]);
    }

    printLine(QStringLiteral(" "));
    printLine(
        QStringLiteral("Gesamtpreis in EUR: ") + korbana::amountText(m_grandTotal, m_decimalSep) + m_currencySuffix);
    m_canvas.endJob();
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

void ShoppingPrintout::printRow(const RowTexts& texts)
{
    // An empty quantity still takes a full line, so the row's other columns are not overprinted.
    const QString& quantity = texts[0];
    const int h = m_canvas.measure(quantity.isEmpty() ? QStringLiteral(" ") : quantity).height();
    breakPageFor(h);
    for (size_t k = 0; k < kColumns; ++k)
        m_canvas.drawText(m_columnX[k], m_y, texts[k]);
    m_y += h;
}

void ShoppingPrintout::measureRow(const RowTexts& texts)
{
    for (size_t k = 0; k < kColumns; ++k)
        m_columnWidth[k] = std::max(m_columnWidth[k], m_canvas.measure(texts[k]).width());
}
