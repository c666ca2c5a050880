// Undo and redo of every change to the lists, through the window's own commands and keys.
#include "ListsHarness.h"
#include "WindowWidgets.h"
#include "document/LeftLists.h"
#include "document/RecoveryStore.h"
#include "ui/ProductDialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QToolButton>
#include <QUndoStack>

#include <functional>

enum List { Stores = 0, Products = 1, Shopping = 2 };

namespace {

using Change = std::function<void(ListsHarness&)>;

QLineEdit* openEditor()
{
    return qobject_cast<QLineEdit*>(QApplication::focusWidget());
}

void type(const QString& text, int key = Qt::Key_Return)
{
    typeIntoOpenEditor(text, key);
}

void click(ListsHarness& harness, const char* name)
{
    QTest::mouseClick(harness.form->findChild<QToolButton*>(QLatin1String(name)), Qt::LeftButton);
}

} // namespace

Q_DECLARE_METATYPE(Change)

class TestUndo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void everyChange_data();
    void everyChange();
    void undoingToTheSavedStateIsUnmodified();
    void typingInAnEditBoxIsUndoneThere();
    void editMenu();

private:
    QAction* action(const char* name) const { return windowWidget<QAction>(*h->form, QLatin1String(name)); }
    // The rows of the three lists and, last, the column each was sorted by with its turn, as the next header click
    // reads them.
    QList<QStringList> lists() const
    {
        QStringList sorted;
        for (int list = Stores; list <= Shopping; ++list) {
            const auto state = h->form->sortState(list);
            sorted << QStringLiteral("%1%2").arg(state.column).arg(state.flipped ? " flipped" : "");
        }
        return { h->rows(Stores), h->rows(Products), h->rows(Shopping), sorted };
    }

    std::unique_ptr<ListsHarness> h;
};

void TestUndo::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    h = std::make_unique<ListsHarness>();
    QVERIFY(h->show());
    h->fill(Stores, { "Bäcker", "Markt" });
    h->fill(Products, { "Brot|Bäcker|1,99 EUR", "Milch|Markt|0,89 EUR" });
    h->fill(Shopping, { "2|Milch|Markt|0,89 EUR" });
}

void TestUndo::cleanup()
{
    h.reset();
    // A recovered list left unsaved keeps its copy: the next window would offer it.
    QDir folder(korbana::RecoveryStore::folder());
    for (const QString& file : folder.entryList(QDir::Files | QDir::Hidden))
        folder.remove(file);
}

void TestUndo::everyChange_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QStringList>("stores");
    QTest::addColumn<QStringList>("products");
    QTest::addColumn<QStringList>("shopping");
    QTest::addColumn<QString>("undoText");
    QTest::addColumn<QStringList>("sorted");

    const QStringList unsorted { "0", "0", "0" };
    const QStringList stores { "Bäcker", "Markt" };
    const QStringList products { "Brot|Bäcker|1,99 EUR", "Milch|Markt|0,89 EUR" };
    const QStringList shopping { "2|Milch|Markt|0,89 EUR" };

    QTest::newRow("add a store, named") << Change([](ListsHarness& harness) {
        click(harness, "addStoreButton");
        type("Kiosk");
    }) << (stores + QStringList { "Kiosk" })
                                        << products << shopping << "Laden hinzufügen" << unsorted;
    QTest::newRow("add a product, named") << Change([](ListsHarness& harness) {
        harness.view(Stores)->selectRow(1);
        priceEdit(*harness.form)->setValue(2.5);
        click(harness, "addProductButton");
        type("Gouda");
    }) << stores << (products + QStringList { "Gouda|Markt|2,50 EUR" })
                                          << shopping << "Produkt hinzufügen" << unsorted;
    QTest::newRow("add to the shopping list, Escape") << Change([](ListsHarness& harness) {
        harness.view(Products)->selectRow(0);
        click(harness, "addToShoppingButton");
        type("", Qt::Key_Escape);
    }) << stores << products << (shopping + QStringList { "1|Brot|Bäcker|1,99 EUR" })
                                                      << "Eintrag hinzufügen" << unsorted;
    QTest::newRow("remove a store") << Change([](ListsHarness& harness) {
        harness.view(Stores)->selectRow(0);
        harness.dialogs.answers = { QMessageBox::Yes };
        click(harness, "removeStoreButton");
    }) << QStringList { "Markt" } << products
                                    << shopping << "Eintrag entfernen" << unsorted;
    QTest::newRow("clear the products") << Change([](ListsHarness& harness) {
        harness.dialogs.answers = { QMessageBox::Yes };
        click(harness, "clearProductsButton");
    }) << stores << QStringList() << shopping
                                        << "Liste löschen" << unsorted;
    QTest::newRow("rename a quantity") << Change([](ListsHarness& harness) {
        harness.view(Shopping)->selectRow(0);
        harness.view(Shopping)->setFocus();
        QTest::keyClick(harness.view(Shopping), Qt::Key_Return);
        type("3");
    }) << stores << products << QStringList { "3|Milch|Markt|0,89 EUR" }
                                       << "Umbenennen" << unsorted;
    QTest::newRow("product dialog") << Change([](ListsHarness& harness) {
        harness.view(Products)->selectRow(1);
        harness.dialogs.execAnswer = [](QDialog* dialog) {
            qobject_cast<ProductDialog*>(dialog)->setProduct("Vollmilch", "1,09 EUR");
            return int(QDialog::Accepted);
        };
        click(harness, "editProductButton");
    }) << stores << QStringList { "Brot|Bäcker|1,99 EUR", "Vollmilch|Markt|1,09 EUR" }
                                    << shopping << "Produkt bearbeiten" << unsorted;
    QTest::newRow("CSV import") << Change([](ListsHarness& harness) {
        const QString csv = harness.path("import.csv");
        MainWindowFixture::writeFile(
            csv, "Liste;Menge;Name;Laden;Preis\r\nLaden;;Kiosk;;\r\nProdukt;;Tee;Kiosk;2,00 EUR\r\n");
        harness.dialogs.fileAnswers = { csv };
        windowWidget<QAction>(*harness.form, "csvImportAction")->trigger();
    }) << (stores + QStringList { "Kiosk" })
                                << (products + QStringList { "Tee|Kiosk|2,00 EUR" }) << shopping << "CSV importieren"
                                << unsorted;
    QTest::newRow("a recovery applied") << Change([](ListsHarness& harness) {
        // A copy left by a window that is gone, of a list without a name.
        const QString folder = korbana::RecoveryStore::folder();
        QDir().mkpath(folder);
        MainWindowFixture::writeFile(
            folder + "/1-0000900d.kbl", "1\r\nKiosk\r\n1\r\nTee\r\nKiosk\r\n2,00 EUR\r\n0\r\n");
        MainWindowFixture::writeFile(folder + "/1-0000900d.name", "");
        const korbana::FoundLeftLists left = korbana::findLeftLists(std::nullopt);
        QCOMPARE(left.lists.size(), size_t(1));
        harness.form->document()->applyLeftList(left.lists.front());
        // Of unknown start: merged so that nothing either side holds is lost.
    }) << (stores + QStringList { "Kiosk" })
                                        << (products + QStringList { "Tee|Kiosk|2,00 EUR" }) << shopping
                                        << "Wiederherstellen" << unsorted;
    QTest::newRow("sort by a header") << Change([](ListsHarness& harness) { harness.clickHeader(Stores, 0); })
                                      << QStringList { "Markt", "Bäcker" } << products << shopping << "Sortieren"
                                      << QStringList { "0 flipped", "0", "0" };
    // The order stays, the column that the next click turns round changes.
    QTest::newRow("sort by another header")
        << Change([](ListsHarness& harness) { harness.clickHeader(Products, 2); }) << stores << products << shopping
        << "Sortieren" << QStringList { "0", "2", "0" };
}

void TestUndo::everyChange()
{
    QFETCH(Change, change);
    QFETCH(QStringList, stores);
    QFETCH(QStringList, products);
    QFETCH(QStringList, shopping);
    QFETCH(QString, undoText);
    QFETCH(QStringList, sorted);

    const QList<QStringList> before = lists();
    const QList<QStringList> after { stores, products, shopping, sorted };
    change(*h);
    QCOMPARE(lists(), after);
    QVERIFY(h->form->isModified());
    QCOMPARE(h->form->history()->count(), 1);
    QCOMPARE(action("undoAction")->text(), "&Rückgängig: " + undoText);

    QTest::keyClick(h->form.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(lists(), before);
    QCOMPARE(action("redoAction")->text(), "&Wiederholen: " + undoText);
    QVERIFY(!action("undoAction")->isEnabled());
    QTest::keyClick(h->form.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(lists(), after);
    QTest::keyClick(h->form.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(h->form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(lists(), after);
}

void TestUndo::undoingToTheSavedStateIsUnmodified()
{
    h->dialogs.fileAnswers = { h->path("liste.kbl") };
    h->form->saveAs();
    QVERIFY(!h->form->isModified());
    h->dialogs.answers = { QMessageBox::Yes };
    click(*h, "clearShoppingButton");
    QVERIFY(h->form->isModified());
    QTest::keyClick(h->form.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(!h->form->isModified());
    QCOMPARE(h->rows(Shopping), QStringList { "2|Milch|Markt|0,89 EUR" });
    QTest::keyClick(h->form.get(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(h->form->isModified());
    // A file read starts an empty history.
    h->form->openFile(h->path("liste.kbl"));
    QVERIFY(!h->form->history()->canUndo());
    QVERIFY(!h->form->isModified());
}

void TestUndo::typingInAnEditBoxIsUndoneThere()
{
    click(*h, "addStoreButton");
    QLineEdit* editor = openEditor();
    QVERIFY(editor);
    QTest::keyClicks(editor, "Kiosk");
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    // The box took the key: the new store is still there, its box still open.
    QCOMPARE(openEditor(), editor);
    QVERIFY(editor->text() != "Kiosk");
    QCOMPARE(h->model(Stores)->count(), 3);
    QTest::keyClick(editor, Qt::Key_Escape);
    QTest::keyClick(h->view(Stores), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(h->rows(Stores), QStringList({ "Bäcker", "Markt" }));
}

void TestUndo::editMenu()
{
    const QList<QAction*> menus = h->form->menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus[1]->text(), "&Bearbeiten");
    QCOMPARE(menus[1]->menu()->actions().mid(0, 2), QList<QAction*>({ action("undoAction"), action("redoAction") }));
    QCOMPARE(action("undoAction")->text(), "&Rückgängig");
    QVERIFY(!action("undoAction")->isEnabled());
    QVERIFY(!action("redoAction")->isEnabled());
    QVERIFY(h->view(Shopping)->actions().contains(action("undoAction")));
}

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
