// The shopping trip in the real window: the status bar's total against the printout's, the list as text on the
// clipboard, the print options on the settings page and between runs, and the search in the Product catalogue.
#include "FakeCanvas.h"
#include "ListsHarness.h"
#include "SettingsFile.h"
#include "WindowWidgets.h"
#include "print/ShoppingPrintout.h"
#include "settings/SettingsStore.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QTemporaryDir>

using namespace korbana;

namespace {

enum Change { Add, EditInPlace, ProductDialogEdit, Remove, Clear, NewDocument, Open, CsvImport, Sort };

QLabel* totalLabel(const MainWindow& w)
{
    return windowWidget<QLabel>(w, QStringLiteral("shoppingTotalLabel"));
}

QLineEdit* searchEdit(const MainWindow& w)
{
    return windowWidget<QLineEdit>(w, QStringLiteral("productSearchEdit"));
}

QByteArray clipboardBytes()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data ? data->data(QStringLiteral("text/plain")) : QByteArray();
}

// The printout's total line for the same list, as "Summe: …" ("0,00 EUR" for an empty list).
QString printedTotal(const ListModel& shopping)
{
    FakeCanvas canvas;
    ShoppingPrintout(canvas, shopping, PrintMargins(), PrintFont()).run();
    QString total = canvas.drawn.back().text.mid(QStringLiteral("Gesamtpreis in EUR: ").size());
    if (shopping.count() == 0)
        total += QStringLiteral(" EUR");
    return QStringLiteral("Summe: ") + total;
}

// The product names the catalogue shows, top to bottom.
QStringList shownProducts(ListView* view)
{
    QStringList names;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        names.append(view->model()->index(row, 0).data().toString());
    return names;
}

} // namespace

class TestShoppingTrip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void totalFollowsChanges_data();
    void totalFollowsChanges();
    void copiedText_data();
    void copiedText();
    void printOptionsOnTheSettingsPage();
    void printOptionsKeptBetweenRuns();
    void search_data();
    void search();
    void numbersThatDoNotAddUp_data();
    void numbersThatDoNotAddUp();
    void keysTakeTheFirstMatch_data();
    void keysTakeTheFirstMatch();
    void commandsActOnTheShownRow();
    void addingClearsTheSearch();

private:
    std::unique_ptr<ListsHarness> h;
};

void TestShoppingTrip::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    h = std::make_unique<ListsHarness>();
}

void TestShoppingTrip::cleanup()
{
    h.reset();
}

void TestShoppingTrip::totalFollowsChanges_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("lastPrice");
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("after");

    const QString de = QStringLiteral("de_DE");
    const QString chf = QStringLiteral("0,25 CHF");
    QTest::newRow("add") << de << chf << int(Add) << "Summe: 11,51 EUR";
    QTest::newRow("edit quantity in place") << de << chf << int(EditInPlace) << "Summe: 10,71 CHF";
    QTest::newRow("product dialog leaves it") << de << chf << int(ProductDialogEdit) << "Summe: 9,72 CHF";
    QTest::newRow("remove") << de << chf << int(Remove) << "Summe: 7,74 CHF";
    QTest::newRow("clear") << de << chf << int(Clear) << "Summe: 0,00 EUR";
    QTest::newRow("new") << de << chf << int(NewDocument) << "Summe: 0,00 EUR";
    QTest::newRow("open") << de << chf << int(Open) << "Summe: 3,98 EUR";
    QTest::newRow("csv import") << de << chf << int(CsvImport) << "Summe: 11,70 EUR";
    QTest::newRow("sort") << de << chf << int(Sort) << "Summe: 9,72 EUR";
    // A list written with decimal commas totals alike under a decimal point locale and the C locale.
    QTest::newRow("en add") << QStringLiteral("en_US") << QStringLiteral("0.25 CHF") << int(Add) << "Summe: 11.51 EUR";
    QTest::newRow("C add") << QStringLiteral("C") << QStringLiteral("0.25 CHF") << int(Add) << "Summe: 11.51 EUR";
}

void TestShoppingTrip::totalFollowsChanges()
{
    QFETCH(QString, locale);
    QFETCH(QString, lastPrice);
    QFETCH(int, change);
    QLocale::setDefault(QLocale(locale));
    QVERIFY(h->show());
    MainWindow& w = *h->form;
    // Readable entries, a quantity and a price that are no numbers, another currency last.
    h->fill(MainWindow::Products, { QStringLiteral("Butter|Markt|1,79 EUR") });
    h->fill(MainWindow::Shopping,
        { QStringLiteral("2|Milch|Hofladen|0,99 EUR"), QStringLiteral("2 Stück|Brot|Bäcker|2,49 EUR"),
            QStringLiteral("1|Käse|Markt|ca. 3 EUR"), QStringLiteral("1,5|Wurst|Markt|3,00 EUR"),
            QStringLiteral("3|Eier|Hofladen|") + lastPrice });
    QCOMPARE(totalLabel(w)->text(), printedTotal(*w.shopping()));

    switch (Change(change)) {
    case Add:
        h->view(MainWindow::Products)->selectRow(0);
        w.addToShoppingList();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        break;
    case EditInPlace: {
        h->view(MainWindow::Shopping)->beginEdit(2);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("2"));
        QTest::keyClick(editor, Qt::Key_Return);
        // "ca. 3 EUR" stays no number; the Wurst's quantity changes next.
        h->view(MainWindow::Shopping)->beginEdit(3);
        editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("1,83"));
        QTest::keyClick(editor, Qt::Key_Return);
        break;
    }
    case ProductDialogEdit:
        h->view(MainWindow::Products)->selectRow(0);
        h->dialogs.execAnswer = [](QDialog*) { return int(QDialog::Accepted); };
        w.editProduct();
        break;
    case Remove:
        h->view(MainWindow::Shopping)->selectRow(0);
        h->dialogs.answers = { QMessageBox::Yes };
        QTest::keyClick(h->view(MainWindow::Shopping), Qt::Key_Delete);
        break;
    case Clear:
        h->dialogs.answers = { QMessageBox::Yes };
        w.clearShoppingList();
        break;
    case NewDocument:
        h->dialogs.answers = { QMessageBox::No };
        w.newDocument();
        break;
    case Open:
        MainWindowFixture::writeFile(h->path(QStringLiteral("zwei.kbl")),
            "0\r\n0\r\n1\r\n2\r\nBrot\r\nB\xe4"
            "cker\r\n1,99 EUR\r\n");
        w.openFile(h->path(QStringLiteral("zwei.kbl")));
        break;
    case CsvImport:
        MainWindowFixture::writeFile(
            h->path(QStringLiteral("liste.csv")), "Liste;Menge;Name;Laden;Preis\r\nEinkauf;2;Milch;Aldi;0,99 EUR\r\n");
        h->dialogs.fileAnswers = { h->path(QStringLiteral("liste.csv")) };
        w.importCsv();
        break;
    case Sort:
        h->clickHeader(MainWindow::Shopping, 3);
        break;
    }
    QCoreApplication::processEvents();
    QCOMPARE(totalLabel(w)->text(), printedTotal(*w.shopping()));
    QTEST(totalLabel(w)->text(), "after");
    // The count on the left is still there.
    QVERIFY(h->status().endsWith(QStringLiteral(" Produkte auf der Einkaufsliste")));
}

void TestShoppingTrip::copiedText_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("contextMenu");
    QTest::addColumn<QByteArray>("expected");

    const QStringList shopping { QStringLiteral("2|Milch|Hofladen|0,99 EUR"),
        QStringLiteral("1|Brötchen|Bäcker|2,49 EUR") };
    const QByteArray twoEntries = "2 \xC3\x97 Milch (Hofladen) 0,99 EUR\n"
                                  "1 \xC3\x97 Br\xC3\xB6tchen (B\xC3\xA4"
                                  "cker) 2,49 EUR\n"
                                  "\n"
                                  "Gesamtpreis in EUR: 4,47 EUR";
    QTest::newRow("shopping, Ctrl+C") << int(MainWindow::Shopping) << shopping << false << twoEntries;
    QTest::newRow("shopping, context menu") << int(MainWindow::Shopping) << shopping << true << twoEntries;
    QTest::newRow("texts as typed") << int(MainWindow::Shopping)
                                    << QStringList { QStringLiteral("2 Stück|Käse||gratis") } << false
                                    << QByteArray("2 St\xC3\xBC"
                                                  "ck \xC3\x97 K\xC3\xA4"
                                                  "se () gratis\n\nGesamtpreis in EUR: 0,00 EUR");
    QTest::newRow("empty shopping list") << int(MainWindow::Shopping) << QStringList() << false
                                         << QByteArray("Gesamtpreis in EUR: 0,00");
    QTest::newRow("store") << int(MainWindow::Stores) << QStringList { QStringLiteral("Bäcker") } << false
                           << QByteArray("B\xC3\xA4"
                                         "cker");
    QTest::newRow("product") << int(MainWindow::Products) << QStringList { QStringLiteral("Milch|Hofladen|0,99 EUR") }
                             << false << QByteArray("Milch\tHofladen\t0,99 EUR");
}

void TestShoppingTrip::copiedText()
{
    QFETCH(int, list);
    QFETCH(QStringList, rows);
    QFETCH(bool, contextMenu);
    QVERIFY(h->show());
    h->fill(list, rows);
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    ListView* view = h->view(list);
    view->selectRow(h->model(list)->count() - 1);
    view->setFocus();
    if (contextMenu) {
        QCOMPARE(view->contextMenuPolicy(), Qt::ActionsContextMenu);
        // The copy, then a separator and undo and redo.
        QCOMPARE(view->actions().size(), 4);
        QCOMPARE(view->actions().first()->text(), QStringLiteral("Als Text kopieren"));
        view->actions().first()->trigger();
    } else {
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    }
    QTEST(clipboardBytes(), "expected");

    // In an open edit box Ctrl+C copies the box's own selection.
    if (h->model(list)->count() > 0) {
        view->beginEdit(0);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), h->model(list)->caption(0));
    }
}

void TestShoppingTrip::printOptionsOnTheSettingsPage()
{
    QVERIFY(h->show());
    MainWindow& w = *h->form;
    auto* group = windowWidget<QGroupBox>(w, QStringLiteral("printOptionsGroup"));
    auto* tickBoxes = windowWidget<QCheckBox>(w, QStringLiteral("tickBoxesCheck"));
    auto* groupByShop = windowWidget<QCheckBox>(w, QStringLiteral("groupByShopCheck"));
    QCOMPARE(group->title(), QStringLiteral("Ausdruck"));
    QCOMPARE(tickBoxes->text().remove(u'&'), QStringLiteral("Kästchen zum Abhaken"));
    QCOMPARE(groupByShop->text().remove(u'&'), QStringLiteral("Nach Läden gruppieren"));
    QVERIFY(!tickBoxes->isChecked() && !groupByShop->isChecked());
    QCOMPARE(w.printOptions().tickBoxes, false);
    // Below the margins, and out of the Tab chain.
    QVERIFY(group->geometry().top() > bottomMarginEdit(w)->geometry().bottom());
    pages(w)->setCurrentIndex(1);
    bottomMarginEdit(w)->setFocus();
    QTest::keyClick(bottomMarginEdit(w), Qt::Key_Tab);
    QVERIFY(QApplication::focusWidget() != tickBoxes && QApplication::focusWidget() != groupByShop);

    // The Alt letters reach them.
    QTest::keyClick(&w, Qt::Key_K, Qt::AltModifier);
    QTest::keyClick(&w, Qt::Key_L, Qt::AltModifier);
    QTRY_VERIFY(tickBoxes->isChecked() && groupByShop->isChecked());
    QCOMPARE(w.printOptions().tickBoxes, true);
    QCOMPARE(w.printOptions().groupByShop, true);
}

void TestShoppingTrip::printOptionsKeptBetweenRuns()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString settings = dir.filePath(QStringLiteral("korbana.conf"));
    korbana::SettingsStore::setFileOverride(settings);
    {
        QVERIFY(h->show());
        windowWidget<QCheckBox>(*h->form, QStringLiteral("groupByShopCheck"))->setChecked(true);
        h->dialogs.answers = { QMessageBox::No };
        h->form->close();
    }
    const SettingsFile::Values expected { { "GroupByShop", "1" }, { "TickBoxes", "0" } };
    QCOMPARE(SettingsFile::read(settings, QStringLiteral("Printout")), expected);
    QVERIFY(!SettingsFile::read(settings, QStringLiteral("TMainForm")).contains(QStringLiteral("GroupByShop")));

    h = std::make_unique<ListsHarness>();
    QVERIFY(h->show());
    korbana::SettingsStore::setFileOverride(QString());
    QVERIFY(windowWidget<QCheckBox>(*h->form, QStringLiteral("groupByShopCheck"))->isChecked());
    QVERIFY(!windowWidget<QCheckBox>(*h->form, QStringLiteral("tickBoxesCheck"))->isChecked());
}

void TestShoppingTrip::search_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("nothing typed") << ""
                                   << QStringList { "Müllers Milch", "Mueller Joghurt", "Brot", "Straßenbrot", "Salz",
                                          "Café Crème 𝄞" };
    QTest::newRow("case") << "MILCH" << QStringList { "Müllers Milch" };
    QTest::newRow("ae for umlaut") << "muell" << QStringList { "Müllers Milch", "Mueller Joghurt" };
    QTest::newRow("umlaut for ue") << "Müller" << QStringList { "Müllers Milch", "Mueller Joghurt" };
    QTest::newRow("shop") << "baeck" << QStringList { "Brot", "Straßenbrot" };
    QTest::newRow("sharp s") << "strasse" << QStringList { "Straßenbrot" };
    QTest::newRow("no match") << "xyz" << QStringList {};
    QTest::newRow("other letters by case") << "CAFÉ CRÈME 𝄞" << QStringList { "Café Crème 𝄞" };
}

void TestShoppingTrip::search()
{
    QFETCH(QString, typed);
    QVERIFY(h->show());
    h->fill(MainWindow::Products,
        { "Müllers Milch|Hofladen|1,00 EUR", "Mueller Joghurt|Markt|0,50 EUR", "Brot|Bäcker|2,00 EUR",
            "Straßenbrot|Baeckerei|2,50 EUR", "Salz|Markt|0,30 EUR", "Café Crème 𝄞|Markt|2,20 EUR" });
    MainWindow& w = *h->form;
    QLineEdit* search = searchEdit(w);
    QCOMPARE(search->placeholderText(), QStringLiteral("Suchen…"));
    // Tab reaches it as well (its place in the chain: tst_mainwindow).
    QVERIFY(search->focusPolicy() & Qt::TabFocus);

    // Ctrl+F reaches the field from anywhere in the window.
    h->view(MainWindow::Stores)->setFocus();
    QTest::keyClick(h->view(MainWindow::Stores), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(QApplication::focusWidget(), search);
    // Keys for what a keyboard types directly, the rest as a paste.
    for (qsizetype i = 0; i < typed.size(); ++i) {
        if (typed[i].unicode() < 0x80) {
            QTest::keyClick(search, typed[i].toLatin1());
        } else {
            const qsizetype length = typed[i].isHighSurrogate() ? 2 : 1;
            search->insert(typed.mid(i, length));
            i += length - 1;
        }
    }
    QTEST(shownProducts(h->view(MainWindow::Products)), "shown");

    // Escape empties it and brings every product back.
    QTest::keyClick(search, Qt::Key_Escape);
    QVERIFY(search->text().isEmpty());
    QCOMPARE(shownProducts(h->view(MainWindow::Products)).size(), 6);
}

void TestShoppingTrip::numbersThatDoNotAddUp_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("uncounted"); // the status bar's count, empty while hidden
    QTest::addColumn<QList<int>>("marked"); // rows whose price cell carries the warning

    QTest::newRow("all read") << QStringList { "2|Milch|Aldi|0,99 EUR", "1|Brot|Aldi|2,00 EUR" } << "Summe: 3,98 EUR"
                              << "" << QList<int> {};
    QTest::newRow("a price in words and one with a digit group")
        << QStringList { "1|Milch|Aldi|ca. 1 EUR", "1|Brot|Aldi|2,00 EUR", "1|Waschmaschine|Markt|1.000" }
        << "Summe: 2,00 EUR"
        << "2 Preise nicht lesbar" << QList<int> { 0, 2 };
    QTest::newRow("an empty price") << QStringList { "1|Milch|Aldi|" } << "Summe: 0,00 EUR"
                                    << "1 Preis nicht lesbar" << QList<int> { 0 };
    QTest::newRow("beyond the range") << QStringList { "1e300|Gold|Bank|1e300 EUR", "1|Brot|Aldi|2,00 EUR" }
                                      << "Summe: Überlauf"
                                      << "" << QList<int> {};
    QTest::newRow("infinities of both signs")
        << QStringList { "1e300|Gold|Bank|1e300 EUR", "-1e300|Schulden|Bank|1e300 EUR" } << "Summe: Überlauf"
        << "" << QList<int> {};
}

// Totals never read "NAN"; what a total leaves out is shown.
void TestShoppingTrip::numbersThatDoNotAddUp()
{
    QFETCH(QStringList, rows);
    QFETCH(QString, total);
    QFETCH(QString, uncounted);
    QFETCH(QList<int>, marked);
    QVERIFY(h->show());
    MainWindow& w = *h->form;
    h->fill(MainWindow::Shopping, rows);
    QTRY_COMPARE(totalLabel(w)->text(), total);
    // The printout adds the same way.
    QCOMPARE(printedTotal(*w.shopping()).section(u' ', 0, 1), total.section(u' ', 0, 1));
    auto* count = windowWidget<QLabel>(w, QStringLiteral("uncountedPricesLabel"));
    QCOMPARE(count->isVisible() ? count->text() : QString(), uncounted);
    for (int row = 0; row < rows.size(); ++row) {
        const QModelIndex price = h->view(MainWindow::Shopping)->model()->index(row, 3);
        QCOMPARE(price.data(Qt::ToolTipRole).toString().startsWith(QStringLiteral("Preis nicht lesbar")),
            marked.contains(row));
        QCOMPARE(price.data(Qt::DecorationRole).isValid(), marked.contains(row));
    }
}

void TestShoppingTrip::keysTakeTheFirstMatch_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("focusedList"); // -1: the field keeps the focus
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QStringList>("shoppingAfterInsert");

    QTest::newRow("Enter, then Insert puts it on the list")
        << "markt" << int(Qt::Key_Return) << int(MainWindow::Shopping) << "Salz"
        << QStringList { "1|Salz|Markt|0,30 EUR" };
    QTest::newRow("keypad Enter") << "milch" << int(Qt::Key_Enter) << int(MainWindow::Shopping) << "Milch"
                                  << QStringList { "1|Milch|Markt|1,00 EUR" };
    QTest::newRow("Down goes into the products")
        << "markt" << int(Qt::Key_Down) << int(MainWindow::Products) << "Salz" << QStringList {};
    QTest::newRow("nothing typed: the first product")
        << "" << int(Qt::Key_Down) << int(MainWindow::Products) << "Brot" << QStringList {};
    QTest::newRow("no match stays in the field") << "xyz" << int(Qt::Key_Return) << -1 << "" << QStringList {};
}

void TestShoppingTrip::keysTakeTheFirstMatch()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(int, focusedList);
    QVERIFY(h->show());
    MainWindow& w = *h->form;
    h->fill(MainWindow::Products,
        { "Brot|Bäcker|2,00 EUR", "Salz|Markt|0,30 EUR", "Milch|Markt|1,00 EUR", "Zucker|Markt|0,90 EUR" });
    QTest::keyClick(h->view(MainWindow::Stores), Qt::Key_F, Qt::ControlModifier);
    QTest::keyClicks(searchEdit(w), typed);
    QTest::keyClick(searchEdit(w), Qt::Key(key));
    QWidget* focused = focusedList < 0 ? static_cast<QWidget*>(searchEdit(w)) : h->view(focusedList);
    QCOMPARE(QApplication::focusWidget(), focused);
    const int row = h->view(MainWindow::Products)->selectedRow();
    QTEST(row < 0 ? QString() : w.products()->caption(row), "selected");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
    if (focusedList != MainWindow::Products)
        QTEST(h->rows(MainWindow::Shopping), "shoppingAfterInsert");
}

void TestShoppingTrip::commandsActOnTheShownRow()
{
    QVERIFY(h->show());
    MainWindow& w = *h->form;
    h->fill(MainWindow::Products,
        { "Brot|Bäcker|2,00 EUR", "Salz|Markt|0,30 EUR", "Milch|Markt|1,00 EUR", "Zucker|Markt|0,90 EUR" });
    ListView* view = h->view(MainWindow::Products);
    QTest::keyClicks(searchEdit(w), QStringLiteral("markt"));
    QCOMPARE(shownProducts(view), QStringList({ "Salz", "Milch", "Zucker" }));

    // The second shown row is the list's third.
    view->setCurrentIndex(view->model()->index(1, 0));
    QCOMPARE(view->selectedRow(), 2);
    w.addToShoppingList();
    QCOMPARE(h->rows(MainWindow::Shopping), QStringList { "1|Milch|Markt|1,00 EUR" });

    // Sorting sorts the whole list; the search and the selection stay.
    h->clickHeader(MainWindow::Products, 0);
    QCOMPARE(h->rows(MainWindow::Products),
        QStringList(
            { "Zucker|Markt|0,90 EUR", "Salz|Markt|0,30 EUR", "Milch|Markt|1,00 EUR", "Brot|Bäcker|2,00 EUR" }));
    QCOMPARE(shownProducts(view), QStringList({ "Zucker", "Salz", "Milch" }));
    QCOMPARE(w.products()->caption(view->selectedRow()), QStringLiteral("Milch"));

    h->dialogs.answers = { QMessageBox::Yes };
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(shownProducts(view), QStringList({ "Zucker", "Salz" }));
    QCOMPARE(w.products()->count(), 3);
    // A row the search hides cannot be selected.
    view->selectRow(1);
    view->selectRow(2);
    QCOMPARE(w.products()->caption(view->selectedRow()), QStringLiteral("Salz"));
}

void TestShoppingTrip::addingClearsTheSearch()
{
    QVERIFY(h->show());
    MainWindow& w = *h->form;
    h->fill(MainWindow::Stores, { "Markt" });
    h->fill(MainWindow::Products, { "Brot|Bäcker|2,00 EUR" });
    QTest::keyClicks(searchEdit(w), QStringLiteral("milch"));
    QCOMPARE(shownProducts(h->view(MainWindow::Products)), QStringList());
    h->view(MainWindow::Stores)->selectRow(0);
    w.addProduct();
    QVERIFY(searchEdit(w)->text().isEmpty());
    QVERIFY(h->view(MainWindow::Products)->isEditing());
    QCOMPARE(h->view(MainWindow::Products)->selectedRow(), 1);
    QCOMPARE(shownProducts(h->view(MainWindow::Products)), QStringList({ "Brot", "Produkt" }));
}

QTEST_MAIN(TestShoppingTrip)
#include "tst_shoppingtrip.moc"
