// The commands of the weekly routine: ticking off in the shop, the walk through it and the staples. Each is a
// method of the document that builds its own step of the history.
#include "ListCommands.h"
#include "ListDocument.h"
#include "QuickAdd.h"
#include "ShopWalk.h"
#include "ShoppingTicks.h"
#include "Staples.h"
#include "lists/ListTexts.h"

#include <QFont>
#include <QHash>
#include <QUndoCommand>

#include <algorithm>
#include <numeric>
#include <optional>

namespace korbana {

namespace {

// The names of the steps, as the Edit menu shows them after "Rückgängig:" and "Wiederholen:".
namespace RoutineSteps {
QString tick()
{
    return QStringLiteral("Abhaken");
}
QString untick()
{
    return QStringLiteral("Häkchen entfernen");
}
QString removeTicked()
{
    return QStringLiteral("Erledigte entfernen");
}
QString orderByWalk()
{
    return QStringLiteral("Nach Laufweg ordnen");
}
QString moveInWalk()
{
    return QStringLiteral("Laufweg ändern");
}
QString staple()
{
    return QStringLiteral("Stammartikel");
}
QString addStaples()
{
    return QStringLiteral("Stammartikel eintragen");
}
QString quickAdd()
{
    return QStringLiteral("Schnell eintragen");
}
} // namespace RoutineSteps

// Where each product was last bought: "bought" records (name, shop), made when ticked entries are removed.
constexpr QStringView kBoughtKind = u"bought";

// The records of where the entries were bought, the newest shop for each name.
QList<ListExtras::Record> boughtRecords(const QList<ListExtras::Record>& before, const std::vector<Entry>& bought)
{
    QHash<QString, QString> shops;
    for (const Entry& entry : bought)
        shops.insert(entry.subItems[0], entry.subItems[1]);
    QList<ListExtras::Record> records;
    for (const ListExtras::Record& record : before) {
        if (record.fields.isEmpty() || !shops.contains(record.fields.first()))
            records.append(record);
    }
    for (auto it = shops.cbegin(); it != shops.cend(); ++it)
        records.append({ kBoughtKind.toString(), { it.key(), it.value() } });
    return records;
}

// Of several products of that name, the one at the shop where it was last bought, else the cheapest.
int chooseProduct(const ListModel& products, const std::vector<int>& rows, const QList<ListExtras::Record>& bought)
{
    for (const ListExtras::Record& record : bought) {
        if (record.fields.size() < 2)
            continue;
        for (const int row : rows) {
            if (products.caption(row) == record.fields[0] && products.subItem(row, 0) == record.fields[1])
                return row;
        }
    }
    int cheapest = rows.front();
    std::optional<double> lowest;
    for (const int row : rows) {
        const std::optional<double> price = readNumber(leadingAmount(products.subItem(row, 1)));
        if (price && (!lowest || *price < *lowest)) {
            lowest = price;
            cheapest = row;
        }
    }
    return cheapest;
}

} // namespace

bool changesTexts(const QList<int>& roles)
{
    return roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole);
}

void ListDocument::setUpRoutine()
{
    m_ticks = std::make_unique<ShoppingTicks>(*m_shopping);
    m_shopping->setTickBoxes(
        [this](int row) { return m_ticks->isTicked(row); }, [this](int row, bool ticked) { setTicked(row, ticked); });
    const auto rowsChanged = [this] {
        m_ticks->invalidate();
        Q_EMIT ticksChanged();
    };
    connect(m_shopping, &QAbstractItemModel::dataChanged, this,
        [rowsChanged](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
            if (changesTexts(roles))
                rowsChanged();
        });
    connect(m_shopping, &QAbstractItemModel::rowsInserted, this, rowsChanged);
    connect(m_shopping, &QAbstractItemModel::rowsRemoved, this, rowsChanged);
    connect(m_shopping, &QAbstractItemModel::rowsMoved, this, rowsChanged);
    connect(m_shopping, &QAbstractItemModel::modelReset, this, rowsChanged);
    connect(m_shopping, &QAbstractItemModel::layoutChanged, this, rowsChanged);
    m_productNames = std::make_unique<ProductNames>(*m_products);
    const auto catalogueChanged = [this] { m_productNames->invalidate(); };
    connect(m_products, &QAbstractItemModel::dataChanged, this, catalogueChanged);
    connect(m_products, &QAbstractItemModel::rowsInserted, this, catalogueChanged);
    connect(m_products, &QAbstractItemModel::rowsRemoved, this, catalogueChanged);
    connect(m_products, &QAbstractItemModel::modelReset, this, catalogueChanged);
    m_staples = std::make_unique<Staples>();
    // Staples stand out in the catalogue, with their usual quantity in the tip.
    m_products->setCellHints(0, [this](int row, int role) -> QVariant {
        if (m_staples->isEmpty() || (role != Qt::FontRole && role != Qt::ToolTipRole))
            return {};
        const QString quantity = m_staples->quantityOf(*m_products, row);
        if (quantity.isEmpty())
            return {};
        if (role == Qt::ToolTipRole)
            return QString(QStringLiteral("Stammartikel, üblich: ") + quantity);
        QFont bold;
        bold.setBold(true);
        return bold;
    });
    connect(this, &ListDocument::extrasChanged, this, &ListDocument::takeExtras);
}

void ListDocument::takeExtras()
{
    m_staples->setRecords(m_extras->records(Staples::kKind));
    const std::vector<int> before = m_ticks->tickedRows();
    m_ticks->setRecords(m_extras->records(ShoppingTicks::kKind));
    const std::vector<int> after = m_ticks->tickedRows();
    if (before == after)
        return;
    std::vector<int> changed;
    std::set_symmetric_difference(
        before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(changed));
    // Row by row for a few, one range for many: each range is read again by whoever follows the list.
    if (changed.size() <= 64) {
        for (const int row : changed)
            m_shopping->ticksChanged(row, row);
    } else {
        m_shopping->ticksChanged(changed.front(), changed.back());
    }
    Q_EMIT ticksChanged();
}

bool ListDocument::isTicked(int shoppingRow) const
{
    return m_ticks->isTicked(shoppingRow);
}

int ListDocument::tickedCount() const
{
    return m_ticks->tickedCount();
}

void ListDocument::setTicked(int shoppingRow, bool ticked)
{
    if (shoppingRow < 0 || shoppingRow >= m_shopping->count() || m_ticks->isTicked(shoppingRow) == ticked)
        return;
    collectEdits();
    changeExtraRecords(ShoppingTicks::kKind.toString(), m_ticks->recordsWith(shoppingRow, ticked),
        ticked ? RoutineSteps::tick() : RoutineSteps::untick());
}

int ListDocument::removeTicked()
{
    collectEdits();
    const std::vector<int> ticked = m_ticks->tickedRows();
    if (ticked.empty())
        return 0;
    std::vector<Entry> kept;
    std::vector<Entry> bought;
    kept.reserve(ListModel::capacityFor(static_cast<size_t>(m_shopping->count()) - ticked.size()));
    bought.reserve(ticked.size());
    auto next = ticked.begin();
    for (int row = 0; row < m_shopping->count(); ++row) {
        if (next != ticked.end() && *next == row) {
            ++next;
            bought.push_back(m_shopping->entryAt(row));
        } else {
            kept.push_back(m_shopping->entryAt(row));
        }
    }
    auto* step = new QUndoCommand(RoutineSteps::removeTicked());
    // The ticks of the entries that go go with them, before the rows (which then need no look for ticks); undone,
    // both come back.
    ListExtras after = *m_extras;
    after.setRecords(ShoppingTicks::kKind.toString(), {});
    // Ticked off in the shop is bought there: quick add takes that shop next time.
    after.setRecords(kBoughtKind.toString(), boughtRecords(m_extras->records(kBoughtKind), bought));
    extrasStep(std::move(after), step);
    new ReplaceRowsCommand(m_shopping, std::move(kept), step->text(), step);
    push(step);
    return static_cast<int>(ticked.size());
}

QString ListDocument::stapleQuantity(int productRow) const
{
    return m_staples->quantityOf(*m_products, productRow);
}

void ListDocument::setStaple(int productRow, const QString& quantity)
{
    if (productRow < 0 || productRow >= m_products->count())
        return;
    collectEdits();
    changeExtraRecords(
        Staples::kKind.toString(), m_staples->recordsWith(*m_products, productRow, quantity), RoutineSteps::staple());
}

int ListDocument::addStaples()
{
    collectEdits();
    std::vector<Entry> added = m_staples->missingFrom(*m_shopping, *m_products);
    if (added.empty())
        return 0;
    const int count = static_cast<int>(added.size());
    push(new AppendRowsCommand(m_shopping, std::move(added), RoutineSteps::addStaples()));
    return count;
}

QStringList ListDocument::quickAddSuggestions(const QString& line, int limit) const
{
    return m_productNames->suggestions(QuickAdd::parse(line).name, limit);
}

ListDocument::QuickAddResult ListDocument::quickAdd(
    const QString& line, const QString& shopForNew, const QString& priceForNew)
{
    collectEdits();
    const QuickAdd::Line parsed = QuickAdd::parse(ListModel::storable(line));
    if (parsed.name.isEmpty())
        return QuickAddResult::Nothing;
    const std::vector<int> rows = m_productNames->rowsNamed(parsed.name);
    if (!rows.empty()) {
        const Entry& product = m_products->entryAt(chooseProduct(*m_products, rows, m_extras->records(kBoughtKind)));
        push(new AddEntryCommand(m_shopping,
            m_shopping->makeEntry(parsed.quantity, { product.caption, product.subItems[0], product.subItems[1] }),
            RoutineSteps::quickAdd()));
        return QuickAddResult::Added;
    }
    if (shopForNew.isEmpty())
        return QuickAddResult::NeedsShop;
    auto* step = new QUndoCommand(RoutineSteps::quickAdd());
    new AddEntryCommand(
        m_products, m_products->makeEntry(parsed.name, { shopForNew, priceForNew }), step->text(), step);
    new AddEntryCommand(m_shopping, m_shopping->makeEntry(parsed.quantity, { parsed.name, shopForNew, priceForNew }),
        step->text(), step);
    push(step);
    return QuickAddResult::AddedNewProduct;
}

std::vector<int> ListDocument::walkOrder() const
{
    return ShopWalk::shoppingOrder(*m_shopping, *m_stores, m_extras->records(ShopWalk::kKind));
}

bool ListDocument::orderShoppingByWalk()
{
    collectEdits();
    std::vector<int> order = walkOrder();
    if (std::is_sorted(order.begin(), order.end()))
        return false;
    auto* step = new QUndoCommand(RoutineSteps::orderByWalk());
    // Ordered by no column: the next click on any header sorts from the start.
    new ReorderCommand(m_shopping, std::move(order), SortState { -1, false }, step);
    push(step);
    return true;
}

bool ListDocument::moveInWalk(int productRow, int step)
{
    collectEdits();
    const QList<ListExtras::Record> walks = m_extras->records(ShopWalk::kKind);
    const std::optional<ShopWalk::WalkMove> move = ShopWalk::moveInWalk(*m_products, walks, productRow, step);
    if (!move)
        return false;
    auto* command = new QUndoCommand(RoutineSteps::moveInWalk());
    if (move->otherRow != productRow) {
        std::vector<int> order(static_cast<size_t>(m_products->count()));
        std::iota(order.begin(), order.end(), 0);
        std::swap(order[static_cast<size_t>(productRow)], order[static_cast<size_t>(move->otherRow)]);
        new ReorderCommand(m_products, std::move(order), SortState { -1, false }, command);
    }
    ListExtras after = *m_extras;
    after.setRecords(ShopWalk::kKind.toString(), ShopWalk::withWalk(walks, move->shop, move->walk));
    extrasStep(std::move(after), command);
    push(command);
    return true;
}

} // namespace korbana
