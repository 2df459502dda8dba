// The store's snapshot read of the display statement, beside plain sqlite3_step.
#include "BenchCatalogue.h"
#include "Beside.h"

#include "store/Database.h"
#include "store/SnapshotRecordset.h"

namespace {

void BM_StoreRead(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const auto db = Database::open(BenchCatalogue::folder(recordings) + QStringLiteral("/varolin.mdb"));
    const QString sqliteSql = Database::translate(BenchCatalogue::displayStatement());
    qsizetype characters = 0;
    MeasureBeside(
        state, [&] { benchmark::DoNotOptimize(BenchCatalogue::plainRead(db->handle(), sqliteSql)); },
        [&] {
            const auto rs = db->openSnapshot(BenchCatalogue::displayStatement());
            rs->moveLast();
            rs->moveFirst();
            for (; !rs->eof(); rs->moveNext()) {
                for (int c = 0; c < rs->fieldCount(); ++c)
                    characters += rs->utf8View(c).size();
            }
        });
    benchmark::DoNotOptimize(characters);
    state.counters["recordings"] = recordings;
}

// A condition of n terms joined by Or and &: the translation grows with n, not n squared.
void BM_TranslateChain(benchmark::State& state)
{
    const QString sql = QStringLiteral("SELECT * FROM Recording WHERE Artist = 'a'") +
                        QStringLiteral(" Or Artist = 'a' & Title").repeated(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(Database::translate(sql));
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_StoreRead)->Apply(CollectionSizes);
BENCHMARK(BM_TranslateChain)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN);
