// The commands that fill, change and sort the three lists.
#include "MainWindow.h"

#include "ProductDialog.h"
#include "SpinEdit.h"
#include "lists/ListModel.h"
#include "lists/ListSort.h"
#include "lists/ListTexts.h"
#include "lists/ListView.h"

#include <QLineEdit>

#include <algorithm>
#include <functional>

namespace {

enum ListIndex { kStores = 0, kProducts = 1, kShopping = 2 };

bool isDeleteKey(int key)
{
    return key == Qt::Key_Delete;
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Appends an entry and opens its caption for editing, so the user types over the default at once.
void appendAndEdit(ListView* view, ListModel* model, const QString& caption, const QStringList& subItems = {})
{
    view->beginEdit(model->append(caption, subItems));
}

void removeSelected(Dialogs& dialogs, QWidget* parent, ListView* view, ListModel* model)
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
    model->deleteAt(row);
    // Keep a selection for the next Delete from the keyboard.
    view->selectRow(std::min(row, model->count() - 1));
}

void clearList(Dialogs& dialogs, QWidget* parent, ListModel* model)
{
    if (dialogs.question(
            parent, QStringLiteral("Wollen Sie die komplette Liste löschen?"), QStringLiteral("Liste löschen"))
        == QMessageBox::Yes)
        model->clear();
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
void sortByColumn(MainWindow::SortState& state, int column, korbana::ListKind kind, ListView* view, ListModel* model)
{
    if (column == state.column) {
        state.flag = !state.flag;
    } else {
        state.column = column;
        state.flag = false;
    }
    // A caption still being typed sorts as what the user sees.
    view->commitEdit();
    view->setUpdatesEnabled(false);
    model->applyOrder(korbana::sortOrder(kind, state.column, state.flag, *model));
    view->setUpdatesEnabled(true);
}

} // namespace

void MainWindow::commitEdits()
{
    for (ListView* view : { ListView1, ListView2, ListView3 })
        view->commitEdit();
}

void MainWindow::PlusLaedenBtnClick()
{
    appendAndEdit(ListView1, m_stores, QStringLiteral("Laden"));
}

void MainWindow::MinusLaedenBtnClick()
{
    removeSelected(m_dialogs, this, ListView1, m_stores);
}

void MainWindow::DelList1Click()
{
    clearList(m_dialogs, this, m_stores);
}

void MainWindow::PlusProdukteBtnClick()
{
    // A shop name still being typed is the one the user sees, so it is the one to copy.
    ListView1->commitEdit();
    const int store = ListView1->selectedRow();
    if (store < 0) {
        m_dialogs.error(
            this, QStringLiteral("Sie haben keinen Laden ausgewählt."), QStringLiteral("Kein Laden ausgewählt"));
        return;
    }
    appendAndEdit(ListView2, m_products, QStringLiteral("Produkt"),
        { m_stores->caption(store), korbana::priceText(PreisED->value()) });
}

void MainWindow::MinusProdukteBtnClick()
{
    removeSelected(m_dialogs, this, ListView2, m_products);
}

void MainWindow::DelList2Click()
{
    clearList(m_dialogs, this, m_products);
}

void MainWindow::PropEdClick()
{
    ListView2->commitEdit();
    const int row = ListView2->selectedRow();
    if (row < 0 || !ArtikelForm)
        return;
    // Both fields are filled every time, so nothing of an earlier edit shows.
    ArtikelForm->Edit1->setText(m_products->caption(row));
    ArtikelForm->Edit2->setText(m_products->subItem(row, 1));
    if (m_dialogs.exec(ArtikelForm) != QDialog::Accepted)
        return;
    m_products->setCaption(row, ArtikelForm->Edit1->text());
    m_products->setSubItem(row, 1, ArtikelForm->Edit2->text());
}

void MainWindow::PlusEinkaufBtnClick()
{
    ListView2->commitEdit();
    const int product = ListView2->selectedRow();
    if (product < 0) {
        m_dialogs.error(
            this, QStringLiteral("Sie haben kein Produkt ausgewählt."), QStringLiteral("Kein Produkt ausgewählt"));
    } else {
        const Entry& source = m_products->entryAt(product);
        appendAndEdit(
            ListView3, m_shopping, QStringLiteral("1"), { source.caption, source.subItems[0], source.subItems[1] });
    }
    refreshStatusText();
}

void MainWindow::MinusEinkaufBtnClick()
{
    removeSelected(m_dialogs, this, ListView3, m_shopping);
    refreshStatusText();
}

void MainWindow::DelList3Click()
{
    clearList(m_dialogs, this, m_shopping);
    refreshStatusText();
}

void MainWindow::ListView1KeyDown(int key)
{
    listKey(key, ListView1, [this] { MinusLaedenBtnClick(); });
}

void MainWindow::ListView2KeyDown(int key)
{
    listKey(key, ListView2, [this] { MinusProdukteBtnClick(); });
}

void MainWindow::ListView3KeyDown(int key)
{
    listKey(key, ListView3, [this] { MinusEinkaufBtnClick(); });
}

void MainWindow::ListView1DblClick()
{
    editSelected(ListView1);
}

void MainWindow::ListView2DblClick()
{
    PlusEinkaufBtnClick();
}

void MainWindow::ListView3DblClick()
{
    editSelected(ListView3);
}

void MainWindow::ListView2Changing()
{
    // Every change of a product row is allowed; nothing to veto.
}

void MainWindow::ListView1ColumnClick(int column)
{
    sortByColumn(m_sort[kStores], column, korbana::ListKind::Stores, ListView1, m_stores);
}

void MainWindow::ListView2ColumnClick(int column)
{
    sortByColumn(m_sort[kProducts], column, korbana::ListKind::Products, ListView2, m_products);
}

void MainWindow::ListView3ColumnClick(int column)
{
    sortByColumn(m_sort[kShopping], column, korbana::ListKind::Shopping, ListView3, m_shopping);
}

int MainWindow::ListView1Compare(const Entry& first, const Entry& second) const
{
    const SortState& s = m_sort[kStores];
    return korbana::compareEntries(korbana::ListKind::Stores, s.column, s.flag, first, second);
}

int MainWindow::ListView2Compare(const Entry& first, const Entry& second) const
{
    const SortState& s = m_sort[kProducts];
    return korbana::compareEntries(korbana::ListKind::Products, s.column, s.flag, first, second);
}

int MainWindow::ListView3Compare(const Entry& first, const Entry& second) const
{
    const SortState& s = m_sort[kShopping];
    return korbana::compareEntries(korbana::ListKind::Shopping, s.column, s.flag, first, second);
}
