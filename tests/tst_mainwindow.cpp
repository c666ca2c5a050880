#include "MainWindowFixture.h"
#include "WindowWidgets.h"

#include "lists/ListModel.h"
#include "lists/ListView.h"
#include "ui/ErrorReport.h"
#include "ui/HelpWindow.h"
#include "ui/SidePanel.h"
#include "ui/SpinEdit.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSet>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace korbana;

namespace {

const QString kTitle = QStringLiteral("TALVEN Einkaufsliste 1.3");
const QString kQuestion = QStringLiteral("Wollen Sie die nicht gesicherten Daten speichern?");

// Whether the cell shows its whole text, measured the way the style lays out an item with its icon.
bool shownWhole(const ListView* view, int row, int column)
{
    const QModelIndex index = view->model()->index(row, column);
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = view->visualRect(index);
    option.font = view->font();
    option.text = index.data().toString();
    option.features = QStyleOptionViewItem::HasDisplay;
    if (index.data(Qt::DecorationRole).isValid()) {
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.decorationSize = view->iconSize();
    }
    const QRect textRect = view->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, view);
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return QFontMetrics(option.font).horizontalAdvance(option.text) <= textRect.width() - 2 * margin;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QStringLiteral("de_DE"))); }

    void startWithoutDefaultFile()
    {
        MainWindowFixture f;
        MainWindow& form = f.start();
        QCOMPARE(f.dialogs.texts(), QStringList { QStringLiteral("Konnte die Datei nicht öffnen.") });
        QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Fehler beim Öffnen"));
        QCOMPARE(f.dialogs.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(form.windowTitle(), kTitle);
        QVERIFY(form.documentName().isEmpty());
        QCOMPARE(form.statusBar()->currentMessage(), QStringLiteral("0 Produkte auf der Einkaufsliste"));
        QVERIFY(form.programDirectory().endsWith(u'/'));
    }

    void startWithDefaultFile()
    {
        MainWindowFixture f;
        const QByteArray bytes = sampleListFile();
        MainWindow& form = f.start(&bytes);
        QVERIFY(f.dialogs.messages.isEmpty());
        QCOMPARE(form.windowTitle(), kTitle + QStringLiteral(" - korbana.kbl"));
        QCOMPARE(form.stores()->count(), 2);
        QCOMPARE(form.stores()->caption(0), QStringLiteral("Bäcker"));
        QCOMPARE(form.products()->subItem(0, 1), QStringLiteral("1,99 EUR"));
        QCOMPARE(form.statusBar()->currentMessage(), QStringLiteral("1 Produkte auf der Einkaufsliste"));
    }

    void startWithMalformedDefaultFile()
    {
        MainWindowFixture f;
        const QByteArray bytes("1\r\nKiosk\r\nzwei\r\n");
        MainWindow& form = f.start(&bytes);
        QCOMPARE(
            f.dialogs.texts(), QStringList { QStringLiteral("Fehler beim Öffnen der Datei (Ungültiges Format?).") });
        QCOMPARE(form.stores()->count(), 1);
        QCOMPARE(form.windowTitle(), kTitle + QStringLiteral(" - korbana.kbl"));
        QCOMPARE(form.documentName(), f.path(QStringLiteral("korbana.kbl")));
    }

    // A file named on the command line is opened instead of the default list beside the program; one that does
    // not exist yet starts empty under its name, one that cannot be read gives the open message.
    void startWithNamedFile_data()
    {
        QTest::addColumn<QString>("named");
        QTest::newRow("named file exists") << "exists";
        QTest::newRow("named file missing") << "missing";
        QTest::newRow("named file unreadable") << "unreadable";
    }

    void startWithNamedFile()
    {
        QFETCH(QString, named);
        MainWindowFixture f;
        MainWindowFixture::writeFile(f.path(QStringLiteral("korbana.kbl")), sampleListFile());
        const QString path = f.path(QStringLiteral("Liste 12:00.kbl"));
        if (named == "exists")
            MainWindowFixture::writeFile(path, "1\r\nKiosk\r\n0\r\n0\r\n");
        if (named == "unreadable")
            QVERIFY(QDir().mkpath(path));
        const bool unreadable = named == "unreadable";
        MainWindow form(f.dialogs, f.dir.path(), StartList { path, true, std::nullopt });
        QCOMPARE(f.dialogs.texts(),
            unreadable ? QStringList { QStringLiteral("Konnte die Datei nicht öffnen.") } : QStringList());
        QCOMPARE(form.stores()->count(), named == "exists" ? 1 : 0);
        QCOMPARE(form.documentName(), unreadable ? QString() : path);
        QCOMPARE(form.windowTitle(), unreadable ? kTitle : kTitle + QStringLiteral(" - Liste 12:00.kbl"));
        QCOMPARE(form.programDirectory(), f.dir.path() + u'/');
    }

    // What a drag may carry: only one local list file is taken, and it opens as "Öffnen..." does.
    void dropOpensOneListFile_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<bool>("accepted");
        const QUrl list = QUrl::fromLocalFile(QDir::tempPath() + QStringLiteral("/korbana-drop/Woche.KBL"));
        QTest::newRow("one list file") << QList<QUrl> { list } << true;
        QTest::newRow("two list files") << QList<QUrl> { list, list } << false;
        QTest::newRow("another kind of file")
            << QList<QUrl> { QUrl::fromLocalFile(QDir::tempPath() + QStringLiteral("/korbana-drop/liste.csv")) }
            << false;
        QTest::newRow("a web address") << QList<QUrl> { QUrl(QStringLiteral("https://www.talven.example/a.kbl")) }
                                       << false;
        QTest::newRow("text, no file") << QList<QUrl>() << false;
    }

    void dropOpensOneListFile()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(bool, accepted);
        MainWindowFixture f;
        const QByteArray bytes = sampleListFile();
        MainWindow& form = f.start(&bytes);
        QVERIFY(QDir().mkpath(QDir::tempPath() + QStringLiteral("/korbana-drop")));
        const QString dropped = QDir::tempPath() + QStringLiteral("/korbana-drop/Woche.KBL");
        MainWindowFixture::writeFile(dropped, "1\r\nKiosk\r\n0\r\n0\r\n");

        QMimeData data;
        data.setText(QStringLiteral("Woche.KBL"));
        if (!urls.isEmpty())
            data.setUrls(urls);
        const QPoint centre = form.rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &drop);
        // The question comes after the drop has ended.
        QVERIFY(f.dialogs.messages.isEmpty());
        f.dialogs.answers = { QMessageBox::No };
        QCoreApplication::processEvents();

        QCOMPARE(f.dialogs.messages.size(), accepted ? 1 : 0);
        if (accepted)
            QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Datei: Öffnen..."));
        QVERIFY(f.dialogs.fileRequests.isEmpty());
        QCOMPARE(form.documentName(), accepted ? dropped : f.path(QStringLiteral("korbana.kbl")));
        QCOMPARE(form.windowTitle(),
            kTitle + (accepted ? QStringLiteral(" - Woche.KBL") : QStringLiteral(" - korbana.kbl")));
        QFile::remove(dropped);
    }

    // Each command that guards unsaved data, with each answer.
    void unsavedDataQuestion_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("title");
        QTest::newRow("new") << "new"
                             << "Datei: Neu...";
        QTest::newRow("open") << "open"
                              << "Datei: Öffnen...";
        QTest::newRow("drop") << "drop"
                              << "Datei: Öffnen...";
        QTest::newRow("exit") << "exit"
                              << "Datei: Beenden...";
    }

    void unsavedDataQuestion()
    {
        QFETCH(QString, command);
        QFETCH(QString, title);
        for (const auto answer : { QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel }) {
            MainWindowFixture f;
            const QByteArray bytes = sampleListFile();
            MainWindow& form = f.start(&bytes);
            const QString file = f.path(QStringLiteral("korbana.kbl"));
            const QString dropped = f.path(QStringLiteral("woche.kbl"));
            MainWindowFixture::writeFile(dropped, "1\r\nKiosk\r\n0\r\n0\r\n");
            form.stores()->append(QStringLiteral("Neu hinzugekommen"));
            f.dialogs.answers = { answer };
            bool closed = false;
            if (command == u"new")
                form.newDocument();
            else if (command == u"open")
                form.openDocument(); // the open dialog is cancelled
            else if (command == u"drop")
                form.openDroppedFile(dropped);
            else
                closed = form.queryClose();

            QCOMPARE(f.dialogs.messages.size(), 1);
            const auto& asked = f.dialogs.messages[0];
            QCOMPARE(asked.text, kQuestion);
            QCOMPARE(asked.title, title);
            QCOMPARE(asked.icon, QMessageBox::Question);
            QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            QCOMPARE(asked.defaultButton, QMessageBox::Yes);

            // Yes on a named document saves under its name without a dialog.
            const bool saved = MainWindowFixture::readFile(file).contains("Neu hinzugekommen");
            QCOMPARE(saved, answer == QMessageBox::Yes);
            const bool goesOn = answer != QMessageBox::Cancel;
            QCOMPARE(f.dialogs.fileRequests.size(), command == u"open" && goesOn ? 1 : 0);
            if (command == u"new") {
                QCOMPARE(form.stores()->count(), goesOn ? 0 : 3);
                QCOMPARE(form.windowTitle(),
                    goesOn ? kTitle + QStringLiteral(" - Kein Name") : kTitle + QStringLiteral(" - korbana.kbl"));
                QCOMPARE(form.documentName().isEmpty(), goesOn);
            } else if (command == u"exit") {
                QCOMPARE(closed, goesOn);
            } else if (command == u"drop") {
                QCOMPARE(form.stores()->count(), goesOn ? 1 : 3);
                QCOMPARE(form.documentName(), goesOn ? dropped : file);
            } else {
                QCOMPARE(form.stores()->count(), 3); // the open dialog was cancelled
            }
        }
    }

    void yesOnUnnamedDocumentAsksForAName()
    {
        MainWindowFixture f;
        MainWindow& form = f.start();
        f.dialogs.messages.clear();
        form.stores()->append(QStringLiteral("Kiosk"));

        // A cancelled save dialog cancels the whole exit.
        f.dialogs.answers = { QMessageBox::Yes };
        bool closed = true;
        closed = form.queryClose();
        QVERIFY(!closed);
        QCOMPARE(f.dialogs.fileRequests.size(), 1);
        QCOMPARE(f.dialogs.fileRequests[0].filter, QStringLiteral("Einkaufslisten (*.kbl)"));
        QCOMPARE(f.dialogs.fileRequests[0].defaultSuffix, QStringLiteral("kbl"));
        QVERIFY(f.dialogs.fileRequests[0].confirmOverwrite);

        // A chosen name is saved and becomes the document.
        const QString chosen = f.path(QStringLiteral("woche.kbl"));
        f.dialogs.answers = { QMessageBox::Yes };
        f.dialogs.fileAnswers = { chosen };
        closed = form.queryClose();
        QVERIFY(closed);
        QVERIFY(QFileInfo::exists(chosen));
        QCOMPARE(form.windowTitle(), kTitle + QStringLiteral(" - woche.kbl"));
        // The dialog offers the last chosen name again.
        form.saveAs();
        QCOMPARE(f.dialogs.fileRequests.last().fileName, chosen);
    }

    void saveOnNamedDocumentAsksNothing()
    {
        MainWindowFixture f;
        const QByteArray bytes = sampleListFile();
        MainWindow& form = f.start(&bytes);
        form.save();
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY(f.dialogs.fileRequests.isEmpty());
        QCOMPARE(MainWindowFixture::readFile(f.path(QStringLiteral("korbana.kbl"))), bytes);
    }

    void saveOnUnnamedDocumentRunsSaveAs()
    {
        MainWindowFixture f;
        MainWindow& form = f.start();
        f.dialogs.answers = { QMessageBox::No };
        form.newDocument();
        QCOMPARE(form.windowTitle(), kTitle + QStringLiteral(" - Kein Name"));
        form.save();
        QCOMPARE(f.dialogs.fileRequests.size(), 1);
        QCOMPARE(f.dialogs.fileRequests[0].mode, FileDialogOptions::Mode::Save);
    }

    void openReplacesTheLists()
    {
        MainWindowFixture f;
        MainWindow& form = f.start();
        const QString other = f.path(QStringLiteral("andere.kbl"));
        MainWindowFixture::writeFile(other, "1\r\nKiosk\r\n0\r\n0\r\n");
        f.dialogs.messages.clear();
        f.dialogs.answers = { QMessageBox::No };
        f.dialogs.fileAnswers = { other };
        form.openDocument();
        QCOMPARE(f.dialogs.fileRequests.last().filter, QStringLiteral("Einkaufslisten (*.kbl)"));
        QCOMPARE(form.stores()->count(), 1);
        QCOMPARE(form.windowTitle(), kTitle + QStringLiteral(" - andere.kbl"));
        QCOMPARE(form.documentName(), other);
    }

    // A file that cannot be opened keeps the lists, the name and the title (the next Save would otherwise
    // write empty lists over the previous file).
    void failedOpenKeepsTheLists()
    {
        MainWindowFixture f;
        const QByteArray bytes = sampleListFile();
        MainWindow& form = f.start(&bytes);
        form.openFile(f.path(QStringLiteral("fehlt.kbl")));
        QCOMPARE(f.dialogs.texts(), QStringList { QStringLiteral("Konnte die Datei nicht öffnen.") });
        QCOMPARE(form.stores()->count(), 2);
        QCOMPARE(form.shopping()->count(), 1);
        QCOMPARE(form.windowTitle(), kTitle + QStringLiteral(" - korbana.kbl"));
        QCOMPARE(form.statusBar()->currentMessage(), QStringLiteral("1 Produkte auf der Einkaufsliste"));
        form.save();
        QCOMPARE(MainWindowFixture::readFile(f.path(QStringLiteral("korbana.kbl"))), bytes);
    }

    // A save that fails inside New, Open or Exit stops the command: nothing of the user's work is lost.
    void failedSaveStopsTheCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("new") << "new";
        QTest::newRow("open") << "open";
        QTest::newRow("exit") << "exit";
    }

    void failedSaveStopsTheCommand()
    {
        QFETCH(QString, command);
        MainWindowFixture f;
        MainWindow& form = f.start();
        form.stores()->append(QStringLiteral("Kiosk"));
        f.dialogs.messages.clear();
        f.dialogs.answers = { QMessageBox::Yes };
        f.dialogs.fileAnswers = { f.path(QStringLiteral("fehlt/ordner/liste.kbl")) };
        bool closed = true;
        if (command == u"new")
            form.newDocument();
        else if (command == u"open")
            form.openDocument();
        else
            closed = form.queryClose();
        QCOMPARE(f.dialogs.texts().last(), QStringLiteral("Konnte die Datei nicht erstellen."));
        QCOMPARE(f.dialogs.messages.last().title, QStringLiteral("Fehler beim Speichern"));
        QCOMPARE(form.stores()->count(), 1);
        QCOMPARE(f.dialogs.fileRequests.size(), 1); // no open dialog after the failed save
        if (command == u"exit")
            QVERIFY(!closed);
        QCOMPARE(form.windowTitle(), kTitle);
    }

    void closeBoxRunsTheCloseQuery()
    {
        MainWindowFixture f;
        MainWindow& form = f.start();
        form.show();
        f.dialogs.messages.clear();
        f.dialogs.answers = { QMessageBox::Cancel };
        QVERIFY(!form.close());
        QVERIFY(form.isVisible());
        f.dialogs.answers = { QMessageBox::No };
        form.quit();
        QVERIFY(!form.isVisible());
        QCOMPARE(f.dialogs.messages.size(), 2);
        QCOMPARE(f.dialogs.messages[1].title, QStringLiteral("Datei: Beenden..."));
    }

    void titleShowsFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << QStringLiteral("woche.kbl");
        QTest::newRow("colon") << QStringLiteral("Liste 12:00.kbl");
        QTest::newRow("backslash") << QStringLiteral("Markt\\Samstag.kbl");
    }

    void titleShowsFileName()
    {
        QFETCH(QString, name);
        MainWindowFixture f;
        MainWindow& form = f.start();
        const QString path = f.path(name);
        QVERIFY(form.saveFile(path));
        QCOMPARE(form.windowTitle(), kTitle + QStringLiteral(" - ") + name);
        form.openFile(path);
        QCOMPARE(form.windowTitle(), kTitle + QStringLiteral(" - ") + name);
    }

    void errorReportText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Das Drucken ist im Gang"
                                << "Das Drucken ist im Gang.";
        QTest::newRow("full stop") << "Fertig."
                                   << "Fertig.";
        QTest::newRow("exclamation") << "Achtung!"
                                     << "Achtung!";
        QTest::newRow("closing bracket") << "Fehler (x)"
                                         << "Fehler (x)";
        QTest::newRow("digit") << "Fehler 7"
                               << "Fehler 7.";
        QTest::newRow("umlaut") << "Größe"
                                << "Größe.";
        QTest::newRow("empty") << ""
                               << "";
    }

    void errorReportText()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(korbana::errorReportText(text), shown);
        ScriptedDialogs dialogs;
        korbana::reportApplicationError(dialogs, text);
        QCOMPARE(dialogs.messages[0].text, shown);
        QCOMPARE(dialogs.messages[0].title, QStringLiteral("Einkaufsliste 1.2"));
        QCOMPARE(dialogs.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(dialogs.messages[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void marginFieldClampsOnLeavingIt_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("read");
        QTest::newRow("above") << "70"
                               << "50" << 50;
        QTest::newRow("below") << "-5"
                               << "0" << 0;
        QTest::newRow("inside") << "20"
                                << "20" << 20;
        QTest::newRow("no number") << "abc"
                                   << "abc" << 0;
    }

    void marginFieldClampsOnLeavingIt()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, read);
        MainWindowFixture f;
        MainWindow& form = f.start();
        form.show();
        pages(form)->setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        leftMarginEdit(form)->setFocus();
        leftMarginEdit(form)->findChild<QLineEdit*>()->setText(typed);
        topMarginEdit(form)->setFocus(); // the margin field loses the focus
        QTRY_COMPARE(leftMarginEdit(form)->text(), shown);
        QCOMPARE(form.leftMargin(), read);
    }

    void priceFieldShowsTwoDecimalsAfterLeavingIt()
    {
        MainWindowFixture f;
        MainWindow& form = f.start();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const std::pair<QString, QString> cases[] = { { QStringLiteral("10"), QStringLiteral("10,00") },
            { QStringLiteral("1,5"), QStringLiteral("1,50") }, { QStringLiteral("-0,999"), QStringLiteral("-1,00") },
            { QStringLiteral("zehn"), QStringLiteral("zehn") } };
        for (const auto& [typed, shown] : cases) {
            priceEdit(form)->setFocus();
            priceEdit(form)->findChild<QLineEdit*>()->setText(typed);
            currencyEdit(form)->setFocus();
            QTRY_COMPARE(priceEdit(form)->text(), shown);
        }
        QCOMPARE(priceEdit(form)->value(), 0.0); // the text is no number
    }

    void marginValueRoundsHalfToEven()
    {
        MainWindowFixture f;
        MainWindow& form = f.start();
        const std::pair<double, QString> cases[] = { { 12.5, QStringLiteral("12") }, { 13.5, QStringLiteral("14") },
            { 12.6, QStringLiteral("13") }, { 70, QStringLiteral("50") }, { -3, QStringLiteral("0") } };
        for (const auto& [value, shown] : cases) {
            leftMarginEdit(form)->setValue(value);
            QCOMPARE(leftMarginEdit(form)->text(), shown);
        }
    }

    void splitterCollapsesNarrowPanes()
    {
        MainWindowFixture f;
        MainWindow& form = f.start();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(storesPanel(form)->panelWidth(), 145);
        QCOMPARE(productsPanel(form)->panelWidth(), 269);
        // Drag the first handle to 25 pixels, then the second to leave 40 pixels.
        QSplitterHandle* first = listSplitter(form)->handle(1);
        QTest::mousePress(first, Qt::LeftButton, {}, QPoint(1, 10));
        QTest::mouseMove(first, QPoint(1 - 145 + 25, 10));
        QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(1 - 145 + 25, 10));
        QTRY_COMPARE(storesPanel(form)->panelWidth(), 0);
        productsPanel(form)->setPanelWidth(40);
        QCOMPARE(productsPanel(form)->panelWidth(), 40);
    }

    void draggingStoreEdgeKeepsProductWidth_data()
    {
        QTest::addColumn<int>("dragTo");
        QTest::addColumn<int>("storesWidth");
        QTest::newRow("wider") << 200 << 200;
        QTest::newRow("narrower") << 100 << 100;
        QTest::newRow("collapsed") << 25 << 0;
    }

    void draggingStoreEdgeKeepsProductWidth()
    {
        QFETCH(int, dragTo);
        QFETCH(int, storesWidth);
        MainWindowFixture f;
        MainWindow& form = f.start();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QList<int> before = listSplitter(form)->sizes();
        QSplitterHandle* first = listSplitter(form)->handle(1);
        QTest::mousePress(first, Qt::LeftButton, {}, QPoint(1, 10));
        QTest::mouseMove(first, QPoint(1 - 145 + dragTo, 10));
        QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(1 - 145 + dragTo, 10));
        // The Product catalogue is left-aligned: it moves with the edge and keeps its width; the Shopping
        // list takes up the difference.
        QTRY_VERIFY(qAbs(storesPanel(form)->panelWidth() - storesWidth) <= 1);
        if (storesWidth == 0)
            QCOMPARE(storesPanel(form)->panelWidth(), 0);
        const QList<int> after = listSplitter(form)->sizes();
        QCOMPARE(after[1], before[1]);
        QCOMPARE(after[0] + after[1] + after[2], before[0] + before[1] + before[2]);
    }

    void layoutAndCommands()
    {
        MainWindowFixture f;
        MainWindow& form = f.start();
        QCOMPARE(pages(form)->currentIndex(), 0);
        QCOMPARE(pages(form)->tabText(0), QStringLiteral("Läden && Produkte && Einkaufsliste"));
        QCOMPARE(pages(form)->tabText(1), QStringLiteral("Einstellungen"));
        QCOMPARE(currencyEdit(form)->text(), QStringLiteral("EUR"));
        QCOMPARE(priceEdit(form)->text(), QStringLiteral("0,00"));
        QCOMPARE(leftMarginEdit(form)->text(), QStringLiteral("15"));
        const QList<QAction*> menus = form.menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(menus[0]->text(), QStringLiteral("&Datei"));
        QCOMPARE(menus[1]->text(), QStringLiteral("&Bearbeiten"));
        QCOMPARE(menus[2]->text(), QStringLiteral("&Hilfe"));
        QStringList items;
        for (QAction* a : menus[0]->menu()->actions())
            items << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(items,
            QStringList({ QStringLiteral("&Neu..."), QStringLiteral("&Öffnen..."), QStringLiteral("&Speichern"),
                QStringLiteral("Speichern &unter..."), QStringLiteral("&Zuletzt geöffnet"),
                QStringLiteral("&Frühere Fassungen..."), QStringLiteral("CSV E&xport..."),
                QStringLiteral("CSV &Import..."), QStringLiteral("Aufs &Telefon..."), QStringLiteral("-"),
                QStringLiteral("Drucker &einrichten..."), QStringLiteral("&Drucken..."),
                QStringLiteral("Seiten&ansicht..."), QStringLiteral("-"), QStringLiteral("&Beenden") }));
        QStringList helpItems;
        for (QAction* a : menus[2]->menu()->actions())
            helpItems << a->text();
        QCOMPARE(
            helpItems, QStringList({ QStringLiteral("&Hilfe aufrufen..."), QStringLiteral("&Über das Programm...") }));
        // Every item of a menu has an Alt letter of its own.
        for (QAction* menu : menus) {
            QSet<QChar> letters;
            for (QAction* a : menu->menu()->actions()) {
                if (a->isSeparator())
                    continue;
                const qsizetype amp = a->text().indexOf(u'&');
                QVERIFY2(amp >= 0 && amp + 1 < a->text().size(), qPrintable(a->text()));
                const QChar letter = a->text().at(amp + 1).toLower();
                QVERIFY2(!letters.contains(letter), qPrintable(a->text()));
                letters.insert(letter);
            }
        }

        // A tool button runs its menu item's handler: "Neu" asks the question of New.
        f.dialogs.messages.clear();
        f.dialogs.answers = { QMessageBox::Cancel };
        windowWidget<QToolButton>(form, QStringLiteral("newButton"))->click();
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.dialogs.messages[0].title, QStringLiteral("Datei: Neu..."));
        QCOMPARE(windowWidget<QToolButton>(form, QStringLiteral("newButton"))->toolTip(), QStringLiteral("Neu"));
        QCOMPARE(
            windowWidget<QToolButton>(form, QStringLiteral("printButton"))->toolTip(), QStringLiteral("Drucken..."));
        QCOMPARE(windowWidget<QToolButton>(form, QStringLiteral("addStoreButton"))->toolTip(),
            QStringLiteral("Eintrag hinzufügen"));
        QCOMPARE(windowWidget<QToolButton>(form, QStringLiteral("editProductButton"))->toolTip(),
            QStringLiteral("Eintrag verändern"));
    }

    void settingsPageLayout()
    {
        MainWindowFixture f;
        MainWindow& form = f.start();
        form.show();
        pages(form)->setCurrentIndex(1);
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* panel6 = settingsPage(form)->findChild<QFrame*>(QStringLiteral("settingsPicturePanel"));
        QVERIFY(panel6);
        // Left-aligned below the 33 high header: the whole remaining height, 209 wide.
        QTRY_COMPARE(panel6->geometry(), QRect(0, 0, 209, settingsPage(form)->height() - 33));
        auto* title = panel6->findChild<QLabel*>(QStringLiteral("settingsTitle"));
        QVERIFY(title);
        QCOMPARE(title->text(), QStringLiteral("Einstellungen\nändern..."));
        QCOMPARE(title->font().family(), QStringLiteral("Arial Black"));
        QCOMPARE(title->font().pixelSize(), 19);
        QCOMPARE(title->font().weight(), QFont::Black);
        // The margin labels stand level with their fields, sized to their text.
        for (QLabel* label : settingsPage(form)->findChildren<QLabel*>()) {
            if (label->text().startsWith(QStringLiteral("Rand")) || label->text() == QStringLiteral("mm"))
                QCOMPARE(label->size(), label->sizeHint());
        }
    }

    // At the design font everything stands where it was designed; with a larger font the controls move and grow,
    // and no label, price or quantity is cut (also run at QT_SCALE_FACTOR=2, see CMakeLists.txt).
    void textFits_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("afterStart");
        QTest::newRow("design font") << 0 << false;
        QTest::newRow("14-point font") << 14 << false;
        QTest::newRow("14-point font chosen while running") << 14 << true;
        QTest::newRow("20-point font") << 20 << false;
    }

    void textFits()
    {
        QFETCH(int, points);
        QFETCH(bool, afterStart);
        const QFont designFont = QApplication::font();
        const auto restoreFont = qScopeGuard([designFont] { QApplication::setFont(designFont); });
        QFont larger = designFont;
        if (points > 0)
            larger.setPointSize(points);
        if (!afterStart)
            QApplication::setFont(larger);
        MainWindowFixture f;
        const QByteArray lists("1\r\nHofladen am Markt\r\n1\r\nVollkornbrot\r\nHofladen am Markt\r\n1.234,56 "
                               "EUR\r\n1\r\n12\r\nVollkornbrot\r\nHofladen am Markt\r\n1.234,56 EUR\r\n");
        MainWindow& form = f.start(&lists);
        if (afterStart)
            QApplication::setFont(larger);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        if (points == 0) {
            QCOMPARE(fontButton(form)->geometry(), QRect(216, 7, 113, 25));
            const SpinEdit* fields[]
                = { leftMarginEdit(form), topMarginEdit(form), rightMarginEdit(form), bottomMarginEdit(form) };
            for (int i = 0; i < 4; ++i)
                QCOMPARE(fields[i]->geometry(), QRect(296, 39 + 24 * i, 89, 21));
        }
        for (const int page : { 1, 0 }) {
            pages(form)->setCurrentIndex(page);
            for (const QLabel* label : pages(form)->widget(page)->findChildren<QLabel*>()) {
                if (!label->isVisible() || label->text().isEmpty() || !label->pixmap().isNull())
                    continue;
                const QFontMetrics metrics(label->font());
                for (const QString& line : label->text().split(u'\n'))
                    QVERIFY2(metrics.horizontalAdvance(line) <= label->contentsRect().width(), qPrintable(line));
                // Nor does a field hide part of it.
                for (const QWidget* other : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                    if (other != label && other->isVisible() && !other->geometry().contains(label->geometry()))
                        QVERIFY2(!other->geometry().intersects(label->geometry()),
                            qPrintable(label->text() + " / " + other->objectName()));
            }
        }
        // The quantity and the prices are shown whole in the default window.
        for (const auto& [name, columns] :
            { std::pair { "productsView", QList<int> { 2 } }, std::pair { "shoppingView", QList<int> { 0, 3 } } }) {
            auto* view = windowWidget<ListView>(form, QLatin1String(name));
            const QFontMetrics metrics(view->font());
            for (const int column : columns) {
                const QString text = view->model()->index(0, column).data().toString();
                // The text stands 3 pixels inside the cell on either side, the grid line takes one.
                QTRY_VERIFY2(metrics.horizontalAdvance(text) + 7 <= view->columnWidth(column), qPrintable(text));
            }
        }
    }

    void namesTakeTheRoomLeft_data()
    {
        QTest::addColumn<QString>("view");
        QTest::addColumn<int>("widerBy"); // the window's extra width
        QTest::addColumn<int>("fittedByHand"); // a column fitted by a double click on its heading's edge, or -1
        QTest::addColumn<QList<int>>("whole"); // columns whose every text shows whole
        QTest::addColumn<QList<int>>("grown"); // columns wider than in the default window
        // A long shop name gives way to the product's.
        QTest::newRow("products, default window") << "productsView" << 0 << -1 << QList<int> { 0, 2 } << QList<int> {};
        QTest::newRow("shopping, wider window")
            << "shoppingView" << 400 << -1 << QList<int> { 0, 1, 2, 3 } << QList<int> { 1, 2 };
        QTest::newRow("a long shop fitted by hand")
            << "shoppingView" << 0 << 2 << QList<int> { 0, 2, 3 } << QList<int> { 2 };
    }
    void namesTakeTheRoomLeft()
    {
        QFETCH(QString, view);
        QFETCH(int, widerBy);
        QFETCH(int, fittedByHand);
        QFETCH(QList<int>, grown);
        MainWindowFixture f;
        // Names and shops of a new household's week; in the Shopping list one shop name too long for its share.
        const QByteArray lists("1\r\nAldi S\xfc"
                               "d\r\n4\r\nBananen\r\ndm\r\n0,95 EUR\r\nZahnpasta\r\ndm\r\n1,45 EUR\r\n"
                               "Vollkornbrot\r\nB\xe4"
                               "ckerei M\xfcller am Markt\r\n3,49 EUR\r\nShampoo\r\n"
                               "Aldi S\xfc"
                               "d\r\n2,29 EUR\r\n2\r\n1\r\nZahnpasta\r\ndm\r\n1,45 EUR\r\n2\r\nBananen\r\n"
                               "Hofladen am Marktplatz der Altstadt\r\n0,95 EUR\r\n");
        MainWindow& form = f.start(&lists);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* list = windowWidget<ListView>(form, view);
        QList<int> before;
        QTRY_VERIFY(list->columnWidth(list->model()->columnCount() - 1) > 20);
        QCoreApplication::processEvents();
        for (int column = 0; column < list->model()->columnCount(); ++column)
            before.append(list->columnWidth(column));
        if (widerBy > 0)
            form.resize(form.width() + widerBy, form.height());
        if (fittedByHand >= 0) {
            QHeaderView* header = list->header();
            const int edge = header->sectionViewportPosition(fittedByHand) + header->sectionSize(fittedByHand) - 1;
            QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, QPoint(edge, header->height() / 2));
        }
        // Edges between the headings sort nothing.
        QCOMPARE(list->model()->index(0, 0).data().toString(), list->listModel()->index(0, 0).data().toString());
        const int rows = list->model()->rowCount();
        QFETCH(QList<int>, whole);
        for (const int column : std::as_const(whole))
            for (int row = 0; row < rows; ++row)
                QTRY_VERIFY2(
                    shownWhole(list, row, column), qPrintable(list->model()->index(row, column).data().toString()));
        int width = 0;
        for (int column = 0; column < list->model()->columnCount(); ++column) {
            QTRY_COMPARE(list->columnWidth(column) > before[column], grown.contains(column));
            width += list->columnWidth(column);
        }
        // Together the columns fill the list; only a column fitted by hand may need the scroll bar.
        QCOMPARE(width == list->viewport()->width(), fittedByHand < 0);
        QTRY_COMPARE(list->horizontalScrollBar()->isVisible(), fittedByHand >= 0);
    }

    void focusedListFramed_data()
    {
        QTest::addColumn<QString>("view");
        QTest::newRow("Läden") << "storesView";
        QTest::newRow("Produkte") << "productsView";
        QTest::newRow("Einkaufsliste") << "shoppingView";
    }
    void focusedListFramed()
    {
        QFETCH(QString, view);
        MainWindowFixture f;
        const QByteArray lists = sampleListFile();
        MainWindow& form = f.start(&lists);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto* list = windowWidget<ListView>(form, view);
        const QColor frame = list->palette().color(QPalette::Highlight);
        // Beside the rows and below them: where only a frame can mark the focus.
        const auto edgeColours = [list] {
            const QImage image = list->viewport()->grab().toImage();
            return QList<QColor> { image.pixelColor(image.width() - 1, image.height() / 2),
                image.pixelColor(image.width() / 2, image.height() - 1), image.pixelColor(0, image.height() - 1) };
        };
        list->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(list->hasFocus());
        for (const QColor& colour : edgeColours())
            QCOMPARE(colour, frame);
        windowWidget<QWidget>(form, QStringLiteral("PreisED"))->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(!list->hasFocus());
        for (const QColor& colour : edgeColours())
            QVERIFY(colour != frame);
    }

    void tabOrder_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("chain");
        QTest::newRow("lists") << 0
                               << QStringList { "storesView", "PreisED", "CurrEd", "productSearchEdit", "productsView",
                                      "quickAddEdit", "shoppingView" };
        QTest::newRow("settings") << 1 << QStringList { "fontButton", "leftREd", "TopREd", "RightREd", "BottomREd" };
    }

    void tabOrder()
    {
        QFETCH(int, page);
        QFETCH(QStringList, chain);
        MainWindowFixture f;
        MainWindow& form = f.start();
        pages(form)->setCurrentIndex(page);
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto* first = form.findChild<QWidget*>(chain.first());
        QVERIFY(first);
        // The window opens with the focus in the Store list, so Insert adds a shop at once.
        if (page == 0)
            QTRY_COMPARE(QApplication::focusWidget(), first);
        first->setFocus(Qt::TabFocusReason);
        for (qsizetype i = 1; i < chain.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), chain[i]);
        }
    }

    void hints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        const QString add = QStringLiteral("Eintrag hinzufügen");
        const QString remove = QStringLiteral("Eintrag entfernen");
        const QString clear = QStringLiteral("Liste löschen");
        const std::pair<const char*, QString> rows[] = { { "newButton", QStringLiteral("Neu") },
            { "openButton", QStringLiteral("Öffnen...") }, { "saveButton", QStringLiteral("Speichern") },
            { "saveAsButton", QStringLiteral("Speichern unter...") }, { "printButton", QStringLiteral("Drucken...") },
            { "quitButton", QStringLiteral("Beenden") }, { "addStoreButton", add }, { "removeStoreButton", remove },
            { "clearStoresButton", clear }, { "addProductButton", add }, { "removeProductButton", remove },
            { "clearProductsButton", clear }, { "editProductButton", QStringLiteral("Eintrag verändern") },
            { "addToShoppingButton", add }, { "removeFromShoppingButton", remove }, { "clearShoppingButton", clear },
            { "cheapestShopsButton", QStringLiteral("Günstigste Läden wählen") },
            { "fontButton", QStringLiteral("Schriftart für den Ausdruck ändern....") } };
        for (const auto& [name, hint] : rows)
            QTest::newRow(name) << QString::fromLatin1(name) << hint;
    }

    void hints()
    {
        QFETCH(QString, name);
        QFETCH(QString, hint);
        MainWindowFixture f;
        MainWindow& form = f.start();
        auto* widget = form.findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(widget->toolTip(), hint);
    }

    void menusLeaveTheStatusTextAlone()
    {
        MainWindowFixture f;
        MainWindow& form = f.start();
        QStatusTipEvent tip { QString() };
        QCoreApplication::sendEvent(&form, &tip);
        QCOMPARE(form.statusBar()->currentMessage(), QStringLiteral("0 Produkte auf der Einkaufsliste"));
    }

    // The help a program finds from its own folder: the pages beside a program that is not installed, the
    // installed documentation of one in bin/, nothing when neither is there (on Windows the help file beside it).
    void helpFileIsTheProgramDirectorys_data()
    {
        QTest::addColumn<QString>("programDir");
        QTest::addColumn<QString>("helpPage"); // relative to the temporary folder, "" for none
        QTest::addColumn<QString>("expected");
#ifdef Q_OS_WIN
        QTest::newRow("help file beside the program") << ""
                                                      << ""
                                                      << "korbana.chm";
#else
        QTest::newRow("not installed") << ""
                                       << "help/index.htm"
                                       << "help/index.htm";
        QTest::newRow("installed") << "bin"
                                   << "share/doc/korbana/html/index.htm"
                                   << "share/doc/korbana/html/index.htm";
        QTest::newRow("no help") << "bin"
                                 << ""
                                 << "";
        QTest::newRow("a chm is not for Linux") << ""
                                                << "korbana.chm"
                                                << "";
#endif
    }

    void helpFileIsTheProgramDirectorys()
    {
        QFETCH(QString, programDir);
        QFETCH(QString, helpPage);
        QFETCH(QString, expected);
        MainWindowFixture f;
        if (!helpPage.isEmpty()) {
            QVERIFY(QDir().mkpath(QFileInfo(f.path(helpPage)).path()));
            MainWindowFixture::writeFile(f.path(helpPage), "<html></html>");
        }
        QVERIFY(QDir().mkpath(f.path(programDir)));
        MainWindow form(f.dialogs, f.path(programDir));
        form.showHelp();
#ifdef Q_OS_WIN
        QCOMPARE(f.dialogs.openedUrls, QStringList { f.path(expected) });
#else
        // The pages open in the program's own help window, with no browser needed.
        QVERIFY(f.dialogs.openedUrls.isEmpty());
        auto* help = form.findChild<korbana::HelpWindow*>();
        QCOMPARE(help ? help->source() : QUrl(), expected.isEmpty() ? QUrl() : QUrl::fromLocalFile(f.path(expected)));
        // It goes when the main window closes.
        f.dialogs.answers = { QMessageBox::No };
        QVERIFY(form.close());
        QVERIFY(!help || !help->isVisible());
#endif
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
