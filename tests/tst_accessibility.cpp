// The window from the keyboard, for a screen reader, under a dark colour scheme and on an English system.
#include "ListsHarness.h"
#include "WindowWidgets.h"
#include "ui/AboutDialog.h"
#include "ui/HeaderBar.h"
#include "ui/HelpWindow.h"
#include "ui/QtTranslations.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <map>

using namespace korbana;

namespace {

// qt6ct's "darker" colour scheme (/usr/share/qt6ct/colors/darker.conf), in QPalette's role order.
QPalette darkerPalette()
{
    const char* colours[] = { "#ffffff", "#424245", "#979797", "#5e5c5b", "#302f2e", "#4a4947", "#ffffff", "#ffffff",
        "#ffffff", "#3d3d3d", "#222020", "#e7e4e0", "#12608a", "#f9f9f9" };
    QPalette palette;
    for (int role = 0; role < int(std::size(colours)); ++role)
        palette.setColor(QPalette::ColorRole(role), QColor(QLatin1String(colours[role])));
    return palette;
}

// WCAG contrast ratio, 1 to 21.
double contrast(QColor a, QColor b)
{
    auto luminance = [](QColor c) {
        auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF()) + 0.05;
    };
    return std::max(luminance(a), luminance(b)) / std::min(luminance(a), luminance(b));
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        QApplication::setPalette(darkerPalette());
        h = std::make_unique<ListsHarness>();
        QVERIFY(h->show());
    }
    void cleanup() { h.reset(); }

    void shortcuts_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QStringList>("asked"); // the unsaved-data question is answered "Nein"
        const QString unsaved = "Wollen Sie die nicht gesicherten Daten speichern?";
        QTest::newRow("new") << "newAction" << QKeySequence("Ctrl+N") << QStringList { unsaved };
        QTest::newRow("open") << "openAction" << QKeySequence("Ctrl+O") << QStringList { unsaved, "file" };
        QTest::newRow("save unnamed") << "saveAction" << QKeySequence("Ctrl+S") << QStringList { "file" };
        QTest::newRow("save as") << "saveAsAction" << QKeySequence("Ctrl+Shift+S") << QStringList { "file" };
        QTest::newRow("print") << "printAction" << QKeySequence("Ctrl+P") << QStringList { "print" };
        QTest::newRow("quit") << "quitAction" << QKeySequence("Ctrl+Q") << QStringList { unsaved, "closed" };
#ifdef Q_OS_WIN
        QTest::newRow("help") << "helpAction" << QKeySequence("F1") << QStringList { "korbana.chm" };
#else
        QTest::newRow("help") << "helpAction" << QKeySequence("F1") << QStringList { "index.htm" };
#endif
    }
    void shortcuts()
    {
        QFETCH(QString, action);
        QFETCH(QKeySequence, keys);
        auto* item = windowWidget<QAction>(*h->form, action);
        // Shown beside the menu item whose command it runs.
        QCOMPARE(item->shortcut(), keys);
        QVERIFY(!item->associatedObjects().isEmpty());
        // The help's start page beside the program, as in a build folder.
        QDir(h->dir.path()).mkpath(QStringLiteral("help"));
        MainWindowFixture::writeFile(h->path(QStringLiteral("help/index.htm")), "<html></html>");
        h->dialogs.answers = { QMessageBox::No };
        QTest::keySequence(h->form->storesView(), keys);
        QStringList asked = h->dialogs.texts();
        asked += QStringList(h->dialogs.fileRequests.size(), "file") + QStringList(h->dialogs.printRequests, "print");
        for (const QString& url : std::as_const(h->dialogs.openedUrls))
            asked.append(url.section(u'/', -1));
        if (auto* help = h->form->findChild<korbana::HelpWindow*>(); help && help->isVisible())
            asked.append(help->source().fileName());
        if (!h->form->isVisible())
            asked.append("closed");
        QTEST(asked, "asked");
    }

    void insertAdds_data()
    {
        QTest::addColumn<int>("list");
        QTest::addColumn<int>("selectedSource");
        QTest::addColumn<QString>("added");
        // With nothing to add from, the status bar says why; no box interrupts the keyboard.
        QTest::addColumn<QString>("hint");
        QTest::newRow("shop") << 0 << -1 << "Laden"
                              << "";
        QTest::newRow("product") << 1 << 0 << "Produkt|Bäcker|2,50 EUR"
                                 << "";
        QTest::newRow("no shop") << 1 << -1 << ""
                                 << "Bitte zuerst einen Laden auswählen.";
        QTest::newRow("shopping") << 2 << 0 << "1|Brot|Bäcker|1,99 EUR"
                                  << "";
        QTest::newRow("no product") << 2 << -1 << ""
                                    << "Bitte zuerst ein Produkt auswählen.";
    }
    void insertAdds()
    {
        QFETCH(int, list);
        QFETCH(int, selectedSource);
        QFETCH(QString, hint);
        h->fill(0, { "Bäcker" });
        h->fill(1, { "Brot|Bäcker|1,99 EUR" });
        priceEdit(*h->form)->setValue(2.5);
        if (list > 0)
            h->view(list - 1)->selectRow(selectedSource);
        const QStringList before = h->rows(list);
        h->form->statusBar()->showMessage("vorher");
        h->view(list)->setFocus();
        QTest::keyClick(h->view(list), Qt::Key_Insert);
        QCOMPARE(h->dialogs.texts(), QStringList());
        QTEST(h->rows(list).mid(before.size()).join(""), "added");
        // The new entry is open for typing, as after the button.
        QCOMPARE(h->view(list)->isEditing(), hint.isEmpty());
        if (!hint.isEmpty())
            QCOMPARE(h->form->statusBar()->currentMessage(), hint);
    }

    void clickOnSelectedEntry_data()
    {
        QTest::addColumn<QString>("then");
        QTest::addColumn<bool>("renames");
        QTest::newRow("pointer rests") << "" << true;
        QTest::newRow("click into the price field and type") << "price" << false;
        QTest::newRow("pointer moves on") << "move" << false;
    }
    void clickOnSelectedEntry()
    {
        QFETCH(QString, then);
        h->fill(0, { "a", "b", "c" });
        ListView* view = h->view(0);
        view->setFocus();
        view->selectRow(1);
        const QPoint row1 = view->visualRect(h->model(0)->index(1, 0)).center();
        QTest::mouseMove(view->viewport(), row1);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row1);
        SpinEdit* price = priceEdit(*h->form);
        if (then == "price") {
            QTest::mouseClick(price, Qt::LeftButton, {}, QPoint(10, price->height() / 2));
            QTest::keyClicks(QApplication::focusWidget(), "7");
        } else if (then == "move") {
            QTest::mouseMove(view->viewport(), view->visualRect(h->model(0)->index(2, 0)).center());
        }
        QTest::qWait(QApplication::doubleClickInterval() * 2);
        QTEST(view->isEditing(), "renames");
        QCOMPARE(h->model(0)->caption(1), "b");
        QCOMPARE(price->text().contains(u'7'), then == "price");
    }

    // Only OK and the close box close the about box; it has no cancel button for Escape.
    void aboutBoxCloses()
    {
        AboutDialog about(h->dialogs, h->form.get());
        for (const QString how : { "escape", "ok", "close box" }) {
            about.open();
            QApplication::setActiveWindow(&about);
            QVERIFY(QTest::qWaitForWindowActive(&about));
            if (how == "escape")
                QTest::keyClick(&about, Qt::Key_Escape);
            else if (how == "ok")
                QTest::mouseClick(windowWidget<QWidget>(about, "okButton"), Qt::LeftButton);
            else
                about.close();
            QVERIFY2(about.isVisible() == (how == "escape"), qPrintable(how));
            about.hide();
        }
    }

    // Every control reached with Tab or clicked has a name a screen reader can say, and no two share one.
    void everyControlNamed_data()
    {
        QTest::addColumn<int>("page");
        QTest::newRow("lists page") << 0;
        QTest::newRow("settings page") << 1;
        QTest::newRow("about box") << 2;
        QTest::newRow("product dialog") << 3;
    }
    void everyControlNamed()
    {
        QFETCH(int, page);
        AboutDialog about(h->dialogs, h->form.get());
        QWidget* windows[] = { h->form.get(), h->form.get(), &about, h->productDialog.get() };
        QWidget* window = windows[page];
        window->show();
        pages(*h->form)->setCurrentIndex(page % 2);
        QStringList names;
        QStringList faults;
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const bool reached
                = (w->focusPolicy() != Qt::NoFocus && !w->focusProxy()) || qobject_cast<QAbstractButton*>(w);
            if (!reached || !w->isVisibleTo(window))
                continue;
            // The edit line inside a spin field is read as the spin field.
            QWidget* control = qobject_cast<QAbstractSpinBox*>(w->parentWidget()) ? w->parentWidget() : w;
            const QString name = QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name);
            if (name.trimmed().isEmpty() || names.contains(name))
                faults.append(control->objectName() + " '" + name + "'");
            names.append(name);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(", ")));
    }

    // Texts on the fixed beige and green stay readable (4.5 : 1) under the dark scheme.
    void headingsReadableInDarkScheme_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* text :
            { "Läden", "Produkte", "Einkaufsliste", "Einstellungen - Schriftart und Seitenränder ändern",
                "Einstellungen\nändern...", "Ein echtes Produkt von TALVEN", "Seit 1996 Software aus Deutschland." })
            QTest::newRow(QByteArray(text).replace('\n', ' ').constData()) << QString::fromUtf8(text);
    }
    void headingsReadableInDarkScheme()
    {
        QFETCH(QString, text);
        AboutDialog about(h->dialogs, h->form.get());
        pages(*h->form)->setCurrentIndex(text.startsWith("Einstellungen") ? 1 : 0);
        QWidget* shown = nullptr;
        for (QWidget* window : { static_cast<QWidget*>(h->form.get()), static_cast<QWidget*>(&about) }) {
            for (auto* bar : window->findChildren<HeaderBar*>())
                shown = bar->text() == text ? bar : shown;
            for (auto* label : window->findChildren<QLabel*>())
                shown = label->text() == text ? label : shown;
        }
        QVERIFY(shown);
        // The screenshot of the widget on the bar or panel that paints its background, without the bevels.
        QWidget* canvas = shown;
        while (!canvas->autoFillBackground() && !qobject_cast<HeaderBar*>(canvas))
            canvas = canvas->parentWidget();
        QRect area(shown->mapTo(canvas, QPoint(0, 0)), shown->size());
        const QImage shot = canvas->grab(area.adjusted(3, 3, -3, -3)).toImage();
        // Background: the commonest colour; text: the pixel that stands out most (edges and shadow stand out less).
        std::map<QRgb, int> counts;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                ++counts[shot.pixel(x, y)];
        const QRgb background
            = std::max_element(counts.begin(), counts.end(), [](auto a, auto b) { return a.second < b.second; })->first;
        double best = 1;
        for (const auto& colour : counts)
            best = std::max(best, contrast(background, colour.first));
        QVERIFY2(best >= 4.5, qPrintable(QString::number(best)));
    }

    void qtButtonsInGermanOnEnglishSystem()
    {
        QCOMPARE(QLocale::system().language(), QLocale::English); // see main() below
        QVERIFY2(installGermanQtTranslations(), "qt6-translations-l10n missing");
        QStringList buttons;
        QTimer::singleShot(0, this, [&buttons] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            for (QAbstractButton* button : box->buttons())
                buttons.append(button->text().remove(u'&'));
            box->button(QMessageBox::Cancel)->click();
        });
        QtDialogs().question(h->form.get(), "Wollen Sie die nicht gesicherten Daten speichern?", "Einkaufsliste",
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        buttons.sort();
        QCOMPARE(buttons, QStringList({ "Abbrechen", "Ja", "Nein" }));
    }

    void fileDialogInGermanOnEnglishSystem()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("woche.kbl"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2500, 'x'));
        file.close();
        QStringList shown;
        QTimer::singleShot(0, this, [&shown] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->setViewMode(QFileDialog::Detail);
            auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
            QVERIFY(view);
            const auto row = [view] {
                return view->model()
                    ->match(view->model()->index(0, 0, view->rootIndex()), Qt::DisplayRole, QStringLiteral("woche.kbl"),
                        1, Qt::MatchExactly)
                    .value(0);
            };
            if (QTest::qWaitFor([&] { return row().isValid(); }, 20000)) {
                const QModelIndex name = row();
                shown = QStringList { name.siblingAtColumn(1).data().toString(),
                    name.siblingAtColumn(3).data().toString() };
            }
            dialog->reject();
        });
        FileDialogOptions options { FileDialogOptions::Mode::Open, QStringLiteral("Einkaufslisten (*.kbl)"),
            QStringLiteral("kbl"), false, dir.filePath("woche.kbl") };
        QtDialogs().chooseFile(h->form.get(), options);
        const QLocale german(QLocale::German, QLocale::Germany);
        QCOMPARE(shown,
            QStringList({ german.formattedDataSize(2500),
                german.toString(QFileInfo(file).lastModified(), QLocale::ShortFormat) }));
        QVERIFY(shown.constFirst().contains(u','));
    }

private:
    std::unique_ptr<ListsHarness> h;
};

int main(int argc, char* argv[])
{
    // An English system: Qt's own texts would follow it.
    qputenv("LC_ALL", "en_US.UTF-8");
    qputenv("LANG", "en_US.UTF-8");
    QApplication app(argc, argv);
    TestAccessibility test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_accessibility.moc"
