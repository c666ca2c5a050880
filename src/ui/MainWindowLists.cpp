// The commands that fill, change and sort the three lists.
#include "MainWindow.h"

#include "ProductDialog.h"
#include "ProductSearch.h"
#include "SpinEdit.h"
#include "StatusBar.h"
#include "controls/Pictures.h"
#include "lists/ListModel.h"
#include "lists/ListSort.h"
#include "lists/ListTexts.h"
#include "lists/ListView.h"
#include "lists/PriceHints.h"

#include <QLineEdit>
#include <QPointer>
#include <QStyle>

#include <algorithm>
#include <functional>

namespace korbana {

namespace {

bool isDeleteKey(int key)
{
    return key == Qt::Key_Delete;
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

void removeSelected(Dialogs& dialogs, QWidget* parent, ListDocument& document, ListView* view, ListKind kind)
{
    const int row = view->selectedRow();
    if (row < 0) {
        dialogs.error(
            parent, QStringLiteral("Sie haben keinen Eintrag ausgewählt."), QStringLiteral("Kein Eintrag ausgewählt"));
        return;
    }
    // The row asked about is removed, even if hovering moved the selection while the question was open.
    if (dialogs.question(parent, QStringLiteral("Wollen Sie den Eintrag löschen?"), QStringLiteral("Eintrag löschen"))
        != QMessageBox::Yes)
        return;
    document.removeEntry(kind, row);
    // Keep a selection for the next Delete from the keyboard.
    view->selectRow(std::min(row, document.list(kind)->count() - 1));
}

void clearList(Dialogs& dialogs, QWidget* parent, ListDocument& document, ListKind kind)
{
    if (dialogs.question(
            parent, QStringLiteral("Wollen Sie die komplette Liste löschen?"), QStringLiteral("Liste löschen"))
        == QMessageBox::Yes)
        document.clearList(kind);
}

void editSelected(ListView* view)
{
    if (view->selectedRow() >= 0)
        view->beginEdit(view->selectedRow());
}

// Delete removes the selected entry, Enter opens its caption; neither while the list's edit box is open,
// since the key then belongs to the box.
void listKey(int key, ListView* view, const std::function<void()>& remove)
{
    if (isDeleteKey(key) && !view->isEditing())
        remove();
    if (isEnterKey(key) && !view->isEditing())
        editSelected(view);
}

} // namespace

void MainWindow::commitEdits()
{
    for (ListView* view : { m_storesView, m_productsView, m_shoppingView })
        view->commitEdit();
}

void MainWindow::addStore()
{
    m_storesView->beginEdit(m_document->addStore());
}

void MainWindow::removeStore()
{
    removeSelected(m_dialogs, this, *m_document, m_storesView, ListKind::Stores);
}

void MainWindow::clearStores()
{
    clearList(m_dialogs, this, *m_document, ListKind::Stores);
}

void MainWindow::addProduct()
{
    const int store = m_storesView->selectedRow();
    if (store < 0) {
        m_dialogs.error(
            this, QStringLiteral("Sie haben keinen Laden ausgewählt."), QStringLiteral("Kein Laden ausgewählt"));
        return;
    }
    // The new row must be visible for its in-place edit.
    m_productSearch->clearSearch();
    m_productsView->beginEdit(m_document->addProduct(store, korbana::priceText(m_priceEdit->value())));
}

void MainWindow::removeProduct()
{
    removeSelected(m_dialogs, this, *m_document, m_productsView, ListKind::Products);
}

void MainWindow::clearProducts()
{
    clearList(m_dialogs, this, *m_document, ListKind::Products);
}

void MainWindow::editProduct()
{
    m_document->collectEdits();
    const int row = m_productsView->selectedRow();
    if (row < 0) {
        m_statusBar->showHint(QStringLiteral("Bitte zuerst ein Produkt auswählen."));
        return;
    }
    if (!m_productDialog)
        return;
    // Both fields are filled every time, so nothing of an earlier edit shows.
    m_productDialog->setProduct(products()->caption(row), products()->subItem(row, 1));
    if (m_dialogs.exec(m_productDialog) != QDialog::Accepted)
        return;
    m_document->editProduct(row, m_productDialog->name(), m_productDialog->price());
}

void MainWindow::addToShoppingList()
{
    const int product = m_productsView->selectedRow();
    if (product < 0) {
        m_dialogs.error(
            this, QStringLiteral("Sie haben kein Produkt ausgewählt."), QStringLiteral("Kein Produkt ausgewählt"));
    } else {
        m_shoppingView->beginEdit(m_document->addToShoppingList(product));
    }
    m_statusBar->showStatusText();
}

void MainWindow::removeFromShoppingList()
{
    removeSelected(m_dialogs, this, *m_document, m_shoppingView, ListKind::Shopping);
    m_statusBar->showStatusText();
}

void MainWindow::clearShoppingList()
{
    clearList(m_dialogs, this, *m_document, ListKind::Shopping);
    m_statusBar->showStatusText();
}

void MainWindow::undo()
{
    m_document->undo();
}

void MainWindow::redo()
{
    m_document->redo();
}

void MainWindow::connectLists()
{
    m_storesView->setListModel(stores());
    m_productsView->setListModel(products());
    m_shoppingView->setListModel(shopping());
    // Shopping entries that another shop sells cheaper show a marker in their price cell.
    m_priceHints
        = new PriceHints(*products(), *shopping(), Pictures::svg(QStringLiteral(":/pictures/guenstiger.svg")), this);
    m_priceHints->setUnreadableMarker(style()->standardIcon(QStyle::SP_MessageBoxWarning));
    connect(m_priceHints, &PriceHints::changed, m_shoppingView->viewport(), qOverload<>(&QWidget::update));

    // Every change and every whole reading of the lists takes what is being typed first.
    connect(document(), &ListDocument::editsWanted, this, &MainWindow::commitEdits);
    // Captions confirmed in an edit box are steps of the undo history.
    for (const ListKind kind : { ListKind::Stores, ListKind::Products, ListKind::Shopping }) {
        ListView* view = listView(kind);
        view->setRenameHandler([document = QPointer(document()), kind](int row, const QString& caption) {
            if (document)
                document->renameEntry(kind, row, caption);
        });
        connect(view, &ListView::editClosed, document(), &ListDocument::endNaming);
    }

    // Delete removes the selected entry; Enter and a double click on a shop or shopping entry open its caption.
    const std::pair<ListView*, void (MainWindow::*)()> removers[] = { { m_storesView, &MainWindow::removeStore },
        { m_productsView, &MainWindow::removeProduct }, { m_shoppingView, &MainWindow::removeFromShoppingList } };
    for (const auto& [view, remove] : removers)
        connect(view, &ListView::keyPressed, this, [this, view = view, remove = remove](int key) {
            listKey(key, view, [this, remove] { (this->*remove)(); });
        });
    connect(m_storesView, &ListView::rowDoubleClicked, this, [this] { editSelected(m_storesView); });
    // A double click on a product puts it on the Shopping list.
    connect(m_productsView, &ListView::rowDoubleClicked, this, &MainWindow::addToShoppingList);
    connect(m_shoppingView, &ListView::rowDoubleClicked, this, [this] { editSelected(m_shoppingView); });

    // A click on a column header sorts by it; the same column again turns the order round.
    for (const ListKind kind : { ListKind::Stores, ListKind::Products, ListKind::Shopping })
        connect(listView(kind), &ListView::headerClicked, this, [this, kind](int column) { sortList(kind, column); });
}

void MainWindow::sortList(ListKind kind, int column)
{
    listView(kind)->setUpdatesEnabled(false);
    m_document->sortByColumn(kind, column);
    listView(kind)->setUpdatesEnabled(true);
}

} // namespace korbana
