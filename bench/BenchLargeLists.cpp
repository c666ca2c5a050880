// What a user feels with a million entries: a header click, the first add after loading, "Liste löschen" and its
// undo, the undo of a sort, and "Beenden" with "Ja" (save, sync to the disk, leave the lists to the process's end).
// Wall-clock time with a real view over the lists, each beside the least work the same step needs.
#include "BenchFixture.h"

#include "document/ListCommands.h"
#include "document/ListFile.h"
#include "lists/ListSort.h"
#include "lists/ListView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTableView>
#include <QUndoStack>

#include <array>
#include <chrono>
#include <iterator>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

using namespace korbana;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPrice = 2;

int entries(const benchmark::State& state)
{
    return static_cast<int>(state.range(0));
}

void showView(QAbstractItemView& view)
{
    view.resize(400, 600);
    view.show();
    QApplication::processEvents();
}

// The lists loaded from the fixture's file, the product catalogue shown in the program's list view.
struct LoadedLists
{
    sample::Lists lists;
    ListView view;
    // Its steps point into the lists, so it goes first.
    QUndoStack history;

    explicit LoadedLists(int count)
    {
        if (korbana::readListFile(bench::fixture(count).path, lists.set()) != korbana::ReadResult::Ok)
            qFatal("the benchmark's list file did not load");
        view.setListModel(lists.products.get());
        showView(view);
    }
};

// The least a table model can do: rows of three texts in a vector with room to grow.
class PlainTable final : public QAbstractTableModel
{
public:
    explicit PlainTable(const ListModel& from)
    {
        m_rows.reserve(ListModel::capacityFor(static_cast<size_t>(from.count())));
        for (int row = 0; row < from.count(); ++row) {
            const Entry& e = from.entryAt(row);
            m_rows.push_back({ e.caption, e.subItems[0], e.subItems[1] });
        }
    }
    void append(const std::array<QString, 3>& row)
    {
        beginInsertRows({}, rowCount(), rowCount());
        m_rows.push_back(row);
        endInsertRows();
    }
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        return m_rows[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())];
    }

private:
    std::vector<std::array<QString, 3>> m_rows;
};

// Times a step with the events it causes, until the view is idle again.
template<class Step> double timed(Step step)
{
    const auto start = Clock::now();
    step();
    QApplication::processEvents();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs step on freshly loaded lists, after prepare (not timed).
template<class Step, class Prepare = void (*)(LoadedLists&)>
void timeOnLoadedLists(
    benchmark::State& state, Step step, Prepare prepare = [](LoadedLists&) {})
{
    for (auto _ : state) {
        auto loaded = std::make_unique<LoadedLists>(entries(state));
        prepare(*loaded);
        QApplication::processEvents();
        state.SetIterationTime(timed([&] { step(*loaded); }));
    }
}

void clearProducts(LoadedLists& loaded)
{
    loaded.history.push(korbana::clearListCommand(loaded.lists.products.get()));
}

void undo(LoadedLists& loaded)
{
    loaded.history.undo();
}

// "Liste löschen" on the catalogue, a step of the history: the rows move into it whole.
void clearKorbana(benchmark::State& state)
{
    timeOnLoadedLists(state, clearProducts);
}

// The list emptied with no way back: every entry freed.
void clearBaseline(benchmark::State& state)
{
    timeOnLoadedLists(state, [](LoadedLists& loaded) { loaded.lists.products->clear(); });
}

void clearUndoKorbana(benchmark::State& state)
{
    timeOnLoadedLists(state, undo, clearProducts);
}

// The same rows put back into the emptied list in one go, as loading does.
void clearUndoBaseline(benchmark::State& state)
{
    for (auto _ : state) {
        LoadedLists loaded(entries(state));
        std::vector<Entry> rows = loaded.lists.products->replaceAll({});
        QApplication::processEvents();
        state.SetIterationTime(timed([&] { loaded.lists.products->appendAll(std::move(rows)); }));
    }
}

void sortByPrice(LoadedLists& loaded)
{
    // As a click on the header does it: a step that also keeps the sort state before.
    loaded.history.push(korbana::sortByColumnCommand(korbana::ListKind::Products, loaded.lists.products.get(), kPrice));
}

// The undo of a click on "Preis", beside the click itself.
void sortUndoKorbana(benchmark::State& state)
{
    timeOnLoadedLists(state, undo, sortByPrice);
}

void sortUndoBaseline(benchmark::State& state)
{
    timeOnLoadedLists(state, sortByPrice);
}

void headerClickKorbana(benchmark::State& state)
{
    timeOnLoadedLists(state, [](LoadedLists& loaded) {
        ListModel& products = *loaded.lists.products;
        products.applyOrder(korbana::sortOrder(korbana::ListKind::Products, kPrice, false, products));
    });
}

// The view taking in a new order that changes nothing: what any reordering costs the view itself.
void headerClickBaseline(benchmark::State& state)
{
    timeOnLoadedLists(state, [](LoadedLists& loaded) {
        ListModel& products = *loaded.lists.products;
        Q_EMIT products.layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        Q_EMIT products.layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    });
}

void firstAddKorbana(benchmark::State& state)
{
    timeOnLoadedLists(state, [](LoadedLists& loaded) {
        loaded.lists.products->append(
            QStringLiteral("Produkt"), { QStringLiteral("Kiosk"), QStringLiteral("1,99 EUR") });
    });
}

// The same row added to a plain table of the same rows in a plain table view.
void firstAddBaseline(benchmark::State& state)
{
    const LoadedLists loaded(entries(state));
    for (auto _ : state) {
        PlainTable table(*loaded.lists.products);
        QTableView view;
        view.verticalHeader()->hide();
        view.setModel(&table);
        showView(view);
        state.SetIterationTime(timed([&] {
            table.append({ QStringLiteral("Produkt"), QStringLiteral("Kiosk"), QStringLiteral("1,99 EUR") });
        }));
    }
}

// A folder on the disk, not in memory: the sync to the disk is part of what is measured.
QString diskPath(const QString& name)
{
    return QDir(QDir::tempPath()).filePath(QStringLiteral("korbana-bench-") + name);
}

// As the program ends: the lists are saved and synced, and then left to the end of the process. Here the
// process goes on, so what they leave is freed after the clock stops.
void exitSaveKorbana(benchmark::State& state)
{
    const QString path = diskPath(QStringLiteral("exit.kbl"));
    ListModel::leaveRowsToProcessEnd();
    for (auto _ : state) {
        auto lists = std::make_unique<sample::Lists>();
        if (korbana::readListFile(bench::fixture(entries(state)).path, lists->set()) != korbana::ReadResult::Ok) {
            state.SkipWithError("the list file did not load");
            break;
        }
        const auto start = Clock::now();
        if (korbana::writeListFile(path, lists->set()) != korbana::WriteResult::Ok) {
            state.SkipWithError("the list file was not written");
            break;
        }
        lists.reset();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        ListModel::freeRowsLeft();
    }
    ListModel::leaveRowsToProcessEnd(false);
    QFile::remove(path);
}

// dd conv=fsync: the same bytes written to a new file and synced.
void exitSaveBaseline(benchmark::State& state)
{
    const QByteArray& bytes = bench::fixture(entries(state)).bytes;
    const QByteArray path = QFile::encodeName(diskPath(QStringLiteral("dd.kbl")));
    for (auto _ : state) {
        const auto start = Clock::now();
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool ok = fd >= 0 && ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size()
            && ::fsync(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!ok) {
            state.SkipWithError("cannot write");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    }
    QFile::remove(QFile::decodeName(path));
}

void registerLarge(const char* name, void (*fn)(benchmark::State&))
{
    benchmark::RegisterBenchmark(name, fn)
        ->Arg(bench::kSizes[std::size(bench::kSizes) - 1])
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
}

const bool registered = [] {
    registerLarge("header-click/korbana", headerClickKorbana);
    registerLarge("header-click/baseline", headerClickBaseline);
    registerLarge("first-add/korbana", firstAddKorbana);
    registerLarge("first-add/baseline", firstAddBaseline);
    registerLarge("clear/korbana", clearKorbana);
    registerLarge("clear/baseline", clearBaseline);
    registerLarge("clear-undo/korbana", clearUndoKorbana);
    registerLarge("clear-undo/baseline", clearUndoBaseline);
    registerLarge("sort-undo/korbana", sortUndoKorbana);
    registerLarge("sort-undo/baseline", sortUndoBaseline);
    registerLarge("exit-save/korbana", exitSaveKorbana);
    registerLarge("exit-save/baseline", exitSaveBaseline);
    return true;
}();

} // namespace
