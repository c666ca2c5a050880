#include "document/ListCommands.h"
#include "lists/ListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <QUndoStack>

#include <functional>

using namespace korbana;

namespace {

// A row as "caption|shop|price".
QStringList rows(const ListModel& model)
{
    QStringList result;
    for (int row = 0; row < model.count(); ++row) {
        const Entry& entry = model.entryAt(row);
        result << entry.caption + u'|' + entry.subItems[0] + u'|' + entry.subItems[1];
    }
    return result;
}

// The addresses of all texts: equal addresses prove the very same strings came back, not copies.
std::vector<const QChar*> textAddresses(const ListModel& model)
{
    std::vector<const QChar*> result;
    for (int row = 0; row < model.count(); ++row) {
        const Entry& entry = model.entryAt(row);
        result.push_back(entry.caption.constData());
        for (const QString& text : entry.subItems)
            result.push_back(text.constData());
    }
    return result;
}

const QStringList kProducts { "Brot|Bäcker|1,99 EUR", "Milch|Markt|0,89 EUR", "Äpfel|Markt|2,49 EUR" };

using Steps = std::function<void(QUndoStack&, ListModel&)>;

} // namespace

Q_DECLARE_METATYPE(Steps)

class TestListCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void undoAndRedoEveryStep_data();
    void undoAndRedoEveryStep();
    void undoingToTheSavedStepIsClean();
};

void TestListCommands::undoAndRedoEveryStep_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("stepCount");
    QTest::addColumn<QString>("undoText");

    const auto add = [](QUndoStack& stack, ListModel& list) {
        auto* command
            = new AddEntryCommand(&list, list.makeEntry("Produkt", { "Markt", "0,99 EUR" }), StepNames::addProduct());
        stack.push(command);
        return list.count() - 1;
    };
    QTest::newRow("add") << Steps([add](QUndoStack& s, ListModel& l) { add(s, l); })
                         << (kProducts + QStringList { "Produkt|Markt|0,99 EUR" }) << 1 << "Produkt hinzufügen";
    QTest::newRow("add, named in its edit box")
        << Steps([add](QUndoStack& s, ListModel& l) { s.push(new RenameEntryCommand(&l, add(s, l), "Käse", true)); })
        << (kProducts + QStringList { "Käse|Markt|0,99 EUR" }) << 1 << "Produkt hinzufügen";
    QTest::newRow("add, named, renamed again") << Steps([add](QUndoStack& s, ListModel& l) {
        const int row = add(s, l);
        s.push(new RenameEntryCommand(&l, row, "Käse", true));
        s.push(new RenameEntryCommand(&l, row, "Quark"));
    }) << (kProducts + QStringList { "Quark|Markt|0,99 EUR" })
                                               << 2 << "Umbenennen";
    QTest::newRow("rename of another entry after an add") << Steps([add](QUndoStack& s, ListModel& l) {
        add(s, l);
        s.push(new RenameEntryCommand(&l, 0, "Brötchen", true));
    }) << QStringList { "Brötchen|Bäcker|1,99 EUR", kProducts[1], kProducts[2], "Produkt|Markt|0,99 EUR" }
                                                          << 2 << "Umbenennen";
    QTest::newRow("remove") << Steps([](QUndoStack& s, ListModel& l) { s.push(new RemoveEntryCommand(&l, 1)); })
                            << QStringList { kProducts[0], kProducts[2] } << 1 << "Eintrag entfernen";
    QTest::newRow("clear") << Steps([](QUndoStack& s, ListModel& l) { s.push(clearListCommand(&l)); }) << QStringList()
                           << 1 << "Liste löschen";
    QTest::newRow("rename, a CR becomes a blank")
        << Steps([](QUndoStack& s, ListModel& l) { s.push(new RenameEntryCommand(&l, 2, "Birnen\r\nWilliams")); })
        << QStringList { kProducts[0], kProducts[1], "Birnen Williams|Markt|2,49 EUR" } << 1 << "Umbenennen";
    QTest::newRow("product dialog") << Steps([](QUndoStack& s, ListModel& l) {
        s.push(new EditProductCommand(&l, 1, "Vollmilch", "teuer"));
    }) << QStringList { kProducts[0], "Vollmilch|Markt|teuer", kProducts[2] }
                                    << 1 << "Produkt bearbeiten";
    QTest::newRow("sort") << Steps([](QUndoStack& s, ListModel& l) {
        s.push(new ReorderCommand(&l, { 2, 0, 1 }, SortState { 1, false }));
    }) << QStringList { kProducts[2], kProducts[0], kProducts[1] }
                          << 1 << "Sortieren";
    QTest::newRow("sort twice") << Steps([](QUndoStack& s, ListModel& l) {
        s.push(new ReorderCommand(&l, { 1, 2, 0 }, SortState { 2, false }));
        s.push(new ReorderCommand(&l, { 0, 2, 1 }, SortState { 2, true }));
    }) << QStringList { kProducts[1], kProducts[0], kProducts[2] }
                                << 2 << "Sortieren";
    QTest::newRow("recovery applied") << Steps([](QUndoStack& s, ListModel& l) {
        std::vector<Entry> recovered(1);
        recovered[0].caption = "Tee";
        s.push(new ReplaceRowsCommand(&l, std::move(recovered), StepNames::applyRecovery()));
    }) << QStringList { "Tee||" } << 1 << "Wiederherstellen";
    QTest::newRow("import appends") << Steps([](QUndoStack& s, ListModel& l) {
        std::vector<Entry> imported(2);
        imported[0].caption = "Tee";
        imported[1].caption = "Kaffee";
        s.push(new AppendRowsCommand(&l, std::move(imported), StepNames::importCsv()));
    }) << (kProducts + QStringList { "Tee||", "Kaffee||" })
                                    << 1 << "CSV importieren";
    QTest::newRow("remove, then clear") << Steps([](QUndoStack& s, ListModel& l) {
        s.push(new RemoveEntryCommand(&l, 0));
        s.push(clearListCommand(&l));
    }) << QStringList() << 2 << "Liste löschen";
}

void TestListCommands::undoAndRedoEveryStep()
{
    QFETCH(Steps, steps);
    QFETCH(QStringList, after);
    QFETCH(int, stepCount);
    QFETCH(QString, undoText);

    ListModel products({ "Name", "Laden", "Preis" });
    QAbstractItemModelTester tester(&products, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (const QString& row : kProducts) {
        const QStringList texts = row.split(u'|');
        products.append(texts[0], texts.mid(1));
    }
    const auto before = textAddresses(products);
    QUndoStack stack;
    steps(stack, products);
    QCOMPARE(rows(products), after);
    QCOMPARE(stack.count(), stepCount);
    QCOMPARE(stack.undoText(), undoText);

    for (int round = 0; round < 2; ++round) {
        stack.setIndex(0);
        QCOMPARE(rows(products), kProducts);
        QVERIFY(textAddresses(products) == before);
        QVERIFY(!stack.canUndo());
        stack.setIndex(stepCount);
        QCOMPARE(rows(products), after);
    }
}

void TestListCommands::undoingToTheSavedStepIsClean()
{
    ListModel stores({ "Name" });
    QUndoStack stack;
    QSignalSpy cleanChanged(&stack, &QUndoStack::cleanChanged);
    stack.push(new AddEntryCommand(&stores, stores.makeEntry("Laden"), StepNames::addStore()));
    stack.setClean(); // saved here
    stack.push(new RenameEntryCommand(&stores, 0, "Markt A"));
    stack.push(clearListCommand(&stores));
    QVERIFY(!stack.isClean());
    stack.undo();
    QVERIFY(!stack.isClean());
    stack.undo();
    QVERIFY(stack.isClean());
    QCOMPARE(stores.caption(0), QString("Laden"));
    stack.undo();
    QVERIFY(!stack.isClean());
    QCOMPARE(stores.count(), 0);
    QCOMPARE(cleanChanged.count(), 5);
    QCOMPARE(cleanChanged.at(3).at(0).toBool(), true);
}

QTEST_GUILESS_MAIN(TestListCommands)
#include "tst_listcommands.moc"
