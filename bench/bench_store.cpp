// The store's snapshot read of the display statement, beside plain sqlite3_step.
#include "BenchCatalogue.h"
#include "Beside.h"

#include "store/CatalogueBackup.h"
#include "store/Database.h"

#include "store/SnapshotRecordset.h"
#include <QFile>

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

// A backup of the catalogue through SQLite's online backup, beside a plain copy of its file.
void BM_Backup(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const QString path = BenchCatalogue::folder(recordings) + QStringLiteral("/varolin.mdb");
    const auto db = Database::open(path);
    const QString plain = path + QStringLiteral(".copy");
    MeasureBeside(
        state,
        [&] {
            QFile::remove(plain);
            benchmark::DoNotOptimize(QFile::copy(path, plain));
        },
        [&] { benchmark::DoNotOptimize(CatalogueBackup::make(*db, 1)); });
    QFile::remove(plain);
    state.counters["recordings"] = recordings;
}

} // namespace

BENCHMARK(BM_Backup)->Apply(CollectionSizes);
BENCHMARK(BM_StoreRead)->Apply(CollectionSizes);
BENCHMARK(BM_TranslateChain)->RangeMultiplier(10)->Range(1000, 100000)->Complexity(benchmark::oN);
