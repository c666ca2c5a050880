// The three-way merge of a list changed on two computers, 1,000 edits on each side, beside copying one side's
// entries (the least a merge builds).
#include "BenchFixture.h"
#include "MergeSample.h"

#include "document/ListFile.h"
#include "document/ListMerge.h"

#include <algorithm>

namespace {

constexpr int kEdits = 1'000;

// The base shares its texts with the lists (as the window's base does); theirs is read from the file, as a
// version arriving from elsewhere is.
struct Versions
{
    korbana::ListSections base;
    korbana::ListSections ours;
    korbana::ListSections theirs;

    explicit Versions(int entries)
    {
        const bench::Fixture& f = bench::fixture(entries);
        base = sample::sectionsOf(f.lists.set());
        ours = base;
        sample::edit(ours, std::min(kEdits, entries / 10), 1);
        korbana::ListContent read = korbana::readListContent(f.path);
        if (read.result != korbana::ReadResult::Ok)
            qFatal("the benchmark's list file did not load");
        theirs = std::move(read.sections);
        sample::edit(theirs, std::min(kEdits, entries / 10), 2);
    }
};

void mergeKorbana(benchmark::State& state)
{
    const Versions v(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        korbana::MergeResult merged = korbana::mergeLists(v.base, v.ours, v.theirs);
        benchmark::DoNotOptimize(merged);
        state.PauseTiming();
        merged = {};
        state.ResumeTiming();
    }
}

void mergeBaseline(benchmark::State& state)
{
    const Versions v(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        korbana::ListSections copy = v.ours;
        benchmark::DoNotOptimize(copy);
        state.PauseTiming();
        copy = {};
        state.ResumeTiming();
    }
}

const bool registered = [] {
    bench::registerSizes("merge", "korbana", mergeKorbana);
    bench::registerSizes("merge", "baseline", mergeBaseline);
    return true;
}();

} // namespace
