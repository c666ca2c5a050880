#include "MainWindow.h"

#include "AboutDialog.h"
#include "HeaderBar.h"
#include "SidePanel.h"
#include "SpinEdit.h"
#include "controls/BitmapButton.h"
#include "document/ListFile.h"
#include "lists/ListModel.h"
#include "lists/ListTexts.h"
#include "lists/ListView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
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

namespace {

QIcon picture(const char* name)
{
    return QIcon(QStringLiteral(":/pictures/") + QLatin1String(name) + QStringLiteral(".svg"));
}

// A small flat button above a list: a picture and a hint, no focus.
QToolButton* listButton(QWidget* parent, const char* objectName, const QString& hint, const char* pictureName)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setToolTip(hint);
    button->setIcon(picture(pictureName));
    button->setIconSize(QSize(16, 16));
    button->setFixedSize(23, 22);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
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

QString fileNamePart(const QString& path)
{
#ifdef Q_OS_WIN
    const qsizetype cut = std::max({ path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'), path.lastIndexOf(u':') });
#else
    // Elsewhere a backslash and ":" are ordinary characters of a file name ("Liste 12:00.kbl").
    const qsizetype cut = path.lastIndexOf(u'/');
#endif
    return path.mid(cut + 1);
}

} // namespace

MainWindow::MainWindow(Dialogs& dialogs, const QString& programDir, QWidget* parent)
    : QMainWindow(parent)
    , m_dialogs(dialogs)
    , m_programDir(programDir)
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QString::fromUtf16(kTitle));
    setWindowIcon(picture("korbana"));
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
    OpenDialog1 = { FileDialogOptions::Mode::Open, filter, QStringLiteral("kbl"), false, {} };
    SaveDialog1 = { FileDialogOptions::Mode::Save, filter, QStringLiteral("kbl"), true, {} };

    buildMenu();
    buildToolBar();

    auto* hole = new QFrame(this);
    hole->setObjectName(QStringLiteral("Panel1HoleWindow"));
    hole->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* holeLayout = new QVBoxLayout(hole);
    holeLayout->setContentsMargins(1, 1, 1, 1);
    holeLayout->setSpacing(0);
    holeLayout->addWidget(ToolBar1);
    PageControl1 = new QTabWidget(hole);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    holeLayout->addWidget(PageControl1);
    setCentralWidget(hole);

    buildListsPage();
    buildSettingsPage();
    PageControl1->setCurrentIndex(0);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    StatusBar1->setFixedHeight(19);
    setStatusBar(StatusBar1);

    // The session ending asks the same question as every other way of closing.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (m_closeAllowed || !manager.allowsInteraction())
            return;
        bool canClose = false;
        FormCloseQuery(canClose);
        manager.release();
        if (!canClose) {
            manager.cancel();
            return;
        }
        m_closeAllowed = true;
        formStorageSave();
    });

    createFormStorage();
    FormCreate();
}

MainWindow::~MainWindow()
{
    formStorageDestroy();
}

void MainWindow::buildMenu()
{
    auto action = [this](const QString& text, const char* name, void (MainWindow::*handler)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    Neu1 = action(QStringLiteral("&Neu..."), "Neu1", &MainWindow::Neu1Click);
    ffnen1 = action(QStringLiteral("&Öffnen..."), "ffnen1", &MainWindow::ffnen1Click);
    Speichern1 = action(QStringLiteral("&Speichern"), "Speichern1", &MainWindow::Speichern1Click);
    Speichernunter1
        = action(QStringLiteral("Speichern &unter..."), "Speichernunter1", &MainWindow::Speichernunter1Click);
    CSVExport1 = action(QStringLiteral("CSV Export..."), "CSVExport1", &MainWindow::CSVExport1Click);
    CSVImport1 = action(QStringLiteral("CSV Import..."), "CSVImport1", &MainWindow::CSVImport1Click);
    Druckereinrichten1
        = action(QStringLiteral("Drucker &einrichten..."), "Druckereinrichten1", &MainWindow::Druckereinrichten1Click);
    Drucken1 = action(QStringLiteral("&Drucken..."), "Drucken1", &MainWindow::Drucken1Click);
    Beenden1 = action(QStringLiteral("&Beenden"), "Beenden1", &MainWindow::Beenden1Click);
    Hilfe2 = action(QStringLiteral("Hilfe aufrufen..."), "Hilfe2", &MainWindow::Hilfe2Click);
    berdasProgramm1
        = action(QStringLiteral("&Über das Programm..."), "berdasProgramm1", &MainWindow::berdasProgramm1Click);

    Neu1->setIcon(picture("neu"));
    ffnen1->setIcon(picture("oeffnen"));
    Speichern1->setIcon(picture("speichern"));
    Speichernunter1->setIcon(picture("speichernunter"));
    Drucken1->setIcon(picture("drucken"));
    Beenden1->setIcon(picture("beenden"));

    QMenu* datei = menuBar()->addMenu(QStringLiteral("&Datei"));
    datei->setObjectName(QStringLiteral("Datei1"));
    datei->addActions({ Neu1, ffnen1, Speichern1, Speichernunter1, CSVExport1, CSVImport1 });
    datei->addSeparator();
    datei->addActions({ Druckereinrichten1, Drucken1 });
    datei->addSeparator();
    datei->addAction(Beenden1);
    QMenu* hilfe = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    hilfe->setObjectName(QStringLiteral("Hilfe1"));
    hilfe->addActions({ Hilfe2, berdasProgramm1 });
}

void MainWindow::buildToolBar()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setFixedHeight(25);
    auto button = [this](QAction* action, const QString& hint, const char* name) {
        auto* b = new QToolButton(ToolBar1);
        b->setObjectName(QLatin1String(name));
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIcon(action->icon());
        b->setToolTip(hint);
        // The button runs the same handler as its menu item.
        connect(b, &QToolButton::clicked, action, &QAction::trigger);
        ToolBar1->addWidget(b);
        return b;
    };
    ToolButton1 = button(Neu1, QStringLiteral("Neu"), "ToolButton1");
    ToolBar1->addSeparator();
    ToolButton2 = button(ffnen1, QStringLiteral("Öffnen..."), "ToolButton2");
    ToolButton3 = button(Speichern1, QStringLiteral("Speichern"), "ToolButton3");
    ToolButton4 = button(Speichernunter1, QStringLiteral("Speichern unter..."), "ToolButton4");
    ToolBar1->addSeparator();
    ToolButton7 = button(Drucken1, QStringLiteral("Drucken..."), "ToolButton7");
    ToolBar1->addSeparator();
    ToolButton11 = button(Beenden1, QStringLiteral("Beenden"), "ToolButton11");
}

void MainWindow::buildListsPage()
{
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    PageControl1->addTab(TabSheet1, picture("tab-listen"), QStringLiteral("Läden && Produkte && Einkaufsliste"));
    auto* pageLayout = new QHBoxLayout(TabSheet1);
    pageLayout->setContentsMargins(0, 0, 0, 0);

    Splitters = new QSplitter(Qt::Horizontal, TabSheet1);
    Splitters->setObjectName(QStringLiteral("Splitters"));
    Splitters->setHandleWidth(3);
    Splitters->setChildrenCollapsible(true);
    // A hatched line follows the drag; the width changes on release.
    Splitters->setOpaqueResize(false);
    pageLayout->addWidget(Splitters);

    // One column: the header bar, the row of buttons at y 32 in a strip 57 high, the list below.
    auto column = [this](QWidget* panel, const QString& heading, ListView*& view, const char* viewName) {
        // Any width down to the collapse is allowed; the splitter collapses narrower panes.
        panel->setMinimumWidth(1);
        auto* layout = new QVBoxLayout(panel);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(new HeaderBar(heading, 27, panel));
        auto* strip = new QWidget(panel);
        strip->setFixedHeight(57 - 27);
        layout->addWidget(strip);
        view = new ListView(panel);
        view->setObjectName(QLatin1String(viewName));
        layout->addWidget(view);
        return strip;
    };

    Panel1Laeden = new SidePanel(145, Splitters);
    Panel1Laeden->setObjectName(QStringLiteral("Panel1Laeden"));
    QWidget* strip1 = column(Panel1Laeden, QStringLiteral("Läden"), ListView1, "ListView1");
    PlusLaedenBtn = listButton(strip1, "PlusLaedenBtn", QStringLiteral("Eintrag hinzufügen"), "plus");
    MinusLaedenBtn = listButton(strip1, "MinusLaedenBtn", QStringLiteral("Eintrag entfernen"), "minus");
    DelList1 = listButton(strip1, "DelList1", QStringLiteral("Liste löschen"), "loeschen");

    Panel1Produkte = new SidePanel(269, Splitters);
    Panel1Produkte->setObjectName(QStringLiteral("Panel1Produkte"));
    QWidget* strip2 = column(Panel1Produkte, QStringLiteral("Produkte"), ListView2, "ListView2");
    PlusProdukteBtn = listButton(strip2, "PlusProdukteBtn", QStringLiteral("Eintrag hinzufügen"), "plus");
    MinusProdukteBtn = listButton(strip2, "MinusProdukteBtn", QStringLiteral("Eintrag entfernen"), "minus");
    DelList2 = listButton(strip2, "DelList2", QStringLiteral("Liste löschen"), "loeschen");
    PropEd = listButton(strip2, "PropEd", QStringLiteral("Eintrag verändern"), "bearbeiten");
    PreisED = new SpinEdit(strip2);
    PreisED->setObjectName(QStringLiteral("PreisED"));
    PreisED->setDecimals(2);
    PreisED->setRange(0, 0);
    PreisED->setIncrement(1);
    PreisED->setValue(0);
    PreisED->setGeometry(120, 5 - 2, 81, 21);
    CurrEd = new QLineEdit(QStringLiteral("EUR"), strip2);
    CurrEd->setObjectName(QStringLiteral("CurrEd"));
    CurrEd->setGeometry(208, 5 - 2, 49, 21);

    Panel7 = new QWidget(Splitters);
    Panel7->setObjectName(QStringLiteral("Panel7"));
    QWidget* strip3 = column(Panel7, QStringLiteral("Einkaufsliste"), ListView3, "ListView3");
    PlusEinkaufBtn = listButton(strip3, "PlusEinkaufBtn", QStringLiteral("Eintrag hinzufügen"), "plus");
    MinusEinkaufBtn = listButton(strip3, "MinusEinkaufBtn", QStringLiteral("Eintrag entfernen"), "minus");
    DelList3 = listButton(strip3, "DelList3", QStringLiteral("Liste löschen"), "loeschen");

    // Buttons at their x; the strip starts at y 27, so y 32 is 5 into it.
    const std::pair<QToolButton*, int> places[] = { { PlusLaedenBtn, 8 }, { MinusLaedenBtn, 32 }, { DelList1, 64 },
        { PlusProdukteBtn, 8 }, { MinusProdukteBtn, 32 }, { DelList2, 64 }, { PropEd, 88 }, { PlusEinkaufBtn, 8 },
        { MinusEinkaufBtn, 32 }, { DelList3, 64 } };
    for (const auto& [button, x] : places)
        button->move(x, 5);

    Splitters->setStretchFactor(0, 0);
    Splitters->setStretchFactor(1, 0);
    Splitters->setStretchFactor(2, 1);
    Splitters->setSizes({ 145, 269, 696 - 145 - 269 - 6 });
    auto* storesEdge = new StoresEdgeDrag(Splitters);
    connect(Splitters, &QSplitter::splitterMoved, this, [this, storesEdge](int, int index) {
        QList<int> sizes = Splitters->sizes();
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
        if (sizes != Splitters->sizes())
            Splitters->setSizes(sizes);
    });

    ListView1->setListModel(m_stores);
    ListView2->setListModel(m_products);
    ListView3->setListModel(m_shopping);

    connect(PlusLaedenBtn, &QToolButton::clicked, this, &MainWindow::PlusLaedenBtnClick);
    connect(MinusLaedenBtn, &QToolButton::clicked, this, &MainWindow::MinusLaedenBtnClick);
    connect(DelList1, &QToolButton::clicked, this, &MainWindow::DelList1Click);
    connect(PlusProdukteBtn, &QToolButton::clicked, this, &MainWindow::PlusProdukteBtnClick);
    connect(MinusProdukteBtn, &QToolButton::clicked, this, &MainWindow::MinusProdukteBtnClick);
    connect(DelList2, &QToolButton::clicked, this, &MainWindow::DelList2Click);
    connect(PropEd, &QToolButton::clicked, this, &MainWindow::PropEdClick);
    connect(PlusEinkaufBtn, &QToolButton::clicked, this, &MainWindow::PlusEinkaufBtnClick);
    connect(MinusEinkaufBtn, &QToolButton::clicked, this, &MainWindow::MinusEinkaufBtnClick);
    connect(DelList3, &QToolButton::clicked, this, &MainWindow::DelList3Click);
    connect(ListView1, &ListView::keyDown, this, &MainWindow::ListView1KeyDown);
    connect(ListView2, &ListView::keyDown, this, &MainWindow::ListView2KeyDown);
    connect(ListView3, &ListView::keyDown, this, &MainWindow::ListView3KeyDown);
    connect(ListView1, &ListView::dblClick, this, &MainWindow::ListView1DblClick);
    connect(ListView2, &ListView::dblClick, this, &MainWindow::ListView2DblClick);
    connect(ListView3, &ListView::dblClick, this, &MainWindow::ListView3DblClick);
    connect(ListView1, &ListView::columnClick, this, &MainWindow::ListView1ColumnClick);
    connect(ListView2, &ListView::columnClick, this, &MainWindow::ListView2ColumnClick);
    connect(ListView3, &ListView::columnClick, this, &MainWindow::ListView3ColumnClick);

    // Tab order of page 1; the small buttons take no focus.
    setTabOrder(ListView1, PreisED);
    setTabOrder(PreisED, CurrEd);
    setTabOrder(CurrEd, ListView2);
    setTabOrder(ListView2, ListView3);
}

void MainWindow::buildSettingsPage()
{
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    PageControl1->addTab(TabSheet2, picture("tab-einstellungen"), QStringLiteral("Einstellungen"));
    auto* pageLayout = new QVBoxLayout(TabSheet2);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->setSpacing(0);

    auto* header = new HeaderBar(QString(), 33, TabSheet2);
    header->setObjectName(QStringLiteral("Panel10"));
    auto* headerLabel = new QLabel(QStringLiteral("Einstellungen - Schriftart und Seitenränder ändern"), header);
    QFont bold = headerLabel->font();
    bold.setBold(true);
    headerLabel->setFont(bold);
    headerLabel->move(16, 10);
    pageLayout->addWidget(header);

    auto* body = new QWidget(TabSheet2);
    pageLayout->addWidget(body, 1);

    auto* panel6 = new QFrame(body);
    panel6->setObjectName(QStringLiteral("Panel6"));
    panel6->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel6->setAutoFillBackground(true);
    QPalette green = panel6->palette();
    green.setColor(QPalette::Window, QColor(192, 220, 192));
    panel6->setPalette(green);
    // Left-aligned: the full height of the page below the header, 209 wide.
    panel6->setFixedWidth(209);
    auto* bodyLayout = new QHBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addWidget(panel6);
    bodyLayout->addStretch(1);
    auto* pictureFrame = new QLabel(panel6);
    pictureFrame->setObjectName(QStringLiteral("Image1"));
    pictureFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pictureFrame->setGeometry(7, 7, 195, 284);
    pictureFrame->setPixmap(QPixmap(QStringLiteral(":/pictures/einstellungen.gif")));
    pictureFrame->setScaledContents(true);
    auto* titlePanel = new QLabel(QStringLiteral("Einstellungen\nändern..."), pictureFrame);
    titlePanel->setObjectName(QStringLiteral("Panel8"));
    titlePanel->setGeometry(8, 8, 177, 73);
    titlePanel->setAutoFillBackground(true);
    QPalette header8 = titlePanel->palette();
    header8.setColor(QPalette::Window, HeaderBar::headerColor());
    header8.setColor(QPalette::WindowText, QColor(128, 0, 0));
    titlePanel->setPalette(header8);
    QFont title(QStringLiteral("Arial Black"));
    title.setPixelSize(19);
    // Where Arial Black is missing, the heaviest weight of the substitute keeps its look.
    title.setWeight(QFont::Black);
    titlePanel->setFont(title);
    titlePanel->setAlignment(Qt::AlignCenter);

    FontBtn = new BitmapButton(body);
    FontBtn->setObjectName(QStringLiteral("FontBtn"));
    FontBtn->setText(QStringLiteral("&Schriftart"));
    FontBtn->setGlyph(QImage(QStringLiteral(":/glyphs/FONTBTN.bmp")));
    FontBtn->setToolTip(QStringLiteral("Schriftart für den Ausdruck ändern...."));
    FontBtn->setGeometry(216, 40 - 33, 113, 25);
    connect(FontBtn, &BitmapButton::activated, this, &MainWindow::FontBtnClick);

    auto margin = [body](const QString& label, const char* name, int y) {
        auto* l = new QLabel(label, body);
        l->move(216, y - 33 + 3);
        // Placed by hand beside the page's layout, so sized to their text here.
        l->adjustSize();
        auto* field = new SpinEdit(body);
        field->setObjectName(QLatin1String(name));
        field->setDecimals(0);
        field->setRange(0, 50);
        field->setIncrement(1);
        field->setValue(15);
        field->setGeometry(296, y - 33, 89, 21);
        l->setBuddy(field);
        auto* unit = new QLabel(QStringLiteral("mm"), body);
        unit->move(392, y - 33 + 3);
        unit->adjustSize();
        return field;
    };
    leftREd = margin(QStringLiteral("Rand links:"), "leftREd", 72);
    TopREd = margin(QStringLiteral("Rand oben::"), "TopREd", 96);
    RightREd = margin(QStringLiteral("Rand rechts:"), "RightREd", 120);
    BottomREd = margin(QStringLiteral("Rand unten:"), "BottomREd", 144);

    setTabOrder(FontBtn, leftREd);
    setTabOrder(leftREd, TopREd);
    setTabOrder(TopREd, RightREd);
    setTabOrder(RightREd, BottomREd);
}

int MainWindow::leftMargin() const
{
    return leftREd->intValue();
}

int MainWindow::topMargin() const
{
    return TopREd->intValue();
}

int MainWindow::rightMargin() const
{
    return RightREd->intValue();
}

int MainWindow::bottomMargin() const
{
    return BottomREd->intValue();
}

void MainWindow::refreshStatusText()
{
    StatusBar1->showMessage(korbana::statusText(m_shopping->count()));
}

void MainWindow::setDocumentName(const QString& path)
{
    m_documentName = path;
    setWindowTitle(QString::fromUtf16(kTitle) + QStringLiteral(" - ")
        + (path.isEmpty() ? QStringLiteral("Kein Name") : fileNamePart(path)));
}

void MainWindow::FormCreate()
{
    if (m_programDir.isEmpty())
        m_programDir = QCoreApplication::applicationDirPath();
    if (!m_programDir.endsWith(u'/'))
        m_programDir += u'/';
    OpenLists(m_programDir + QString::fromUtf16(kDefaultFile));
}

void MainWindow::OpenLists(const QString& path)
{
    const korbana::ListSet lists { m_stores, m_products, m_shopping };
    const korbana::ReadResult result = korbana::readListFile(path, lists);
    if (result != korbana::ReadResult::CannotOpen)
        setDocumentName(path);
    if (result != korbana::ReadResult::Ok)
        m_dialogs.error(this, korbana::messageText(result), korbana::messageTitle(result));
    refreshStatusText();
}

bool MainWindow::SaveLists(const QString& path)
{
    // A name still being typed in a list is saved as the user sees it.
    commitEdits();
    const korbana::ListSet lists { m_stores, m_products, m_shopping };
    const korbana::WriteResult result = korbana::writeListFile(path, lists);
    if (result != korbana::WriteResult::Ok) {
        m_dialogs.error(this, korbana::messageText(result), korbana::messageTitle(result));
        return false;
    }
    setDocumentName(path);
    return true;
}

bool MainWindow::saveStep()
{
    if (!m_documentName.isEmpty())
        return SaveLists(m_documentName);
    const QString path = m_dialogs.chooseFile(this, SaveDialog1);
    if (path.isEmpty())
        return false;
    return SaveLists(path);
}

bool MainWindow::askToSave(const QString& title)
{
    const auto answer = m_dialogs.question(this, QStringLiteral("Wollen Sie die nicht gesicherten Daten speichern?"),
        title, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return saveStep();
    return answer == QMessageBox::No;
}

void MainWindow::Neu1Click()
{
    if (!askToSave(QStringLiteral("Datei: Neu...")))
        return;
    setDocumentName(QString());
    m_stores->clear();
    m_products->clear();
    m_shopping->clear();
    refreshStatusText();
}

void MainWindow::ffnen1Click()
{
    if (!askToSave(QStringLiteral("Datei: Öffnen...")))
        return;
    const QString path = m_dialogs.chooseFile(this, OpenDialog1);
    if (!path.isEmpty())
        OpenLists(path);
}

void MainWindow::Speichern1Click()
{
    if (m_documentName.isEmpty())
        Speichernunter1Click();
    else
        SaveLists(m_documentName);
}

void MainWindow::Speichernunter1Click()
{
    const QString path = m_dialogs.chooseFile(this, SaveDialog1);
    if (!path.isEmpty())
        SaveLists(path);
}

void MainWindow::Beenden1Click()
{
    close();
}

void MainWindow::FormCloseQuery(bool& canClose)
{
    canClose = false;
    canClose = askToSave(QStringLiteral("Datei: Beenden..."));
}

void MainWindow::showEvent(QShowEvent* event)
{
    if (!m_shown) {
        m_shown = true;
        formStorageRestore();
    }
    QMainWindow::showEvent(event);
}

bool MainWindow::event(QEvent* event)
{
    // The status bar shows the status text alone; the menus' empty status tips would blank it.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_closeAllowed) { // the session's end has asked and saved already
        event->accept();
        return;
    }
    bool canClose = false;
    FormCloseQuery(canClose);
    if (!canClose) {
        event->ignore();
        return;
    }
    formStorageSave();
    event->accept();
}

void MainWindow::Hilfe2Click()
{
    m_dialogs.openUrl(m_programDir + QStringLiteral("korbana.chm"));
}

void MainWindow::berdasProgramm1Click()
{
    if (AboutBox)
        m_dialogs.exec(AboutBox);
}
