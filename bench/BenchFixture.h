#pragma once

#include "SampleLists.h"

#include <QByteArray>
#include <QString>

#include <benchmark/benchmark.h>

namespace bench {

// The entry counts every case runs at.
inline constexpr int kSizes[] = { 1'000, 100'000, 1'000'000 };

// Lists of a given size, their file bytes and that file on disk; made once per size and kept.
struct Fixture
{
    sample::Lists lists;
    QByteArray bytes;
    QString path;
};
const Fixture& fixture(int entries);

// Fills lists for a case: with KORBANA_BENCH_DISTINCT=1 in the environment every product's name and price is its own
// (sample::fillDistinct), otherwise few texts repeat (sample::fill), as in a household's catalogue.
void fillLists(const korbana::ListSet& lists, sample::Counts counts);

// A scratch folder for files the cases write (a tmpfs where there is one, so the disk's flush does not
// drown the work measured; KORBANA_BENCH_DIR overrides).
QString scratchPath(const QString& name);

// Registers "<group>/<kind>/<size>" for every size; kind is "korbana" or "baseline".
void registerSizes(const char* group, const char* kind, void (*fn)(benchmark::State&));

} // namespace bench
