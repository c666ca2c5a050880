// What a screen reader, a dark colour scheme and an English system see: a name on every control, readable headings
// and icons under qt6ct's "darker" scheme, and Qt's own buttons in German like the rest of the window.
#include "ListsHarness.h"
#include "WindowWidgets.h"
#include "ui/AboutDialog.h"
#include "ui/Dialogs.h"
#include "ui/HeaderBar.h"
#include "ui/ProductDialog.h"
#include "ui/QtTranslations.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <map>

namespace {

// The active colours of qt6ct's "darker" scheme (/usr/share/qt6ct/colors/darker.conf), in QPalette's role order.
QPalette darkerPalette()
{
    const char* colours[] = { "#ffffff", "#424245", "#979797", "#5e5c5b", "#302f2e", "#4a4947", "#ffffff", "#ffffff",
        "#ffffff", "#3d3d3d", "#222020", "#e7e4e0", "#12608a", "#f9f9f9", "#0986d3", "#a70b06", "#5c5b5a", "#ffffff",
        "#3f3f36", "#ffffff" };
    QPalette palette;
    for (int role = 0; role < int(std::size(colours)); ++role)
        palette.setColor(QPalette::ColorRole(role), QColor(QLatin1String(colours[role])));
    return palette;
}

double luminance(QColor colour)
{
    auto channel = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) + 0.0722 * channel(colour.blueF());
}

// WCAG contrast ratio, 1 to 21.
double contrast(QColor a, QColor b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The contrast of a text in a screenshot: its background is the commonest colour, its ink the pixel that stands
// out most (anti-aliased edges and a light shadow stand out less than the letters' full colour).
double textContrast(const QImage& shot)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ++counts[shot.pixel(x, y)];
    const QColor background = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
    })->first;
    double best = 1.0;
    for (const auto& [rgb, count] : counts)
        best = std::max(best, contrast(background, QColor(rgb)));
    return best;
}

// A widget as it stands on the bar or panel that paints its background.
QImage screenshotOnBackground(QWidget* widget)
{
    QWidget* canvas = widget;
    while (canvas->parentWidget() && !canvas->autoFillBackground() && !qobject_cast<HeaderBar*>(canvas))
        canvas = canvas->parentWidget();
    QRect area(widget->mapTo(canvas, QPoint(0, 0)), widget->size());
    // Leave out the bevels.
    if (qobject_cast<HeaderBar*>(widget))
        area.adjust(3, 3, -3, -3);
    return canvas->grab(area).toImage();
}

// Controls a user reaches with Tab or clicks, and the screen reader's name for each.
QStringList unnamedControls(QWidget* window)
{
    QStringList unnamed;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(window) || widget->focusProxy())
            continue;
        const bool focusable = widget->isEnabled() && widget->focusPolicy() != Qt::NoFocus;
        if (!focusable && !qobject_cast<QAbstractButton*>(widget))
            continue;
        // The edit line inside a spin field is read as the spin field.
        QWidget* control = qobject_cast<QAbstractSpinBox*>(widget->parentWidget()) ? widget->parentWidget() : widget;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(QString::fromLatin1(control->metaObject()->className()) + u' ' + control->objectName());
    }
    return unnamed;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void everyControlNamed_data();
    void everyControlNamed();
    void iconButtonsNameTheirList();
    void headingsReadableInDarkScheme_data();
    void headingsReadableInDarkScheme();
    void iconsVisibleInDarkScheme_data();
    void iconsVisibleInDarkScheme();
    void qtButtonsInGerman();

private:
    std::unique_ptr<ListsHarness> h;
    std::unique_ptr<AboutDialog> m_about;
};

void TestAccessibility::initTestCase()
{
    QApplication::setPalette(darkerPalette());
}

void TestAccessibility::init()
{
    h = std::make_unique<ListsHarness>();
    QVERIFY(h->show());
    m_about = std::make_unique<AboutDialog>(h->dialogs, h->form.get());
    m_about->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_about.get()));
}

void TestAccessibility::cleanup()
{
    m_about.reset();
    h.reset();
}

void TestAccessibility::everyControlNamed_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<int>("page");

    QTest::newRow("lists page") << "main" << 0;
    QTest::newRow("settings page") << "main" << 1;
    QTest::newRow("about box") << "about" << 0;
    QTest::newRow("product dialog") << "product" << 0;
}

void TestAccessibility::everyControlNamed()
{
    QFETCH(QString, window);
    QFETCH(int, page);

    QWidget* walked = h->form.get();
    if (window == "about")
        walked = m_about.get();
    if (window == "product")
        walked = h->productDialog.get();
    pages(*h->form)->setCurrentIndex(page);
    const QStringList unnamed = unnamedControls(walked);
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(", ")));
}

void TestAccessibility::iconButtonsNameTheirList()
{
    // The three add buttons share their tool tip; a screen reader must still tell them apart.
    QStringList names;
    for (const char* name : { "addStoreButton", "addProductButton", "addToShoppingButton" }) {
        auto* button = windowWidget<QAbstractButton>(*h->form, QLatin1String(name));
        QCOMPARE(button->toolTip(), "Eintrag hinzufügen");
        names.append(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name));
    }
    QCOMPARE(names, QStringList({ "Laden hinzufügen", "Produkt hinzufügen", "Auf die Einkaufsliste" }));
}

void TestAccessibility::headingsReadableInDarkScheme_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("text");

    for (const char* heading : { "Läden", "Produkte", "Einkaufsliste" })
        QTest::addRow("heading %s", heading) << "main" << QString::fromUtf8(heading);
    QTest::newRow("settings heading") << "main"
                                      << "Einstellungen - Schriftart und Seitenränder ändern";
    QTest::newRow("settings picture title") << "main"
                                            << "Einstellungen\nändern...";
    QTest::newRow("about headline") << "about"
                                    << "Ein echtes Produkt von TALVEN";
    QTest::newRow("about trust") << "about"
                                 << "Vertrauen Sie auf deutsche Qualität bei Software.";
    QTest::newRow("about since") << "about"
                                 << "Seit 1996 Software aus Deutschland.";
}

void TestAccessibility::headingsReadableInDarkScheme()
{
    QFETCH(QString, window);
    QFETCH(QString, text);

    QWidget* top = window == "about" ? static_cast<QWidget*>(m_about.get()) : h->form.get();
    pages(*h->form)->setCurrentIndex(text.startsWith("Einstellungen") ? 1 : 0);
    QWidget* found = nullptr;
    for (auto* bar : top->findChildren<HeaderBar*>())
        if (bar->text() == text)
            found = bar;
    for (auto* label : top->findChildren<QLabel*>())
        if (label->text() == text)
            found = label;
    QVERIFY(found);
    const double ratio = textContrast(screenshotOnBackground(found));
    QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio)));
}

void TestAccessibility::iconsVisibleInDarkScheme_data()
{
    QTest::addColumn<QString>("icon");
    const QStringList icons = QDir(QStringLiteral(":/pictures")).entryList({ QStringLiteral("*.svg") });
    QVERIFY(!icons.isEmpty());
    for (const QString& icon : icons)
        QTest::newRow(qPrintable(icon)) << icon;
}

void TestAccessibility::iconsVisibleInDarkScheme()
{
    QFETCH(QString, icon);
    // Enough of the picture to show its shape (a quarter of it) stands out at the non-text contrast of 3 : 1 from
    // the dark scheme's window and button colours.
    const QIcon picture(QStringLiteral(":/pictures/") + icon);
    const QSize size = picture.availableSizes().value(0, QSize(16, 16));
    const QImage alone = picture.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
    for (QPalette::ColorRole role : { QPalette::Window, QPalette::Button }) {
        const QColor background = darkerPalette().color(role);
        QImage shot(alone.size(), QImage::Format_RGB32);
        shot.fill(background);
        QPainter(&shot).drawImage(0, 0, alone);
        int visible = 0;
        int drawn = 0;
        for (int y = 0; y < alone.height(); ++y)
            for (int x = 0; x < alone.width(); ++x) {
                if (qAlpha(alone.pixel(x, y)) < 128)
                    continue;
                ++drawn;
                if (contrast(background, QColor(shot.pixel(x, y))) >= 3.0)
                    ++visible;
            }
        QVERIFY(drawn > 0);
        QVERIFY2(visible * 4 >= drawn, qPrintable(QStringLiteral("%1 of %2").arg(visible).arg(drawn)));
    }
}

void TestAccessibility::qtButtonsInGerman()
{
    // The system speaks English here (see main below); the window and Qt's buttons still speak German.
    QCOMPARE(QLocale::system().language(), QLocale::English);
    QVERIFY2(installGermanQtTranslations(), "qt6-translations-l10n is not installed");
    QStringList buttons;
    QTimer::singleShot(0, this, [&buttons] {
        QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        for (QAbstractButton* button : box->buttons())
            buttons.append(button->text().remove(u'&'));
        box->button(QMessageBox::Cancel)->click();
    });
    QtDialogs dialogs;
    const auto answer = dialogs.question(h->form.get(), "Wollen Sie die nicht gesicherten Daten speichern?",
        "Einkaufsliste", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    QCOMPARE(answer, QMessageBox::Cancel);
    buttons.sort();
    QCOMPARE(buttons, QStringList({ "Abbrechen", "Ja", "Nein" }));
}

int main(int argc, char* argv[])
{
    // An English system: Qt would otherwise pick its translation from here.
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("LANG", "en_US.UTF-8");
    qputenv("LANGUAGE", "en_US");
    QApplication app(argc, argv);
    TestAccessibility test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_accessibility.moc"
