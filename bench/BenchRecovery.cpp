// The recovery copy at size: the longest the window itself is busy with it (one slice of the rows encoded and
// handed to the writer thread), beside writing the same copy in the window, as a program without the
// thread would.
#include "BenchFixture.h"

#include "document/ListFile.h"
#include "document/RecoveryStore.h"

#include <QThread>

using namespace korbana;

namespace {

const QString kDocument = QStringLiteral("/nirgends/korbana.kbl");

void recoveryKorbana(benchmark::State& state)
{
    const bench::Fixture& f = bench::fixture(static_cast<int>(state.range(0)));
    korbana::RecoveryStore::setFolderOverride(bench::scratchPath(QStringLiteral("recovery")));
    korbana::RecoveryStore store;
    korbana::RecoveryCopier copier;
    for (auto _ : state) {
        if (!copier.isActive() || copier.isWriterBehind()) {
            // A turn that only waits for the writer costs the window nothing: it is not counted as one.
            state.PauseTiming();
            if (!copier.isActive())
                copier.start(f.lists.set(), store.begin(kDocument, QByteArray(), FileStamp(), nullptr, {}));
            while (copier.isWriterBehind())
                QThread::yieldCurrentThread();
            state.ResumeTiming();
        }
        if (copier.copy(korbana::RecoveryCopier::kRowsPerTurn)) {
            // The writer's own work runs beside the window and is not the window's time.
            state.PauseTiming();
            store.waitForWrites();
            state.ResumeTiming();
        }
    }
    // The last copy begun is finished so that what it writes can be looked at.
    while (copier.isActive())
        copier.copy(f.lists.total());
    store.waitForWrites();
    if (!korbana::readWholeFile(store.copyPath()))
        state.SkipWithError("no recovery copy was written");
    store.remove();
    korbana::RecoveryStore::setFolderOverride(QString());
}

void recoveryBaseline(benchmark::State& state)
{
    const bench::Fixture& f = bench::fixture(static_cast<int>(state.range(0)));
    const QString path = bench::scratchPath(QStringLiteral("recovery-baseline.kbl"));
    for (auto _ : state) {
        korbana::SaveFile file(path);
        if (korbana::saveWholeFile(file, korbana::encodeListFile(f.lists.set())) != korbana::WriteResult::Ok) {
            state.SkipWithError("cannot write");
            break;
        }
    }
}

const bool registered = [] {
    bench::registerSizes("recovery", "korbana", recoveryKorbana);
    bench::registerSizes("recovery", "baseline", recoveryBaseline);
    return true;
}();

} // namespace
