// Undo of an import: the import with its rows captured beside the same import alone, and the undo
// beside a plain DELETE of the rows it added.
#include "Beside.h"

#include "interchange/ColumnMapping.h"
#include "interchange/CsvReader.h"
#include "interchange/Importer.h"
#include "store/Catalogue.h"
#include "store/ChangeCapture.h"
#include "store/Database.h"
#include "store/UndoStack.h"

#include <chrono>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray collection(int rows)
{
    QByteArray csv = "Artist,Title,Year,Label,Format,Catalogue_No,Notes\n";
    for (int i = 0; i < rows; ++i)
        csv += QStringLiteral("Artist %1,Title %2,%3,Label %4,Format %5,CAT %2,Notes of %2\n")
                   .arg(i % 5000)
                   .arg(i)
                   .arg(1950 + i % 70)
                   .arg(i % 700)
                   .arg(i % 40)
                   .toUtf8();
    return csv;
}

// A fresh catalogue holding the collection, imported with its rows captured or not.
std::unique_ptr<Database> imported(const QString& path, const CsvReader& csv, UndoStack* undo, double* seconds)
{
    QFile::remove(path);
    Catalogue::create(path);
    auto db = Database::open(path);
    const auto start = std::chrono::steady_clock::now();
    Importer importer(*db, csv, ColumnMapping::match(csv.columns()));
    if (undo) {
        ChangeCapture capture(*db, {QStringLiteral("Recording"), QStringLiteral("Format")});
        importer.run();
        undo->record(UndoStack::Kind::Import, capture.changes());
    } else {
        importer.run();
    }
    *seconds = SecondsSince(start);
    return db;
}

void BM_ImportCaptured(benchmark::State& state)
{
    const CsvReader csv(collection(static_cast<int>(state.range(0))));
    QTemporaryDir dir;
    MeasureBeside(
        state,
        [&] {
            double seconds = 0;
            imported(dir.filePath(QStringLiteral("plain.mdb")), csv, nullptr, &seconds);
            return seconds;
        },
        [&] {
            double seconds = 0;
            UndoStack undo;
            imported(dir.filePath(QStringLiteral("captured.mdb")), csv, &undo, &seconds);
            return seconds;
        });
    state.counters["recordings"] = static_cast<double>(state.range(0));
}

void BM_UndoImport(benchmark::State& state)
{
    const CsvReader csv(collection(static_cast<int>(state.range(0))));
    QTemporaryDir dir;
    bool undone = true;
    MeasureBeside(
        state,
        [&] {
            double seconds = 0;
            const auto db = imported(dir.filePath(QStringLiteral("plain.mdb")), csv, nullptr, &seconds);
            const auto start = std::chrono::steady_clock::now();
            db->beginTrans();
            db->execute(QStringLiteral("DELETE FROM [Recording] WHERE [ID] > 0")); // row by row, as an undo
            db->execute(QStringLiteral("DELETE FROM [Format] WHERE [ID] > 14"));
            db->commitTrans();
            return SecondsSince(start);
        },
        [&] {
            double seconds = 0;
            UndoStack undo;
            const auto db = imported(dir.filePath(QStringLiteral("undone.mdb")), csv, &undo, &seconds);
            const auto start = std::chrono::steady_clock::now();
            undone = undone && undo.undo(*db).refusal.isEmpty();
            return SecondsSince(start);
        });
    if (!undone)
        state.SkipWithError("the undo was refused");
    state.counters["recordings"] = static_cast<double>(state.range(0));
}

} // namespace

BENCHMARK(BM_ImportCaptured)->Apply(CollectionSizes);
BENCHMARK(BM_UndoImport)->Apply(CollectionSizes);
