// A household's week through the real window: staples in, quick add, the walk, ticking off in the shop,
// clearing away, saving and reading the list again.
#include "FakeCanvas.h"
#include "ListsHarness.h"
#include "WindowWidgets.h"
#include "document/ListDocument.h"
#include "print/ShoppingPrintout.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QUndoStack>

using namespace korbana;

class TestWeek : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("de_DE"))); }
    void aWeek();
};

void TestWeek::aWeek()
{
    ListsHarness h;
    QVERIFY(h.show());
    MainWindow& w = *h.form;
    h.fill(MainWindow::Stores, { "Aldi", "Bäcker" });
    h.fill(MainWindow::Products,
        { "Milch|Aldi|0,99 EUR", "Brot|Bäcker|2,50 EUR", "Käse|Aldi|3,00 EUR", "Milch|Edeka|0,89 EUR" });
    ListView* products = h.view(MainWindow::Products);
    ListView* shopping = h.view(MainWindow::Shopping);

    // Brot is bought every week; Käse comes before Milch on the way through Aldi.
    products->setFocus();
    products->selectRow(1);
    QTest::keyClick(products, Qt::Key_M, Qt::ControlModifier);
    products->selectRow(2);
    QTest::keyClick(products, Qt::Key_Up, Qt::AltModifier);
    QCOMPARE(h.rows(MainWindow::Products).first(), QStringLiteral("Käse|Aldi|3,00 EUR"));

    windowWidget<QToolButton>(w, QStringLiteral("addStaplesButton"))->click();
    QCOMPARE(h.rows(MainWindow::Shopping), QStringList { "1|Brot|Bäcker|2,50 EUR" });

    // "2 milch" + Enter: the cheapest Milch; "kaese" finds Käse, at the only shop that has it.
    auto* quickAdd = windowWidget<QLineEdit>(w, QStringLiteral("quickAddEdit"));
    QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
    QTRY_VERIFY(quickAdd->hasFocus());
    QTest::keyClicks(quickAdd, QStringLiteral("2 milch"));
    QTest::keyClick(quickAdd, Qt::Key_Return);
    QTest::keyClicks(quickAdd, QStringLiteral("kaese"));
    QTest::keyClick(quickAdd, Qt::Key_Return);
    QCOMPARE(quickAdd->text(), QString());
    QCOMPARE(h.rows(MainWindow::Shopping),
        (QStringList { "1|Brot|Bäcker|2,50 EUR", "2|Milch|Edeka|0,89 EUR", "1|Käse|Aldi|3,00 EUR" }));

    windowWidget<QAction>(w, QStringLiteral("orderByWalkAction"))->trigger();
    QCOMPARE(h.rows(MainWindow::Shopping),
        (QStringList { "1|Käse|Aldi|3,00 EUR", "1|Brot|Bäcker|2,50 EUR", "2|Milch|Edeka|0,89 EUR" }));
    // The printout grouped by shop follows the walk.
    FakeCanvas canvas;
    ShoppingPrintout(canvas, *w.shopping(), PrintMargins(), PrintFont(), { false, true }).run();
    QStringList shops;
    for (const auto& text : canvas.drawn) {
        const bool shop = text.text == u"Aldi" || text.text == u"Bäcker" || text.text == u"Edeka";
        if (shop && (shops.isEmpty() || shops.last() != text.text))
            shops << text.text;
    }
    QCOMPARE(shops, (QStringList { "Aldi", "Bäcker", "Edeka" }));

    // In the shop: Space ticks the Käse.
    shopping->setFocus();
    shopping->selectRow(0);
    QTest::keyClick(shopping, Qt::Key_Space);
    QVERIFY(w.document()->isTicked(0));
    QCOMPARE(windowWidget<QLabel>(w, QStringLiteral("tickLabel"))->text(),
        QStringLiteral("1 von 3 erledigt · offen 4,28 EUR"));
    // The printout leaves it out once the settings page says so.
    QCOMPARE(w.entriesToPrint().size(), size_t(3));
    windowWidget<QCheckBox>(w, QStringLiteral("leaveTickedOutCheck"))->setChecked(true);
    QCOMPARE(w.entriesToPrint().size(), size_t(2));
    QCOMPARE(w.entriesToPrint().front().subItems[0], QStringLiteral("Brot"));
    windowWidget<QAction>(w, QStringLiteral("removeTickedAction"))->trigger();
    QCOMPARE(h.rows(MainWindow::Shopping), (QStringList { "1|Brot|Bäcker|2,50 EUR", "2|Milch|Edeka|0,89 EUR" }));

    // Saved and read again: the staple, the walk and where Käse was bought are in the file.
    const QString path = h.path(QStringLiteral("woche.kbl"));
    QVERIFY(w.saveFile(path));
    ListDocument reread;
    QCOMPARE(reread.open(path), ReadResult::Ok);
    QCOMPARE(reread.stapleQuantity(1), QStringLiteral("1"));
    QCOMPARE(reread.extras().records(u"walk").first().fields, (QStringList { "Aldi", "Käse", "Milch" }));
    QCOMPARE(reread.extras().records(u"bought").first().fields, (QStringList { "Käse", "Aldi" }));

    // Every step undoes, back to the lists as filled.
    while (w.history()->canUndo())
        w.undo();
    QCOMPARE(h.rows(MainWindow::Shopping), QStringList());
    QCOMPARE(h.rows(MainWindow::Products).first(), QStringLiteral("Milch|Aldi|0,99 EUR"));
    QVERIFY(w.document()->extras().isEmpty());
}

QTEST_MAIN(TestWeek)
#include "tst_week.moc"
