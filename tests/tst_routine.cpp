#include "document/ListDocument.h"
#include "document/ShopWalk.h"

#include <QFont>
#include <QTest>
#include <QUndoStack>

#include <numeric>

using namespace korbana;

namespace {

// Each row as its name and shop, "Name@Laden"; the shopping list's rows with the quantity before them.
QStringList productRows(const ListModel& products)
{
    QStringList result;
    for (int row = 0; row < products.count(); ++row)
        result << products.caption(row) + '@' + products.subItem(row, 0);
    return result;
}

QStringList shoppingRows(const ListModel& shopping)
{
    QStringList result;
    for (int row = 0; row < shopping.count(); ++row)
        result << shopping.caption(row) + ' ' + shopping.subItem(row, 0) + '@' + shopping.subItem(row, 1);
    return result;
}

// Fills the lists from "Name@Laden" texts; shopping entries take quantity 1 and the price 1,00 EUR.
void fill(ListDocument& document, const QStringList& stores, const QStringList& products, const QStringList& shopping)
{
    for (const QString& store : stores)
        document.stores()->append(store);
    for (const QString& product : products)
        document.products()->append(product.section('@', 0, 0), { product.section('@', 1), "1,00 EUR" });
    for (const QString& entry : shopping)
        document.shopping()->append("1", { entry.section('@', 0, 0), entry.section('@', 1), "1,00 EUR" });
}

ListExtras::Record walk(const QStringList& fields)
{
    return { "walk", fields };
}

} // namespace

class TestRoutine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void walkOrder_data();
    void walkOrder();
    void moveInWalk_data();
    void moveInWalk();
    void staples();
    void quickAdd_data();
    void quickAdd();
    void quickAddSuggestions();
};

void TestRoutine::walkOrder_data()
{
    QTest::addColumn<QStringList>("shopping");
    QTest::addColumn<QList<ListExtras::Record>>("walks");
    QTest::addColumn<QStringList>("ordered");

    const QStringList week { "Milch@Aldi", "Brot@Bäcker", "Wurst@Edeka", "Käse@Aldi", "Eier@Aldi", "Semmel@Bäcker" };
    QTest::newRow("no walk: shops in the Store list's order, then the rest")
        << week << QList<ListExtras::Record>()
        << QStringList { "Brot@Bäcker", "Semmel@Bäcker", "Milch@Aldi", "Käse@Aldi", "Eier@Aldi", "Wurst@Edeka" };
    QTest::newRow("the walk, products without a place last")
        << week << QList { walk({ "Aldi", "Käse", "Milch" }) }
        << QStringList { "Brot@Bäcker", "Semmel@Bäcker", "Käse@Aldi", "Milch@Aldi", "Eier@Aldi", "Wurst@Edeka" };
    QTest::newRow("a walk of another shop's products changes nothing here")
        << QStringList { "Semmel@Bäcker", "Brot@Bäcker" } << QList { walk({ "Aldi", "Brot", "Semmel" }) }
        << QStringList { "Semmel@Bäcker", "Brot@Bäcker" };
    QTest::newRow("shop without the Store list, with a walk")
        << QStringList { "Wurst@Edeka", "Brot@Bäcker", "Senf@Edeka" } << QList { walk({ "Edeka", "Senf", "Wurst" }) }
        << QStringList { "Brot@Bäcker", "Senf@Edeka", "Wurst@Edeka" };
    QTest::newRow("empty list") << QStringList() << QList<ListExtras::Record>() << QStringList();
}

void TestRoutine::walkOrder()
{
    QFETCH(QStringList, shopping);
    QFETCH(QList<ListExtras::Record>, walks);
    QFETCH(QStringList, ordered);

    ListDocument document;
    fill(document, { "Bäcker", "Aldi" }, {}, shopping);
    if (!walks.isEmpty())
        document.changeExtraRecords("walk", walks, "Laufweg");
    const int steps = document.history()->count();
    const bool moves = ordered != shopping;
    QCOMPARE(document.orderShoppingByWalk(), moves);
    QCOMPARE(shoppingRows(*document.shopping()).replaceInStrings("1 ", ""), ordered);
    QCOMPARE(document.history()->count(), steps + (moves ? 1 : 0));
    // In that order already: the walk order is the list's own.
    std::vector<int> identity(static_cast<size_t>(shopping.size()));
    std::iota(identity.begin(), identity.end(), 0);
    QVERIFY(document.walkOrder() == identity);
    if (moves) {
        QCOMPARE(document.history()->undoText(), QStringLiteral("Nach Laufweg ordnen"));
        document.undo();
        QCOMPARE(shoppingRows(*document.shopping()).replaceInStrings("1 ", ""), shopping);
    }
}

void TestRoutine::moveInWalk_data()
{
    QTest::addColumn<QStringList>("products");
    QTest::addColumn<QList<ListExtras::Record>>("walks");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("step");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("walk");

    const QStringList catalogue { "Milch@Aldi", "Brot@Bäcker", "Käse@Aldi", "Eier@Aldi" };
    QTest::newRow("up past another shop's product")
        << catalogue << QList<ListExtras::Record>() << 2 << -1
        << QStringList { "Käse@Aldi", "Brot@Bäcker", "Milch@Aldi", "Eier@Aldi" }
        << QStringList { "Aldi", "Käse", "Milch", "Eier" };
    QTest::newRow("down") << catalogue << QList<ListExtras::Record>() << 0 << 1
                          << QStringList { "Käse@Aldi", "Brot@Bäcker", "Milch@Aldi", "Eier@Aldi" }
                          << QStringList { "Aldi", "Käse", "Milch", "Eier" };
    QTest::newRow("first cannot go up") << catalogue << QList<ListExtras::Record>() << 0 << -1 << catalogue
                                        << QStringList();
    QTest::newRow("last cannot go down") << catalogue << QList<ListExtras::Record>() << 3 << 1 << catalogue
                                         << QStringList();
    QTest::newRow("alone in its shop") << catalogue << QList<ListExtras::Record>() << 1 << 1 << catalogue
                                       << QStringList();
    // The stored walk counts, not the catalogue's order; a name the shop no longer has keeps no place.
    QTest::newRow("stored walk") << catalogue << QList { walk({ "Aldi", "Eier", "Weg", "Milch", "Käse" }) } << 0 << -1
                                 << QStringList { "Eier@Aldi", "Brot@Bäcker", "Käse@Aldi", "Milch@Aldi" }
                                 << QStringList { "Aldi", "Milch", "Eier", "Käse" };
    QTest::newRow("no such row") << catalogue << QList<ListExtras::Record>() << 9 << -1 << catalogue << QStringList();
}

void TestRoutine::moveInWalk()
{
    QFETCH(QStringList, products);
    QFETCH(QList<ListExtras::Record>, walks);
    QFETCH(int, row);
    QFETCH(int, step);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, walk);

    ListDocument document;
    fill(document, { "Aldi", "Bäcker" }, products, {});
    if (!walks.isEmpty())
        document.changeExtraRecords("walk", walks, "Laufweg");
    const QList<ListExtras::Record> before = document.extras().records(u"walk");
    QCOMPARE(document.moveInWalk(row, step), !walk.isEmpty());
    QCOMPARE(productRows(*document.products()), rows);
    if (walk.isEmpty())
        return;
    QCOMPARE(document.extras().records(u"walk").size(), 1);
    QCOMPARE(document.extras().records(u"walk").first().fields, walk);
    QCOMPARE(document.history()->undoText(), QStringLiteral("Laufweg ändern"));
    document.undo();
    QCOMPARE(productRows(*document.products()), products);
    QCOMPARE(document.extras().records(u"walk"), before);
}

void TestRoutine::staples()
{
    ListDocument document;
    fill(document, { "Aldi" }, { "Milch@Aldi", "Brot@Aldi", "Milch@Bäcker", "Käse@Aldi" }, { "Käse@Aldi" });
    QCOMPARE(document.addStaples(), 0);
    document.setStaple(0, "2");
    document.setStaple(1, "1");
    document.setStaple(3, "3");
    QCOMPARE(document.stapleQuantity(0), QStringLiteral("2"));
    QCOMPARE(document.stapleQuantity(2), QString()); // the same name at another shop is another product
    QCOMPARE(document.products()->data(document.products()->index(0, 0), Qt::FontRole).value<QFont>().bold(), true);
    QCOMPARE(document.extras().records(u"staple").first().fields, (QStringList { "1", "Milch", "Aldi", "2" }));
    document.setStaple(1, QString());
    QCOMPARE(document.stapleQuantity(1), QString());
    // A new price keeps the mark: staples are named by name and shop.
    document.products()->setSubItem(0, 1, "1,19 EUR");
    QCOMPARE(document.stapleQuantity(0), QStringLiteral("2"));

    const int steps = document.history()->count();
    // Käse is on the list already; only Milch comes, once, with its usual quantity and current price.
    QCOMPARE(document.addStaples(), 1);
    QCOMPARE(document.history()->count(), steps + 1);
    QCOMPARE(document.history()->undoText(), QStringLiteral("Stammartikel eintragen"));
    QCOMPARE(shoppingRows(*document.shopping()), (QStringList { "1 Käse@Aldi", "2 Milch@Aldi" }));
    QCOMPARE(document.shopping()->subItem(1, 2), QStringLiteral("1,19 EUR"));
    QCOMPARE(document.addStaples(), 0);
    document.undo();
    QCOMPARE(shoppingRows(*document.shopping()), QStringList { "1 Käse@Aldi" });
}

void TestRoutine::quickAdd_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("shopForNew");
    QTest::addColumn<bool>("boughtAtAldi");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("shopping");
    QTest::addColumn<QStringList>("products");

    using Result = ListDocument::QuickAddResult;
    const QStringList catalogue { "Milch@Aldi", "Milch@Edeka", "Müsli@Aldi", "Brot@Bäcker" };
    QTest::newRow("the cheapest shop") << "2 milch"
                                       << "" << false << int(Result::Added) << QStringList { "2 Milch@Edeka" }
                                       << catalogue;
    QTest::newRow("where it was bought last")
        << "2 milch"
        << "" << true << int(Result::Added) << QStringList { "2 Milch@Aldi" } << catalogue;
    QTest::newRow("umlaut written out, no quantity")
        << "  MUESLI "
        << "" << false << int(Result::Added) << QStringList { "1 Müsli@Aldi" } << catalogue;
    QTest::newRow("decimal quantity") << "1,5 Brot"
                                      << "" << false << int(Result::Added) << QStringList { "1,5 Brot@Bäcker" }
                                      << catalogue;
    QTest::newRow("new name into the catalogue")
        << "3 Quark"
        << "Aldi" << false << int(Result::AddedNewProduct) << QStringList { "3 Quark@Aldi" }
        << catalogue + QStringList { "Quark@Aldi" };
    QTest::newRow("new name without a shop") << "Quark"
                                             << "" << false << int(Result::NeedsShop) << QStringList() << catalogue;
    QTest::newRow("a number alone is a name")
        << "4711"
        << "Aldi" << false << int(Result::AddedNewProduct) << QStringList { "1 4711@Aldi" }
        << catalogue + QStringList { "4711@Aldi" };
    QTest::newRow("nothing") << "   "
                             << "Aldi" << false << int(Result::Nothing) << QStringList() << catalogue;
}

void TestRoutine::quickAdd()
{
    QFETCH(QString, line);
    QFETCH(QString, shopForNew);
    QFETCH(bool, boughtAtAldi);
    QFETCH(int, result);
    QFETCH(QStringList, shopping);
    QFETCH(QStringList, products);

    ListDocument document;
    fill(document, { "Aldi", "Edeka" }, { "Milch@Aldi", "Milch@Edeka", "Müsli@Aldi", "Brot@Bäcker" }, {});
    document.products()->setSubItem(1, 1, "0,89 EUR");
    document.products()->setSubItem(0, 1, "0,99 EUR");
    if (boughtAtAldi) {
        // Ticked off at Aldi and cleared away: bought there.
        document.shopping()->append("1", { "Milch", "Aldi", "0,99 EUR" });
        document.setTicked(0, true);
        QCOMPARE(document.removeTicked(), 1);
    }
    const int steps = document.history()->count();
    QCOMPARE(int(document.quickAdd(line, shopForNew, "1,00 EUR")), result);
    QCOMPARE(shoppingRows(*document.shopping()), shopping);
    QCOMPARE(productRows(*document.products()), products);
    QCOMPARE(document.history()->count(), steps + (shopping.isEmpty() ? 0 : 1));
    if (shopping.isEmpty())
        return;
    QCOMPARE(document.history()->undoText(), QStringLiteral("Schnell eintragen"));
    document.undo();
    QCOMPARE(document.shopping()->count(), 0);
    QCOMPARE(document.products()->count(), 4);
}

void TestRoutine::quickAddSuggestions()
{
    ListDocument document;
    fill(document, {}, { "Milch@Aldi", "Milch@Edeka", "Müsli@Aldi", "Mehl@Aldi", "milchreis@Aldi", "Brot@Aldi" }, {});
    QCOMPARE(document.quickAddSuggestions("2 mue", 10), QStringList { "Müsli" });
    QCOMPARE(document.quickAddSuggestions("MILCH", 10), (QStringList { "Milch", "milchreis" }));
    QCOMPARE(document.quickAddSuggestions("m", 2).size(), 2);
    QCOMPARE(document.quickAddSuggestions("x", 10), QStringList());
    QCOMPARE(document.quickAddSuggestions("", 10), QStringList());
    // A new product is offered at the next key.
    document.products()->append("Mango", { "Aldi", "1,00 EUR" });
    QCOMPARE(document.quickAddSuggestions("man", 10), QStringList { "Mango" });
}

QTEST_GUILESS_MAIN(TestRoutine)
#include "tst_routine.moc"
