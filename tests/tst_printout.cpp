// The printout's layout, dot for dot, on a canvas with fixed metrics.
#include "FakeCanvas.h"
#include "document/ListFile.h"
#include "lists/ListModel.h"
#include "print/PrintCanvas.h"
#include "print/PrintFont.h"
#include "print/ShoppingPrintout.h"
#include "print/ShoppingTotal.h"

#include <QFile>
#include <QLocale>
#include <QTest>

#include <vector>

using namespace korbana;

namespace {

struct Row
{
    QString quantity;
    QString price;
    QString name = QStringLiteral("Milch");
    QString shop = QStringLiteral("Markt");
};

std::unique_ptr<ListModel> shoppingList(const QList<Row>& rows)
{
    auto model = std::make_unique<ListModel>(QStringList {
        QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") });
    for (const Row& row : rows)
        model->append(row.quantity, { row.name, row.shop, row.price });
    return model;
}

PrintMargins allMargins(int millimetres)
{
    return { millimetres, millimetres, millimetres, millimetres };
}

} // namespace

class TestPrintout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("de_DE"))); }

    void layout_data();
    void layout();
    void emptyList();
    void lineTotals_data();
    void lineTotals();
    void sampleListPrintsAlikeEverywhere();
    void rowTextsUnchanged();
    void widestNameMovesColumns();
    void columnsFitTheirWidestTexts_data();
    void columnsFitTheirWidestTexts();
    void pageBreakBelowBottom();
    void marginLeavingLessThanOneLine();
    void emptyQuantityTakesOneLine();
    void fontStyleReachesOnlyTheHeading();
};

void TestPrintout::layout_data()
{
    QTest::addColumn<int>("dpiX");
    QTest::addColumn<int>("dpiY");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("margin");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<int>("rightEdge");
    QTest::addColumn<int>("gap");

    // Truncating the margin before subtracting would give 6460, 3230 and 23193.
    QTest::newRow("600 dpi, 15 mm") << 600 << 600 << 4760 << 6814 << 15 << 354 << 354 << 6459 << 4405 << 118;
    QTest::newRow("300 dpi, 15 mm") << 300 << 300 << 2380 << 3407 << 15 << 177 << 177 << 3229 << 2202 << 59;
    // Dividing by 25.4 would give 4062.
    QTest::newRow("2400 dpi, 43 mm") << 2400 << 2400 << 19040 << 27256 << 43 << 4063 << 4063 << 23192 << 14976 << 472;
    QTest::newRow("margins 0") << 600 << 600 << 4760 << 6814 << 0 << 0 << 0 << 6814 << 4760 << 118;
    QTest::newRow("600 across, 300 down") << 600 << 300 << 4760 << 3407 << 15 << 354 << 177 << 3229 << 4405 << 118;
}

void TestPrintout::layout()
{
    QFETCH(int, dpiX);
    QFETCH(int, dpiY);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, margin);

    FakeCanvas canvas;
    canvas.m_dpiX = dpiX;
    canvas.m_dpiY = dpiY;
    canvas.m_width = width;
    canvas.m_height = height;
    const auto list = shoppingList({});
    ShoppingPrintout printout(canvas, *list, allMargins(margin), PrintFont());
    printout.run();

    QTEST(printout.left(), "left");
    QTEST(printout.top(), "top");
    QTEST(printout.bottom(), "bottom");
    QTEST(printout.rightEdge(), "rightEdge");
    QTEST(printout.gap(), "gap");
    QCOMPARE(canvas.drawn.front().x, printout.left());
    QCOMPARE(canvas.drawn.front().y, printout.top());
}

void TestPrintout::emptyList()
{
    FakeCanvas canvas;
    const auto list = shoppingList({});
    ShoppingPrintout(canvas, *list, allMargins(15), PrintFont()).run();

    QCOMPARE(canvas.jobs, QStringList { QStringLiteral("Einkaufsliste") });
    QCOMPARE(canvas.ended, 1);
    QCOMPARE(canvas.page, 0);
    QCOMPARE(canvas.texts(),
        QStringList({ QStringLiteral("Einkaufsliste"), QStringLiteral(" "), QStringLiteral(" "),
            QStringLiteral("Gesamtpreis in EUR: 0,00") }));
    const int bold = FakeCanvas::kBoldHeight;
    const int regular = FakeCanvas::kHeight;
    const std::vector<int> ys { 354, 354 + bold, 354 + 2 * bold, 354 + 2 * bold + regular };
    const std::vector<bool> bolds { true, true, false, false };
    for (size_t i = 0; i < ys.size(); ++i) {
        QCOMPARE(canvas.drawn[i].x, 354);
        QCOMPARE(canvas.drawn[i].y, ys[i]);
        QCOMPARE(canvas.drawn[i].bold, bolds[i]);
    }
}

void TestPrintout::lineTotals_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QList<Row>>("rows");
    QTest::addColumn<QStringList>("lineTotals");
    QTest::addColumn<QString>("totalLine");

    const auto row = [](const char* quantity, const char* price) {
        return Row { QString::fromUtf8(quantity), QString::fromUtf8(price) };
    };
    const QString de = QStringLiteral("de_DE");
    const QString en = QStringLiteral("en_US");

    QTest::newRow("two entries") << de << QList<Row> { row("2", "0,99 EUR"), row("1", "2,49 EUR") }
                                 << QStringList { QStringLiteral("1,98 EUR"), QStringLiteral("2,49 EUR") }
                                 << QStringLiteral("Gesamtpreis in EUR: 4,47 EUR");
    QTest::newRow("two entries, decimal point")
        << en << QList<Row> { row("2", "0.99 EUR"), row("1", "2.49 EUR") }
        << QStringList { QStringLiteral("1.98 EUR"), QStringLiteral("2.49 EUR") }
        << QStringLiteral("Gesamtpreis in EUR: 4.47 EUR");
    QTest::newRow("suffix of the last entry") << de << QList<Row> { row("1", "1,00 EUR"), row("1", "2,00 CHF") }
                                              << QStringList { QStringLiteral("1,00 EUR"), QStringLiteral("2,00 CHF") }
                                              << QStringLiteral("Gesamtpreis in EUR: 3,00 CHF");
    QTest::newRow("amounts that are no number")
        << de << QList<Row> { row("1", "1,99 Euro Cent"), row("3", "gratis"), row("1", "") }
        << QStringList { QStringLiteral("0,00 EUR"), QStringLiteral("0,00 EUR"), QStringLiteral("0,00 EUR") }
        << QStringLiteral("Gesamtpreis in EUR: 0,00 EUR");
    QTest::newRow("unreadable last entry gives EUR")
        << de << QList<Row> { row("1", "2,00 CHF"), row("1", "ca. 3 EUR") }
        << QStringList { QStringLiteral("2,00 CHF"), QStringLiteral("0,00 EUR") }
        << QStringLiteral("Gesamtpreis in EUR: 2,00 EUR");
    QTest::newRow("quantity with a unit counts 1")
        << de << QList<Row> { row("2 Stück", "1,25 EUR") } << QStringList { QStringLiteral("1,25 EUR") }
        << QStringLiteral("Gesamtpreis in EUR: 1,25 EUR");
    QTest::newRow("decimal quantity") << de << QList<Row> { row("1,5", "2,00 EUR"), row(" 3 ", "0,10 EUR") }
                                      << QStringList { QStringLiteral("3,00 EUR"), QStringLiteral("0,30 EUR") }
                                      << QStringLiteral("Gesamtpreis in EUR: 3,30 EUR");
    QTest::newRow("other decimal separator")
        << en << QList<Row> { row("1,5", "2.00 EUR") } << QStringList { QStringLiteral("3.00 EUR") }
        << QStringLiteral("Gesamtpreis in EUR: 3.00 EUR");
    // Texts from a machine with the other separator read alike; digit groups and both separators stay no number.
    const QString c = QStringLiteral("C");
    for (const QString& locale : { de, en, c }) {
        const bool comma = QLocale(locale).decimalPoint() == u',';
        const auto amount = [comma](const char* text) {
            QString a = QString::fromLatin1(text);
            return comma ? a.replace(u'.', u',') : a;
        };
        QTest::newRow(qPrintable(locale + QStringLiteral(" both separators")))
            << locale
            << QList<Row> { row("2", "0,99 EUR"), row("1,5", "2.00 EUR"), row("-1", "+0.5 EUR"),
                   row("1e1", "0,1E0 CHF") }
            << QStringList { amount("1.98 EUR"), amount("3.00 EUR"), amount("-0.50 EUR"), amount("1.00 CHF") }
            << QStringLiteral("Gesamtpreis in EUR: ") + amount("5.48 CHF");
        QTest::newRow(qPrintable(locale + QStringLiteral(" groups")))
            << locale << QList<Row> { row("1", "1.000,00 EUR"), row("2", "1,000.00 EUR"), row("2.000", "1,50 EUR") }
            << QStringList { amount("0.00 EUR"), amount("0.00 EUR"), amount(comma ? "1.50 EUR" : "3.00 EUR") }
            << QStringLiteral("Gesamtpreis in EUR: ") + amount(comma ? "1.50 EUR" : "3.00 EUR");
    }
    QTest::newRow("empty quantity counts 1")
        << de << QList<Row> { row("", "4,00 EUR") } << QStringList { QStringLiteral("4,00 EUR") }
        << QStringLiteral("Gesamtpreis in EUR: 4,00 EUR");
    QTest::newRow("price ending in a blank")
        << de << QList<Row> { row("1", "1,99 ") } << QStringList { QStringLiteral("1,99") }
        << QStringLiteral("Gesamtpreis in EUR: 1,99");
    QTest::newRow("price without a blank")
        << de << QList<Row> { row("2", "5") } << QStringList { QStringLiteral("10,00") }
        << QStringLiteral("Gesamtpreis in EUR: 10,00");
    // Copies of one row share their strings, as the rows of a loaded file do: each still reads its own amounts.
    const Row twice = row("2", "0,99 EUR");
    const Row sharedPrice { QStringLiteral("3"), twice.price };
    const Row sharedQuantity { twice.quantity, QStringLiteral("1,00 CHF") };
    QTest::newRow("rows sharing their strings")
        << de << QList<Row> { twice, sharedPrice, twice, sharedQuantity, row("2", "0,99 EUR"), twice }
        << QStringList { QStringLiteral("1,98 EUR"), QStringLiteral("2,97 EUR"), QStringLiteral("1,98 EUR"),
               QStringLiteral("2,00 CHF"), QStringLiteral("1,98 EUR"), QStringLiteral("1,98 EUR") }
        << QStringLiteral("Gesamtpreis in EUR: 12,89 EUR");
    // Two texts on one buffer differ only in their length; each row still reads its own quantity.
    static const char16_t kQuantityDigits[] = u"1,5";
    const auto onBuffer = [](qsizetype length) {
        return QString::fromRawData(reinterpret_cast<const QChar*>(kQuantityDigits), length);
    };
    const QString price = QStringLiteral("2,00 EUR");
    QTest::newRow("texts on one buffer") << de
                                         << QList<Row> { { onBuffer(3), price }, { onBuffer(1), price },
                                                { onBuffer(3), price } }
                                         << QStringList { QStringLiteral("3,00 EUR"), QStringLiteral("2,00 EUR"),
                                                QStringLiteral("3,00 EUR") }
                                         << QStringLiteral("Gesamtpreis in EUR: 8,00 EUR");
    // More different quantities than a price keeps its pairs with at hand, all with one price string.
    QList<Row> manyQuantities;
    QStringList doubled;
    for (int quantity = 1; quantity <= 12; ++quantity) {
        manyQuantities.append({ QString::number(quantity), price });
        doubled.append(QString::number(2 * quantity) + QStringLiteral(",00 EUR"));
    }
    manyQuantities.append(manyQuantities.back());
    doubled.append(doubled.back());
    QTest::newRow("many quantities, one price")
        << de << manyQuantities << doubled << QStringLiteral("Gesamtpreis in EUR: 180,00 EUR");
    QTest::newRow("negative and exponent")
        << de << QList<Row> { row("1e1", "-0,5 EUR") } << QStringList { QStringLiteral("-5,00 EUR") }
        << QStringLiteral("Gesamtpreis in EUR: -5,00 EUR");
}

void TestPrintout::lineTotals()
{
    QFETCH(QString, locale);
    QFETCH(QList<Row>, rows);
    QFETCH(QStringList, lineTotals);
    QFETCH(QString, totalLine);
    QLocale::setDefault(QLocale(locale));

    FakeCanvas canvas;
    const auto list = shoppingList(rows);
    ShoppingPrintout printout(canvas, *list, allMargins(15), PrintFont());
    printout.run();

    const QStringList texts = canvas.texts();
    // Heading, blank, five texts per row, blank, total.
    QCOMPARE(texts.size(), 2 + 5 * rows.size() + 2);
    for (qsizetype i = 0; i < rows.size(); ++i)
        QCOMPARE(texts[2 + 5 * i + 4], lineTotals[i]);
    QCOMPARE(texts.back(), totalLine);
    // The status bar's running total adds the same line totals: the same sum to the last bit.
    QCOMPARE(ShoppingTotal(*list).total(), printout.grandTotal());
}

// The sample list, written with decimal commas, prints the same line totals and total under every locale.
void TestPrintout::sampleListPrintsAlikeEverywhere()
{
    QFile sample(QStringLiteral(":/sample/korbana.kbl"));
    QVERIFY(sample.open(QIODevice::ReadOnly));
    const QByteArray bytes = sample.readAll();
    const auto printed = [&bytes](const char* locale) {
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        const QStringList headers { QStringLiteral("Name") };
        ListModel stores(headers);
        ListModel products({ QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") });
        const auto shopping = shoppingList({});
        if (korbana::parseListFile(bytes, { &stores, &products, shopping.get() }) != korbana::ReadResult::Ok)
            return QStringList();
        FakeCanvas canvas;
        ShoppingPrintout(canvas, *shopping, allMargins(15), PrintFont()).run();
        QStringList texts = canvas.texts();
        for (QString& text : texts)
            text.replace(u'.', u',');
        return texts;
    };
    const QStringList german = printed("de_DE");
    QVERIFY(german.size() > 4);
    QVERIFY2(!german.last().endsWith(QStringLiteral(" 0,00 EUR")), qPrintable(german.last()));
    QCOMPARE(printed("C"), german);
    QCOMPARE(printed("en_US"), german);
}

void TestPrintout::rowTextsUnchanged()
{
    FakeCanvas canvas;
    const auto list = shoppingList({ { QStringLiteral("2 Stück"), QStringLiteral("1,99 Euro Cent"),
        QStringLiteral("Äpfel"), QStringLiteral("Hofladen") } });
    ShoppingPrintout(canvas, *list, allMargins(15), PrintFont()).run();
    QCOMPARE(canvas.texts().mid(2, 5),
        QStringList({ QStringLiteral("2 Stück"), QStringLiteral("Äpfel"), QStringLiteral("Hofladen"),
            QStringLiteral("1,99 Euro Cent"), QStringLiteral("0,00 EUR") }));
}

void TestPrintout::widestNameMovesColumns()
{
    FakeCanvas canvas;
    // Bottom is 574: two rows on page 1, the third on page 2.
    canvas.m_height = 354 + 2 * FakeCanvas::kBoldHeight + 2 * FakeCanvas::kHeight + 355;
    const QString longName = QStringLiteral("Vollkornbrot mit Kürbiskernen");
    const auto list = shoppingList({
        { QStringLiteral("1"), QStringLiteral("2,00 EUR"), QStringLiteral("Ei"), QStringLiteral("Hof") },
        { QStringLiteral("12"), QStringLiteral("0,50 EUR"), longName, QStringLiteral("Bäcker") },
        { QStringLiteral("3"), QStringLiteral("10,00 EUR"), QStringLiteral("Brot"), QStringLiteral("Supermarkt") },
    });
    ShoppingPrintout printout(canvas, *list, allMargins(15), PrintFont());
    printout.run();

    const int w = FakeCanvas::kCharWidth;
    const int gap = 118;
    const int x1 = 354;
    const int x2 = x1 + 2 * w + gap; // "12"
    const int x3 = x2 + static_cast<int>(longName.size()) * w + gap; // the longest name
    const int x4 = x3 + 10 * w + gap; // "Supermarkt"
    const int x5 = x4 + 9 * w + gap; // "10,00 EUR"
    const std::vector<int> xs { x1, x2, x3, x4, x5 };
    for (int k = 0; k < ShoppingPrintout::kColumns; ++k)
        QCOMPARE(printout.columnX(k), xs[static_cast<size_t>(k)]);

    QCOMPARE(canvas.page, 1);
    for (size_t i = 2; i < 2 + 15; ++i)
        QCOMPARE(canvas.drawn[i].x, xs[(i - 2) % 5]);
    QCOMPARE(canvas.drawn[2 + 5].page, 0);
    QCOMPARE(canvas.drawn[2 + 10].page, 1);
}

void TestPrintout::columnsFitTheirWidestTexts_data()
{
    QTest::addColumn<QList<Row>>("rows");
    QTest::addColumn<QList<int>>("widestChars"); // per column, quantity to line total

    // Texts on one buffer that differ only in length, the longer coming after the shorter: each is measured.
    static const char16_t kLetters[] = u"Supermarkt Vollkornbrot";
    const auto onBuffer
        = [](qsizetype length) { return QString::fromRawData(reinterpret_cast<const QChar*>(kLetters), length); };
    const QString price = QStringLiteral("2,00 EUR");
    const QString one = QStringLiteral("1");
    QTest::newRow("texts on one buffer") << QList<Row> { { onBuffer(1), price, onBuffer(4), onBuffer(5) },
        { one, price, onBuffer(23), onBuffer(5) }, { onBuffer(1), price, onBuffer(4), onBuffer(10) },
        { onBuffer(3), price, onBuffer(4), onBuffer(2) } }
                                         << QList<int> { 3, 23, 10, 8, 8 };
    // Copies of one row share their strings, as the rows of a loaded file do; the widest texts come last.
    const Row shared { one, price, QStringLiteral("Brot"), QStringLiteral("Hof") };
    QTest::newRow("rows sharing their strings")
        << QList<Row> { shared, shared, { one, price, shared.name, QStringLiteral("Bäckerei") }, shared,
               { QStringLiteral("12"), QStringLiteral("10,00 CHF"), QStringLiteral("Vollkornbrot"), shared.shop } }
        << QList<int> { 2, 12, 8, 9, 10 };
}

void TestPrintout::columnsFitTheirWidestTexts()
{
    QFETCH(QList<Row>, rows);
    QFETCH(QList<int>, widestChars);

    FakeCanvas canvas;
    const auto list = shoppingList(rows);
    ShoppingPrintout printout(canvas, *list, allMargins(15), PrintFont());
    printout.run();

    int x = printout.left();
    for (int k = 0; k < ShoppingPrintout::kColumns; ++k) {
        QCOMPARE(printout.columnX(k), x);
        x += widestChars[k] * FakeCanvas::kCharWidth + printout.gap();
    }
    for (qsizetype i = 0; i < 5 * rows.size(); ++i)
        QCOMPARE(canvas.drawn[static_cast<size_t>(2 + i)].x, printout.columnX(static_cast<int>(i % 5)));
}

void TestPrintout::pageBreakBelowBottom()
{
    FakeCanvas canvas;
    const int heading = 2 * FakeCanvas::kBoldHeight;
    const int line = FakeCanvas::kHeight;
    canvas.m_height = heading + 3 * line; // margins 0: three rows fit exactly, the fourth goes over
    QList<Row> rows(4, Row { QStringLiteral("1"), QStringLiteral("1,00 EUR") });
    const auto list = shoppingList(rows);
    ShoppingPrintout(canvas, *list, allMargins(0), PrintFont()).run();

    QCOMPARE(canvas.page, 1);
    const std::vector<FakeCanvas::Drawn>& d = canvas.drawn;
    // The third row ends on bottom exactly and stays; the fourth starts page 2 at top, with no heading.
    QCOMPARE(d[2 + 10].page, 0);
    QCOMPARE(d[2 + 10].y, heading + 2 * line);
    QCOMPARE(d[2 + 15].page, 1);
    QCOMPARE(d[2 + 15].y, 0);
    QCOMPARE(d[2 + 15].text, QStringLiteral("1"));
    QCOMPARE(d[2 + 20].y, line);
    QCOMPARE(d.back().y, 2 * line);
    QCOMPARE(d.back().page, 1);
}

void TestPrintout::marginLeavingLessThanOneLine()
{
    FakeCanvas canvas;
    canvas.m_height = 354 + 354 + 20; // top 354, bottom 374: not one line fits
    const auto list = shoppingList({ { QStringLiteral("1"), QStringLiteral("1,00 EUR") } });
    ShoppingPrintout(canvas, *list, allMargins(15), PrintFont()).run();

    // Heading, blank, row, blank, total: every line prints, each on a page of its own.
    QCOMPARE(canvas.page, 4);
    QCOMPARE(static_cast<int>(canvas.drawn.size()), 2 + 5 + 2);
    for (const FakeCanvas::Drawn& d : canvas.drawn)
        QCOMPARE(d.y, 354);
    QCOMPARE(canvas.drawn.back().page, 4);
    QCOMPARE(canvas.ended, 1);
}

void TestPrintout::emptyQuantityTakesOneLine()
{
    FakeCanvas canvas;
    const auto list = shoppingList({ { QString(), QStringLiteral("1,00 EUR") }, { QStringLiteral("2"), QString() } });
    ShoppingPrintout(canvas, *list, allMargins(15), PrintFont()).run();
    const int firstRow = 354 + 2 * FakeCanvas::kBoldHeight;
    QCOMPARE(canvas.drawn[2].y, firstRow);
    QCOMPARE(canvas.drawn[7].y, firstRow + FakeCanvas::kHeight);
}

void TestPrintout::fontStyleReachesOnlyTheHeading()
{
    PrintFont font;
    font.name = QStringLiteral("DejaVu Serif");
    font.setSize(14);
    font.bold = true;
    font.italic = true;
    font.underline = true;
    FakeCanvas canvas;
    const auto list = shoppingList({ { QStringLiteral("1"), QStringLiteral("1,00 EUR") } });
    ShoppingPrintout(canvas, *list, allMargins(15), font).run();

    QCOMPARE(canvas.fonts.size(), 2);
    for (const PrintFont& given : std::as_const(canvas.fonts)) {
        QCOMPARE(given.name, font.name);
        QCOMPARE(given.size, 14);
    }
    QVERIFY(canvas.drawn[0].bold);
    QVERIFY(canvas.drawn[1].bold);
    for (size_t i = 2; i < canvas.drawn.size(); ++i)
        QVERIFY(!canvas.drawn[i].bold);
}

QTEST_GUILESS_MAIN(TestPrintout)
#include "tst_printout.moc"
