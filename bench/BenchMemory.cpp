// Peak resident size after loading a list file, and the list files the start-up and memory cases use.
//   bench_memory generate FILE STORES PRODUCTS SHOPPING [distinct]   with distinct: every product's name and price
//                               its own, the shopping list the same entries
//   bench_memory load FILE      prints: file_bytes entries peak_rss_kb rss_before_kb peak_after_add_kb
//                               peak_after_clear_undo_kb (the document alone: lists and undo history, no window)
//   bench_memory merge FILE     prints: merge_extra_kb merge_result_kb merge_ms merge_cpu_ms merge_conflicts
//   bench_memory export FILE CSV  writes the list file's lists as korbana's own CSV export
//   bench_memory csv FILE       prints: csv_bytes csv_entries csv_extra_kb csv_result_kb (a CSV import into empty
//                               lists: the peak above the resident size before it, and what the lists keep)
#include "MergeSample.h"
#include "SampleLists.h"
#include "document/Csv.h"
#include "document/ListCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QUndoStack>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>

using namespace korbana;

namespace {

// A figure of the kernel's own account of the process, in kB: VmHWM (the high-water mark of the resident set) or
// VmRSS (the resident set now).
long statusKb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == field) {
            long kb = 0;
            status >> kb;
            return kb;
        }
    }
    return -1;
}

long peakResidentKb()
{
    return statusKb("VmHWM:");
}

// Lowers the high-water mark to the resident set now, so that the next peak is the next step's own.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

int generate(const QString& path, sample::Counts counts, bool distinct)
{
    sample::Lists lists;
    if (distinct)
        sample::fillDistinct(lists.set(), counts);
    else
        sample::fill(lists.set(), counts);
    const QByteArray bytes = sample::fileBytes(lists.set());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}

int load(const QString& path)
{
    const long before = peakResidentKb();
    sample::Lists lists;
    if (korbana::readListFile(path, lists.set()) != korbana::ReadResult::Ok) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(path));
        return 1;
    }
    const long afterLoad = peakResidentKb();
    // The first entry the user adds to each list after the load.
    lists.stores->append(QStringLiteral("Kiosk"));
    lists.products->append(QStringLiteral("Produkt"), { QStringLiteral("Kiosk"), QStringLiteral("1,99 EUR") });
    lists.shopping->append(
        QStringLiteral("1"), { QStringLiteral("Produkt"), QStringLiteral("Kiosk"), QStringLiteral("1,99 EUR") });
    const long afterAdd = peakResidentKb();
    // "Liste löschen" on the products and its undo: the history keeps the rows, it copies no text.
    QUndoStack history;
    history.push(korbana::clearListCommand(lists.products.get()));
    history.undo();
    std::printf("file_bytes %lld entries %d peak_rss_kb %ld rss_before_kb %ld peak_after_add_kb %ld "
                "peak_after_clear_undo_kb %ld\n",
        static_cast<long long>(QFileInfo(path).size()), lists.total(), afterLoad, before, afterAdd, peakResidentKb());
    return 0;
}

// The extra memory of merging two versions of the file's lists with 1,000 edits on each side: the peak resident
// size during the merge above the resident size before it, the merged lists included (they replace the window's).
int merge(const QString& path)
{
    korbana::ListContent base = korbana::readListContent(path);
    korbana::ListContent theirs = korbana::readListContent(path);
    if (base.result != korbana::ReadResult::Ok || theirs.result != korbana::ReadResult::Ok) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(path));
        return 1;
    }
    korbana::ListSections ours = base.sections;
    sample::edit(ours, 1000, 1);
    sample::edit(theirs.sections, 1000, 2);
    resetPeak();
    const long before = statusKb("VmRSS:");
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t startCpu = std::clock();
    const korbana::MergeResult merged = korbana::mergeLists(base.sections, ours, theirs.sections);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - startCpu) / CLOCKS_PER_SEC;
    const long peak = peakResidentKb();
    const long after = statusKb("VmRSS:");
    std::printf("merge_extra_kb %ld merge_result_kb %ld merge_ms %.0f merge_cpu_ms %.0f merge_conflicts %d\n",
        peak - before, after - before, took.count(), cpuMs, merged.totalConflicts());
    return 0;
}

int exportCsv(const QString& path, const QString& csvPath)
{
    sample::Lists lists;
    if (korbana::readListFile(path, lists.set()) != korbana::ReadResult::Ok) {
        std::fprintf(stderr, "cannot load %s\n", qPrintable(path));
        return 1;
    }
    if (const auto failure = korbana::exportCsvFile(csvPath, lists.set())) {
        std::fprintf(stderr, "cannot export: %s\n", qPrintable(failure->text));
        return 1;
    }
    return 0;
}

// The extra memory of a CSV import: reading the file into entries and appending them to the lists.
int importCsv(const QString& path)
{
    sample::Lists lists;
    resetPeak();
    const long before = statusKb("VmRSS:");
    // A file refused for its size has its peak too.
    if (const auto failure = korbana::importCsvFile(path, lists.set()))
        std::fprintf(stderr, "not imported: %s\n", qPrintable(failure->text));
    std::printf("csv_bytes %lld csv_entries %d csv_extra_kb %ld csv_result_kb %ld\n",
        static_cast<long long>(QFileInfo(path).size()), lists.total(), peakResidentKb() - before,
        statusKb("VmRSS:") - before);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "generate" && (argc == 6 || (argc == 7 && std::string(argv[6]) == "distinct"))) {
        return generate(
            QString::fromLocal8Bit(argv[2]), { std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]) }, argc == 7);
    }
    if (mode == "load" && argc == 3)
        return load(QString::fromLocal8Bit(argv[2]));
    if (mode == "merge" && argc == 3)
        return merge(QString::fromLocal8Bit(argv[2]));
    if (mode == "export" && argc == 4)
        return exportCsv(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (mode == "csv" && argc == 3)
        return importCsv(QString::fromLocal8Bit(argv[2]));
    std::fprintf(stderr,
        "usage: bench_memory generate FILE STORES PRODUCTS SHOPPING [distinct] | load FILE | merge FILE | export FILE "
        "CSV | csv "
        "FILE\n");
    return 2;
}
