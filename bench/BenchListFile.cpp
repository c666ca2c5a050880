// Loading and saving the list file, each beside the least work that the same bytes need.
#include "BenchFixture.h"

#include "document/ListFile.h"

#include <QFile>

#include <cstring>
#include <vector>

using namespace korbana;

namespace {

using korbana::ReadResult;
using korbana::WriteResult;

int entries(const benchmark::State& state)
{
    return static_cast<int>(state.range(0));
}

void loadKorbana(benchmark::State& state)
{
    const bench::Fixture& f = bench::fixture(entries(state));
    sample::Lists target;
    for (auto _ : state) {
        if (korbana::readListFile(f.path, target.set()) != ReadResult::Ok) {
            state.SkipWithError("the list file did not load");
            break;
        }
    }
    if (target.total() != f.lists.total())
        state.SkipWithError("the loaded lists differ in size");
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

// Read the bytes, split them at CR (with an LF after it), decode each line to a QString and keep it.
void loadBaseline(benchmark::State& state)
{
    const bench::Fixture& f = bench::fixture(entries(state));
    std::vector<QString> lines;
    for (auto _ : state) {
        lines = std::vector<QString>();
        QFile file(f.path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot open");
            break;
        }
        const QByteArray data = file.readAll();
        const char* p = data.constData();
        const char* const end = p + data.size();
        while (p < end) {
            const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(end - p)));
            const char* lineEnd = cr ? cr : end;
            lines.push_back(QString::fromLatin1(p, lineEnd - p));
            p = lineEnd + 1;
            if (p < end && *p == '\n')
                ++p;
        }
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

void saveKorbana(benchmark::State& state)
{
    const bench::Fixture& f = bench::fixture(entries(state));
    const QString path = bench::scratchPath(QStringLiteral("save-korbana.kbl"));
    for (auto _ : state) {
        if (korbana::writeListFile(path, f.lists.set()) != WriteResult::Ok) {
            state.SkipWithError("the list file was not written");
            break;
        }
    }
    QFile written(path);
    if (state.error_occurred() || !written.open(QIODevice::ReadOnly) || written.readAll() != f.bytes)
        state.SkipWithError("the written file differs from the expected bytes");
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

// Encode the same texts into one buffer and write it with one write.
void saveBaseline(benchmark::State& state)
{
    const bench::Fixture& f = bench::fixture(entries(state));
    const QString path = bench::scratchPath(QStringLiteral("save-baseline.kbl"));
    for (auto _ : state) {
        const QByteArray bytes = sample::fileBytes(f.lists.set());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
            state.SkipWithError("cannot write");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * f.bytes.size());
}

const bool registered = [] {
    bench::registerSizes("load", "korbana", loadKorbana);
    bench::registerSizes("load", "baseline", loadBaseline);
    bench::registerSizes("save", "korbana", saveKorbana);
    bench::registerSizes("save", "baseline", saveBaseline);
    return true;
}();

} // namespace
