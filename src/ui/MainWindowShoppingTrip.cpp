// The shopping trip: the running total in the status bar, the lists as text on the clipboard, the printout's
// tick boxes and shop groups, and the search in the Product catalogue.
#include "MainWindow.h"

#include "SidePanel.h"
#include "controls/BitmapButton.h"
#include "lists/ListModel.h"
#include "lists/ListView.h"
#include "lists/ProductFilter.h"
#include "print/ShoppingPrintout.h"
#include "print/ShoppingText.h"
#include "print/ShoppingTotal.h"
#include "settings/SettingsStore.h"
#include "settings/StoredNames.h"
#include "settings/WindowStateStore.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace korbana {

namespace {

// Typing into the search waits this long for the next key before a long catalogue is filtered.
constexpr int kSearchPauseMs = 150;
// Up to this many products every key filters at once.
constexpr int kInstantSearchRows = 20000;

// A shortcut that acts only while the widget itself has the focus, so an open edit box keeps its own Ctrl+C.
QAction* widgetShortcut(QWidget* widget, const QKeySequence& keys, const QString& text, const char* name)
{
    auto* action = new QAction(text, widget);
    action->setObjectName(QLatin1String(name));
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetShortcut);
    widget->addAction(action);
    return action;
}

void copyText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

} // namespace

void MainWindow::buildShoppingTrip()
{
    m_shoppingTotal = new ShoppingTotal(*shopping(), this);
    m_shoppingTotalLabel = new QLabel(statusBar());
    m_shoppingTotalLabel->setObjectName(QStringLiteral("shoppingTotalLabel"));
    statusBar()->addPermanentWidget(m_shoppingTotalLabel);
    // Not through the window: an edit box closing while the window goes still changes the list.
    const auto showTotal = [label = m_shoppingTotalLabel, total = m_shoppingTotal] { label->setText(total->text()); };
    connect(m_shoppingTotal, &ShoppingTotal::changed, m_shoppingTotalLabel, showTotal);
    showTotal();

    QAction* copyList = widgetShortcut(
        m_shoppingView, QKeySequence::Copy, QStringLiteral("Als Text kopieren"), "copyShoppingListAction");
    connect(copyList, &QAction::triggered, this, &MainWindow::copyShoppingListAsText);
    m_shoppingView->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(widgetShortcut(m_storesView, QKeySequence::Copy, QStringLiteral("Kopieren"), "copyStoreAction"),
        &QAction::triggered, this, &MainWindow::copySelectedStore);
    connect(widgetShortcut(m_productsView, QKeySequence::Copy, QStringLiteral("Kopieren"), "copyProductAction"),
        &QAction::triggered, this, &MainWindow::copySelectedProduct);

    buildProductSearch();
    buildPrintOptions();
}

QString MainWindow::shoppingTotalText() const
{
    return m_shoppingTotal->text();
}

void MainWindow::copyShoppingListAsText()
{
    m_shoppingView->commitEdit();
    copyText(korbana::shoppingListText(*shopping()));
}

void MainWindow::copySelectedStore()
{
    if (const int row = m_storesView->selectedRow(); row >= 0)
        copyText(korbana::rowText(*stores(), row));
}

void MainWindow::copySelectedProduct()
{
    if (const int row = m_productsView->selectedRow(); row >= 0)
        copyText(korbana::rowText(*products(), row));
}

void MainWindow::buildProductSearch()
{
    m_productFilter = new ProductFilter(this);
    m_productFilter->setSourceModel(products());

    m_productSearchEdit = new QLineEdit(m_productsPanel);
    m_productSearchEdit->setObjectName(QStringLiteral("productSearchEdit"));
    m_productSearchEdit->setPlaceholderText(QStringLiteral("Suchen…"));
    m_productSearchEdit->setAccessibleName(QStringLiteral("Produkte suchen"));
    m_productSearchEdit->setClearButtonEnabled(true);
    // Tab reaches it just before the list it filters.
    setTabOrder(m_currencyEdit, m_productSearchEdit);
    setTabOrder(m_productSearchEdit, m_productsView);
    // Between the button strip and the list.
    auto* column = static_cast<QVBoxLayout*>(m_productsPanel->layout());
    column->insertWidget(column->indexOf(m_productsView), m_productSearchEdit);

    m_productSearchTimer = new QTimer(this);
    m_productSearchTimer->setSingleShot(true);
    m_productSearchTimer->setInterval(kSearchPauseMs);
    connect(m_productSearchTimer, &QTimer::timeout, this, &MainWindow::applyProductSearch);
    connect(m_productSearchEdit, &QLineEdit::textEdited, this, [this] {
        if (products()->count() <= kInstantSearchRows)
            applyProductSearch();
        else
            m_productSearchTimer->start();
    });
    connect(widgetShortcut(m_productSearchEdit, Qt::Key_Escape, QString(), "clearSearchAction"), &QAction::triggered,
        this, &MainWindow::clearProductSearch);

    auto* find = new QAction(this);
    find->setObjectName(QStringLiteral("findProductAction"));
    find->setShortcut(QKeySequence::Find);
    addAction(find);
    connect(find, &QAction::triggered, this, &MainWindow::focusProductSearch);
}

void MainWindow::focusProductSearch()
{
    m_pages->setCurrentIndex(0);
    m_productSearchEdit->setFocus(Qt::ShortcutFocusReason);
    m_productSearchEdit->selectAll();
}

void MainWindow::applyProductSearch()
{
    m_productSearchTimer->stop();
    const QString text = m_productSearchEdit->text();
    m_productFilter->setSearchText(text);
    // Without a search the list shows its model directly, so nothing stands between it and a long list.
    m_productsView->setRowFilter(text.isEmpty() ? nullptr : m_productFilter);
}

void MainWindow::clearProductSearch()
{
    m_productSearchEdit->clear();
    applyProductSearch();
}

void MainWindow::buildPrintOptions()
{
    // Below the margins, at the font button's left edge.
    QWidget* body = m_settingsPage->body();
    auto* group = new QGroupBox(QStringLiteral("Ausdruck"), body);
    group->setObjectName(QStringLiteral("printOptionsGroup"));
    auto* layout = new QVBoxLayout(group);
    m_tickBoxesCheck = new QCheckBox(QStringLiteral("&Kästchen zum Abhaken"), group);
    m_tickBoxesCheck->setObjectName(QStringLiteral("tickBoxesCheck"));
    m_groupByShopCheck = new QCheckBox(QStringLiteral("Nach &Läden gruppieren"), group);
    m_groupByShopCheck->setObjectName(QStringLiteral("groupByShopCheck"));
    for (QCheckBox* check : { m_tickBoxesCheck, m_groupByShopCheck }) {
        // Outside the Tab chain of the settings page: the mouse or the Alt letter reaches them.
        check->setFocusPolicy(Qt::ClickFocus);
        layout->addWidget(check);
    }
    // The settings page's placement keeps it below the margins.
    group->move(216, 176 - 33);
    group->adjustSize();

    using namespace StoredNames;
    const QString section = QString::fromUtf16(kPrintOptionsSection);
    m_windowState->setFurtherValues(
        [this, section](korbana::SettingsStore& store) {
            m_tickBoxesCheck->setChecked(store.readInteger(section, QString::fromUtf16(kTickBoxes), 0) != 0);
            m_groupByShopCheck->setChecked(store.readInteger(section, QString::fromUtf16(kGroupByShop), 0) != 0);
        },
        [this, section](korbana::SettingsStore& store) {
            store.writeBool(section, QString::fromUtf16(kTickBoxes), m_tickBoxesCheck->isChecked());
            store.writeBool(section, QString::fromUtf16(kGroupByShop), m_groupByShopCheck->isChecked());
        });
}

PrintOptions MainWindow::printOptions() const
{
    return { m_tickBoxesCheck->isChecked(), m_groupByShopCheck->isChecked() };
}

} // namespace korbana
