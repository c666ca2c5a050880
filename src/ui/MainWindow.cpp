#include "MainWindow.h"

#include "AboutDialog.h"
#include "DocumentSafety.h"
#include "EditMenu.h"
#include "HeaderBar.h"
#include "ListSplitter.h"
#include "MergeBar.h"
#include "RecentFilesMenu.h"
#include "SidePanel.h"
#include "SpinEdit.h"
#include "StatusBar.h"
#include "WindowSettings.h"
#include "controls/BitmapButton.h"
#include "controls/Pictures.h"
#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "lists/ListView.h"
#include "settings/StoredNames.h"
#include "settings/WindowStateStore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSessionManager>
#include <QSplitter>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <tuple>
#include <vector>

namespace korbana {

namespace {

// Drawn from its SVG when first shown, so that no SVG is parsed before the window appears.
QIcon picture(const char* name)
{
    return Pictures::svg(QStringLiteral(":/pictures/") + QLatin1String(name) + QStringLiteral(".svg"));
}

// The window manager takes the window icon as the window is shown, so it comes from ready-made PNGs.
QIcon programIcon()
{
    QIcon icon;
    for (const int size : { 16, 22, 24, 32, 48, 64 }) {
        icon.addPixmap(QPixmap::fromImage(Pictures::read(QStringLiteral(":/icons/korbana-%1.png").arg(size), "png")));
    }
    return icon;
}

} // namespace

MainWindow::MainWindow(Dialogs& dialogs, const QString& programDir, const QString& startFile, QWidget* parent)
    : QMainWindow(parent)
    , m_dialogs(dialogs)
    , m_programDir(programDir)
    , m_startFile(startFile)
{
    m_document = std::make_unique<korbana::ListDocument>();
    // The list file at start is read and decoded on a worker thread while the window is built.
    m_document->readAhead(startFilePath());
    m_safety = new DocumentSafety(m_dialogs, document(), this);
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromUtf16(kTitle));
    setWindowIcon(programIcon());
    resize(696, 480);
    move(223, 115);

    stores()->setIcon(picture("laden"));
    products()->setIcon(picture("produkt"));
    shopping()->setIcon(picture("einkauf"));

    const QString filter = QStringLiteral("Einkaufslisten (*.kbl)");
    m_listOpenOptions = { FileDialogOptions::Mode::Open, filter, QStringLiteral("kbl"), false, {} };
    m_listSaveOptions = { FileDialogOptions::Mode::Save, filter, QStringLiteral("kbl"), true, {} };
    const QString csvFilter = QStringLiteral("CSV-Dateien (*.csv)");
    m_csvOpenOptions = { FileDialogOptions::Mode::Open, csvFilter, QStringLiteral("csv"), false, {} };
    m_csvSaveOptions = { FileDialogOptions::Mode::Save, csvFilter, QStringLiteral("csv"), true, {} };

    buildMenu();
    buildToolBar();

    auto* hole = new QFrame(this);
    hole->setObjectName(QStringLiteral("pageFrame"));
    hole->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* holeLayout = new QVBoxLayout(hole);
    holeLayout->setContentsMargins(1, 1, 1, 1);
    holeLayout->setSpacing(0);
    holeLayout->addWidget(m_toolBar);
    m_pages = new QTabWidget(hole);
    m_pages->setObjectName(QStringLiteral("pages"));
    holeLayout->addWidget(m_pages);
    setCentralWidget(hole);

    buildListsPage();
    m_settingsPage = new korbana::SettingsPage(m_pages, picture("tab-einstellungen"));
    connect(m_settingsPage->fontButton(), &BitmapButton::activated, this, &MainWindow::choosePrintFont);
    m_pages->setCurrentIndex(0);
    setUpKeys();
    nameControls();

    m_statusBar = new StatusBar(document(), this);
    setStatusBar(m_statusBar);

    // The session ending asks the same question as every other way of closing.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (m_closeAllowed || !manager.allowsInteraction())
            return;
        const bool canClose = queryClose();
        manager.release();
        if (!canClose) {
            manager.cancel();
            return;
        }
        m_closeAllowed = true;
        m_windowState->closeSave();
    });

    m_windowState = createWindowSettings(this, &m_printFont, m_dialogs);
    connect(document(), &korbana::ListDocument::fileNameChanged, this, &MainWindow::showTitle);
    connect(document(), &korbana::ListDocument::changedOnDisk, this, &MainWindow::offerReload);
    connect(m_safety, &DocumentSafety::mergeReported, m_statusBar,
        [bar = m_statusBar](const QString& text) { bar->showMessage(text); });
    setAcceptDrops(true);
    buildShoppingTrip();
    buildPhone();
    // The Shopping list has a context menu; it offers undo and redo too.
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    m_shoppingView->addActions({ separator, m_editMenu->undoAction(), m_editMenu->redoAction() });
    // Insert adds a shop at once, with no Tab or click first.
    m_storesView->setFocus();
    openStartFile();
}

void MainWindow::buildMenu()
{
    auto action = [this](const QString& text, const char* name, void (MainWindow::*command)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, command);
        return a;
    };
    m_newAction = action(QStringLiteral("&Neu..."), "newAction", &MainWindow::newDocument);
    m_openAction = action(QStringLiteral("&Öffnen..."), "openAction", &MainWindow::openDocument);
    m_saveAction = action(QStringLiteral("&Speichern"), "saveAction", &MainWindow::save);
    m_saveAsAction = action(QStringLiteral("Speichern &unter..."), "saveAsAction", &MainWindow::saveAs);
    m_csvExportAction = action(QStringLiteral("CSV E&xport..."), "csvExportAction", &MainWindow::exportCsv);
    m_csvImportAction = action(QStringLiteral("CSV &Import..."), "csvImportAction", &MainWindow::importCsv);
    m_earlierVersionsAction
        = action(QStringLiteral("&Frühere Fassungen..."), "earlierVersionsAction", &MainWindow::showEarlierVersions);
    m_printerSetupAction
        = action(QStringLiteral("Drucker &einrichten..."), "printerSetupAction", &MainWindow::setUpPrinter);
    m_printAction = action(QStringLiteral("&Drucken..."), "printAction", &MainWindow::printShoppingList);
    m_printPreviewAction
        = action(QStringLiteral("Seiten&ansicht..."), "printPreviewAction", &MainWindow::previewShoppingList);
    m_quitAction = action(QStringLiteral("&Beenden"), "quitAction", &MainWindow::quit);
    m_helpAction = action(QStringLiteral("&Hilfe aufrufen..."), "helpAction", &MainWindow::showHelp);
    m_aboutAction = action(QStringLiteral("&Über das Programm..."), "aboutAction", &MainWindow::showAbout);

    m_newAction->setIcon(picture("neu"));
    m_openAction->setIcon(picture("oeffnen"));
    m_saveAction->setIcon(picture("speichern"));
    m_saveAsAction->setIcon(picture("speichernunter"));
    m_printAction->setIcon(picture("drucken"));
    m_quitAction->setIcon(picture("beenden"));

    QMenu* datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    datei->setObjectName(QStringLiteral("fileMenu"));
    datei->addActions(
        { m_newAction, m_openAction, m_saveAction, m_saveAsAction, m_csvExportAction, m_csvImportAction });
    datei->addSeparator();
    datei->addActions({ m_printerSetupAction, m_printAction, m_printPreviewAction });
    datei->addSeparator();
    datei->addAction(m_quitAction);
    QMenu* hilfe = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    hilfe->setObjectName(QStringLiteral("helpMenu"));
    hilfe->addActions({ m_helpAction, m_aboutAction });
    m_recentMenu = new RecentFilesMenu(this);
    datei->insertMenu(m_csvExportAction, m_recentMenu);
    datei->insertAction(m_csvExportAction, m_earlierVersionsAction);
    connect(m_recentMenu, &RecentFilesMenu::fileChosen, this, &MainWindow::openRecentFile);
    // The document takes the name of every file it was read from or written to.
    connect(document(), &ListDocument::fileNameChanged, m_recentMenu, [menu = m_recentMenu](const QString& path) {
        if (!path.isEmpty())
            menu->add(path);
    });

    m_editMenu = new EditMenu(history(), this);
    menuBar()->insertMenu(hilfe->menuAction(), m_editMenu);
    connect(m_editMenu->undoAction(), &QAction::triggered, this, &MainWindow::undo);
    connect(m_editMenu->redoAction(), &QAction::triggered, this, &MainWindow::redo);
    connect(m_editMenu->cheapestShopsAction(), &QAction::triggered, this, &MainWindow::chooseCheapestShops);
    connect(m_editMenu->priceComparisonAction(), &QAction::triggered, this, &MainWindow::comparePrices);
}

void MainWindow::buildToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setFixedHeight(25);
    auto button = [this](QAction* action, const QString& hint, const char* name) {
        auto* b = new QToolButton(m_toolBar);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIcon(action->icon());
        b->setToolTip(hint);
        // The button runs the same command as its menu item.
        connect(b, &QToolButton::clicked, action, &QAction::trigger);
        m_toolBar->addWidget(b);
        return b;
    };
    button(m_newAction, QStringLiteral("Neu"), "newButton");
    m_toolBar->addSeparator();
    button(m_openAction, QStringLiteral("Öffnen..."), "openButton");
    button(m_saveAction, QStringLiteral("Speichern"), "saveButton");
    button(m_saveAsAction, QStringLiteral("Speichern unter..."), "saveAsButton");
    m_toolBar->addSeparator();
    button(m_printAction, QStringLiteral("Drucken..."), "printButton");
    m_toolBar->addSeparator();
    button(m_quitAction, QStringLiteral("Beenden"), "quitButton");
}

void MainWindow::buildListsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("listsPage"));
    m_pages->addTab(page, picture("tab-listen"), QStringLiteral("Läden && Produkte && Einkaufsliste"));
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);
    auto* mergeBar = m_mergeBar = new MergeBar(document(), page);
    pageLayout->addWidget(mergeBar);
    connect(mergeBar, &MergeBar::mergeRequested, m_safety, &DocumentSafety::mergeChangedFile);
    connect(m_safety, &DocumentSafety::changedFileMerging, mergeBar, &QWidget::hide);
    connect(m_safety, &DocumentSafety::conflictsKept, mergeBar, &MergeBar::showConflicts);
    connect(mergeBar, &MergeBar::conflictsRequested, m_safety, &DocumentSafety::showConflicts);
    connect(m_safety, &DocumentSafety::reloaded, mergeBar, &MergeBar::showReloaded);
    connect(m_safety, &DocumentSafety::reloadFailed, mergeBar, &MergeBar::showUnreadable);
    connect(mergeBar, &MergeBar::undoRequested, document(), &ListDocument::undo);

    m_splitter = new korbana::ListSplitter(page);
    pageLayout->addWidget(m_splitter);

    // One column: the header bar, the row of buttons at y 32 in a strip 57 high, the list below.
    auto column = [](QWidget* panel, const QString& heading, const char* viewName) {
        // Any width down to the collapse is allowed; the splitter collapses narrower panes.
        panel->setMinimumWidth(1);
        auto* layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(new HeaderBar(heading, 27, panel));
        auto* strip = new QWidget(panel);
        strip->setFixedHeight(57 - 27);
        layout->addWidget(strip);
        auto* view = new ListView(panel);
        view->setObjectName(QLatin1String(viewName));
        layout->addWidget(view);
        return std::make_pair(strip, view);
    };

    m_storesPanel = new SidePanel(145, m_splitter);
    m_storesPanel->setObjectName(QString::fromUtf16(StoredNames::kStoresPanel));
    QWidget* storesStrip = nullptr;
    std::tie(storesStrip, m_storesView) = column(m_storesPanel, QStringLiteral("Läden"), "storesView");

    m_productsPanel = new SidePanel(269, m_splitter);
    m_productsPanel->setObjectName(QString::fromUtf16(StoredNames::kProductsPanel));
    QWidget* productsStrip = nullptr;
    std::tie(productsStrip, m_productsView) = column(m_productsPanel, QStringLiteral("Produkte"), "productsView");
    m_priceEdit = new SpinEdit(productsStrip);
    m_priceEdit->setObjectName(QString::fromUtf16(StoredNames::kPriceField));
    m_priceEdit->setDecimals(2);
    m_priceEdit->setRange(0, 0);
    m_priceEdit->setIncrement(1);
    m_priceEdit->setValue(0);
    m_priceEdit->setGeometry(120, 5 - 2, 81, 21);
    m_currencyEdit = new QLineEdit(QStringLiteral("EUR"), productsStrip);
    m_currencyEdit->setObjectName(QString::fromUtf16(StoredNames::kCurrencyField));
    m_currencyEdit->setGeometry(208, 5 - 2, 49, 21);

    auto* shoppingPanel = new QWidget(m_splitter);
    shoppingPanel->setObjectName(QStringLiteral("shoppingPanel"));
    QWidget* shoppingStrip = nullptr;
    std::tie(shoppingStrip, m_shoppingView) = column(shoppingPanel, QStringLiteral("Einkaufsliste"), "shoppingView");

    buildListButtons(storesStrip, productsStrip, shoppingStrip);

    m_splitter->finishPanes();

    connectLists();
    // Prices and quantities are never cut; names give way.
    m_productsView->setFittedColumns({ 2 });
    m_shoppingView->setFittedColumns({ 0, 3 });
    m_storesView->setNameColumns({ 0 });
    m_productsView->setNameColumns({ 0 });
    m_shoppingView->setNameColumns({ 1 });

    // Tab order of page 1; the small buttons take no focus.
    setTabOrder(m_storesView, m_priceEdit);
    setTabOrder(m_priceEdit, m_currencyEdit);
    setTabOrder(m_currencyEdit, m_productsView);
    setTabOrder(m_productsView, m_shoppingView);
}

void MainWindow::buildListButtons(QWidget* storesStrip, QWidget* productsStrip, QWidget* shoppingStrip)
{
    const QString add = QStringLiteral("Eintrag hinzufügen");
    const QString remove = QStringLiteral("Eintrag entfernen");
    const QString clear = QStringLiteral("Liste löschen");
    struct Button
    {
        QWidget* strip;
        const char* name;
        const QString& hint;
        const char* picture;
        int x;
        void (MainWindow::*command)();
    };
    const QString edit = QStringLiteral("Eintrag verändern");
    const QString cheapest = QStringLiteral("Günstigste Läden wählen");
    const Button buttons[] = {
        { storesStrip, "addStoreButton", add, "plus", 8, &MainWindow::addStore },
        { storesStrip, "removeStoreButton", remove, "minus", 32, &MainWindow::removeStore },
        { storesStrip, "clearStoresButton", clear, "loeschen", 64, &MainWindow::clearStores },
        { productsStrip, "addProductButton", add, "plus", 8, &MainWindow::addProduct },
        { productsStrip, "removeProductButton", remove, "minus", 32, &MainWindow::removeProduct },
        { productsStrip, "clearProductsButton", clear, "loeschen", 64, &MainWindow::clearProducts },
        { productsStrip, "editProductButton", edit, "bearbeiten", 88, &MainWindow::editProduct },
        { shoppingStrip, "addToShoppingButton", add, "plus", 8, &MainWindow::addToShoppingList },
        { shoppingStrip, "removeFromShoppingButton", remove, "minus", 32, &MainWindow::removeFromShoppingList },
        { shoppingStrip, "clearShoppingButton", clear, "loeschen", 64, &MainWindow::clearShoppingList },
        { shoppingStrip, "cheapestShopsButton", cheapest, "guenstigste-laeden", 88, &MainWindow::chooseCheapestShops },
    };
    for (const Button& b : buttons) {
        // A small flat button above a list: a picture and a hint, no focus.
        auto* button = new QToolButton(b.strip);
        button->setObjectName(QLatin1String(b.name));
        button->setToolTip(b.hint);
        button->setIcon(picture(b.picture));
        button->setIconSize(QSize(16, 16));
        button->setFixedSize(23, 22);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        // The strip starts at y 27, so y 32 is 5 into it.
        button->move(b.x, 5);
        connect(button, &QToolButton::clicked, this, b.command);
    }
}

MainWindow::~MainWindow()
{
    // A window that goes without an allowed close (the tests, a lost session) still keeps its settings.
    m_windowState->destroySave();
}

bool MainWindow::event(QEvent* event)
{
    // The status bar shows the status text alone; the menus' empty status tips would blank it.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

} // namespace korbana
