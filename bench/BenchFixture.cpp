#include "BenchFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <map>
#include <memory>

namespace bench {

namespace {

QTemporaryDir& scratchDir()
{
    static QTemporaryDir dir = [] {
        QString base = qEnvironmentVariable("KORBANA_BENCH_DIR");
        if (base.isEmpty())
            base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        return QTemporaryDir(base + QStringLiteral("/korbana-bench-XXXXXX"));
    }();
    return dir;
}

} // namespace

QString scratchPath(const QString& name)
{
    return scratchDir().filePath(name);
}

const Fixture& fixture(int entries)
{
    static std::map<int, std::unique_ptr<Fixture>> made;
    auto& slot = made[entries];
    if (!slot) {
        slot = std::make_unique<Fixture>();
        fillLists(slot->lists.set(), sample::countsFor(entries));
        slot->bytes = sample::fileBytes(slot->lists.set());
        slot->path = scratchPath(QStringLiteral("lists-%1.kbl").arg(entries));
        QFile file(slot->path);
        if (!file.open(QIODevice::WriteOnly) || file.write(slot->bytes) != slot->bytes.size())
            qFatal("cannot write the benchmark's list file");
    }
    return *slot;
}

void fillLists(const korbana::ListSet& lists, sample::Counts counts)
{
    if (qEnvironmentVariableIntValue("KORBANA_BENCH_DISTINCT") == 1)
        sample::fillDistinct(lists, counts);
    else
        sample::fill(lists, counts);
}

void registerSizes(const char* group, const char* kind, void (*fn)(benchmark::State&))
{
    const std::string name = std::string(group) + '/' + kind;
    auto* b = benchmark::RegisterBenchmark(name.c_str(), fn);
    for (const int n : kSizes)
        b->Arg(n);
    b->Unit(benchmark::kMillisecond);
}

} // namespace bench
