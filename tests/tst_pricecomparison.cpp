// Which shop sells a product cheapest: the grouping of same-named products, the cheaper offer of one entry, the
// cheapest shops for the whole list and the comparison of the shops.
#include "MainWindowFixture.h"
#include "lists/ListModel.h"
#include "lists/PriceComparison.h"
#include "lists/PriceHints.h"
#include "ui/PriceComparisonDialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QLocale>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

using namespace korbana;

namespace {

// Rows "name|shop|price" for the catalogue and "quantity|name|shop|price" for the Shopping list.
void fill(ListModel& list, const QStringList& rows)
{
    for (const QString& row : rows) {
        QStringList fields = row.split(u'|');
        const QString caption = fields.takeFirst();
        list.append(caption, fields);
    }
}

std::unique_ptr<ListModel> listOf(const QStringList& headers, const QStringList& rows)
{
    auto model = std::make_unique<ListModel>(headers);
    fill(*model, rows);
    return model;
}

std::unique_ptr<ListModel> catalogue(const QStringList& rows)
{
    return listOf({ QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") }, rows);
}

std::unique_ptr<ListModel> shoppingList(const QStringList& rows)
{
    return listOf(
        { QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") }, rows);
}

const QStringList kMilk { "Milch|Aldi|0,99 EUR", "milch |Lidl|0,89 EUR", " MILCH|Edeka|1,19 EUR", "Brot|Aldi|2,00 EUR",
    "Brot|Lidl|2,00 EUR", "Butter|Edeka|1,79 EUR", "Käse|Lidl|gratis" };

} // namespace

class TestPriceComparison : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("de_DE"))); }

    void sameProduct_data();
    void sameProduct();
    void cheaperElsewhere_data();
    void cheaperElsewhere();
    void cheapestShops_data();
    void cheapestShops();
    void comparison();
    void comparisonWithoutACompleteShop();
    void markerFollowsTheCatalogue();
    void comparisonDialog();
    void cheapestShopsInTheWindow_data();
    void cheapestShopsInTheWindow();
    void comparisonInTheWindow_data();
    void comparisonInTheWindow();
};

void TestPriceComparison::sameProduct_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("same");
    QTest::newRow("equal") << "Milch"
                           << "Milch" << true;
    QTest::newRow("case") << "Milch"
                          << "MILCH" << true;
    QTest::newRow("blanks at the ends") << "  Milch "
                                        << "milch" << true;
    QTest::newRow("umlaut case") << "Äpfel"
                                 << "äPFEL" << true;
    QTest::newRow("sharp s folds") << "Soße"
                                   << "SOSSE" << false;
    QTest::newRow("blank inside") << "Milch 1,5 %"
                                  << "Milch 1,5%" << false;
    QTest::newRow("other name") << "Milch"
                                << "Milchreis" << false;
    QTest::newRow("empty") << ""
                           << " " << true;
}

void TestPriceComparison::sameProduct()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, same);
    QCOMPARE(korbana::sameProduct(a, b), same);
    // The index groups exactly the names that are the same product.
    PriceIndex index;
    const auto products = catalogue({ a + QStringLiteral("|A|1,00 EUR"), b + QStringLiteral("|B|1,00 EUR") });
    index.rebuild(*products);
    QCOMPARE(index.groupCount(), same ? 1 : 2);
}

void TestPriceComparison::cheaperElsewhere_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("shop"); // empty: no cheaper offer
    QTest::addColumn<QString>("priceText");
    QTest::addColumn<double>("saving");

    const QString de = QStringLiteral("de_DE");
    QTest::newRow("cheaper at another shop") << de << "1|Milch|Aldi|0,99 EUR"
                                             << "Lidl"
                                             << "0,89 EUR" << 0.10;
    QTest::newRow("saving per quantity") << de << "3|milch|Aldi|0,99 EUR"
                                         << "Lidl"
                                         << "0,89 EUR" << 0.30;
    QTest::newRow("quantity as printed: no number counts 1") << de << "2 Stück|Milch|Aldi|0,99 EUR"
                                                             << "Lidl"
                                                             << "0,89 EUR" << 0.10;
    QTest::newRow("already cheapest") << de << "1|Milch|Lidl|0,89 EUR"
                                      << ""
                                      << "" << 0.0;
    QTest::newRow("stale higher price at the cheapest shop") << de << "1|Milch|Lidl|0,95 EUR"
                                                             << ""
                                                             << "" << 0.0;
    QTest::newRow("own price lower than the catalogue's") << de << "1|Milch|Edeka|0,50 EUR"
                                                          << ""
                                                          << "" << 0.0;
    QTest::newRow("stale price, shop's catalogue price counts") << de << "2|Milch|Edeka|5,00 EUR"
                                                                << "Lidl"
                                                                << "0,89 EUR" << 0.60;
    QTest::newRow("equal price elsewhere") << de << "1|Brot|Aldi|2,00 EUR"
                                           << ""
                                           << "" << 0.0;
    QTest::newRow("shop not in the catalogue") << de << "1|Milch|Kiosk|1,50 EUR"
                                               << "Lidl"
                                               << "0,89 EUR" << 0.61;
    QTest::newRow("unknown shop, unreadable price") << de << "1|Milch|Kiosk|billig"
                                                    << ""
                                                    << "" << 0.0;
    QTest::newRow("unreadable price, shop's catalogue price") << de << "1|Milch|Aldi|billig"
                                                              << "Lidl"
                                                              << "0,89 EUR" << 0.10;
    QTest::newRow("product only at one shop") << de << "1|Butter|Aldi|3,00 EUR"
                                              << "Edeka"
                                              << "1,79 EUR" << 1.21;
    QTest::newRow("unreadable catalogue price left out") << de << "1|Käse|Aldi|3,00 EUR"
                                                         << ""
                                                         << "" << 0.0;
    QTest::newRow("not in the catalogue") << de << "1|Tee|Aldi|3,00 EUR"
                                          << ""
                                          << "" << 0.0;
    QTest::newRow("C locale reads the decimal commas") << QStringLiteral("C") << "1|Milch|Aldi|0.99 EUR"
                                                       << "Lidl"
                                                       << "0,89 EUR" << 0.10;
}

void TestPriceComparison::cheaperElsewhere()
{
    QFETCH(QString, locale);
    QFETCH(QString, entry);
    QFETCH(QString, shop);
    QFETCH(double, saving);
    QLocale::setDefault(QLocale(locale));
    const auto products = catalogue(kMilk);
    const auto shopping = shoppingList({ entry });
    PriceIndex index;
    index.rebuild(*products);
    const std::optional<CheaperOffer> cheaper = index.cheaperElsewhere(shopping->entryAt(0));
    QCOMPARE(cheaper.has_value(), !shop.isEmpty());
    if (cheaper) {
        QCOMPARE(cheaper->offer.shop, shop);
        QTEST(cheaper->offer.priceText, "priceText");
        QVERIFY2(qAbs(cheaper->saving - saving) < 1e-9, qPrintable(QString::number(cheaper->saving)));
    }
}

void TestPriceComparison::cheapestShops_data()
{
    QTest::addColumn<QStringList>("products");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("after"); // the Shopping list's rows afterwards
    QTest::addColumn<double>("saving");

    QTest::newRow("moves to the cheapest, keeps the quantity")
        << kMilk << QStringList { "2|Milch|Aldi|0,99 EUR", "1|Butter|Edeka|1,79 EUR", "1|Milch|Edeka|1,19 EUR" }
        << QStringList { "2|Milch|Lidl|0,89 EUR", "1|Butter|Edeka|1,79 EUR", "1|Milch|Lidl|0,89 EUR" } << 0.50;
    QTest::newRow("a tie keeps the current shop")
        << kMilk << QStringList { "1|Brot|Lidl|2,00 EUR", "1|Brot|Aldi|2,00 EUR" }
        << QStringList { "1|Brot|Lidl|2,00 EUR", "1|Brot|Aldi|2,00 EUR" } << 0.0;
    QTest::newRow("a tie with the current shop's catalogue price keeps it")
        << QStringList { "Tee|A|1,00 EUR", "Tee|B|1,00 EUR", "Tee|C|2,00 EUR" }
        << QStringList { "1|Tee|B|1,50 EUR", "1|Tee|C|2,00 EUR" }
        << QStringList { "1|Tee|B|1,50 EUR", "1|Tee|A|1,00 EUR" } << 1.0;
    QTest::newRow("the cheapest of a shop's several offers")
        << QStringList { "Tee|A|3,00 EUR", "Tee|B|2,50 EUR", "Tee|A|2,00 EUR" } << QStringList { "1|Tee|B|2,50 EUR" }
        << QStringList { "1|Tee|A|2,00 EUR" } << 0.5;
    QTest::newRow("products not in the catalogue stay")
        << kMilk << QStringList { "1|Tee|Aldi|9,99 EUR", "1|Käse|Aldi|5,00 EUR" }
        << QStringList { "1|Tee|Aldi|9,99 EUR", "1|Käse|Aldi|5,00 EUR" } << 0.0;
    QTest::newRow("the catalogue's price text is taken as it stands")
        << QStringList { "Tee|A|1.5 EUR", "Tee|B|2,00 EUR" } << QStringList { "1,5|Tee|B|2,00 EUR" }
        << QStringList { "1,5|Tee|A|1.5 EUR" } << 0.75;
}

void TestPriceComparison::cheapestShops()
{
    QFETCH(QStringList, products);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, after);
    QFETCH(double, saving);
    const auto catalogueList = catalogue(products);
    const auto shopping = shoppingList(entries);
    PriceIndex index;
    index.rebuild(*catalogueList);
    const Reassignment moved = index.cheapestShops(*shopping);
    for (const ShopMove& move : moved.moves) {
        shopping->setSubItem(move.row, 1, catalogueList->subItem(move.product, 0));
        shopping->setSubItem(move.row, 2, catalogueList->subItem(move.product, 1));
    }
    QStringList rows;
    for (int row = 0; row < shopping->count(); ++row) {
        const Entry& e = shopping->entryAt(row);
        rows << QStringList { e.caption, e.subItems[0], e.subItems[1], e.subItems[2] }.join(u'|');
    }
    QCOMPARE(rows, after);
    int changed = 0;
    for (int row = 0; row < after.size(); ++row)
        changed += after[row] != entries[row];
    QCOMPARE(int(moved.moves.size()), changed);
    QVERIFY2(qAbs(moved.saving - saving) < 1e-9, qPrintable(QString::number(moved.saving)));
    // Afterwards no entry has a cheaper offer left.
    index.rebuild(*catalogueList);
    for (int row = 0; row < shopping->count(); ++row)
        QVERIFY(!index.cheaperElsewhere(shopping->entryAt(row)));
}

void TestPriceComparison::comparison()
{
    const auto products = catalogue(kMilk);
    const auto shopping = shoppingList(
        { "2|Milch|Aldi|0,99 EUR", "1|Brot|Aldi|2,00 EUR", "1,5|MILCH|Edeka|1,19 EUR", "1|Butter|Edeka|1,79 EUR" });
    PriceIndex index;
    index.rebuild(*products);
    const PriceComparisonResult result = index.compare(*shopping);
    QCOMPARE(int(result.shops.size()), 3);
    const auto check = [&](int i, const char* shop, int carried, int missing, double total, QStringList names) {
        const ShopTotal& row = result.shops[size_t(i)];
        QCOMPARE(row.shop, QString::fromUtf8(shop));
        QCOMPARE(row.carried, carried);
        QCOMPARE(row.missing, missing);
        QVERIFY2(qAbs(row.total - total) < 1e-9, qPrintable(QString::number(row.total)));
        QCOMPARE(row.missingNames, names);
    };
    // Milch 3,5 in all, Brot 1, Butter 1.
    check(0, "Aldi", 3, 1, 3.5 * 0.99 + 2.00, { QStringLiteral("Butter") });
    check(1, "Lidl", 3, 1, 3.5 * 0.89 + 2.00, { QStringLiteral("Butter") });
    check(2, "Edeka", 3, 1, 3.5 * 1.19 + 1.79, { QStringLiteral("Brot") });
    QCOMPARE(result.mixMissing, 0);
    QVERIFY(qAbs(result.cheapestMixTotal - (3.5 * 0.89 + 2.00 + 1.79)) < 1e-9);
    // No shop carries everything: of those missing one, Lidl is cheapest, and the mix saves nothing over its
    // products.
    QCOMPARE(result.referenceShop, 1);
    QVERIFY(qAbs(result.saving) < 1e-9);
}

void TestPriceComparison::comparisonWithoutACompleteShop()
{
    const auto products = catalogue({ "Tee|A|1,00 EUR", "Tee|B|2,00 EUR", "Brot|A|3,00 EUR", "Brot|B|2,00 EUR",
        "Reis|C|1,00 EUR", "Saft|A|1,00 EUR" });
    const auto shopping = shoppingList({ "2|Tee|A|1,00 EUR", "1|Brot|A|3,00 EUR", "1|Zucker|A|1,00 EUR" });
    PriceIndex index;
    index.rebuild(*products);
    const PriceComparisonResult result = index.compare(*shopping);
    QCOMPARE(int(result.shops.size()), 3);
    // Zucker is nowhere: every shop misses it, and so does the mix.
    QCOMPARE(result.mixMissing, 1);
    QCOMPARE(result.shops[0].missing, 1);
    QCOMPARE(result.shops[0].missingNames, QStringList { QStringLiteral("Zucker") });
    QCOMPARE(result.shops[2].missing, 3);
    QCOMPARE(result.shops[2].missingNames,
        QStringList({ QStringLiteral("Zucker"), QStringLiteral("Tee"), QStringLiteral("Brot") }));
    QVERIFY(qAbs(result.shops[0].total - 5.0) < 1e-9);
    QVERIFY(qAbs(result.shops[1].total - 6.0) < 1e-9);
    // A and B carry as much; A is cheaper. The mix: Tee at A, Brot at B.
    QCOMPARE(result.referenceShop, 0);
    QVERIFY(qAbs(result.cheapestMixTotal - 4.0) < 1e-9);
    QVERIFY(qAbs(result.saving - 1.0) < 1e-9);
    // An empty list: every shop carries nothing, and there is no reference.
    const auto empty = shoppingList({});
    const PriceComparisonResult none = index.compare(*empty);
    QCOMPARE(none.referenceShop, -1);
    QCOMPARE(none.cheapestMixTotal, 0.0);
}

// The Shopping list's price cells ask the hints; a change of the catalogue counts at once, without a wait.
void TestPriceComparison::markerFollowsTheCatalogue()
{
    const auto products = catalogue({ "Milch|Aldi|0,99 EUR", "Brot|Aldi|2,00 EUR" });
    const auto shopping = shoppingList({ "1|Milch|Aldi|0,99 EUR", "2|Brot|Aldi|2,00 EUR" });
    int modelSignals = 0;
    connect(shopping.get(), &QAbstractItemModel::dataChanged, this, [&] { ++modelSignals; });
    auto hints = std::make_unique<PriceHints>(*products, *shopping, QIcon());
    const auto cell = [&](int row, int role) { return shopping->index(row, PriceHints::kPriceColumn).data(role); };
    QVERIFY(!cell(0, Qt::DecorationRole).isValid());

    products->append(QStringLiteral("MILCH "), { QStringLiteral("Lidl"), QStringLiteral("0,89 EUR") });
    products->append(QStringLiteral("Brot"), { QStringLiteral("Bäcker"), QStringLiteral("1,50 EUR") });
    QCOMPARE(cell(0, Qt::DecorationRole).userType(), QMetaType::QIcon);
    QCOMPARE(cell(0, Qt::ToolTipRole).toString(), QStringLiteral("Bei Lidl: 0,89 EUR (0,10 EUR günstiger)"));
    QVERIFY(cell(0, Qt::AccessibleDescriptionRole).toString().endsWith(QStringLiteral("(0,10 EUR günstiger)")));
    QCOMPARE(cell(1, Qt::ToolTipRole).toString(), QStringLiteral("Bei Bäcker: 1,50 EUR (1,00 EUR günstiger)"));
    // Only the price column carries the marker, and the texts stay the list's.
    QVERIFY(!shopping->index(0, 1).data(Qt::ToolTipRole).isValid());
    QCOMPARE(cell(0, Qt::DisplayRole).toString(), QStringLiteral("0,99 EUR"));

    QSignalSpy changed(hints.get(), &PriceHints::changed);
    products->setSubItem(2, 1, QStringLiteral("1,10 EUR"));
    QVERIFY(!cell(0, Qt::ToolTipRole).isValid());
    QVERIFY(changed.wait());
    products->deleteAt(3);
    QVERIFY(!cell(1, Qt::DecorationRole).isValid());
    // The markers never count as a change of the list.
    QCOMPARE(modelSignals, 0);
    hints.reset();
    QVERIFY(!cell(0, Qt::DecorationRole).isValid());
}

// The dialog's table sorts by value with the cheapest mix last either way, and copies as it shows.
void TestPriceComparison::comparisonDialog()
{
    const auto products = catalogue({ "Tee|A|1,00 EUR", "Tee|B|2,00 EUR", "Brot|A|3,00 EUR", "Brot|B|2,00 EUR",
        "Brot|C|10,00 EUR", "Reis|C|1,00 EUR" });
    const auto shopping = shoppingList({ "2|Tee|A|1,00 EUR", "1|Brot|A|3,00 EUR", "1|Zucker|A|1,00 EUR" });
    PriceIndex index;
    index.rebuild(*products);
    PriceComparisonDialog dialog(index.compare(*shopping), shopping->count());
    dialog.show();
    const auto column = [&](int c) {
        QStringList texts;
        for (int row = 0; row < dialog.table()->model()->rowCount(); ++row)
            texts << dialog.table()->model()->index(row, c).data().toString();
        return texts;
    };
    // By total, cheapest first: A 5,00, B 6,00, C 10,00; C lacks Tee and Zucker.
    QCOMPARE(column(0), QStringList({ "A", "B", "C", "Günstigste Aufteilung" }));
    QCOMPARE(column(2), QStringList({ "5,00 EUR", "6,00 EUR", "10,00 EUR", "4,00 EUR" }));
    QCOMPARE(column(3), QStringList({ "1: Zucker", "1: Zucker", "2: Zucker, Tee", "1" }));
    // Against each shop over what it carries (A: Tee 2,00 and Brot 3,00 against 4,00); against the list itself.
    QCOMPARE(column(4), QStringList({ "1,00 EUR", "2,00 EUR", "8,00 EUR", "1,00 EUR" }));
    QHeaderView* header = dialog.table()->horizontalHeader();
    // Complete shops first by default; the header sorts by total, a second click turns it round.
    const QPoint totalHeading(header->sectionViewportPosition(PriceComparisonDialog::Total) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, totalHeading);
    QCOMPARE(column(0), QStringList({ "A", "B", "C", "Günstigste Aufteilung" }));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, totalHeading);
    QCOMPARE(column(0), QStringList({ "C", "B", "A", "Günstigste Aufteilung" }));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(PriceComparisonDialog::Shop) + 5, header->height() / 2));
    QCOMPARE(column(0).last(), QStringLiteral("Günstigste Aufteilung"));

    dialog.findChild<QPushButton*>(QStringLiteral("copyButton"))->click();
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.first(), QStringLiteral("Laden\tProdukte\tSumme\tEs fehlen\tErsparnis"));
    QCOMPARE(lines.last().section(u'\t', 0, 2), QStringLiteral("Günstigste Aufteilung\t2\t4,00 EUR"));
}

namespace {

const QStringList kShops { "Milch|Aldi|0,99 EUR", "milch|Lidl|0,89 EUR", "Milch|Edeka|1,19 EUR", "Brot|Aldi|2,00 EUR",
    "Brot|Bäcker|1,50 EUR", "Butter|Edeka|1,79 EUR" };

} // namespace

void TestPriceComparison::cheapestShopsInTheWindow_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("status");
    QTest::newRow("three moved, one alone at its shop")
        << "cheapestShopsAction"
        << QStringList { "2|Milch|Aldi|0,99 EUR", "1|Brot|Aldi|2,00 EUR", "1|Butter|Edeka|1,79 EUR",
               "3|milch|Edeka|1,19 EUR" }
        << QStringList { "2|Milch|Lidl|0,89 EUR", "1|Brot|Bäcker|1,50 EUR", "1|Butter|Edeka|1,79 EUR",
               "3|milch|Lidl|0,89 EUR" }
        << "3 Einträge umgestellt, 1,60 EUR gespart";
    QTest::newRow("one, by the button, quantity kept")
        << "cheapestShopsButton" << QStringList { "1,5|Milch|Aldi|0,99 EUR", "1|Zucker|Aldi|1,00 EUR" }
        << QStringList { "1,5|Milch|Lidl|0,89 EUR", "1|Zucker|Aldi|1,00 EUR" }
        << "1 Eintrag umgestellt, 0,15 EUR gespart";
    QTest::newRow("nothing to move") << "cheapestShopsAction" << QStringList { "1|Milch|Lidl|0,89 EUR" }
                                     << QStringList { "1|Milch|Lidl|0,89 EUR" }
                                     << "Alle Einträge stehen schon beim günstigsten Laden.";
}

// Through the window: one step that undo takes back whole and redo does again; nothing to move is no step.
void TestPriceComparison::cheapestShopsInTheWindow()
{
    QFETCH(QString, control);
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QString, status);
    MainWindowFixture f;
    MainWindow& form = f.start();
    fill(*form.products(), kShops);
    fill(*form.shopping(), before);
    const auto rows = [&form] {
        QStringList texts;
        for (int row = 0; row < form.shopping()->count(); ++row) {
            const Entry& e = form.shopping()->entryAt(row);
            texts << QStringList({ e.caption, e.subItems[0], e.subItems[1], e.subItems[2] }).join(u'|');
        }
        return texts;
    };
    if (auto* button = form.findChild<QToolButton*>(control))
        button->click();
    else
        form.findChild<QAction*>(control)->trigger();
    QCOMPARE(rows(), after);
    QCOMPARE(form.statusBar()->currentMessage(), status);
    QCOMPARE(form.history()->count(), before == after ? 0 : 1);
    form.undo();
    QCOMPARE(rows(), before);
    form.redo();
    QCOMPARE(rows(), after);
}

void TestPriceComparison::comparisonInTheWindow_data()
{
    QTest::addColumn<QStringList>("products");
    QTest::addColumn<QStringList>("shopping");
    QTest::addColumn<QStringList>("shops"); // the dialog's first column, top down, the last row left out
    QTest::addColumn<QString>("status"); // "Günstigste Läden wählen" afterwards

    QTest::newRow("a complete shop before a cheap one that lacks most")
        << QStringList { "Bananen|Aldi Süd|1,19 EUR", "Milch|Aldi Süd|0,99 EUR", "Brot|Aldi Süd|2,00 EUR",
               "Butter|Aldi Süd|1,79 EUR", "Käse|Aldi Süd|2,49 EUR", "Zahnpasta|Aldi Süd|1,45 EUR",
               "Zahnpasta|dm|0,95 EUR", "Brot|Bäckerei Hofmann|1,50 EUR" }
        << QStringList { "1|Bananen|Aldi Süd|1,19 EUR", "1|Milch|Aldi Süd|0,99 EUR", "1|Brot|Aldi Süd|2,00 EUR",
               "1|Butter|Aldi Süd|1,79 EUR", "1|Käse|Aldi Süd|2,49 EUR", "1|Zahnpasta|Aldi Süd|1,45 EUR" }
        << QStringList { "Aldi Süd", "dm", "Bäckerei Hofmann" } << "2 Einträge umgestellt, 1,00 EUR gespart";
    QTest::newRow("the only complete shop is the dearest")
        << kShops << QStringList { "2|Milch|Aldi|0,99 EUR", "1|Butter|Edeka|1,79 EUR" }
        << QStringList { "Edeka", "Lidl", "Aldi", "Bäcker" } << "1 Eintrag umgestellt, 0,20 EUR gespart";
}

// The dialog runs through the dialogs' interface, over the window's lists: wide enough for its columns, complete
// shops first, and its last saving the one "Günstigste Läden wählen" then brings.
void TestPriceComparison::comparisonInTheWindow()
{
    QFETCH(QStringList, products);
    QFETCH(QStringList, shopping);
    MainWindowFixture f;
    MainWindow& form = f.start();
    fill(*form.products(), products);
    fill(*form.shopping(), shopping);
    QStringList shops;
    QString saving;
    bool columnsShown = false;
    f.dialogs.execAnswer = [&](QDialog* dialog) {
        auto* comparison = qobject_cast<PriceComparisonDialog*>(dialog);
        comparison->show();
        QTableView* table = comparison->table();
        const QHeaderView* header = table->horizontalHeader();
        columnsShown = QTest::qWaitFor([&] {
            return !table->horizontalScrollBar()->isVisible()
                && header->sectionViewportPosition(PriceComparisonDialog::ColumnCount - 1)
                    + header->sectionSize(PriceComparisonDialog::ColumnCount - 1)
                <= table->viewport()->width();
        });
        for (int row = 0; row + 1 < table->model()->rowCount(); ++row)
            shops << table->model()->index(row, PriceComparisonDialog::Shop).data().toString();
        saving = table->model()->index(table->model()->rowCount() - 1, PriceComparisonDialog::Saving).data().toString();
        return int(QDialog::Accepted);
    };
    form.findChild<QAction*>(QStringLiteral("priceComparisonAction"))->trigger();
    QVERIFY(columnsShown);
    QTEST(shops, "shops");
    form.findChild<QAction*>(QStringLiteral("cheapestShopsAction"))->trigger();
    QFETCH(QString, status);
    QCOMPARE(form.statusBar()->currentMessage(), status);
    // "… 1,00 EUR gespart" and the last row's "1,00 EUR": the same amount.
    QCOMPARE(saving.section(QStringLiteral(" EUR"), 0, 0), status.section(u' ', -3, -3));
}

QTEST_MAIN(TestPriceComparison)
#include "tst_pricecomparison.moc"
