// The printout's tick boxes and shop groups, dot for dot on a fake canvas and once in a real PDF.
#include "FakeCanvas.h"
#include "lists/ListModel.h"
#include "print/Printer.h"
#include "print/QPrinterCanvas.h"
#include "print/ShoppingPrintout.h"

#include <QLocale>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace korbana;

namespace {

const QString kBox = QStringLiteral("\u2610");

// Rows written "quantity|name|shop|price".
std::unique_ptr<ListModel> shoppingList(const QStringList& rows)
{
    auto model = std::make_unique<ListModel>(QStringList {
        QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") });
    for (const QString& row : rows) {
        QStringList fields = row.split(u'|');
        const QString quantity = fields.takeFirst();
        model->append(quantity, fields);
    }
    return model;
}

const QStringList kThreeShops = { QStringLiteral("2|Milch|Hofladen|0,99 EUR"), QStringLiteral("1|Brot|Bäcker|2,49 EUR"),
    QStringLiteral("3|Eier|Hofladen|0,25 EUR"), QStringLiteral("1|Kaffee|Markt|5,99 CHF") };

PrintMargins margins15()
{
    return { 15, 15, 15, 15 };
}

} // namespace

class TestPrintOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("de_DE"))); }

    void tickBoxes();
    void groupedTexts_data();
    void groupedTexts();
    void groupedRowsSharingTexts();
    void headingNeverAloneAtTheFoot();
    void groupedPdf();
};

void TestPrintOptions::tickBoxes()
{
    FakeCanvas plain;
    FakeCanvas boxed;
    const auto list = shoppingList(kThreeShops);
    ShoppingPrintout(plain, *list, margins15(), PrintFont()).run();
    ShoppingPrintout printout(boxed, *list, margins15(), PrintFont(), { true, false });
    printout.run();

    // One box per entry, at the left margin on the entry's line; the columns move right by the box and half a gap.
    QStringList withoutBoxes;
    int boxes = 0;
    for (size_t i = 0; i < boxed.drawn.size(); ++i) {
        const FakeCanvas::Drawn& d = boxed.drawn[i];
        if (d.text != kBox) {
            withoutBoxes.append(d.text);
            continue;
        }
        ++boxes;
        QCOMPARE(d.x, 354);
        QCOMPARE(boxed.drawn[i + 1].y, d.y);
        QCOMPARE(boxed.drawn[i + 1].x, 354 + FakeCanvas::kCharWidth + 118 / 2);
    }
    QCOMPARE(boxes, 4);
    QCOMPARE(withoutBoxes, plain.texts());
    QCOMPARE(printout.columnX(0), 354 + FakeCanvas::kCharWidth + 59);
    QCOMPARE(boxed.drawn.back().x, 354);
}

void TestPrintOptions::groupedTexts_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("boldBelowHeading");

    const auto row = [](const QString& line, const QString& lineTotal) { return line.split(u'|') << lineTotal; };
    QStringList threeShops { QStringLiteral("Einkaufsliste"), QStringLiteral(" "), QStringLiteral("Hofladen") };
    threeShops << row(kThreeShops[0], QStringLiteral("1,98 EUR")) << row(kThreeShops[2], QStringLiteral("0,75 EUR"))
               << QStringLiteral("Zwischensumme: 2,73 EUR") << QStringLiteral(" ") << QStringLiteral("Bäcker")
               << row(kThreeShops[1], QStringLiteral("2,49 EUR")) << QStringLiteral("Zwischensumme: 2,49 EUR")
               << QStringLiteral(" ") << QStringLiteral("Markt") << row(kThreeShops[3], QStringLiteral("5,99 CHF"))
               << QStringLiteral("Zwischensumme: 5,99 CHF")
               << QStringLiteral(" ")
               // The grand total as without groups: list order, the suffix of the list's last entry.
               << QStringLiteral("Gesamtpreis in EUR: 11,21 CHF");
    QTest::newRow("three shops, first appearance")
        << kThreeShops << threeShops
        << QStringList { QStringLiteral("Hofladen"), QStringLiteral("Bäcker"), QStringLiteral("Markt") };

    const QStringList unnamed { QStringLiteral("1|Salz||1,00 EUR"), QStringLiteral("x|Mehl|Markt|gratis") };
    QStringList unnamedShop { QStringLiteral("Einkaufsliste"), QStringLiteral(" "), QStringLiteral(" ") };
    unnamedShop << row(unnamed[0], QStringLiteral("1,00 EUR")) << QStringLiteral("Zwischensumme: 1,00 EUR")
                << QStringLiteral(" ") << QStringLiteral("Markt") << row(unnamed[1], QStringLiteral("0,00 EUR"))
                << QStringLiteral("Zwischensumme: 0,00 EUR") << QStringLiteral(" ")
                << QStringLiteral("Gesamtpreis in EUR: 1,00 EUR");
    QTest::newRow("shop without a name, unreadable entry")
        << unnamed << unnamedShop << QStringList { QStringLiteral(" "), QStringLiteral("Markt") };

    QTest::newRow("empty list as without groups")
        << QStringList()
        << QStringList { QStringLiteral("Einkaufsliste"), QStringLiteral(" "), QStringLiteral(" "),
               QStringLiteral("Gesamtpreis in EUR: 0,00") }
        << QStringList();
}

void TestPrintOptions::groupedTexts()
{
    QFETCH(QStringList, rows);
    FakeCanvas canvas;
    const auto list = shoppingList(rows);
    ShoppingPrintout printout(canvas, *list, margins15(), PrintFont(), { false, true });
    printout.run();
    QTEST(canvas.texts(), "expected");

    // Below the page's heading only the shop headings are bold.
    QStringList bold;
    for (size_t i = 2; i < canvas.drawn.size(); ++i) {
        if (canvas.drawn[i].bold)
            bold.append(canvas.drawn[i].text);
    }
    QTEST(bold, "boldBelowHeading");
}

// Rows of a loaded list share the strings of texts that repeat; grouped, each row still prints its own amounts.
void TestPrintOptions::groupedRowsSharingTexts()
{
    const QString two = QStringLiteral("2");
    const QString price = QStringLiteral("0,99 EUR");
    const QStringList lines { QStringLiteral("2|Milch|Hofladen|0,99 EUR"), QStringLiteral("3|Milch|Markt|0,99 EUR"),
        QStringLiteral("2|Milch|Markt|0,99 EUR"), QStringLiteral("2|Eier|Hofladen|0,99 CHF") };
    ListModel shared(QStringList {
        QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") });
    shared.append(two, { QStringLiteral("Milch"), QStringLiteral("Hofladen"), price });
    shared.append(QStringLiteral("3"), { QStringLiteral("Milch"), QStringLiteral("Markt"), price });
    shared.append(two, { QStringLiteral("Milch"), QStringLiteral("Markt"), price });
    shared.append(two, { QStringLiteral("Eier"), QStringLiteral("Hofladen"), QStringLiteral("0,99 CHF") });

    FakeCanvas sharedCanvas;
    FakeCanvas separateCanvas;
    ShoppingPrintout(sharedCanvas, shared, margins15(), PrintFont(), { true, true }).run();
    ShoppingPrintout(separateCanvas, *shoppingList(lines), margins15(), PrintFont(), { true, true }).run();
    QCOMPARE(sharedCanvas.texts(), separateCanvas.texts());
    QVERIFY(sharedCanvas.texts().contains(QStringLiteral("Zwischensumme: 3,96 CHF")));
    QVERIFY(sharedCanvas.texts().contains(QStringLiteral("Zwischensumme: 4,95 EUR")));
}

void TestPrintOptions::headingNeverAloneAtTheFoot()
{
    // With bottom at 799 the heading "Bäcker" would end at 794, its first entry at 844.
    FakeCanvas canvas;
    canvas.m_height = 1154;
    const auto list = shoppingList(kThreeShops.mid(0, 3));
    ShoppingPrintout printout(canvas, *list, margins15(), PrintFont(), { false, true });
    printout.run();
    QCOMPARE(printout.bottom(), 799);

    const auto at = [&canvas](const QString& text) {
        for (const FakeCanvas::Drawn& d : canvas.drawn)
            if (d.text == text)
                return d;
        return FakeCanvas::Drawn { -1, -1, -1, {}, false };
    };
    QCOMPARE(at(QStringLiteral("Zwischensumme: 2,73 EUR")).page, 0);
    const FakeCanvas::Drawn heading = at(QStringLiteral("Bäcker"));
    QCOMPARE(heading.page, 1);
    QCOMPARE(heading.y, 354);
    QCOMPARE(at(QStringLiteral("Brot")).y, 354 + FakeCanvas::kBoldHeight);

    // Where heading and entry just fit, the heading stays on the first page.
    FakeCanvas taller;
    taller.m_height = 1154 + 45;
    ShoppingPrintout(taller, *list, margins15(), PrintFont(), { false, true }).run();
    QCOMPARE(taller.drawn[taller.texts().indexOf(QStringLiteral("Bäcker"))].page, 0);
}

void TestPrintOptions::groupedPdf()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("gruppiert.pdf"));
    QPrinter& printer = Printer::instance().printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);

    // Enough entries for a second page, in two shops that alternate.
    QStringList rows;
    for (int i = 0; i < 120; ++i)
        rows.append(QStringLiteral("1|Artikel%1|%2|1,00 EUR").arg(i).arg(i % 2 ? "Markt" : "Bäcker"));
    const auto list = shoppingList(rows);
    QPrinterCanvas canvas(Printer::instance());
    ShoppingPrintout(canvas, *list, margins15(), PrintFont(), { true, true }).run();

    QProcess process;
    process.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    QVERIFY(process.waitForFinished(60000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(text.count(u'\f') > 1, qPrintable(text));
    QCOMPARE(text.count(kBox), 120);
    const qsizetype baecker = text.indexOf(QStringLiteral("Bäcker\n"));
    const qsizetype markt = text.indexOf(QStringLiteral("Markt\n"));
    QVERIFY2(baecker >= 0 && markt > baecker, qPrintable(text));
    QVERIFY(text.indexOf(QStringLiteral("Artikel118")) < text.indexOf(QStringLiteral("Zwischensumme: 60,00 EUR")));
    QVERIFY(text.indexOf(QStringLiteral("Zwischensumme: 60,00 EUR")) < markt);
    QVERIFY(text.indexOf(QStringLiteral("Artikel1 ")) > markt);
    QVERIFY(text.contains(QStringLiteral("Gesamtpreis in EUR: 120,00 EUR")));
}

QTEST_MAIN(TestPrintOptions)
#include "tst_printoptions.moc"
