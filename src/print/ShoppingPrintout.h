#pragma once

#include "print/PrintFont.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace korbana {

class ListModel;
class PrintCanvas;
struct Entry;

// Page margins in whole millimetres.
struct PrintMargins
{
    int left = 15;
    int top = 15;
    int right = 15;
    int bottom = 15;
};

// Additions to the printout that the user turns on; with both off it is the plain table.
struct PrintOptions
{
    // An empty box before each entry, to tick off while shopping.
    bool tickBoxes = false;
    // Entries grouped by shop in the order of each shop's first entry, each group with its subtotal.
    bool groupByShop = false;
    // Entries ticked off on screen are left out (the window hands the printout the others).
    bool leaveTickedOut = false;
};

// The amounts of one shopping entry as the printout reads them.
struct RowAmounts
{
    double quantity = 1;
    double unitPrice = 0;
    double lineTotal = 0;
    QString currencySuffix;
    QString lineTotalText;
};

// One print run of the Shopping list: a bold heading, one line of five columns per entry, the grand total.
class ShoppingPrintout final
{
public:
    static constexpr int kColumns = 5;
    // Millimetres per inch as the printout has always converted them.
    static constexpr double kMillimetresPerInch = 25.39995;

    ShoppingPrintout(PrintCanvas& canvas, const ListModel& shopping, const PrintMargins& margins, const PrintFont& font,
        const PrintOptions& options = {});

    // Begins the job, prints everything and ends the job.
    void run();

    // Quantity 1 when the quantity text is no number; the currency word follows the last blank of the price
    // text; an amount that is no number counts 0 with " EUR".
    static RowAmounts readRowAmounts(const QString& quantityText, const QString& priceText, const QString& decimalSep);
    // The same amounts without the line-total text, for readers that only add up.
    static RowAmounts readAmounts(const QString& quantityText, const QString& priceText, const QString& decimalSep);
    // The line total of readAmounts alone, without making the currency text: the running total reads it for every
    // entry of the list.
    static double lineTotal(const QString& quantityText, const QString& priceText, const QString& decimalSep);
    // "Gesamtpreis in EUR: " with the total and the currency suffix of the entry read last.
    static QString totalLine(double grandTotal, const QString& currencySuffix, const QString& decimalSep);

    // The layout of the run, for a look after run().
    int left() const { return m_left; }
    int top() const { return m_top; }
    int bottom() const { return m_bottom; }
    int rightEdge() const { return m_rightEdge; }
    int gap() const { return m_gap; }
    int columnX(int column) const { return m_columnX[static_cast<size_t>(column)]; }
    int columnWidth(int column) const { return m_columnWidth[static_cast<size_t>(column)]; }
    double grandTotal() const { return m_grandTotal; }

private:
    class TextTable;
    class MeasuredTexts;

    // What a pair of quantity and price texts gives: the amounts, and the height of a row with them. Rows that
    // share both texts share this, so each pair is read and measured once.
    struct PricedQuantity
    {
        RowAmounts amounts;
        int height = 0; // of the quantity, or of a blank for an empty one
    };

    // The quantity, 1 when the text is no number.
    static double readQuantityText(const QString& quantityText, const QString& decimalSep);
    // The unit price and the currency suffix of a price text.
    static void readPriceText(const QString& priceText, const QString& decimalSep, RowAmounts& amounts);
    // The line total with the currency suffix.
    static QString lineTotalText(const RowAmounts& amounts, const QString& decimalSep);

    void startLayout();
    // Reads every row's pair and widens the columns to the row's texts.
    void readRows();
    void printLine(const QString& text);
    void printRows();
    void printRow(const Entry& entry, const PricedQuantity& pair);
    const PricedQuantity& pairOfRow(int row) const { return m_pairs[m_pairOfRow[static_cast<size_t>(row)]]; }
    void widenColumn(size_t column, const QString& text);
    void printGroups();
    // Starts a new page when a line of height h would reach below bottom, unless it is the first on its page.
    void breakPageFor(int h);

    PrintCanvas& m_canvas;
    const ListModel& m_shopping;
    PrintMargins m_margins;
    PrintFont m_font;
    PrintOptions m_options;
    QString m_decimalSep;

    int m_left = 0;
    int m_top = 0;
    int m_bottom = 0;
    int m_rightEdge = 0;
    int m_gap = 0;
    int m_tickBoxIndent = 0;
    int m_y = 0;
    std::array<int, kColumns> m_columnX {};
    std::array<int, kColumns> m_columnWidth {};
    double m_grandTotal = 0;
    QString m_currencySuffix;
    std::vector<PricedQuantity> m_pairs;
    std::vector<quint32> m_pairOfRow; // the index into m_pairs for each row
};

} // namespace korbana
