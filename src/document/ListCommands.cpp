#include "ListCommands.h"

#include <QHash>

#include <utility>

namespace korbana {

namespace StepNames {
QString addStore()
{
    return QStringLiteral("Laden hinzufügen");
}
QString addProduct()
{
    return QStringLiteral("Produkt hinzufügen");
}
QString addShoppingEntry()
{
    return QStringLiteral("Eintrag hinzufügen");
}
QString removeEntry()
{
    return QStringLiteral("Eintrag entfernen");
}
QString clearList()
{
    return QStringLiteral("Liste löschen");
}
QString rename()
{
    return QStringLiteral("Umbenennen");
}
QString editProduct()
{
    return QStringLiteral("Produkt bearbeiten");
}
QString sort()
{
    return QStringLiteral("Sortieren");
}
QString importCsv()
{
    return QStringLiteral("CSV importieren");
}
QString applyRecovery()
{
    return QStringLiteral("Wiederherstellen");
}
QString chooseCheapestShops()
{
    return QStringLiteral("Günstigste Läden wählen");
}
} // namespace StepNames

RenameEntryCommand::RenameEntryCommand(
    ListModel* model, int row, const QString& caption, bool namesNewEntry, QUndoCommand* parent)
    : QUndoCommand(StepNames::rename(), parent)
    , m_model(model)
    , m_row(row)
    , m_caption(ListModel::storable(caption))
    , m_namesNewEntry(namesNewEntry)
{
}

void RenameEntryCommand::swapCaption()
{
    QString shown = m_model->caption(m_row);
    m_model->setCaption(m_row, m_caption);
    m_caption = std::move(shown);
}

void RenameEntryCommand::redo()
{
    swapCaption();
}

void RenameEntryCommand::undo()
{
    swapCaption();
}

AddEntryCommand::AddEntryCommand(ListModel* model, Entry&& entry, const QString& text, QUndoCommand* parent)
    : QUndoCommand(text, parent)
    , m_model(model)
    , m_row(model->count())
    , m_entry(std::move(entry))
{
}

void AddEntryCommand::redo()
{
    m_model->insertAt(m_row, std::move(m_entry));
}

void AddEntryCommand::undo()
{
    m_entry = m_model->takeAt(m_row);
}

bool AddEntryCommand::mergeWith(const QUndoCommand* other)
{
    // The rename is done already and the entry lives in the list: undoing this step takes it out as named.
    const auto* naming = dynamic_cast<const RenameEntryCommand*>(other);
    if (m_named || !naming || !naming->namesNewEntry() || naming->model() != m_model || naming->row() != m_row)
        return false;
    m_named = true;
    return true;
}

RemoveEntryCommand::RemoveEntryCommand(ListModel* model, int row, QUndoCommand* parent)
    : QUndoCommand(StepNames::removeEntry(), parent)
    , m_model(model)
    , m_row(row)
{
}

void RemoveEntryCommand::redo()
{
    m_entry = m_model->takeAt(m_row);
}

void RemoveEntryCommand::undo()
{
    m_model->insertAt(m_row, std::move(m_entry));
}

EditProductCommand::EditProductCommand(
    ListModel* model, int row, const QString& caption, const QString& price, QUndoCommand* parent)
    : QUndoCommand(StepNames::editProduct(), parent)
    , m_model(model)
    , m_row(row)
    , m_other(model->entryAt(row))
{
    m_other.caption = ListModel::storable(caption);
    m_other.subItems[1] = ListModel::storable(price);
}

void EditProductCommand::redo()
{
    m_other = m_model->replaceAt(m_row, std::move(m_other));
}

SetSubItemsCommand::SetSubItemsCommand(
    ListModel* model, int first, int last, SubItemTable&& rows, const QString& text, QUndoCommand* parent)
    : QUndoCommand(text, parent)
    , m_model(model)
    , m_first(first)
    , m_last(last)
    , m_rows(std::move(rows))
{
}

void SetSubItemsCommand::redo()
{
    m_model->swapSubItems(m_first, m_last, m_rows);
}

SetSubItemsCommand* moveToShopsCommand(ListModel* shopping, const ListModel& products, std::deque<ShopMove>&& moves)
{
    // The Shopping list's sub-items: name, shop, price; the catalogue's: shop, price.
    constexpr int kShop = 1;
    constexpr int kPrice = 2;
    // Each move leaves as its row enters the table, so half a million of them are never held twice; once the
    // step is made, only the table stays.
    std::deque<ShopMove> taken = std::move(moves);
    SubItemTable rows;
    // Many entries move to the same catalogue row: one entry of the table for each.
    QHash<int, quint32> known;
    while (!taken.empty()) {
        const ShopMove move = taken.front();
        taken.pop_front();
        auto at = known.constFind(move.product);
        if (at == known.constEnd()) {
            at = known.insert(move.product, static_cast<quint32>(rows.texts.size()));
            auto& texts = rows.texts.emplace_back();
            texts[kShop] = products.subItem(move.product, 0);
            texts[kPrice] = products.subItem(move.product, 1);
        }
        rows.rows.push_back({ move.row, *at });
    }
    return new SetSubItemsCommand(shopping, kShop, kPrice, std::move(rows), StepNames::chooseCheapestShops());
}

ReorderCommand::ReorderCommand(ListModel* model, std::vector<int>&& newOrder, SortState sortedBy, QUndoCommand* parent)
    : QUndoCommand(StepNames::sort(), parent)
    , m_model(model)
    , m_newOrder(std::move(newOrder))
    , m_before(model->sortState())
    , m_after(sortedBy)
{
}

void ReorderCommand::redo()
{
    m_model->applyOrder(m_newOrder);
    m_model->setSortState(m_after);
}

void ReorderCommand::undo()
{
    // The way back is the inverse permutation: row newOrder[i] gets back the entry now at row i.
    std::vector<int> oldOrder(m_newOrder.size());
    for (size_t i = 0; i < m_newOrder.size(); ++i)
        oldOrder[static_cast<size_t>(m_newOrder[i])] = static_cast<int>(i);
    m_model->applyOrder(oldOrder);
    m_model->setSortState(m_before);
}

ReorderCommand* sortByColumnCommand(ListKind kind, ListModel* model, int column)
{
    SortState state = model->sortState();
    state.flipped = column == state.column && !state.flipped;
    state.column = column;
    return new ReorderCommand(model, sortOrder(kind, state.column, state.flipped, *model), state);
}

AppendRowsCommand::AppendRowsCommand(
    ListModel* model, std::vector<Entry>&& rows, const QString& text, QUndoCommand* parent)
    : QUndoCommand(text, parent)
    , m_model(model)
    , m_first(model->count())
    , m_rows(std::move(rows))
{
}

AppendRowsCommand::~AppendRowsCommand()
{
    ListModel::dispose(std::move(m_rows));
}

void AppendRowsCommand::redo()
{
    m_model->appendAll(std::move(m_rows));
    m_rows.clear();
}

void AppendRowsCommand::undo()
{
    m_rows = m_model->takeFrom(m_first);
}

ReplaceRowsCommand::ReplaceRowsCommand(
    ListModel* model, std::vector<Entry>&& rows, const QString& text, QUndoCommand* parent)
    : QUndoCommand(text, parent)
    , m_model(model)
    , m_other(std::move(rows))
{
}

ReplaceRowsCommand::~ReplaceRowsCommand()
{
    ListModel::dispose(std::move(m_other));
}

void ReplaceRowsCommand::redo()
{
    m_other = m_model->replaceAll(std::move(m_other));
}

ReplaceRowsCommand* clearListCommand(ListModel* model, QUndoCommand* parent)
{
    return new ReplaceRowsCommand(model, {}, StepNames::clearList(), parent);
}

QUndoCommand* replaceListsCommand(const ListSet& lists, ListContent&& content, const QString& text)
{
    auto* step = new QUndoCommand(text);
    ListModel* const models[] = { lists.stores, lists.products, lists.shopping };
    for (size_t i = 0; i < content.sections.size(); ++i)
        new ReplaceRowsCommand(models[i], std::move(content.sections[i]), text, step);
    return step;
}

} // namespace korbana
