#pragma once

#include "document/ListFile.h"
#include "lists/ListModel.h"
#include "lists/ListSort.h"
#include "lists/PriceComparison.h"

#include <QUndoCommand>

#include <deque>
#include <vector>

namespace korbana {

// The steps of the undo history, one class per kind of change to a list. Each keeps only what it needs to go
// back and forth: entries move between the list and the step, a new order is kept as the permutation, and no text
// is ever copied (a list's texts are implicitly shared).

// The names of the steps, as the Edit menu shows them after "Rückgängig:" and "Wiederholen:".
namespace StepNames {
QString addStore();
QString addProduct();
QString addShoppingEntry();
QString removeEntry();
QString clearList();
QString rename();
QString editProduct();
QString sort();
QString importCsv();
QString applyRecovery();
QString chooseCheapestShops();
} // namespace StepNames

// An added entry and the naming of it in its edit box that follows are one step.
enum CommandId { kEntryTextCommand = 1 };

// Renames an entry in place (its caption).
class RenameEntryCommand final : public QUndoCommand
{
public:
    // namesNewEntry: the caption is typed into the edit box that adding the entry opened.
    RenameEntryCommand(
        ListModel* model, int row, const QString& caption, bool namesNewEntry = false, QUndoCommand* parent = nullptr);

    void redo() override;
    void undo() override;
    int id() const override { return kEntryTextCommand; }

    const ListModel* model() const { return m_model; }
    int row() const { return m_row; }
    bool namesNewEntry() const { return m_namesNewEntry; }
    const QString& caption() const { return m_caption; }

private:
    void swapCaption();

    ListModel* m_model;
    int m_row;
    QString m_caption; // the caption the step does not show: the new one before redo, the old one after
    bool m_namesNewEntry;
};

// Adds an entry at the end of a list; the entry's naming right after is merged into it.
class AddEntryCommand final : public QUndoCommand
{
public:
    AddEntryCommand(ListModel* model, Entry&& entry, const QString& text, QUndoCommand* parent = nullptr);

    void redo() override;
    void undo() override;
    int id() const override { return kEntryTextCommand; }
    bool mergeWith(const QUndoCommand* other) override;

    // The new entry's row, for its edit box.
    int row() const { return m_row; }

private:
    ListModel* m_model;
    int m_row = -1;
    Entry m_entry; // held here while undone
    bool m_named = false;
};

// Removes one entry.
class RemoveEntryCommand final : public QUndoCommand
{
public:
    RemoveEntryCommand(ListModel* model, int row, QUndoCommand* parent = nullptr);

    void redo() override;
    void undo() override;

private:
    ListModel* m_model;
    int m_row;
    Entry m_entry; // held here while removed
};

// Sets a product's caption and price text (sub-item 1) as the product dialog gives them.
class EditProductCommand final : public QUndoCommand
{
public:
    EditProductCommand(
        ListModel* model, int row, const QString& caption, const QString& price, QUndoCommand* parent = nullptr);

    void redo() override;
    void undo() override { redo(); }

private:
    ListModel* m_model;
    int m_row;
    Entry m_other; // the entry the list does not show
};

// Sets sub-items first to last of many rows as one step (the entries moved to their cheapest shops). The texts the
// list does not show wait here; they are the list's own shared strings, never copies.
class SetSubItemsCommand final : public QUndoCommand
{
public:
    SetSubItemsCommand(ListModel* model, int first, int last, SubItemTable&& rows, const QString& text,
        QUndoCommand* parent = nullptr);

    void redo() override;
    void undo() override { redo(); }

private:
    ListModel* m_model;
    int m_first;
    int m_last;
    SubItemTable m_rows;
};

// Moves Shopping list entries to other shops as one step: each gets the shop and price text of its catalogue row,
// its quantity stays.
SetSubItemsCommand* moveToShopsCommand(ListModel* shopping, const ListModel& products, std::deque<ShopMove>&& moves);

// Puts a list in a new order, sorted as sortedBy says; undoing puts back the order and the sort state before. Only
// the permutation is kept.
class ReorderCommand final : public QUndoCommand
{
public:
    // newOrder[i] is the row that becomes row i.
    ReorderCommand(ListModel* model, std::vector<int>&& newOrder, SortState sortedBy, QUndoCommand* parent = nullptr);

    void redo() override;
    void undo() override;

private:
    ListModel* m_model;
    std::vector<int> m_newOrder;
    SortState m_before;
    SortState m_after;
};

// A click on a column's header: the same column as last time turns the order round, another column starts
// unturned.
ReorderCommand* sortByColumnCommand(ListKind kind, ListModel* model, int column);

// Appends many rows at once (an import); undoing takes them out again.
class AppendRowsCommand final : public QUndoCommand
{
public:
    AppendRowsCommand(ListModel* model, std::vector<Entry>&& rows, const QString& text, QUndoCommand* parent = nullptr);
    ~AppendRowsCommand() override;
    Q_DISABLE_COPY_MOVE(AppendRowsCommand)

    void redo() override;
    void undo() override;

private:
    ListModel* m_model;
    int m_first;
    std::vector<Entry> m_rows; // held here while undone
};

// Replaces all rows of a list at once: clearing it, an import, a recovery. The rows not shown wait here.
class ReplaceRowsCommand final : public QUndoCommand
{
public:
    ReplaceRowsCommand(
        ListModel* model, std::vector<Entry>&& rows, const QString& text, QUndoCommand* parent = nullptr);
    ~ReplaceRowsCommand() override;
    Q_DISABLE_COPY_MOVE(ReplaceRowsCommand)

    void redo() override;
    void undo() override { redo(); }

private:
    ListModel* m_model;
    std::vector<Entry> m_other;
};

// Clears a list: a whole list is one step.
ReplaceRowsCommand* clearListCommand(ListModel* model, QUndoCommand* parent = nullptr);

// Replaces the rows of all three lists as one step (a recovery copy applied).
QUndoCommand* replaceListsCommand(const ListSet& lists, ListContent&& content, const QString& text);

} // namespace korbana
