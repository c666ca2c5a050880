// Property texts of the settings: each kind written and read, the real format, the store's INI dialect.
#include "SettingsFile.h"
#include "settings/PropertyStore.h"
#include "settings/RecentFiles.h"
#include "settings/SettingsStore.h"

#include <QLocale>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

using namespace korbana;

using korbana::SettingsStore;

class Inner : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Zeta MEMBER zeta)
    Q_PROPERTY(QString alpha MEMBER alpha)
    Q_PROPERTY(double Mid MEMBER mid)

public:
    using QObject::QObject;
    int zeta = 7;
    QString alpha = "a";
    double mid = 0.5;
};

class Sample : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Count MEMBER count)
    Q_PROPERTY(double Amount MEMBER amount)
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(bool Checked MEMBER checked)
    Q_PROPERTY(Shape Form MEMBER form)
    Q_PROPERTY(Small Tiny MEMBER tiny)
    Q_PROPERTY(Styles Style READ styles WRITE setStyles)
    Q_PROPERTY(QObject* Child READ child CONSTANT)
    Q_PROPERTY(QSize Extent MEMBER extent)

public:
    enum Shape : int { shRound, shSquare, shStar };
    Q_ENUM(Shape)
    enum class Small : quint8 { smOne = 1, smTwo = 2 };
    Q_ENUM(Small)
    enum StyleBit { stBold = 0x1, stItalic = 0x2, stUnderline = 0x4 };
    Q_DECLARE_FLAGS(Styles, StyleBit)
    Q_FLAG(Styles)

    Sample()
        : m_child(new Inner(this))
    {
    }
    QObject* child() const { return m_child; }
    Styles styles() const { return style; }
    void setStyles(Styles value) { style = value; }

    int count = 3;
    double amount = 2.5;
    QString caption = "Text";
    bool checked = false;
    Shape form = shSquare;
    Small tiny = Small::smOne;
    Styles style = stItalic;
    QSize extent { 1, 2 };

private:
    Inner* m_child;
};

// A derived class whose own "value" must win over the base's "Value".
class Derived : public Sample
{
    Q_OBJECT
    Q_PROPERTY(int count MEMBER ownCount)

public:
    int ownCount = 9;
};

class TestPropertyStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void realText_data();
    void realText();
    void realRoundTrip();
    void realReading_data();
    void realReading();
    void writtenTexts_data();
    void writtenTexts();
    void readTexts_data();
    void readTexts();
    void propertyLookup();
    void objectStoredAlphabetically();
    void objectLoadedAndMissingValuesKept();
    void emptyTextWrittenOnlyForStrings();
    void storeKeepsNamesAndCommas();
    void storeReadsOtherSectionsAndKeepsThem();
    void trimControls();
    void recentFiles_data();
    void recentFiles();

private:
    QString path(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPropertyStore::init()
{
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    m_dir = std::make_unique<QTemporaryDir>();
    SettingsStore::setFileOverride(path("korbana.conf"));
}

void TestPropertyStore::realText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("whole") << 15.0 << "15";
    QTest::newRow("negative") << -3.0 << "-3";
    QTest::newRow("half") << 2.5 << "2.5";
    QTest::newRow("tenth") << 0.1 << "0.1";
    QTest::newRow("ten thousandth") << 0.0001 << "0.0001";
    QTest::newRow("hundred thousandth") << 0.00001 << "1E-5";
    QTest::newRow("small negative") << -1.5e-7 << "-1.5E-7";
    QTest::newRow("just below 1E18") << 123456789012345678.0 << "123456789012345680";
    QTest::newRow("1E18") << 1e18 << "1E18";
    QTest::newRow("large") << 2.25e20 << "2.25E20";
    QTest::newRow("hundred") << 100.0 << "100";
    QTest::newRow("many digits") << 1234.5678 << "1234.5678";
    QTest::newRow("third") << 1.0 / 3 << "0.3333333333333333";
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << "INF";
}

void TestPropertyStore::realText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(korbana::storedRealText(value), text);
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QCOMPARE(korbana::storedRealText(value), text);
}

void TestPropertyStore::realRoundTrip()
{
    // Every double comes back exactly, whatever the locale.
    const double values[] = { 0.1, 2.675, 1e-300, 9.999999999999999e17, -123.456, 5e-324, 1.7976931348623157e308 };
    for (const char* locale : { "de_DE", "en_US" }) {
        QLocale::setDefault(QLocale(QLatin1String(locale)));
        for (double value : values) {
            double back = 0;
            QVERIFY(korbana::parseStoredReal(korbana::storedRealText(value), back));
            QCOMPARE(back, value);
        }
    }
}

void TestPropertyStore::realReading_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");

    QTest::newRow("de point") << "de_DE"
                              << "2.5" << true << 2.5;
    QTest::newRow("de comma") << "de_DE"
                              << "2,5" << true << 2.5;
    QTest::newRow("de exponent") << "de_DE"
                                 << "1E-5" << true << 1e-5;
    QTest::newRow("de grouped") << "de_DE"
                                << "1.000,5" << false << 0.0;
    QTest::newRow("en point") << "en_US"
                              << "2.5" << true << 2.5;
    QTest::newRow("en comma") << "en_US"
                              << "2,5" << false << 0.0;
    QTest::newRow("en exponent lower") << "en_US"
                                       << "2.5e3" << true << 2500.0;
    QTest::newRow("en words") << "en_US"
                              << "zwei" << false << 0.0;
    QTest::newRow("en empty") << "en_US"
                              << "" << false << 0.0;
    QTest::newRow("en two points") << "en_US"
                                   << "1.2.3" << false << 0.0;
    QTest::newRow("not a number") << "en_US"
                                  << "NAN" << false << 0.0;
    QTest::newRow("infinite") << "de_DE"
                              << "INF" << false << 0.0;
    QTest::newRow("minus infinite") << "en_US"
                                    << "-inf" << false << 0.0;
    QTest::newRow("beyond any double") << "de_DE"
                                       << "1E400" << false << 0.0;
}

void TestPropertyStore::realReading()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    QLocale::setDefault(QLocale(locale));
    double read = 0;
    QCOMPARE(korbana::parseStoredReal(text, read), ok);
    if (ok)
        QCOMPARE(read, value);
}

void TestPropertyStore::writtenTexts_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("text");

    QTest::newRow("integer") << "Count"
                             << "3";
    QTest::newRow("real") << "Amount"
                          << "2.5";
    QTest::newRow("string") << "Caption"
                            << "Text";
    QTest::newRow("truth") << "Checked"
                           << "False";
    QTest::newRow("enumeration") << "Form"
                                 << "shSquare";
    QTest::newRow("small enumeration") << "Tiny"
                                       << "smOne";
    QTest::newRow("set") << "Style"
                         << "[stItalic]";
    QTest::newRow("object has no text") << "Child"
                                        << "";
    QTest::newRow("other kinds have none") << "Extent"
                                           << "";
}

void TestPropertyStore::writtenTexts()
{
    QFETCH(QString, property);
    QFETCH(QString, text);
    Sample sample;
    sample.style |= Sample::stBold;
    const QMetaProperty meta = PropertyStore::findProperty(&sample, property);
    QVERIFY(meta.isValid());
    QCOMPARE(PropertyStore::propertyText(&sample, meta), text == "[stItalic]" ? "[stBold,stItalic]" : text);
}

void TestPropertyStore::readTexts_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("changed");
    QTest::addColumn<QString>("after");

    QTest::newRow("integer") << "Count"
                             << "-42" << true << "-42";
    QTest::newRow("integer plus") << "Count"
                                  << "+5" << true << "5";
    QTest::newRow("integer junk gives 0") << "Count"
                                          << "viele" << true << "0";
    QTest::newRow("integer real gives 0") << "Count"
                                          << "4.5" << true << "0";
    QTest::newRow("integer too large gives 0") << "Count"
                                               << "2147483648" << true << "0";
    QTest::newRow("integer smallest") << "Count"
                                      << "-2147483648" << true << "-2147483648";
    QTest::newRow("real") << "Amount"
                          << "1E-5" << true << "1E-5";
    QTest::newRow("real junk keeps") << "Amount"
                                     << "x" << false << "2.5";
    QTest::newRow("string") << "Caption"
                            << "Neu" << true << "Neu";
    QTest::newRow("truth") << "Checked"
                           << "TRUE" << true << "True";
    QTest::newRow("truth junk keeps") << "Checked"
                                      << "1" << false << "False";
    QTest::newRow("enumeration any case") << "Form"
                                          << "SHSTAR" << true << "shStar";
    QTest::newRow("enumeration unknown keeps") << "Form"
                                               << "shOval" << false << "shSquare";
    QTest::newRow("enumeration number keeps") << "Form"
                                              << "2" << false << "shSquare";
    QTest::newRow("small enumeration") << "Tiny"
                                       << "smtwo" << true << "smTwo";
    QTest::newRow("set two") << "Style"
                             << "[stBold, stUnderline]" << true << "[stBold,stUnderline]";
    QTest::newRow("set without brackets") << "Style"
                                          << "stunderline stbold" << true << "[stBold,stUnderline]";
    QTest::newRow("set unknown skipped") << "Style"
                                         << "[stBold,stWide]" << true << "[stBold]";
    QTest::newRow("set empty") << "Style"
                               << "[]" << true << "[]";
    QTest::newRow("set junk is empty") << "Style"
                                       << "fett" << true << "[]";
}

void TestPropertyStore::readTexts()
{
    QFETCH(QString, property);
    QFETCH(QString, text);
    QFETCH(bool, changed);
    QFETCH(QString, after);
    Sample sample;
    const QMetaProperty meta = PropertyStore::findProperty(&sample, property);
    QCOMPARE(PropertyStore::setPropertyText(&sample, meta, text), changed);
    QCOMPARE(PropertyStore::propertyText(&sample, meta), after);
}

void TestPropertyStore::propertyLookup()
{
    Derived derived;
    QCOMPARE(PropertyStore::findProperty(&derived, "COUNT").name(), "count");
    QCOMPARE(PropertyStore::findProperty(&derived, "count").read(&derived).toInt(), 9);
    QCOMPARE(PropertyStore::findProperty(&derived, " Count").isValid(), false);
    QCOMPARE(PropertyStore::findProperty(&derived, "style").name(), "Style");
    QCOMPARE(PropertyStore::findProperty(&derived, "Nothing").isValid(), false);
}

void TestPropertyStore::objectStoredAlphabetically()
{
    Sample sample;
    SettingsStore store;
    store.open();
    PropertyStore props(store, "Form");
    props.storeProperty(&sample, PropertyStore::findProperty(&sample, "Child"), "Sample1_Child");
    store.close();
    const SettingsFile::Values expected
        = { { "Sample1_Childalpha", "a" }, { "Sample1_ChildMid", "0.5" }, { "Sample1_ChildZeta", "7" } };
    QCOMPARE(SettingsFile::read(path("korbana.conf"), "Form"), expected);
}

void TestPropertyStore::objectLoadedAndMissingValuesKept()
{
    SettingsFile::write(
        path("korbana.conf"), "Form", { { "Sample1_ChildZeta", " 12 " }, { "Sample1_ChildMid", "nix" } });
    Sample sample;
    auto* inner = static_cast<Inner*>(sample.child());
    inner->zeta = 0;
    SettingsStore store;
    store.open();
    PropertyStore props(store, "Form");
    props.loadProperty(&sample, PropertyStore::findProperty(&sample, "Child"), "Sample1_Child");
    props.loadProperty(&sample, PropertyStore::findProperty(&sample, "Count"), "Sample1_Count");
    store.close();
    QCOMPARE(inner->zeta, 12);
    QCOMPARE(inner->mid, 0.5);
    QCOMPARE(inner->alpha, QString("a"));
    QCOMPARE(sample.count, 3);
}

void TestPropertyStore::emptyTextWrittenOnlyForStrings()
{
    Sample sample;
    sample.caption = " \t";
    sample.style = {};
    sample.form = static_cast<Sample::Shape>(17); // no identifier
    SettingsStore store;
    store.open();
    PropertyStore props(store, "Form");
    for (const char* name : { "Caption", "Form", "Style" })
        props.storeProperty(&sample, PropertyStore::findProperty(&sample, name), QLatin1String(name));
    store.close();
    const SettingsFile::Values expected = { { "Caption", "" }, { "Style", "[]" } };
    QCOMPARE(SettingsFile::read(path("korbana.conf"), "Form"), expected);
}

void TestPropertyStore::storeKeepsNamesAndCommas()
{
    SettingsStore store;
    store.open();
    store.writeString("TMainForm", "NormPos(1024x768)", "1,2,3,4");
    store.writeInteger("TMainForm", "Flags", -7);
    store.writeBool("TMainForm", "Visible", true);
    store.close();
    QFile file(path("korbana.conf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[TMainForm]\nFlags=-7\nNormPos(1024x768)=1,2,3,4\nVisible=1\n"));

    store.open();
    QCOMPARE(store.readString("TMainForm", "NormPos(1024x768)", "-"), QString("1,2,3,4"));
    QCOMPARE(store.readInteger("TMainForm", "Flags", 5), -7);
    QCOMPARE(store.readInteger("TMainForm", "NormPos(1024x768)", 5), 5);
    QCOMPARE(store.readInteger("TMainForm", "Missing", 5), 5);
    QCOMPARE(store.readString("Other", "Flags", "-"), QString("-"));
    store.close();
}

void TestPropertyStore::storeReadsOtherSectionsAndKeepsThem()
{
    QFile file(path("korbana.conf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("; a note\r\n[TAboutBox]\r\nLeft = 5\r\n\r\n[TMainForm]\r\nCurrEd_Text=  USD  \r\nnoise\r\n");
    file.close();
    SettingsStore store;
    store.open();
    QCOMPARE(store.readString("TMainForm", "CurrEd_Text", "-"), QString("  USD  "));
    QCOMPARE(store.readString("TAboutBox", "Left", "-"), QString(" 5"));
    store.writeString("TMainForm", "FormVersion", "0");
    store.close();
    QCOMPARE(SettingsFile::read(path("korbana.conf"), "TAboutBox").value("Left"), QString(" 5"));
    QCOMPARE(SettingsFile::read(path("korbana.conf"), "TMainForm").value("FormVersion"), QString("0"));
}

void TestPropertyStore::trimControls()
{
    QCOMPARE(korbana::trimControls(QString("\x01\t USD \r\n")), QString("USD"));
    QCOMPARE(korbana::trimControls(QString(" a b ")), QString("a b"));
    QCOMPARE(korbana::trimControls(QString("\x1f")), QString());
    // Only blanks and control characters go: a no-break space stays.
    QCOMPARE(korbana::trimControls(QStringLiteral("\u00a0x")), QStringLiteral("\u00a0x"));
}

void TestPropertyStore::recentFiles_data()
{
    QTest::addColumn<SettingsFile::Values>("stored");
    QTest::addColumn<QStringList>("steps"); // "+path" adds, "-path" removes, "clear"
    QTest::addColumn<QStringList>("expected");

    const SettingsFile::Values abc { { "File1", "/l/a.kbl" }, { "File2", "/l/b.kbl" }, { "File3", "/l/c.kbl" } };
    QStringList nine;
    QStringList lastEight;
    for (int i = 1; i <= 9; ++i) {
        nine << QString("+/l/%1.kbl").arg(i);
        if (i > 1)
            lastEight.prepend(QString("/l/%1.kbl").arg(i));
    }
    QTest::newRow("first start") << SettingsFile::Values() << QStringList { "+/l/a.kbl", "+/l/b.kbl" }
                                 << QStringList { "/l/b.kbl", "/l/a.kbl" };
    QTest::newRow("stored order kept") << abc << QStringList() << QStringList { "/l/a.kbl", "/l/b.kbl", "/l/c.kbl" };
    QTest::newRow("an opened file moves to the front")
        << abc << QStringList { "+/l/b.kbl" } << QStringList { "/l/b.kbl", "/l/a.kbl", "/l/c.kbl" };
    QTest::newRow("the ninth drops the oldest") << SettingsFile::Values() << nine << lastEight;
    QTest::newRow("one file, two spellings")
        << abc << QStringList { "+/l/x/../c.kbl" } << QStringList { "/l/c.kbl", "/l/a.kbl", "/l/b.kbl" };
    QTest::newRow("a file that failed leaves")
        << abc << QStringList { "-/l/b.kbl" } << QStringList { "/l/a.kbl", "/l/c.kbl" };
    QTest::newRow("emptied") << abc << QStringList { "clear" } << QStringList();
    QTest::newRow("blank, repeated and surplus values") << SettingsFile::Values { { "File1", "" },
        { "File2", "/l/a.kbl" }, { "File3", "/l/a.kbl" }, { "File4", "/l/b.kbl" }, { "File9", "/l/z.kbl" } }
                                                        << QStringList() << QStringList { "/l/a.kbl", "/l/b.kbl" };
}

void TestPropertyStore::recentFiles()
{
    QFETCH(SettingsFile::Values, stored);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);

    SettingsFile::write(path("korbana.conf"), "RecentFiles", stored);
    SettingsStore store;
    store.open();
    korbana::RecentFiles recent;
    recent.read(store);
    for (const QString& step : steps) {
        if (step == "clear")
            recent.clear();
        else if (step.startsWith('+'))
            recent.add(step.mid(1));
        else
            recent.remove(step.mid(1));
    }
    QCOMPARE(recent.files(), expected);
    recent.write(store);
    store.close();

    // A later start reads the same list, and no value of a longer list is left behind.
    const SettingsFile::Values written = SettingsFile::read(path("korbana.conf"), "RecentFiles");
    QCOMPARE(written.value("File8", "-"), expected.value(7));
    store.open();
    korbana::RecentFiles again;
    again.read(store);
    store.close();
    QCOMPARE(again.files(), expected);
}

QTEST_GUILESS_MAIN(TestPropertyStore)
#include "tst_propertystore.moc"
