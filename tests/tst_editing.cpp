#include "ListsHarness.h"
#include "WindowWidgets.h"
#include "controls/BitmapButton.h"
#include "lists/ListTexts.h"
#include "ui/SpinEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

using namespace korbana;

enum List { Stores = 0, Products = 1, Shopping = 2 };

class TestEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void missingSelection_data();
    void missingSelection();
    void questions_data();
    void questions();
    void clearingEmptyListAsks();
    void addStoreOpensCaption();
    void addProductPriceText_data();
    void addProductPriceText();
    void shoppingEntriesAreCopies();
    void statusText_data();
    void statusText();
    void keys_data();
    void moveKeys_data();
    void moveKeys();
    void keys();
    void enterWithoutSelection();
    void deleteWhileEditingRemovesNothing();
    void escapeKeepsCaption();
    void emptyTextCommitted();
    void enterInBoxCommitsOnce();
    void addingWhileEditingKeepsTypedText();
    void commitEditsStoresOpenBoxes();
    void savingTakesOpenBox();
    void doubleClicks();
    void doubleClickOnProductsWithoutSelection();
    void otherButtonsDoubleClickNothing_data();
    void otherButtonsDoubleClickNothing();
    void productDialog_data();
    void productDialog();
    void productDialogSilentWithoutProduct();
    void productDialogLayout();
    void hoverSelects();
    void leavingRowsForHeaderSelectsNothing();
    void clickRenamesOnlyInFocusedList();

private:
    QToolButton* button(const char* name) const { return h->form->findChild<QToolButton*>(QLatin1String(name)); }
    QLineEdit* openEditor() const { return qobject_cast<QLineEdit*>(QApplication::focusWidget()); }
    void typeIntoEditor(const QString& text, int key);

    std::unique_ptr<ListsHarness> h;
};

void TestEditing::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    h = std::make_unique<ListsHarness>();
    QVERIFY(h->show());
}

void TestEditing::cleanup()
{
    h.reset();
}

void TestEditing::typeIntoEditor(const QString& text, int key)
{
    typeIntoOpenEditor(text, key);
}

void TestEditing::missingSelection_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");

    QTest::newRow("product without store") << "addProductButton"
                                           << "Sie haben keinen Laden ausgewählt."
                                           << "Kein Laden ausgewählt";
    QTest::newRow("shopping without product") << "addToShoppingButton"
                                              << "Sie haben kein Produkt ausgewählt."
                                              << "Kein Produkt ausgewählt";
    const QString noEntry = "Sie haben keinen Eintrag ausgewählt.";
    const QString noEntryTitle = "Kein Eintrag ausgewählt";
    QTest::newRow("remove store") << "removeStoreButton" << noEntry << noEntryTitle;
    QTest::newRow("remove product") << "removeProductButton" << noEntry << noEntryTitle;
    QTest::newRow("remove shopping entry") << "removeFromShoppingButton" << noEntry << noEntryTitle;
}

void TestEditing::missingSelection()
{
    QFETCH(QString, buttonName);
    QFETCH(QString, text);
    QFETCH(QString, title);

    h->fill(Stores, { "Markt A" });
    h->fill(Products, { "Milch|Markt A|0,99 EUR" });
    h->fill(Shopping, { "1|Milch|Markt A|0,99 EUR" });
    const QStringList before[] = { h->rows(Stores), h->rows(Products), h->rows(Shopping) };

    QTest::mouseClick(button(buttonName.toLatin1().constData()), Qt::LeftButton);

    QCOMPARE(h->dialogs.messages.size(), 1);
    const ScriptedDialogs::Message& m = h->dialogs.messages.first();
    QCOMPARE(m.text, text);
    QCOMPARE(m.title, title);
    QCOMPARE(m.icon, QMessageBox::Critical);
    QCOMPARE(m.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    for (int list = Stores; list <= Shopping; ++list) {
        QCOMPARE(h->rows(list), before[list]);
        QVERIFY(!h->view(list)->isEditing());
    }
}

void TestEditing::questions_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("after");

    const QString remove = "Wollen Sie den Eintrag löschen?";
    const QString clear = "Wollen Sie die komplette Liste löschen?";
    const struct
    {
        const char* name;
        const char* minus;
        const char* del;
        int list;
    } lists[] = { { "stores", "removeStoreButton", "clearStoresButton", Stores },
        { "products", "removeProductButton", "clearProductsButton", Products },
        { "shopping", "removeFromShoppingButton", "clearShoppingButton", Shopping } };
    for (const auto& l : lists) {
        const QString name = QLatin1String(l.name);
        QTest::addRow("%s remove yes", l.name)
            << l.minus << l.list << int(QMessageBox::Yes) << remove << "Eintrag löschen" << QStringList { "a", "c" };
        QTest::addRow("%s remove no", l.name) << l.minus << l.list << int(QMessageBox::No) << remove
                                              << "Eintrag löschen" << QStringList { "a", "b", "c" };
        QTest::addRow("%s clear yes", l.name)
            << l.del << l.list << int(QMessageBox::Yes) << clear << "Liste löschen" << QStringList {};
        QTest::addRow("%s clear no", l.name)
            << l.del << l.list << int(QMessageBox::No) << clear << "Liste löschen" << QStringList { "a", "b", "c" };
    }
}

void TestEditing::questions()
{
    QFETCH(QString, buttonName);
    QFETCH(int, list);
    QFETCH(int, answer);
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(QStringList, after);

    for (int l = Stores; l <= Shopping; ++l)
        h->fill(l, { "a", "b", "c" });
    h->view(list)->selectRow(1);
    h->dialogs.answers = { QMessageBox::StandardButton(answer) };

    QTest::mouseClick(button(buttonName.toLatin1().constData()), Qt::LeftButton);

    QCOMPARE(h->dialogs.messages.size(), 1);
    const ScriptedDialogs::Message& m = h->dialogs.messages.first();
    QCOMPARE(m.text, text);
    QCOMPARE(m.title, title);
    QCOMPARE(m.icon, QMessageBox::Question);
    QCOMPARE(m.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(m.defaultButton, QMessageBox::Yes);
    QStringList captions;
    for (int row = 0; row < h->model(list)->count(); ++row)
        captions.append(h->model(list)->caption(row));
    QCOMPARE(captions, after);
    // The other lists are never touched.
    for (int l = Stores; l <= Shopping; ++l) {
        if (l != list)
            QCOMPARE(h->model(l)->count(), 3);
    }
}

void TestEditing::clearingEmptyListAsks()
{
    for (const char* name : { "clearStoresButton", "clearProductsButton", "clearShoppingButton" })
        QTest::mouseClick(button(name), Qt::LeftButton);
    QCOMPARE(h->dialogs.texts(), QStringList(3, "Wollen Sie die komplette Liste löschen?"));
}

void TestEditing::addStoreOpensCaption()
{
    h->fill(Stores, { "Markt A" });
    h->form->statusBar()->showMessage("unverändert");
    QTest::mouseClick(button("addStoreButton"), Qt::LeftButton);

    QCOMPARE(h->rows(Stores), QStringList({ "Markt A", "Laden" }));
    QCOMPARE(h->view(Stores)->selectedRow(), 1);
    QVERIFY(h->view(Stores)->isEditing());
    QVERIFY(openEditor());
    QCOMPARE(openEditor()->text(), "Laden");
    QCOMPARE(openEditor()->parentWidget(), h->view(Stores)->viewport());

    typeIntoEditor("Markt B", Qt::Key_Return);
    QCOMPARE(h->rows(Stores), QStringList({ "Markt A", "Markt B" }));
    QVERIFY(!h->view(Stores)->isEditing());
    QVERIFY(h->dialogs.messages.isEmpty());
    QCOMPARE(h->status(), "unverändert");
}

void TestEditing::addProductPriceText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("price");
    QTest::addColumn<QString>("expected");

    QTest::newRow("de 0.99") << "de_DE" << 0.99 << "0,99 EUR";
    QTest::newRow("de 2.5") << "de_DE" << 2.5 << "2,50 EUR";
    QTest::newRow("de no grouping") << "de_DE" << 1234567.891 << "1234567,89 EUR";
    QTest::newRow("de zero") << "de_DE" << 0.0 << "0,00 EUR";
    QTest::newRow("en 2.5") << "en_US" << 2.5 << "2.50 EUR";
    QTest::newRow("en 0.99") << "en_US" << 0.99 << "0.99 EUR";
}

void TestEditing::addProductPriceText()
{
    QFETCH(QString, locale);
    QFETCH(double, price);
    QFETCH(QString, expected);

    QLocale::setDefault(QLocale(locale));
    priceEdit(*h->form)->setValue(price);
    currencyEdit(*h->form)->setText("USD");
    h->fill(Stores, { "Markt A", "Markt B" });
    h->view(Stores)->selectRow(0);
    h->form->statusBar()->showMessage("unverändert");

    QTest::mouseClick(button("addProductButton"), Qt::LeftButton);

    QCOMPARE(h->rows(Products), QStringList { "Produkt|Markt A|" + expected });
    QVERIFY(h->view(Products)->isEditing());
    QCOMPARE(h->view(Products)->selectedRow(), 0);
    QCOMPARE(openEditor()->text(), "Produkt");
    QVERIFY(h->dialogs.messages.isEmpty());
    QCOMPARE(h->status(), "unverändert");
}

void TestEditing::shoppingEntriesAreCopies()
{
    h->fill(Stores, { "Markt A" });
    h->view(Stores)->selectRow(0);
    priceEdit(*h->form)->setValue(1.99);
    h->form->addProduct();
    typeIntoEditor("Milch", Qt::Key_Return);

    h->view(Products)->selectRow(0);
    QTest::mouseClick(button("addToShoppingButton"), Qt::LeftButton);
    QVERIFY(h->view(Shopping)->isEditing());
    QCOMPARE(openEditor()->text(), "1");
    typeIntoEditor("3", Qt::Key_Return);
    h->view(Products)->selectRow(0);
    QTest::mouseClick(button("addToShoppingButton"), Qt::LeftButton);
    QTest::keyClick(openEditor(), Qt::Key_Escape);

    QCOMPARE(h->rows(Shopping), QStringList({ "3|Milch|Markt A|1,99 EUR", "1|Milch|Markt A|1,99 EUR" }));
    QCOMPARE(h->status(), "2 Produkte auf der Einkaufsliste");

    // Renaming or removing the sources changes none of the copies.
    h->view(Stores)->beginEdit(0);
    typeIntoEditor("Markt B", Qt::Key_Return);
    h->view(Products)->beginEdit(0);
    typeIntoEditor("Butter", Qt::Key_Return);
    QCOMPARE(h->rows(Products), QStringList { "Butter|Markt A|1,99 EUR" });
    h->view(Stores)->selectRow(0);
    h->form->removeStore();
    h->view(Products)->selectRow(0);
    h->form->removeProduct();
    QCOMPARE(h->model(Stores)->count(), 0);
    QCOMPARE(h->model(Products)->count(), 0);
    QCOMPARE(h->rows(Shopping), QStringList({ "3|Milch|Markt A|1,99 EUR", "1|Milch|Markt A|1,99 EUR" }));
}

void TestEditing::statusText_data()
{
    QTest::addColumn<QString>("buttonName");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("count");

    QTest::newRow("remove, nothing selected") << "removeFromShoppingButton" << false << int(QMessageBox::Yes) << 2;
    QTest::newRow("remove, yes") << "removeFromShoppingButton" << true << int(QMessageBox::Yes) << 1;
    QTest::newRow("remove, no") << "removeFromShoppingButton" << true << int(QMessageBox::No) << 2;
    QTest::newRow("clear, yes") << "clearShoppingButton" << false << int(QMessageBox::Yes) << 0;
    QTest::newRow("clear, no") << "clearShoppingButton" << false << int(QMessageBox::No) << 2;
    QTest::newRow("add, no product") << "addToShoppingButton" << false << int(QMessageBox::Ok) << 2;
    QTest::newRow("add") << "addToShoppingButton" << true << int(QMessageBox::Ok) << 3;
}

void TestEditing::statusText()
{
    QFETCH(QString, buttonName);
    QFETCH(bool, selected);
    QFETCH(int, answer);
    QFETCH(int, count);

    h->fill(Products, { "Milch|Markt A|0,99 EUR" });
    h->fill(Shopping, { "1|Milch|Markt A|0,99 EUR", "2|Brot|Markt B|2,00 EUR" });
    if (selected) {
        h->view(Products)->selectRow(0);
        h->view(Shopping)->selectRow(0);
    }
    h->dialogs.answers = { QMessageBox::StandardButton(answer) };
    h->form->statusBar()->showMessage("veraltet");

    QTest::mouseClick(button(buttonName.toLatin1().constData()), Qt::LeftButton);

    QCOMPARE(h->model(Shopping)->count(), count);
    QCOMPARE(h->status(), QString::number(count) + " Produkte auf der Einkaufsliste");
}

void TestEditing::keys_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("removes");

    const char* names[] = { "stores", "products", "shopping" };
    const std::pair<const char*, Qt::KeyboardModifiers> mods[] = { { "", Qt::NoModifier },
        { " shift", Qt::ShiftModifier }, { " ctrl", Qt::ControlModifier }, { " alt", Qt::AltModifier } };
    for (int list = Stores; list <= Shopping; ++list) {
        for (const auto& [modName, mod] : mods) {
            QTest::addRow("%s delete%s", names[list], modName) << list << int(Qt::Key_Delete) << int(mod) << true;
            QTest::addRow("%s return%s", names[list], modName) << list << int(Qt::Key_Return) << int(mod) << false;
        }
        QTest::addRow("%s keypad enter", names[list]) << list << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << false;
    }
}

void TestEditing::moveKeys_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("selected");

    // Every row is an entry: the keys move between entries, never between the columns of one.
    const std::pair<const char*, Qt::Key> keys[] = { { "home", Qt::Key_Home }, { "end", Qt::Key_End },
        { "left", Qt::Key_Left }, { "right", Qt::Key_Right }, { "up", Qt::Key_Up }, { "down", Qt::Key_Down } };
    const int selected[] = { 0, 2, 1, 1, 0, 2 };
    for (int list = Stores; list <= Shopping; list += Shopping - Stores) {
        for (size_t k = 0; k < std::size(keys); ++k)
            QTest::addRow("%s %s", list == Stores ? "stores" : "shopping", keys[k].first)
                << list << int(keys[k].second) << selected[k];
    }
}

void TestEditing::moveKeys()
{
    QFETCH(int, list);
    QFETCH(int, key);
    QFETCH(int, selected);

    h->fill(list, { "a|x|y|z", "b|x|y|z", "c|x|y|z" });
    ListView* view = h->view(list);
    view->setFocus();
    view->selectRow(1);
    // The last column clicked, as a click on the shop would leave it.
    view->setCurrentIndex(view->model()->index(1, view->model()->columnCount() - 1));
    QTest::keyClick(view, Qt::Key(key));
    QCOMPARE(view->selectedRow(), selected);
    // F2 renames the entry whichever column is current.
    QTest::keyClick(view, Qt::Key_F2);
    QVERIFY(view->isEditing());
    QCOMPARE(openEditor()->text(), QString(QChar(u'a' + selected)));
}

void TestEditing::keys()
{
    QFETCH(int, list);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, removes);

    h->fill(list, { "a|x|y|z", "b|x|y|z", "c|x|y|z" });
    ListView* view = h->view(list);
    view->setFocus();
    view->selectRow(1);
    h->form->statusBar()->showMessage("veraltet");

    QTest::keyClick(view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    if (removes) {
        QCOMPARE(h->dialogs.texts(), QStringList { "Wollen Sie den Eintrag löschen?" });
        QCOMPARE(h->model(list)->count(), 2);
        QVERIFY(!view->isEditing());
    } else {
        QVERIFY(h->dialogs.messages.isEmpty());
        QCOMPARE(h->model(list)->count(), 3);
        QVERIFY(view->isEditing());
        QCOMPARE(openEditor()->text(), "b");
    }
    const bool statusSet = removes && list == Shopping;
    QCOMPARE(h->status(), statusSet ? "2 Produkte auf der Einkaufsliste" : "veraltet");
}

void TestEditing::enterWithoutSelection()
{
    for (int list = Stores; list <= Shopping; ++list) {
        h->fill(list, { "a|x|y|z" });
        QTest::keyClick(h->view(list), Qt::Key_Return);
        QVERIFY(!h->view(list)->isEditing());
    }
    QVERIFY(h->dialogs.messages.isEmpty());
}

void TestEditing::deleteWhileEditingRemovesNothing()
{
    for (int list = Stores; list <= Shopping; ++list) {
        h->fill(list, { "alt|x|y|z", "zwei|x|y|z" });
        ListView* view = h->view(list);
        view->selectRow(0);
        QTest::keyClick(view, Qt::Key_Return);
        QLineEdit* editor = openEditor();
        QVERIFY(editor);
        editor->setCursorPosition(0);
        QTest::keyClick(editor, Qt::Key_Delete);
        QCOMPARE(editor->text(), "lt");
        // The key as the list sees it when the box passes it on.
        QTest::keyClick(view, Qt::Key_Delete, Qt::ShiftModifier);
        QVERIFY(view->isEditing());
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!view->isEditing());
        QCOMPARE(h->model(list)->count(), 2);
        QCOMPARE(h->model(list)->caption(0), "lt");
    }
    QVERIFY(h->dialogs.messages.isEmpty());
}

void TestEditing::escapeKeepsCaption()
{
    for (int list = Stores; list <= Shopping; ++list) {
        h->fill(list, { "alt|x|y|z" });
        h->view(list)->beginEdit(0);
        typeIntoEditor("neu", Qt::Key_Escape);
        QVERIFY(!h->view(list)->isEditing());
        QCOMPARE(h->model(list)->caption(0), "alt");
    }
}

void TestEditing::emptyTextCommitted()
{
    for (int list = Stores; list <= Shopping; ++list) {
        h->fill(list, { "alt|x|y|z" });
        h->view(list)->beginEdit(0);
        QLineEdit* editor = openEditor();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClick(editor, Qt::Key_Enter, Qt::KeypadModifier);
        QTRY_VERIFY(!h->view(list)->isEditing());
        QCOMPARE(h->rows(list).first().section(u'|', 0, 0), QString());
        QVERIFY(h->model(list)->caption(0).isEmpty());
    }
}

void TestEditing::enterInBoxCommitsOnce()
{
    h->fill(Stores, { "alt" });
    h->view(Stores)->beginEdit(0);
    typeIntoEditor("neu", Qt::Key_Return);
    QTest::qWait(50);
    QVERIFY(!h->view(Stores)->isEditing());
    QCOMPARE(h->model(Stores)->caption(0), "neu");
    // Focus-out confirms as well.
    h->view(Stores)->beginEdit(0);
    QLineEdit* editor = openEditor();
    QVERIFY(editor);
    QTest::keyClicks(editor, "2");
    currencyEdit(*h->form)->setFocus();
    QTRY_VERIFY(!h->view(Stores)->isEditing());
    QVERIFY(h->model(Stores)->caption(0).endsWith("2"));
}

void TestEditing::addingWhileEditingKeepsTypedText()
{
    QTest::mouseClick(button("addStoreButton"), Qt::LeftButton);
    QTest::keyClicks(openEditor(), "Markt A");
    QTest::mouseClick(button("addStoreButton"), Qt::LeftButton);
    QVERIFY(h->view(Stores)->isEditing());
    QCOMPARE(h->view(Stores)->selectedRow(), 1);
    QCOMPARE(openEditor()->text(), "Laden");
    QTest::keyClicks(openEditor(), "Markt B");
    // The same while the box of another list is open.
    h->view(Stores)->selectRow(1);
    QTest::mouseClick(button("addProductButton"), Qt::LeftButton);
    QVERIFY(!h->view(Stores)->isEditing());
    QVERIFY(h->view(Products)->isEditing());
    QCOMPARE(h->rows(Stores), QStringList({ "Markt A", "Markt B" }));
    QCOMPARE(h->rows(Products), QStringList { "Produkt|Markt B|0,00 EUR" });
    QTest::keyClicks(openEditor(), "Milch");
    QTest::mouseClick(button("addToShoppingButton"), Qt::LeftButton);
    QCOMPARE(h->rows(Shopping), QStringList { "1|Milch|Markt B|0,00 EUR" });
}

void TestEditing::commitEditsStoresOpenBoxes()
{
    h->fill(Stores, { "a" });
    h->fill(Shopping, { "1|x|y|z" });
    h->view(Stores)->beginEdit(0);
    openEditor()->setText("Markt");
    h->view(Shopping)->beginEdit(0);
    openEditor()->setText("3");
    h->form->commitEdits();
    QCOMPARE(h->model(Stores)->caption(0), "Markt");
    QCOMPARE(h->model(Shopping)->caption(0), "3");
    for (int list = Stores; list <= Shopping; ++list)
        QVERIFY(!h->view(list)->isEditing());
    h->form->commitEdits();
}

void TestEditing::savingTakesOpenBox()
{
    h->fill(Stores, { "alt" });
    h->view(Stores)->beginEdit(0);
    openEditor()->setText("Markt Neu");
    h->dialogs.fileAnswers = { h->path("liste.kbl") };
    h->form->saveAs();
    QVERIFY(MainWindowFixture::readFile(h->path("liste.kbl")).contains("Markt Neu"));
    QVERIFY(!h->view(Stores)->isEditing());
}

void TestEditing::doubleClicks()
{
    h->fill(Stores, { "Markt A", "Markt B" });
    h->fill(Products, { "Milch|Markt A|0,99 EUR", "Brot|Markt B|2,00 EUR" });
    h->fill(Shopping, { "5|Käse|Markt C|3,00 EUR" });

    ListView* stores = h->view(Stores);
    QTest::mouseDClick(
        stores->viewport(), Qt::LeftButton, {}, stores->visualRect(h->model(Stores)->index(1, 0)).center());
    QVERIFY(stores->isEditing());
    QCOMPARE(openEditor()->text(), "Markt B");
    QTest::keyClick(openEditor(), Qt::Key_Escape);

    ListView* products = h->view(Products);
    QTest::mouseDClick(
        products->viewport(), Qt::LeftButton, {}, products->visualRect(h->model(Products)->index(1, 1)).center());
    QVERIFY(!products->isEditing());
    QCOMPARE(h->rows(Shopping), QStringList({ "5|Käse|Markt C|3,00 EUR", "1|Brot|Markt B|2,00 EUR" }));
    QVERIFY(h->view(Shopping)->isEditing());
    QCOMPARE(h->view(Shopping)->selectedRow(), 1);
    QCOMPARE(h->status(), "2 Produkte auf der Einkaufsliste");
    QTest::keyClick(openEditor(), Qt::Key_Escape);

    ListView* shopping = h->view(Shopping);
    QTest::mouseDClick(
        shopping->viewport(), Qt::LeftButton, {}, shopping->visualRect(h->model(Shopping)->index(0, 3)).center());
    QVERIFY(shopping->isEditing());
    QCOMPARE(openEditor()->text(), "5");
    QVERIFY(h->dialogs.messages.isEmpty());
}

void TestEditing::otherButtonsDoubleClickNothing_data()
{
    QTest::addColumn<int>("button");
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("middle") << int(Qt::MiddleButton);
}

void TestEditing::otherButtonsDoubleClickNothing()
{
    QFETCH(int, button);
    h->fill(Stores, { "Markt A" });
    h->fill(Products, { "Milch|Markt A|0,99 EUR" });
    for (int list : { Stores, Products, Shopping }) {
        ListView* view = h->view(list);
        const QPoint pos = list == Shopping ? QPoint(20, 5) : view->visualRect(h->model(list)->index(0, 0)).center();
        view->selectRow(0);
        QTest::mouseDClick(view->viewport(), Qt::MouseButton(button), {}, pos);
        // After QTest's double click Qt still counts this button as down; the pointer tests after this need it up.
        QTest::mouseRelease(view->viewport(), Qt::MouseButton(button), {}, pos);
        QVERIFY(!view->isEditing());
    }
    QCOMPARE(h->model(Shopping)->count(), 0);
    QVERIFY(h->dialogs.messages.isEmpty());
}

void TestEditing::doubleClickOnProductsWithoutSelection()
{
    h->fill(Products, { "Milch|Markt A|0,99 EUR" });
    h->fill(Shopping, { "1|Brot|Markt B|2,00 EUR" });
    h->form->statusBar()->showMessage("veraltet");
    ListView* products = h->view(Products);
    // Below the last row: nothing gets selected.
    QTest::mouseDClick(products->viewport(), Qt::LeftButton, {}, QPoint(20, products->viewport()->height() - 5));
    QCOMPARE(h->dialogs.texts(), QStringList { "Sie haben kein Produkt ausgewählt." });
    QCOMPARE(h->model(Shopping)->count(), 1);
    QCOMPARE(h->status(), "1 Produkte auf der Einkaufsliste");
}

void TestEditing::productDialog_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ok") << int(QDialog::Accepted) << "Vollmilch"
                        << "1,09 EUR"
                        << "Vollmilch|Markt A|1,09 EUR";
    QTest::newRow("ok, price not a number") << int(QDialog::Accepted) << "Milch"
                                            << "ca. 3 EUR"
                                            << "Milch|Markt A|ca. 3 EUR";
    QTest::newRow("ok, empty texts") << int(QDialog::Accepted) << ""
                                     << ""
                                     << "|Markt A|";
    QTest::newRow("ok, blanks kept") << int(QDialog::Accepted) << " Milch "
                                     << " 2 "
                                     << " Milch |Markt A| 2 ";
    QTest::newRow("cancel after typing") << int(QDialog::Rejected) << "Vollmilch"
                                         << "9,99 EUR"
                                         << "Milch|Markt A|0,99 EUR";
}

void TestEditing::productDialog()
{
    QFETCH(int, result);
    QFETCH(QString, name);
    QFETCH(QString, price);
    QFETCH(QString, expected);

    h->fill(Products, { "Brot|Markt B|2,00 EUR", "Milch|Markt A|0,99 EUR" });
    h->fill(Shopping, { "1|Milch|Markt A|0,99 EUR" });
    // Leftovers of an earlier edit must not show.
    h->productDialog->setProduct("alt", "alt");
    h->view(Products)->selectRow(1);

    QStringList shown;
    h->dialogs.execAnswer = [&](QDialog* dialog) {
        auto* form = qobject_cast<ProductDialog*>(dialog);
        shown = QStringList { form->name(), form->price() };
        form->setProduct(name, price);
        return result;
    };
    QTest::mouseClick(button("editProductButton"), Qt::LeftButton);

    QCOMPARE(h->dialogs.executed, QList<QDialog*> { h->productDialog.get() });
    QCOMPARE(shown, QStringList({ "Milch", "0,99 EUR" }));
    QCOMPARE(h->rows(Products), QStringList({ "Brot|Markt B|2,00 EUR", expected }));
    QCOMPARE(h->rows(Shopping), QStringList { "1|Milch|Markt A|0,99 EUR" });
    QVERIFY(h->dialogs.messages.isEmpty());
}

void TestEditing::productDialogSilentWithoutProduct()
{
    h->fill(Products, { "Milch|Markt A|0,99 EUR" });
    h->form->statusBar()->showMessage("1 Eintrag");
    QTest::mouseClick(button("editProductButton"), Qt::LeftButton);
    QVERIFY(h->dialogs.executed.isEmpty());
    QVERIFY(h->dialogs.messages.isEmpty());
    // No box, but the status bar says why, and then shows its text again.
    QCOMPARE(h->form->statusBar()->currentMessage(), "Bitte zuerst ein Produkt auswählen.");
    QTRY_COMPARE_WITH_TIMEOUT(h->form->statusBar()->currentMessage(), "1 Eintrag", 15000);
}

void TestEditing::productDialogLayout()
{
    ProductDialog& form = *h->productDialog;
    QCOMPARE(form.windowTitle(), "Artikel bearbeiten");
    QCOMPARE(form.size(), QSize(275, 168));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(windowWidget<QLabel>(form, QStringLiteral("nameLabel"))->text(), "Name:");
    QCOMPARE(windowWidget<QLabel>(form, QStringLiteral("priceLabel"))->text(), "Preis:");
    QCOMPARE(windowWidget<QLineEdit>(form, QStringLiteral("nameEdit"))->width(), 257);
    QCOMPARE(windowWidget<QLineEdit>(form, QStringLiteral("priceEdit"))->width(), 257);
    QVERIFY(form.findChild<QFrame*>("bevel"));
    QVERIFY(windowWidget<QLabel>(form, QStringLiteral("nameLabel"))->y()
            < windowWidget<QLineEdit>(form, QStringLiteral("nameEdit"))->y()
        && windowWidget<QLineEdit>(form, QStringLiteral("nameEdit"))->y()
            < windowWidget<QLabel>(form, QStringLiteral("priceLabel"))->y());
    QVERIFY(windowWidget<QLabel>(form, QStringLiteral("priceLabel"))->y()
            < windowWidget<QLineEdit>(form, QStringLiteral("priceEdit"))->y()
        && windowWidget<QLineEdit>(form, QStringLiteral("priceEdit"))->y()
            < windowWidget<QFrame>(form, QStringLiteral("bevel"))->y());
    QVERIFY(windowWidget<QFrame>(form, QStringLiteral("bevel"))->geometry().bottom()
        < windowWidget<BitmapButton>(form, QStringLiteral("okButton"))->y());
    QCOMPARE(windowWidget<BitmapButton>(form, QStringLiteral("okButton"))->text(), "OK");
    QCOMPARE(windowWidget<BitmapButton>(form, QStringLiteral("cancelButton"))->text(), "Abbrechen");
    QVERIFY(windowWidget<BitmapButton>(form, QStringLiteral("okButton"))->isDefault());
    QVERIFY(windowWidget<BitmapButton>(form, QStringLiteral("okButton"))->geometry().right()
        < windowWidget<BitmapButton>(form, QStringLiteral("cancelButton"))->x());
    QCOMPARE(windowWidget<BitmapButton>(form, QStringLiteral("okButton"))->y(),
        windowWidget<BitmapButton>(form, QStringLiteral("cancelButton"))->y());
    // The pair of buttons and the line stand centred in the dialog.
    QVERIFY(
        qAbs(windowWidget<BitmapButton>(form, QStringLiteral("okButton"))->x()
            + windowWidget<BitmapButton>(form, QStringLiteral("cancelButton"))->geometry().right() + 1 - form.width())
        <= 1);
    QVERIFY(qAbs(windowWidget<QFrame>(form, QStringLiteral("bevel"))->x() * 2
                + windowWidget<QFrame>(form, QStringLiteral("bevel"))->width() - form.width())
        <= 1);

    // Enter takes the default button, Escape cancels. The name opens ready to be typed over.
    windowWidget<QLineEdit>(form, QStringLiteral("nameEdit"))->setText("Milch");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(windowWidget<QLineEdit>(form, QStringLiteral("nameEdit"))->selectedText(), "Milch");
    QTest::keyClick(windowWidget<QLineEdit>(form, QStringLiteral("nameEdit")), Qt::Key_Return);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(!form.isVisible());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(windowWidget<QLineEdit>(form, QStringLiteral("priceEdit")), Qt::Key_Escape);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
}

void TestEditing::hoverSelects()
{
    h->fill(Stores, { "a", "b", "c" });
    ListView* view = h->view(Stores);
    view->selectRow(0);
    const QPoint pos = view->visualRect(h->model(Stores)->index(2, 0)).center();
    QTest::mouseMove(view->viewport(), pos);
    QTRY_COMPARE(view->hotRow(), 2);
    QCOMPARE(view->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(view->selectedRow(), 0);
    QTRY_COMPARE(view->selectedRow(), 2);

    // Moving along a row is no rest: nothing is selected until the pointer stops.
    const QRect row1 = view->visualRect(h->model(Stores)->index(1, 0));
    QElapsedTimer moving;
    moving.start();
    QElapsedTimer sinceMove;
    bool pausedTooLong = false; // a loaded machine may stall between two moves; that is a rest
    for (int x = row1.left() + 2; x < row1.right() - 2; x += 6) {
        QTest::mouseMove(view->viewport(), QPoint(x, row1.center().y()));
        pausedTooLong = pausedTooLong || (sinceMove.isValid() && sinceMove.elapsed() >= ListView::hoverTime());
        sinceMove.start();
        QTest::qWait(ListView::hoverTime() / 8);
    }
    QVERIFY(moving.elapsed() > ListView::hoverTime());
    QCOMPARE(view->hotRow(), 1);
    if (!pausedTooLong)
        QCOMPARE(view->selectedRow(), 2);
    QTRY_COMPARE(view->selectedRow(), 1);

    // No selection by hovering while the edit box is open.
    view->beginEdit(0);
    QTest::mouseMove(view->viewport(), view->visualRect(h->model(Stores)->index(2, 0)).center());
    QTest::qWait(ListView::hoverTime() * 2);
    QCOMPARE(view->selectedRow(), 0);
    QVERIFY(view->isEditing());
}

void TestEditing::leavingRowsForHeaderSelectsNothing()
{
    h->fill(Stores, { "a", "b", "c" });
    ListView* view = h->view(Stores);
    view->selectRow(0);
    // Qt drops a move to where the pointer already is; the test before may have left it on row 2.
    QTest::mouseMove(view->viewport(), view->visualRect(h->model(Stores)->index(1, 0)).center());
    QTest::mouseMove(view->viewport(), view->visualRect(h->model(Stores)->index(2, 0)).center());
    QTRY_COMPARE(view->hotRow(), 2);
    // On the way to a column header the pointer leaves the rows before it has rested on one.
    QHeaderView* header = view->header();
    QTest::mouseMove(header->viewport(), QPoint(header->sectionSize(0) / 2, header->height() / 2));
    QTRY_COMPARE(view->hotRow(), -1);
    QCOMPARE(view->viewport()->cursor().shape(), Qt::ArrowCursor);
    QTest::qWait(ListView::hoverTime() * 2);
    QCOMPARE(view->selectedRow(), 0);
}

void TestEditing::clickRenamesOnlyInFocusedList()
{
    h->fill(Stores, { "a", "b" });
    ListView* view = h->view(Stores);
    const QPoint row1 = view->visualRect(h->model(Stores)->index(1, 0)).center();
    currencyEdit(*h->form)->setFocus();
    QTest::mouseMove(view->viewport(), row1);
    QTRY_COMPARE(view->selectedRow(), 1);

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row1);
    QTest::qWait(QApplication::doubleClickInterval() * 2);
    QVERIFY(view->hasFocus());
    QVERIFY(!view->isEditing());

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row1);
    QTRY_VERIFY(view->isEditing());
    QCOMPARE(openEditor()->text(), "b");
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
