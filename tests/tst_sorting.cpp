#include "ListsHarness.h"
#include "WindowWidgets.h"
#include "lists/ListSort.h"
#include "ui/SpinEdit.h"

#include <QApplication>
#include <QLineEdit>

#include <QLocale>
#include <QRandomGenerator>

#include <algorithm>
#include <numeric>

using namespace korbana;

enum List { Stores = 0, Products = 1, Shopping = 2 };

class TestSorting : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void folding_data();
    void folding();
    void foldedComparison_data();
    void foldedComparison();
    void numberComparison_data();
    void numberComparison();
    void headerClicks_data();
    void headerClicks();
    void sortStateStartsAndToggles();
    void addedEntryStaysAtEnd();
    void selectionFollowsEntry();
    void openEditBoxTakesPart();
    void newAndOpenKeepSortState();
    void handlersCompareAsSortOrders();
    void keyedSortMatchesPairwiseComparison_data();
    void keyedSortMatchesPairwiseComparison();
    void inconsistentComparisonKeepsEveryEntry();
};

void TestSorting::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
}

void TestSorting::folding_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("folded");

    QTest::newRow("lower") << "apfel"
                           << "APFEL";
    QTest::newRow("mixed") << "Markt a"
                           << "MARKT A";
    QTest::newRow("umlauts stay") << "äpfel öl über"
                                  << "äPFEL öL üBER";
    QTest::newRow("sharp s stays") << "straße"
                                   << "STRAßE";
    QTest::newRow("digits and marks") << "2x, 3-fach!"
                                      << "2X, 3-FACH!";
    QTest::newRow("accented stays") << "café"
                                    << "CAFé";
    QTest::newRow("empty") << ""
                           << "";
}

void TestSorting::folding()
{
    QFETCH(QString, text);
    QFETCH(QString, folded);
    QCOMPARE(foldText(text), folded);
}

void TestSorting::foldedComparison_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");

    for (const char* locale : { "de_DE", "en_US" }) {
        QTest::addRow("%s apfel = APFEL", locale) << locale << "apfel"
                                                  << "APFEL" << 0;
        QTest::addRow("%s Apfel = aPFEL", locale) << locale << "Apfel"
                                                  << "aPFEL" << 0;
        QTest::addRow("%s kiosk before markt", locale) << locale << "kiosk"
                                                       << "Markt" << -1;
        QTest::addRow("%s markt b after Markt a", locale) << locale << "markt b"
                                                          << "Markt a" << 1;
        QTest::addRow("%s empty first", locale) << locale << ""
                                                << "a" << -1;
        QTest::addRow("%s empty equal", locale) << locale << ""
                                                << "" << 0;
        // Only a to z are folded, so the collation's lower-before-upper shows for umlauts.
        QTest::addRow("%s äpfel before Äpfel", locale) << locale << "äpfel"
                                                       << "Äpfel" << -1;
        QTest::addRow("%s Äpfel after äpfel", locale) << locale << "Äpfel"
                                                      << "äpfel" << 1;
    }
    QTest::newRow("de umlaut among letters") << "de_DE"
                                             << "Äpfel"
                                             << "Birnen" << -1;
}

void TestSorting::foldedComparison()
{
    QFETCH(QString, locale);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);

    QLocale::setDefault(QLocale(locale));
    QCOMPARE(compareFolded(a, b), expected);
    QCOMPARE(compareFolded(b, a), -expected);
}

void TestSorting::numberComparison_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("flag");
    QTest::addColumn<int>("expected");

    QTest::newRow("de less, largest first") << "de_DE"
                                            << "2"
                                            << "10" << false << 1;
    QTest::newRow("de greater, largest first") << "de_DE"
                                               << "10"
                                               << "2" << false << -1;
    QTest::newRow("de less, smallest first") << "de_DE"
                                             << "2"
                                             << "10" << true << -1;
    QTest::newRow("de greater, smallest first") << "de_DE"
                                                << "10"
                                                << "2" << true << 1;
    QTest::newRow("de equal") << "de_DE"
                              << " 2 "
                              << "2,0" << false << 0;
    QTest::newRow("de equal flag") << "de_DE"
                                   << "2"
                                   << "2,00" << true << 0;
    QTest::newRow("de decimals") << "de_DE"
                                 << "1,99"
                                 << "10,00" << false << 1;
    QTest::newRow("de first unreadable") << "de_DE"
                                         << "2x"
                                         << "1" << false << 1;
    QTest::newRow("de second unreadable") << "de_DE"
                                          << "1"
                                          << "2x" << false << 1;
    QTest::newRow("de both unreadable, flag") << "de_DE"
                                              << ""
                                              << "ca." << true << 1;
    QTest::newRow("de point as decimal") << "de_DE"
                                         << "1.5"
                                         << "1,75" << true << -1;
    QTest::newRow("de point group is foreign") << "de_DE"
                                               << "1"
                                               << "1.500" << true << 1;
    QTest::newRow("en decimals") << "en_US"
                                 << "1.99"
                                 << "10.00" << false << 1;
    QTest::newRow("en comma as decimal") << "en_US"
                                         << "1,5"
                                         << "1.25" << false << -1;
    QTest::newRow("C comma as decimal") << "C"
                                        << "-0,5"
                                        << "-0.25" << true << -1;
    QTest::newRow("en comma group is foreign") << "en_US"
                                               << "1,500"
                                               << "1" << false << 1;
    QTest::newRow("en negative") << "en_US"
                                 << "-1"
                                 << "0.5" << true << -1;
}

void TestSorting::numberComparison()
{
    QFETCH(QString, locale);
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, flag);
    QFETCH(int, expected);

    QLocale::setDefault(QLocale(locale));
    QCOMPARE(compareNumbers(a, b, flag), expected);
}

void TestSorting::headerClicks_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("list");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<QStringList>("expected");

    const QStringList stores { "Markt B", "markt a", "Kiosk" };
    QTest::newRow("stores first click Z to A")
        << "de_DE" << int(Stores) << stores << QList<int> { 0 } << QStringList({ "Markt B", "markt a", "Kiosk" });
    QTest::newRow("stores second click A to Z")
        << "de_DE" << int(Stores) << stores << QList<int> { 0, 0 } << QStringList({ "Kiosk", "markt a", "Markt B" });

    const QStringList prices { "a|S|1,99 EUR", "b|S|10,00 EUR", "c|S|2,50 EUR" };
    QTest::newRow("prices largest first") << "de_DE" << int(Products) << prices << QList<int> { 2 }
                                          << QStringList({ "b|S|10,00 EUR", "c|S|2,50 EUR", "a|S|1,99 EUR" });
    QTest::newRow("prices smallest first") << "de_DE" << int(Products) << prices << QList<int> { 2, 2 }
                                           << QStringList({ "a|S|1,99 EUR", "c|S|2,50 EUR", "b|S|10,00 EUR" });
    const QStringList pricesEn { "a|S|1.99 EUR", "b|S|10.00 EUR", "c|S|2.50 EUR" };
    QTest::newRow("en prices largest first") << "en_US" << int(Products) << pricesEn << QList<int> { 2 }
                                             << QStringList({ "b|S|10.00 EUR", "c|S|2.50 EUR", "a|S|1.99 EUR" });
    // Prices written with either separator sort by their value under every locale.
    const QStringList pricesMixed { "a|S|1,99 EUR", "b|S|10.00 EUR", "c|S|2,5 EUR" };
    for (const char* locale : { "de_DE", "en_US", "C" })
        QTest::addRow("%s mixed separators largest first", locale)
            << locale << int(Products) << pricesMixed << QList<int> { 2 }
            << QStringList({ "b|S|10.00 EUR", "c|S|2,5 EUR", "a|S|1,99 EUR" });

    const QStringList products { "Milch|Markt B|1", "brot|Markt A|2", "Apfel|Markt B|3", "Brot|markt b|4" };
    QTest::newRow("products by shop, names A to Z")
        << "de_DE" << int(Products) << products << QList<int> { 1 }
        << QStringList({ "brot|Markt A|2", "Apfel|Markt B|3", "Brot|markt b|4", "Milch|Markt B|1" });
    QTest::newRow("products by shop twice, both Z to A")
        << "de_DE" << int(Products) << products << QList<int> { 1, 1 }
        << QStringList({ "Milch|Markt B|1", "Brot|markt b|4", "Apfel|Markt B|3", "brot|Markt A|2" });
    QTest::newRow("products by name first click, ties by shop Z to A")
        << "de_DE" << int(Products) << products << QList<int> { 0 }
        << QStringList({ "Milch|Markt B|1", "Brot|markt b|4", "brot|Markt A|2", "Apfel|Markt B|3" });
    QTest::newRow("products other column resets the flag")
        << "de_DE" << int(Products) << products << QList<int> { 0, 1, 0 }
        << QStringList({ "Apfel|Markt B|3", "brot|Markt A|2", "Brot|markt b|4", "Milch|Markt B|1" });

    const QStringList quantities { "10|a|S|1", "2|b|S|1", "1|c|S|1" };
    QTest::newRow("quantities smallest first") << "de_DE" << int(Shopping) << quantities << QList<int> { 0 }
                                               << QStringList({ "1|c|S|1", "2|b|S|1", "10|a|S|1" });
    QTest::newRow("quantities largest first") << "de_DE" << int(Shopping) << quantities << QList<int> { 0, 0 }
                                              << QStringList({ "10|a|S|1", "2|b|S|1", "1|c|S|1" });

    const QStringList shopping { "1|Milch|Markt B|1,00 EUR", "2|Brot|Markt B|3,00 EUR", "3|Milch|Markt A|0,50 EUR" };
    QTest::newRow("shopping by name, ties by shop")
        << "de_DE" << int(Shopping) << shopping << QList<int> { 1 }
        << QStringList({ "2|Brot|Markt B|3,00 EUR", "3|Milch|Markt A|0,50 EUR", "1|Milch|Markt B|1,00 EUR" });
    QTest::newRow("shopping by name twice")
        << "de_DE" << int(Shopping) << shopping << QList<int> { 1, 1 }
        << QStringList({ "1|Milch|Markt B|1,00 EUR", "3|Milch|Markt A|0,50 EUR", "2|Brot|Markt B|3,00 EUR" });
    QTest::newRow("shopping by shop, ties by name")
        << "de_DE" << int(Shopping) << shopping << QList<int> { 2 }
        << QStringList({ "3|Milch|Markt A|0,50 EUR", "2|Brot|Markt B|3,00 EUR", "1|Milch|Markt B|1,00 EUR" });
    QTest::newRow("shopping by shop twice")
        << "de_DE" << int(Shopping) << shopping << QList<int> { 2, 2 }
        << QStringList({ "1|Milch|Markt B|1,00 EUR", "2|Brot|Markt B|3,00 EUR", "3|Milch|Markt A|0,50 EUR" });
    QTest::newRow("shopping by unit price, not by quantity")
        << "de_DE" << int(Shopping) << QStringList({ "10|a|S|1,00 EUR", "1|b|S|3,00 EUR", "2|c|S|0,50 EUR" })
        << QList<int> { 3 } << QStringList({ "1|b|S|3,00 EUR", "10|a|S|1,00 EUR", "2|c|S|0,50 EUR" });
    QTest::newRow("shopping price by number, not by text")
        << "de_DE" << int(Shopping) << QStringList({ "1|a|S|9,99 EUR", "1|b|S|10,00 EUR" }) << QList<int> { 3, 3 }
        << QStringList({ "1|a|S|9,99 EUR", "1|b|S|10,00 EUR" });
}

void TestSorting::headerClicks()
{
    QFETCH(QString, locale);
    QFETCH(int, list);
    QFETCH(QStringList, rows);
    QFETCH(QList<int>, clicks);
    QFETCH(QStringList, expected);

    QLocale::setDefault(QLocale(locale));
    ListsHarness h;
    QVERIFY(h.show());
    h.fill(list, rows);
    for (int column : clicks)
        h.clickHeader(list, column);
    QCOMPARE(h.rows(list), expected);
    QVERIFY(h.dialogs.messages.isEmpty());
}

void TestSorting::sortStateStartsAndToggles()
{
    ListsHarness h;
    QVERIFY(h.show());
    for (int list = Stores; list <= Shopping; ++list) {
        QCOMPARE(h.form->sortState(list).column, 0);
        QCOMPARE(h.form->sortState(list).flipped, false);
    }
    h.clickHeader(Shopping, 3);
    QCOMPARE(h.form->sortState(Shopping).column, 3);
    QCOMPARE(h.form->sortState(Shopping).flipped, false);
    h.clickHeader(Shopping, 3);
    QCOMPARE(h.form->sortState(Shopping).flipped, true);
    h.clickHeader(Shopping, 1);
    QCOMPARE(h.form->sortState(Shopping).column, 1);
    QCOMPARE(h.form->sortState(Shopping).flipped, false);
    // Each list keeps its own state.
    QCOMPARE(h.form->sortState(Products).column, 0);
    h.clickHeader(Stores, 0);
    QCOMPARE(h.form->sortState(Stores).flipped, true);
    QCOMPARE(h.form->sortState(Products).flipped, false);
}

void TestSorting::addedEntryStaysAtEnd()
{
    ListsHarness h;
    QVERIFY(h.show());
    h.fill(Stores, { "Markt A" });
    h.fill(Products, { "b|Markt A|2,00 EUR", "a|Markt A|1,00 EUR" });
    h.clickHeader(Products, 1);
    QCOMPARE(h.rows(Products), QStringList({ "a|Markt A|1,00 EUR", "b|Markt A|2,00 EUR" }));

    h.view(Stores)->selectRow(0);
    priceEdit(*h.form)->setValue(0.5);
    h.form->addProduct();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(h.rows(Products), QStringList({ "a|Markt A|1,00 EUR", "b|Markt A|2,00 EUR", "Produkt|Markt A|0,50 EUR" }));

    // A click on the same header reverses; the same direction again takes a second click.
    h.clickHeader(Products, 1);
    QCOMPARE(h.rows(Products), QStringList({ "Produkt|Markt A|0,50 EUR", "b|Markt A|2,00 EUR", "a|Markt A|1,00 EUR" }));
    h.clickHeader(Products, 1);
    QCOMPARE(h.rows(Products), QStringList({ "a|Markt A|1,00 EUR", "b|Markt A|2,00 EUR", "Produkt|Markt A|0,50 EUR" }));
}

void TestSorting::selectionFollowsEntry()
{
    ListsHarness h;
    QVERIFY(h.show());
    h.fill(Shopping, { "3|c|S|1", "1|a|S|1", "2|b|S|1", "5|e|S|1" });
    h.view(Shopping)->selectRow(1);
    h.clickHeader(Shopping, 0);
    QCOMPARE(h.view(Shopping)->selectedRow(), 0);
    QCOMPARE(h.model(Shopping)->caption(0), "1");
    h.clickHeader(Shopping, 0);
    QCOMPARE(h.view(Shopping)->selectedRow(), 3);
    QCOMPARE(h.model(Shopping)->caption(3), "1");
    QCOMPARE(h.view(Shopping)->selectionModel()->selectedRows().size(), 1);
}

void TestSorting::openEditBoxTakesPart()
{
    ListsHarness h;
    QVERIFY(h.show());
    h.fill(Stores, { "b", "c" });
    h.view(Stores)->beginEdit(0);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->setText("d");
    h.clickHeader(Stores, 0);
    QVERIFY(!h.view(Stores)->isEditing());
    QCOMPARE(h.rows(Stores), QStringList({ "d", "c" }));
    QCOMPARE(h.view(Stores)->selectedRow(), 0);
}

void TestSorting::newAndOpenKeepSortState()
{
    ListsHarness h;
    QVERIFY(h.show());
    h.clickHeader(Products, 2);
    h.clickHeader(Products, 2);
    h.dialogs.answers = { QMessageBox::No };
    h.form->newDocument();
    QCOMPARE(h.form->sortState(Products).column, 2);
    QCOMPARE(h.form->sortState(Products).flipped, true);
    // New entries are not sorted until the next click.
    h.fill(Products, { "a|S|3", "b|S|1", "c|S|2" });
    QCOMPARE(h.rows(Products), QStringList({ "a|S|3", "b|S|1", "c|S|2" }));
    h.dialogs.answers = { QMessageBox::No };
    h.dialogs.fileAnswers = { h.dir.filePath("fehlt.kbl") };
    h.form->openDocument();
    QCOMPARE(h.form->sortState(Products).column, 2);
    QCOMPARE(h.form->sortState(Products).flipped, true);
}

static std::vector<int> identity(int n)
{
    std::vector<int> order(static_cast<size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

// Random texts that exercise folding, collation, number reading and empty fields.
static QString randomText(QRandomGenerator& random)
{
    static const QStringList pieces { "", "a", "A", "b", "Z", "z", "ä", "Ä", "ß", "é", " ", "-", "1", "2", "10", ",",
        ".", "5", "e", "E", "x", "EUR", "\u0001", "\u00ad" };
    QString text;
    const int n = random.bounded(4);
    for (int i = 0; i < n; ++i)
        text += pieces[random.bounded(pieces.size())];
    return text;
}

static QString randomNumberText(QRandomGenerator& random)
{
    switch (random.bounded(4)) {
    case 0:
        return randomText(random);
    case 1:
        return QString::number(random.bounded(20));
    default:
        return QString::number(random.bounded(20)) + "," + QString::number(random.bounded(100)) + " EUR";
    }
}

// Only readable numbers, from a few shared strings, as a loaded file has them.
static void fillReadable(ListModel& model, QRandomGenerator& random, int count)
{
    const QString sep = QLocale().decimalPoint();
    QStringList pool;
    for (int i = 0; i < 12; ++i) {
        pool.append(QString::number(random.bounded(20)));
        pool.append(QString::number(random.bounded(20)) + sep + QString::number(random.bounded(10, 100)) + " EUR");
    }
    for (int i = 0; i < count; ++i) {
        QStringList fields;
        for (int f = 0; f <= model.subItemCount(); ++f)
            fields.append(pool[random.bounded(pool.size())]);
        model.append(fields.takeFirst(), fields);
    }
}

static void fillRandom(ListModel& model, QRandomGenerator& random, int count)
{
    for (int i = 0; i < count; ++i) {
        QStringList fields;
        for (int f = 0; f <= model.subItemCount(); ++f) {
            const bool number = random.bounded(2) == 0;
            fields.append(number ? randomNumberText(random) : randomText(random));
        }
        model.append(fields.takeFirst(), fields);
    }
}

void TestSorting::handlersCompareAsSortOrders()
{
    ListsHarness h;
    QVERIFY(h.show());
    h.fill(Stores, { "a", "b" });
    h.fill(Shopping, { "2|a|S|1,00 EUR", "1|b|S|2,00 EUR" });
    // Compares the entries "a" and "b" wherever the last sort put them.
    const auto compareAB = [&](int list, korbana::ListKind kind) {
        const ListModel* m = h.model(list);
        const int a = m->entryAt(0).caption == "a" || m->entryAt(0).subItems[0] == "a" ? 0 : 1;
        const SortState state = h.form->sortState(list);
        return korbana::compareEntries(kind, state.column, state.flipped, m->entryAt(a), m->entryAt(1 - a));
    };
    QCOMPARE(compareAB(Stores, korbana::ListKind::Stores), -1);
    h.clickHeader(Stores, 0);
    QCOMPARE(compareAB(Stores, korbana::ListKind::Stores), 1);
    h.clickHeader(Shopping, 3);
    QCOMPARE(compareAB(Shopping, korbana::ListKind::Shopping), 1);
    h.clickHeader(Shopping, 3);
    QCOMPARE(compareAB(Shopping, korbana::ListKind::Shopping), -1);
    h.clickHeader(Shopping, 1);
    QCOMPARE(compareAB(Shopping, korbana::ListKind::Shopping), -1);
    // The Store list kept its own state.
    QCOMPARE(compareAB(Stores, korbana::ListKind::Stores), 1);
}

void TestSorting::keyedSortMatchesPairwiseComparison_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("seed");
    QTest::addColumn<bool>("readable");
    for (const char* locale : { "de_DE", "en_US", "C" }) {
        for (int seed = 1; seed <= 4; ++seed) {
            QTest::addRow("%s seed %d", locale, seed) << locale << seed << false;
            QTest::addRow("%s seed %d, readable numbers", locale, seed) << locale << seed << true;
        }
    }
}

// Keys computed once per sort give exactly the order of the comparison made pair by pair, and every entry stays.
void TestSorting::keyedSortMatchesPairwiseComparison()
{
    QFETCH(QString, locale);
    QFETCH(int, seed);
    QFETCH(bool, readable);
    QLocale::setDefault(QLocale(locale));
    QRandomGenerator random { quint32(seed) };

    const std::pair<ListKind, QStringList> lists[]
        = { { ListKind::Stores, { "Name" } }, { ListKind::Products, { "Name", "Laden", "Preis" } },
              { ListKind::Shopping, { "Menge", "Name", "Laden", "Preis" } } };
    for (const auto& [kind, headers] : lists) {
        ListModel model(headers);
        if (readable)
            fillReadable(model, random, random.bounded(1, 300));
        else
            fillRandom(model, random, random.bounded(1, 300));
        for (int column = 0; column < headers.size(); ++column) {
            for (bool flag : { false, true }) {
                std::vector<int> pairwise = identity(model.count());
                mergeSort(pairwise, [&](int a, int b) {
                    return compareEntries(kind, column, flag, model.entryAt(a), model.entryAt(b));
                });
                const std::vector<int> keyed = sortOrder(kind, column, flag, model);
                QCOMPARE(keyed, pairwise);
                std::vector<int> sorted = keyed;
                std::sort(sorted.begin(), sorted.end());
                for (size_t i = 0; i < sorted.size(); ++i)
                    QCOMPARE(sorted[i], int(i));
            }
        }
    }
}

void TestSorting::inconsistentComparisonKeepsEveryEntry()
{
    QRandomGenerator random(11);
    for (int n = 0; n < 70; ++n) {
        const std::vector<int> order = identity(n);
        std::vector<int> alwaysAfter = order;
        mergeSort(alwaysAfter, [](int, int) { return 1; });
        std::vector<int> randomAnswers = order;
        mergeSort(randomAnswers, [&](int, int) { return random.bounded(3) - 1; });
        for (std::vector<int>* result : { &alwaysAfter, &randomAnswers }) {
            std::sort(result->begin(), result->end());
            QCOMPARE(*result, order);
        }
    }

    // Unreadable quantities through the real window: the sort ends and loses no entry.
    ListsHarness h;
    QVERIFY(h.show());
    QStringList rows;
    for (int i = 0; i < 200; ++i)
        rows.append(QStringList({ "", "2x", "ca.", QString::number(i % 7), " 3 " })[i % 5] + "|" + QString::number(i));
    h.fill(Shopping, rows);
    for (int column : { 0, 0, 3, 3 }) {
        h.clickHeader(Shopping, column);
        QStringList now = h.rows(Shopping);
        QStringList expected = rows;
        for (QString& row : expected)
            row += "||";
        now.sort();
        expected.sort();
        QCOMPARE(now, expected);
    }
}

QTEST_MAIN(TestSorting)
#include "tst_sorting.moc"
