#include "MainWindow.h"
#include "document/DocumentFileState.h"
#include "document/RecoveryStore.h"

#include "AboutDialog.h"
#include "HeaderBar.h"
#include "SidePanel.h"
#include "SpinEdit.h"
#include "controls/BitmapButton.h"
#include "controls/Pictures.h"
#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "lists/ListView.h"
#include "settings/StoredNames.h"

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
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
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

// Remembers the Product catalogue's width when a drag of the splitter handle right of the Store list begins.
class StoresEdgeDrag final : public QObject
{
public:
    explicit StoresEdgeDrag(QSplitter* splitter)
        : QObject(splitter)
        , m_splitter(splitter)
    {
        splitter->handle(1)->installEventFilter(this);
    }

    int productsWidth() const { return m_productsWidth; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            m_productsWidth = m_splitter->sizes().value(1);
        return QObject::eventFilter(watched, event);
    }

private:
    QSplitter* m_splitter;
    int m_productsWidth = 0;
};

struct MarginRow
{
    QLabel* label;
    QWidget* field;
    QLabel* unit;
};

// The settings page's controls at their design positions, moved right and down only as far as a larger font or
// another style needs so that no text is cut.
class SettingsPlacement final : public QObject
{
public:
    SettingsPlacement(QWidget* body, QLabel* heading, QWidget* fontButton, std::vector<MarginRow> rows)
        : QObject(body)
        , m_body(body)
        , m_heading(heading)
        , m_fontButton(fontButton)
        , m_rows(std::move(rows))
    {
        body->installEventFilter(this);
    }

    // Design: the font button at 216, 40 (113 by 25); the margin rows at y 72, 96, 120 and 144, their labels at
    // x 216, the fields at x 296 (89 by 21), "mm" at x 392; all on the page below its 33 high header. The print
    // options that follow keep their distance below the last row.
    void place()
    {
        constexpr int kHeader = 33;
        constexpr int kLeft = 216;
        const QFontMetrics metrics(m_body->font());
        m_heading->adjustSize();

        const int buttonText = metrics.horizontalAdvance(QStringLiteral("Schriftart"));
        const QSize button = QSize(113, 25).expandedTo(QSize(buttonText + 40, metrics.height() + 10));
        m_fontButton->setGeometry(kLeft, 40 - kHeader, button.width(), button.height());

        int labelWidth = 0;
        for (const MarginRow& row : m_rows) {
            row.label->adjustSize();
            row.unit->adjustSize();
            labelWidth = std::max(labelWidth, row.label->width());
        }
        const int fieldX = std::max(296, kLeft + labelWidth + 4);
        const QSize field = QSize(89, 21).expandedTo(
            QSize(metrics.horizontalAdvance(QStringLiteral("50")) + 40, metrics.height() + 6));
        const int pitch = std::max(24, field.height() + 3);
        int y = std::max(72 - kHeader, m_fontButton->geometry().bottom() + 1 + 7);
        for (const MarginRow& row : m_rows) {
            row.field->setGeometry(fieldX, y, field.width(), field.height());
            const int labelY
                = row.label->height() + 3 <= field.height() ? y + 3 : y + (field.height() - row.label->height()) / 2;
            row.label->move(kLeft, labelY);
            row.unit->move(fieldX + field.width() + 7, labelY);
            y += pitch;
        }
        if (QWidget* below = m_body->findChild<QWidget*>(QStringLiteral("printOptionsGroup"))) {
            below->move(kLeft, std::max(176 - kHeader, y - pitch + field.height() + 11));
            below->adjustSize();
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Shown: the print options added after the margins are placed too.
        const QEvent::Type type = event->type();
        if (watched == m_body && (type == QEvent::FontChange || type == QEvent::StyleChange || type == QEvent::Show))
            place();
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* m_body;
    QLabel* m_heading;
    QWidget* m_fontButton;
    std::vector<MarginRow> m_rows;
};

} // namespace

MainWindow::MainWindow(Dialogs& dialogs, const QString& programDir, const QString& startFile, QWidget* parent)
    : QMainWindow(parent)
    , m_dialogs(dialogs)
    , m_programDir(programDir)
    , m_startFile(startFile)
{
    // The list file at start is read and decoded on a worker thread while the window is built.
    startReadingStartFile();
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QString::fromUtf16(kTitle));
    setWindowIcon(programIcon());
    resize(696, 480);
    move(223, 115);

    m_stores = new ListModel({ QStringLiteral("Name") }, this);
    m_products = new ListModel({ QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") }, this);
    m_shopping = new ListModel(
        { QStringLiteral("Menge"), QStringLiteral("Name"), QStringLiteral("Laden"), QStringLiteral("Preis") }, this);
    m_stores->setIcon(picture("laden"));
    m_products->setIcon(picture("produkt"));
    m_shopping->setIcon(picture("einkauf"));

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
    buildSettingsPage();
    m_pages->setCurrentIndex(0);
    setUpKeys();
    nameControls();

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("statusBar"));
    status->setSizeGripEnabled(true);
    status->setFixedHeight(19);
    setStatusBar(status);

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
        saveWindowState();
    });

    createWindowState();
    setUpDocumentSafety();
    setAcceptDrops(true);
    buildShoppingTrip();
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
    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);

    m_splitter = new QSplitter(Qt::Horizontal, page);
    m_splitter->setObjectName(QStringLiteral("listSplitter"));
    m_splitter->setHandleWidth(3);
    m_splitter->setChildrenCollapsible(true);
    // A hatched line follows the drag; the width changes on release.
    m_splitter->setOpaqueResize(false);
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

    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setStretchFactor(2, 1);
    m_splitter->setSizes({ 145, 269, 696 - 145 - 269 - 6 });
    auto* storesEdge = new StoresEdgeDrag(m_splitter);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this, storesEdge](int, int index) {
        QList<int> sizes = m_splitter->sizes();
        // The Product catalogue is left-aligned: moving the Store list's edge moves it whole, and the Shopping
        // list takes up the difference.
        if (index == 1) {
            const int total = sizes[0] + sizes[1] + sizes[2];
            sizes[1] = std::min(storesEdge->productsWidth(), total - sizes[0]);
            sizes[2] = total - sizes[0] - sizes[1];
        }
        for (int i = 0; i < 2; ++i) {
            if (sizes[i] > 0 && sizes[i] <= kCollapseWidth) {
                sizes[2] += sizes[i];
                sizes[i] = 0;
            }
        }
        if (sizes != m_splitter->sizes())
            m_splitter->setSizes(sizes);
    });

    connectLists();
    // Prices and quantities are never cut; names give way.
    m_productsView->setFittedColumns({ 2 });
    m_shoppingView->setFittedColumns({ 0, 3 });

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

void MainWindow::buildSettingsPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("settingsPage"));
    m_pages->addTab(page, picture("tab-einstellungen"), QStringLiteral("Einstellungen"));
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);

    auto* header = new HeaderBar(QString(), 33, page);
    header->setObjectName(QStringLiteral("settingsHeader"));
    auto* headerLabel = new QLabel(QStringLiteral("Einstellungen - Schriftart und Seitenränder ändern"), header);
    QFont bold = headerLabel->font();
    bold.setBold(true);
    headerLabel->setFont(bold);
    headerLabel->move(16, 10);
    pageLayout->addWidget(header);

    auto* body = new QWidget(page);
    pageLayout->addWidget(body, 1);
    auto* bodyLayout = new QHBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addWidget(buildSettingsPicture(body));
    bodyLayout->addStretch(1);

    m_fontButton = new BitmapButton(body);
    m_fontButton->setObjectName(QStringLiteral("fontButton"));
    m_fontButton->setText(QStringLiteral("&Schriftart"));
    m_fontButton->setGlyph(Pictures::read(QStringLiteral(":/glyphs/FONTBTN.bmp"), "bmp"));
    m_fontButton->setToolTip(QStringLiteral("Schriftart für den Ausdruck ändern...."));
    connect(m_fontButton, &BitmapButton::activated, this, &MainWindow::choosePrintFont);

    std::vector<MarginRow> rows;
    auto margin = [body, &rows](const QString& label, const char16_t* name) {
        auto* field = new SpinEdit(body);
        field->setObjectName(QString::fromUtf16(name));
        field->setDecimals(0);
        field->setRange(0, 50);
        field->setIncrement(1);
        field->setValue(15);
        auto* l = new QLabel(label, body);
        l->setBuddy(field);
        rows.push_back({ l, field, new QLabel(QStringLiteral("mm"), body) });
        return field;
    };
    m_leftMarginEdit = margin(QStringLiteral("Rand links:"), StoredNames::kLeftMargin);
    m_topMarginEdit = margin(QStringLiteral("Rand oben::"), StoredNames::kTopMargin);
    m_rightMarginEdit = margin(QStringLiteral("Rand rechts:"), StoredNames::kRightMargin);
    m_bottomMarginEdit = margin(QStringLiteral("Rand unten:"), StoredNames::kBottomMargin);
    // Placed by hand beside the page's layout: again whenever the font or the style changes what the texts need.
    auto* placement = new SettingsPlacement(body, headerLabel, m_fontButton, std::move(rows));
    placement->place();

    setTabOrder(m_fontButton, m_leftMarginEdit);
    setTabOrder(m_leftMarginEdit, m_topMarginEdit);
    setTabOrder(m_topMarginEdit, m_rightMarginEdit);
    setTabOrder(m_rightMarginEdit, m_bottomMarginEdit);
}

// The green panel with the picture and its title, at the left of the settings page.
QWidget* MainWindow::buildSettingsPicture(QWidget* parent)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("settingsPicturePanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    QPalette green = panel->palette();
    green.setColor(QPalette::Window, QColor(192, 220, 192));
    panel->setPalette(green);
    // Left-aligned: the full height of the page below the header, 209 wide.
    panel->setFixedWidth(209);
    auto* pictureFrame = new QLabel(panel);
    pictureFrame->setObjectName(QStringLiteral("settingsPicture"));
    pictureFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pictureFrame->setGeometry(7, 7, 195, 284);
    pictureFrame->setScaledContents(true);
    auto* title = new QLabel(QStringLiteral("Einstellungen\nändern..."), pictureFrame);
    title->setObjectName(QStringLiteral("settingsTitle"));
    title->setGeometry(8, 8, 177, 73);
    title->setAutoFillBackground(true);
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::Window, HeaderBar::headerColor());
    titlePalette.setColor(QPalette::WindowText, QColor(128, 0, 0));
    title->setPalette(titlePalette);
    title->setAlignment(Qt::AlignCenter);

    // The page starts hidden: its picture is decoded, and the title's font looked up, when it is first shown.
    connect(m_pages, &QTabWidget::currentChanged, pictureFrame, [this, pictureFrame, title](int index) {
        if (!m_pages->widget(index)->isAncestorOf(pictureFrame) || !pictureFrame->pixmap().isNull())
            return;
        pictureFrame->setPixmap(
            QPixmap::fromImage(Pictures::read(QStringLiteral(":/pictures/einstellungen.gif"), "gif")));
        QFont font(QStringLiteral("Arial Black"));
        font.setPixelSize(19);
        // Where Arial Black is missing, the heaviest weight of the substitute keeps its look.
        font.setWeight(QFont::Black);
        title->setFont(font);
    });
    return panel;
}

int MainWindow::leftMargin() const
{
    return m_leftMarginEdit->intValue();
}

int MainWindow::topMargin() const
{
    return m_topMarginEdit->intValue();
}

int MainWindow::rightMargin() const
{
    return m_rightMarginEdit->intValue();
}

int MainWindow::bottomMargin() const
{
    return m_bottomMarginEdit->intValue();
}

bool MainWindow::event(QEvent* event)
{
    // The status bar shows the status text alone; the menus' empty status tips would blank it.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

} // namespace korbana
