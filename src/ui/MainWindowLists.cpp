// The commands that fill, change and sort the three lists.
#include "MainWindow.h"

#include "ProductDialog.h"
#include "ProductSearch.h"
#include "SpinEdit.h"
#include "StatusBar.h"
#include "controls/Pictures.h"
#include "document/ListCommands.h"
#include "lists/ListModel.h"
#include "lists/ListSort.h"
#include "lists/ListTexts.h"
#include "lists/ListView.h"
#include "lists/PriceHints.h"

#include <QLineEdit>
#include <QStyle>
#include <QUndoStack>

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

void removeSelected(Dialogs& dialogs, QWidget* parent, ListDocument& document, ListView* view, ListModel* model)
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
    document.push(new korbana::RemoveEntryCommand(model, row));
    // Keep a selection for the next Delete from the keyboard.
    view->selectRow(std::min(row, model->count() - 1));
}

void clearList(Dialogs& dialogs, QWidget* parent, ListDocument& document, ListModel* model)
{
    if (dialogs.question(
            parent, QStringLiteral("Wollen Sie die komplette Liste löschen?"), QStringLiteral("Liste löschen"))
        == QMessageBox::Yes)
        document.push(korbana::clearListCommand(model));
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

// The same column toggles the direction, another column starts with the flag false.

} // namespace

void MainWindow::commitEdits()
{
    for (ListView* view : { m_storesView, m_productsView, m_shoppingView })
        view->commitEdit();
}

void MainWindow::addEntry(ListView* view, Entry&& entry, const QString& stepName)
{
    // A caption still open in this list is its own step, before the new entry.
    view->commitEdit();
    auto* step = new korbana::AddEntryCommand(view->listModel(), std::move(entry), stepName);
    m_document->push(step);
    // The user types over the default at once; that naming belongs to this step.
    m_namingView = view;
    m_namingRow = step->row();
    view->beginEdit(m_namingRow);
}

void MainWindow::renameEntry(ListView* view, int row, const QString& caption)
{
    ListModel* model = view->listModel();
    // A caption confirmed as it was changes nothing, and is no step to undo.
    if (ListModel::storable(caption) == model->caption(row))
        return;
    const bool namesNewEntry = view == m_namingView && row == m_namingRow;
    m_document->push(new korbana::RenameEntryCommand(model, row, caption, namesNewEntry));
}

void MainWindow::addStore()
{
    addEntry(m_storesView, stores()->makeEntry(QStringLiteral("Laden")), korbana::StepNames::addStore());
}

void MainWindow::removeStore()
{
    removeSelected(m_dialogs, this, *m_document, m_storesView, stores());
}

void MainWindow::clearStores()
{
    clearList(m_dialogs, this, *m_document, stores());
}

void MainWindow::addProduct()
{
    // A shop name still being typed is the one the user sees, so it is the one to copy.
    m_storesView->commitEdit();
    const int store = m_storesView->selectedRow();
    if (store < 0) {
        m_dialogs.error(
            this, QStringLiteral("Sie haben keinen Laden ausgewählt."), QStringLiteral("Kein Laden ausgewählt"));
        return;
    }
    // The new row must be visible for its in-place edit.
    m_productSearch->clearSearch();
    addEntry(m_productsView,
        products()->makeEntry(
            QStringLiteral("Produkt"), { stores()->caption(store), korbana::priceText(m_priceEdit->value()) }),
        korbana::StepNames::addProduct());
}

void MainWindow::removeProduct()
{
    removeSelected(m_dialogs, this, *m_document, m_productsView, products());
}

void MainWindow::clearProducts()
{
    clearList(m_dialogs, this, *m_document, products());
}

void MainWindow::editProduct()
{
    m_productsView->commitEdit();
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
    m_document->push(
        new korbana::EditProductCommand(products(), row, m_productDialog->name(), m_productDialog->price()));
}

void MainWindow::addToShoppingList()
{
    m_productsView->commitEdit();
    const int product = m_productsView->selectedRow();
    if (product < 0) {
        m_dialogs.error(
            this, QStringLiteral("Sie haben kein Produkt ausgewählt."), QStringLiteral("Kein Produkt ausgewählt"));
    } else {
        const Entry& source = products()->entryAt(product);
        addEntry(m_shoppingView,
            shopping()->makeEntry(QStringLiteral("1"), { source.caption, source.subItems[0], source.subItems[1] }),
            korbana::StepNames::addShoppingEntry());
    }
    m_statusBar->showStatusText();
}

void MainWindow::removeFromShoppingList()
{
    removeSelected(m_dialogs, this, *m_document, m_shoppingView, shopping());
    m_statusBar->showStatusText();
}

void MainWindow::clearShoppingList()
{
    clearList(m_dialogs, this, *m_document, shopping());
    m_statusBar->showStatusText();
}

void MainWindow::undo()
{
    // A caption still open is a step of its own, and it is the one undone.
    commitEdits();
    m_document->undo();
}

void MainWindow::redo()
{
    commitEdits();
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

    // Captions confirmed in an edit box are steps of the undo history.
    for (ListView* view : { m_storesView, m_productsView, m_shoppingView }) {
        view->setRenameHandler([this, view](int row, const QString& caption) { renameEntry(view, row, caption); });
        connect(view, &ListView::editClosed, this, [this] { m_namingView = nullptr; });
    }

    // Delete removes the selected entry; Enter and a double click on a shop or shopping entry open its caption.
    const std::pair<ListView*, void (MainWindow::*)()> removers[] = { { m_storesView, &MainWindow::removeStore },
        { m_productsView, &MainWindow::removeProduct }, { m_shoppingView, &MainWindow::removeFromShoppingList } };
    for (const auto& [view, remove] : removers)
        connect(view, &ListView::keyDown, this, [this, view = view, remove = remove](int key) {
            listKey(key, view, [this, remove] { (this->*remove)(); });
        });
    connect(m_storesView, &ListView::dblClick, this, [this] { editSelected(m_storesView); });
    // A double click on a product puts it on the Shopping list.
    connect(m_productsView, &ListView::dblClick, this, &MainWindow::addToShoppingList);
    connect(m_shoppingView, &ListView::dblClick, this, [this] { editSelected(m_shoppingView); });

    // A click on a column header sorts by it; the same column again turns the order round.
    for (const List list : { Stores, Products, Shopping })
        connect(listView(list), &ListView::columnClick, this, [this, list](int column) { sortList(list, column); });
}

void MainWindow::sortList(List list, int column)
{
    static constexpr korbana::ListKind kinds[]
        = { korbana::ListKind::Stores, korbana::ListKind::Products, korbana::ListKind::Shopping };
    ListModel* const models[] = { stores(), products(), shopping() };
    // A caption still being typed sorts as what the user sees.
    listView(list)->commitEdit();
    listView(list)->setUpdatesEnabled(false);
    m_document->push(korbana::sortByColumnCommand(kinds[list], models[list], column));
    listView(list)->setUpdatesEnabled(true);
}

} // namespace korbana
