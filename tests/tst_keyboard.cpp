// The window from the keyboard: the file and help shortcuts, Insert in the lists, the click that renames an entry
// only while its list keeps the focus, and Escape in the about box.
#include "ListsHarness.h"
#include "WindowWidgets.h"
#include "ui/AboutDialog.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

enum List { Stores = 0, Products = 1, Shopping = 2 };

namespace {

// What a command asked of the user, in order: message texts, "open file"/"save file", "print", "open <url>".
QStringList asked(const ScriptedDialogs& dialogs)
{
    QStringList result;
    for (const auto& message : dialogs.messages)
        result.append(message.text);
    for (const auto& request : dialogs.fileRequests)
        result.append(request.mode == FileDialogOptions::Mode::Open ? "open file" : "save file");
    if (dialogs.printRequests > 0)
        result.append("print");
    for (const QString& url : dialogs.openedUrls)
        result.append("open " + url.section(u'/', -1));
    return result;
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void shortcuts_data();
    void shortcuts();
    void insertAdds_data();
    void insertAdds();
    void insertWhileEditingAddsNothing();
    void clickOnSelectedEntry_data();
    void clickOnSelectedEntry();
    void aboutBoxCloses_data();
    void aboutBoxCloses();

private:
    std::unique_ptr<ListsHarness> h;
};

void TestKeyboard::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    h = std::make_unique<ListsHarness>();
    QVERIFY(h->show());
}

void TestKeyboard::cleanup()
{
    h.reset();
}

void TestKeyboard::shortcuts_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<bool>("named");
    QTest::addColumn<QStringList>("expected");

    const QString unsaved = "Wollen Sie die nicht gesicherten Daten speichern?";
    // "Nein" to the question: New clears the lists, Open goes on to the file dialog, Quit closes the window.
    QTest::newRow("new") << "newAction" << QKeySequence("Ctrl+N") << false << QStringList { unsaved };
    QTest::newRow("open") << "openAction" << QKeySequence("Ctrl+O") << false << QStringList { unsaved, "open file" };
    QTest::newRow("save unnamed") << "saveAction" << QKeySequence("Ctrl+S") << false << QStringList { "save file" };
    QTest::newRow("save named") << "saveAction" << QKeySequence("Ctrl+S") << true << QStringList {};
    QTest::newRow("save as") << "saveAsAction" << QKeySequence("Ctrl+Shift+S") << true << QStringList { "save file" };
    QTest::newRow("print") << "printAction" << QKeySequence("Ctrl+P") << false << QStringList { "print" };
    QTest::newRow("quit") << "quitAction" << QKeySequence("Ctrl+Q") << false << QStringList { unsaved };
    QTest::newRow("help") << "helpAction" << QKeySequence("F1") << false << QStringList { "open korbana.chm" };
}

void TestKeyboard::shortcuts()
{
    QFETCH(QString, action);
    QFETCH(QKeySequence, keys);
    QFETCH(bool, named);
    QFETCH(QStringList, expected);

    auto* menuAction = h->form->findChild<QAction*>(action);
    QVERIFY(menuAction);
    // Shown in the menu beside the item that it runs.
    QCOMPARE(menuAction->shortcut(), keys);
    bool inMenu = false;
    for (QAction* menu : h->form->menuBar()->actions())
        inMenu = inMenu || menu->menu()->actions().contains(menuAction);
    QVERIFY(inMenu);

    if (named)
        QVERIFY(h->form->saveFile(h->path("liste.kbl")));
    h->fill(Stores, { "Markt" });
    h->dialogs.answers = { QMessageBox::No };
    int triggered = 0;
    connect(menuAction, &QAction::triggered, this, [&triggered] { ++triggered; });

    h->form->storesView()->setFocus();
    QTest::keySequence(h->form->storesView(), keys);
    QCoreApplication::processEvents();

    QCOMPARE(triggered, 1);
    QCOMPARE(asked(h->dialogs), expected);
    if (action == "newAction")
        QCOMPARE(h->model(Stores)->count(), 0);
    if (action == "quitAction")
        QTRY_VERIFY(!h->form->isVisible());
}

void TestKeyboard::insertAdds_data()
{
    QTest::addColumn<int>("list");
    QTest::addColumn<bool>("sourceSelected");
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("stores") << int(Stores) << true << QStringList { "Bäcker", "Laden" } << QStringList {};
    QTest::newRow("products") << int(Products) << true
                              << QStringList { "Brot|Bäcker|1,99 EUR", "Produkt|Bäcker|2,50 EUR" } << QStringList {};
    QTest::newRow("products without shop") << int(Products) << false << QStringList { "Brot|Bäcker|1,99 EUR" }
                                           << QStringList { "Sie haben keinen Laden ausgewählt." };
    QTest::newRow("shopping") << int(Shopping) << true
                              << QStringList { "1|Brot|Bäcker|1,99 EUR", "1|Brot|Bäcker|1,99 EUR" } << QStringList {};
    QTest::newRow("shopping without product") << int(Shopping) << false << QStringList { "1|Brot|Bäcker|1,99 EUR" }
                                              << QStringList { "Sie haben kein Produkt ausgewählt." };
}

void TestKeyboard::insertAdds()
{
    QFETCH(int, list);
    QFETCH(bool, sourceSelected);
    QFETCH(QStringList, rows);
    QFETCH(QStringList, messages);

    h->fill(Stores, { "Bäcker" });
    h->fill(Products, { "Brot|Bäcker|1,99 EUR" });
    h->fill(Shopping, { "1|Brot|Bäcker|1,99 EUR" });
    priceEdit(*h->form)->setValue(2.5);
    if (sourceSelected && list > Stores)
        h->view(list - 1)->selectRow(0);
    ListView* view = h->view(list);
    view->setFocus();

    QTest::keyClick(view, Qt::Key_Insert);

    QCOMPARE(h->rows(list), rows);
    QCOMPARE(h->dialogs.texts(), messages);
    // The new entry opens its first column for typing, as after the button.
    QCOMPARE(view->isEditing(), messages.isEmpty());
}

void TestKeyboard::insertWhileEditingAddsNothing()
{
    h->fill(Stores, { "Bäcker" });
    h->form->storesView()->beginEdit(0);
    QVERIFY(h->form->storesView()->isEditing());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
    QCOMPARE(h->model(Stores)->count(), 1);
}

void TestKeyboard::clickOnSelectedEntry_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<bool>("renames");

    QTest::newRow("pointer rests") << "rest" << true;
    QTest::newRow("click into the price field and type") << "price" << false;
    QTest::newRow("pointer moves on") << "move" << false;
}

void TestKeyboard::clickOnSelectedEntry()
{
    QFETCH(QString, then);
    QFETCH(bool, renames);

    h->fill(Stores, { "a", "b", "c" });
    ListView* view = h->form->storesView();
    view->setFocus();
    view->selectRow(1);
    const QPoint row1 = view->visualRect(h->model(Stores)->index(1, 0)).center();
    const QPoint row2 = view->visualRect(h->model(Stores)->index(2, 0)).center();
    QTest::mouseMove(view->viewport(), row1);

    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row1);
    SpinEdit* price = priceEdit(*h->form);
    if (then == "price") {
        QTest::mouseClick(price, Qt::LeftButton, {}, QPoint(10, price->height() / 2));
        QTest::keyClicks(QApplication::focusWidget(), "7");
    } else if (then == "move") {
        QTest::mouseMove(view->viewport(), row2);
    }
    QTest::qWait(QApplication::doubleClickInterval() * 2);

    QCOMPARE(view->isEditing(), renames);
    if (then == "price") {
        QVERIFY(price->hasFocus());
        QVERIFY2(price->text().contains(u'7'), qPrintable(price->text()));
    }
    QCOMPARE(h->model(Stores)->caption(1), "b");
}

void TestKeyboard::aboutBoxCloses_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("closes");

    QTest::newRow("escape") << "escape" << false;
    QTest::newRow("ok") << "ok" << true;
    QTest::newRow("close box") << "close" << true;
}

void TestKeyboard::aboutBoxCloses()
{
    QFETCH(QString, how);
    QFETCH(bool, closes);

    AboutDialog about(h->dialogs, h->form.get());
    about.open();
    QApplication::setActiveWindow(&about);
    QVERIFY(QTest::qWaitForWindowActive(&about));
    if (how == "escape")
        QTest::keyClick(&about, Qt::Key_Escape);
    else if (how == "ok")
        QTest::mouseClick(windowWidget<QWidget>(about, "okButton"), Qt::LeftButton);
    else
        about.close();
    QCoreApplication::processEvents();
    QCOMPARE(about.isVisible(), !closes);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
