#include "lists/ListTexts.h"

#include <QLocale>
#include <QTest>

using namespace korbana;

class TestListTexts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numberReading_data();
    void numberReading();
    void amountAndPriceText_data();
    void amountAndPriceText();
    void leadingAmountAndStatus();
    void priceParts_data();
    void priceParts();
};

void TestListTexts::numberReading_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");

    const QString de = QStringLiteral("de_DE");
    const QString en = QStringLiteral("en_US");
    QTest::newRow("de plain") << de << "2" << true << 2.0;
    QTest::newRow("de blanks around") << de << " 2 " << true << 2.0;
    QTest::newRow("de comma") << de << "2,0" << true << 2.0;
    QTest::newRow("de half") << de << "0,5" << true << 0.5;
    QTest::newRow("de lone separator") << de << "," << true << 0.0;
    QTest::newRow("de trailing separator") << de << "3," << true << 3.0;
    QTest::newRow("de leading separator") << de << ",25" << true << 0.25;
    QTest::newRow("de sign minus") << de << "-1,5" << true << -1.5;
    QTest::newRow("de sign plus") << de << "+7" << true << 7.0;
    QTest::newRow("de exponent") << de << "1,5e3" << true << 1500.0;
    QTest::newRow("de exponent capital neg") << de << "25E-1" << true << 2.5;
    QTest::newRow("de exponent without digits") << de << "4e" << true << 4.0;
    QTest::newRow("de exponent sign only") << de << "4e+" << true << 4.0;
    QTest::newRow("de grouping") << de << "1.000,00" << false << 0.0;
    QTest::newRow("de empty") << de << "" << false << 0.0;
    QTest::newRow("de blanks only") << de << "   " << false << 0.0;
    QTest::newRow("de sign only") << de << "-" << false << 0.0;
    QTest::newRow("de unit after") << de << "2x" << false << 0.0;
    QTest::newRow("de words") << de << "2 Stück" << false << 0.0;
    QTest::newRow("de currency") << de << "1,99 EUR" << false << 0.0;
    QTest::newRow("de tab") << de << "\t2" << false << 0.0;
    QTest::newRow("de two signs") << de << "+-2" << false << 0.0;
    QTest::newRow("de out of range") << de << "1e400" << false << 0.0;
    QTest::newRow("de exponent alone") << de << "e5" << false << 0.0;
    QTest::newRow("en point") << en << "1.99" << true << 1.99;
    QTest::newRow("en lone point") << en << "." << true << 0.0;
    // The other separator where it cannot be a digit group: the same reading under every locale, the C locale
    // included. Three digits after it make a group, which is read as the locale always read it.
    const QString c = QStringLiteral("C");
    const auto bothWays = [](const QString& name, const QString& locale, const char* text, bool ok, double value) {
        QTest::newRow(qPrintable(locale + u' ' + name)) << locale << text << ok << value;
    };
    for (const QString& locale : { de, en, c }) {
        bothWays(QStringLiteral("comma, two digits"), locale, "1,09", true, 1.09);
        bothWays(QStringLiteral("point, two digits"), locale, "1.09", true, 1.09);
        bothWays(QStringLiteral("comma, one digit"), locale, "2,5", true, 2.5);
        bothWays(QStringLiteral("point, one digit"), locale, "2.5", true, 2.5);
        bothWays(QStringLiteral("signed comma"), locale, " -0,99 ", true, -0.99);
        bothWays(QStringLiteral("signed point"), locale, "+0.99", true, 0.99);
        bothWays(QStringLiteral("comma before exponent"), locale, "1,5e3", true, 1500.0);
        bothWays(QStringLiteral("point before exponent"), locale, "-2.5E-1", true, -0.25);
        bothWays(QStringLiteral("comma, no integer digits"), locale, ",25", true, 0.25);
        bothWays(QStringLiteral("point, no integer digits"), locale, ".25", true, 0.25);
        bothWays(QStringLiteral("both separators"), locale, "1.000,00", false, 0.0);
        bothWays(QStringLiteral("both separators, point last"), locale, "1,000.00", false, 0.0);
        bothWays(QStringLiteral("two groups"), locale, "1.000.000", false, 0.0);
        bothWays(QStringLiteral("currency after"), locale, "1,09 EUR", false, 0.0);
        bothWays(QStringLiteral("letter after"), locale, "1.09x", false, 0.0);
        bothWays(QStringLiteral("three decimals after a sign"), locale, "-1,000e", locale == de, -1.0);
    }
    QTest::newRow("de point group") << de << "1.000" << false << 0.0;
    QTest::newRow("de comma before a group") << de << "1,000" << true << 1.0;
    QTest::newRow("de point without digits") << de << "3." << false << 0.0;
    QTest::newRow("de point and comma") << de << "1.5,0" << false << 0.0;
    QTest::newRow("de two points") << de << "1.5.0" << false << 0.0;
    QTest::newRow("en comma group") << en << "1,000" << false << 0.0;
    QTest::newRow("en point before a group") << en << "1.000" << true << 1.0;
    QTest::newRow("en comma without digits") << en << "3," << false << 0.0;
    QTest::newRow("C comma group") << c << "12,345" << false << 0.0;
    // Texts longer than the reader's stack room take the other path and must read alike.
    const QString zeros(80, u'0');
    QTest::newRow("de long integer") << de << QString(u'1' + zeros) << true << 1e80;
    QTest::newRow("de long fraction") << de << QString(QStringLiteral("0,") + zeros + u'5') << true << 5e-81;
    QTest::newRow("de long blanks") << de << QString(QString(70, u' ') + QStringLiteral("-2,5e1") + QString(70, u' '))
                                    << true << -25.0;
    QTest::newRow("de long exponent") << de << QString(QStringLiteral("3e") + zeros + u'2') << true << 300.0;
    QTest::newRow("de long, word after") << de << QString(zeros + QStringLiteral(" Stück")) << false << 0.0;
    QTest::newRow("de exactly the room") << de << QString(QString(61, u'0') + u'7') << true << 7.0;
}

void TestListTexts::numberReading()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    QLocale::setDefault(QLocale(locale));
    const auto read = readNumber(text);
    QCOMPARE(read.has_value(), ok);
    if (ok)
        QCOMPARE(*read, value);
}

void TestListTexts::amountAndPriceText_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("price");

    const QString de = QStringLiteral("de_DE");
    QTest::newRow("half") << de << 1.5 << "1,50 EUR";
    QTest::newRow("zero") << de << 0.0 << "0,00 EUR";
    QTest::newRow("rounded") << de << 1234.567 << "1234,57 EUR";
    QTest::newRow("negative") << de << -2.0 << "-2,00 EUR";
    QTest::newRow("no grouping") << de << 1234567.891 << "1234567,89 EUR";
    QTest::newRow("cents") << de << 0.99 << "0,99 EUR";
    QTest::newRow("tiny negative") << de << -0.001 << "0,00 EUR";
    QTest::newRow("15 digits") << de << 123456789012345.0 << "123456789012345,00 EUR";
    QTest::newRow("scientific beyond") << de << 1e16 << "1,00000000000000E+16 EUR";
    QTest::newRow("en point") << QStringLiteral("en_US") << 2.5 << "2.50 EUR";
    // Rounding works on the 15 significant digits, half away from zero, whatever the nearest double is.
    QTest::newRow("half up below in binary") << de << 2.675 << "2,68 EUR";
    QTest::newRow("1,005") << de << 1.005 << "1,01 EUR";
    QTest::newRow("0,615") << de << 0.615 << "0,62 EUR";
    QTest::newRow("1,545") << de << 1.545 << "1,55 EUR";
    QTest::newRow("0,125") << de << 0.125 << "0,13 EUR";
    QTest::newRow("carry into the units") << de << 999.995 << "1000,00 EUR";
    QTest::newRow("half cent") << de << 0.005 << "0,01 EUR";
    QTest::newRow("below half a cent") << de << 0.0049 << "0,00 EUR";
    QTest::newRow("negative half away from zero") << de << -1.005 << "-1,01 EUR";
    QTest::newRow("tiny") << de << 1e-20 << "0,00 EUR";
    QTest::newRow("just below the scientific form") << de << 999999999999999.0 << "999999999999999,00 EUR";
    QTest::newRow("en half up") << QStringLiteral("en_US") << 2.675 << "2.68 EUR";
    // Exactly halfway in the 15th digit rounds away from zero too; the largest doubles still read back.
    QTest::newRow("halfway cent negative") << de << -0.625 << "-0,63 EUR";
    QTest::newRow("halfway 15th digit") << de << -142986707546330.5 << "-142986707546331,00 EUR";
    QTest::newRow("halfway 15th digit scientific") << de << 1000000000000005.0 << "1,00000000000001E+15 EUR";
    QTest::newRow("largest double") << de << 1.7976931348623157e308 << "1,79769313486231E+308 EUR";
    QTest::newRow("largest double negative") << de << -1.7976931348623157e308 << "-1,79769313486231E+308 EUR";
}

void TestListTexts::amountAndPriceText()
{
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(QString, price);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(priceText(value), price);
    // What the list makes, the list reads back.
    QVERIFY(readNumber(leadingAmount(price)).has_value());
}

void TestListTexts::leadingAmountAndStatus()
{
    QCOMPARE(leadingAmount(u"10,00 EUR").toString(), QStringLiteral("10,00"));
    QCOMPARE(leadingAmount(u"ca. 3 EUR").toString(), QStringLiteral("ca."));
    QCOMPARE(leadingAmount(u"gratis").toString(), QStringLiteral("gratis"));
    QCOMPARE(statusText(0), QStringLiteral("0 Produkte auf der Einkaufsliste"));
    QCOMPARE(statusText(3), QStringLiteral("3 Produkte auf der Einkaufsliste"));
}

void TestListTexts::priceParts_data()
{
    // The amount is all before the last blank, the currency all after it; no currency when nothing follows.
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("currency");
    QTest::newRow("amount and currency") << "1,99 EUR"
                                         << "1,99"
                                         << "EUR";
    QTest::newRow("no blank") << "gratis"
                              << "gratis"
                              << "";
    QTest::newRow("blank at the end") << "1,99 "
                                      << "1,99 "
                                      << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("lone blank") << " "
                                << " "
                                << "";
    QTest::newRow("blank first") << " EUR"
                                 << ""
                                 << "EUR";
    QTest::newRow("words before") << "ca. 3 EUR"
                                  << "ca. 3"
                                  << "EUR";
    QTest::newRow("two blanks") << "3  EUR"
                                << "3 "
                                << "EUR";
    QTest::newRow("one letter after") << "1,99 E U"
                                      << "1,99 E"
                                      << "U";
    QTest::newRow("tab is no blank") << "1,99\tEUR"
                                     << "1,99\tEUR"
                                     << "";
}

void TestListTexts::priceParts()
{
    QFETCH(QString, price);
    const PriceParts parts = splitPriceText(price);
    QTEST(parts.amount.toString(), "amount");
    QTEST(parts.currency.toString(), "currency");
}

QTEST_GUILESS_MAIN(TestListTexts)
#include "tst_listtexts.moc"
