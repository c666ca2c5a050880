// Peak resident size after loading a list file, and the list files the start-up and memory cases use.
//   bench_memory generate FILE STORES PRODUCTS SHOPPING
//   bench_memory load FILE      prints: file_bytes entries peak_rss_kb rss_before_kb peak_after_add_kb
//                               peak_after_clear_undo_kb (the document alone: lists and undo history, no window)
#include "SampleLists.h"
#include "document/ListCommands.h"

#include <QFile>
#include <QFileInfo>
#include <QUndoStack>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// The high-water mark of the resident set, from the kernel's own account.
long peakResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    }
    return -1;
}

int generate(const QString& path, sample::Counts counts)
{
    sample::Lists lists;
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

} // namespace

int main(int argc, char* argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "generate" && argc == 6) {
        return generate(
            QString::fromLocal8Bit(argv[2]), { std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]) });
    }
    if (mode == "load" && argc == 3)
        return load(QString::fromLocal8Bit(argv[2]));
    std::fprintf(stderr, "usage: bench_memory generate FILE STORES PRODUCTS SHOPPING | load FILE\n");
    return 2;
}
