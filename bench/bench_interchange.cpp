// Import of a collection export beside the sqlite3 shell's own .import of the same file, and export
// of the display beside a plain read written with fputs.
#include "BenchCatalogue.h"
#include "Beside.h"

#include "interchange/ColumnMapping.h"
#include "interchange/CsvReader.h"
#include "interchange/Exporter.h"
#include "interchange/Importer.h"
#include "store/Catalogue.h"
#include "store/Database.h"

#include <chrono>
#include <cstdio>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <sqlite3.h>

namespace {

QTemporaryDir& workFolder()
{
    static QTemporaryDir dir;
    return dir;
}

// A collection export of `rows` releases, as the online database writes one.
QString collectionExport(int rows)
{
    static QMap<int, QString> files;
    if (files.contains(rows))
        return files.value(rows);
    const QString path = workFolder().filePath(QStringLiteral("collection-%1.csv").arg(rows));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray out = "Catalog#,Artist,Title,Label,Format,Rating,Released,release_id,CollectionFolder,Date Added,"
                     "Collection Media Condition,Collection Sleeve Condition,Collection Notes\n";
    const char* const formats[] = {"\"Vinyl, LP, Album\"", "\"CD, Album\"", "\"Cassette, Album\"",
                                   "\"Vinyl, 7\"\", Single\""};
    for (int i = 0; i < rows; ++i) {
        out += QStringLiteral("CAT %1,Artist %2 (%3),Title of release %1,Label %4,%5,%6,%7-03-01,%8,Uncategorized,"
                              "2021-03-04 10:11:12,Very Good Plus (VG+),Very Good (VG),\"Notes of %1, with a comma\"\n")
                   .arg(i)
                   .arg(i % 5000)
                   .arg(i % 3 + 1)
                   .arg(i % 700)
                   .arg(QLatin1String(formats[i % 4]))
                   .arg(i % 6)
                   .arg(1950 + i % 70)
                   .arg(100000 + i)
                   .toUtf8();
    }
    file.write(out);
    files.insert(rows, path);
    return path;
}

// The floor of an import: the sqlite3 shell's own .import of the file into a new plain table.
double shellImport(const QString& plain, const QString& csv)
{
    QFile::remove(plain);
    const auto start = std::chrono::steady_clock::now();
    QProcess::execute(QStringLiteral("sqlite3"), {plain, QStringLiteral(".import --csv %1 plain").arg(csv)});
    return SecondsSince(start);
}

Importer::Counts importFile(const QString& catalogue, const QString& csv)
{
    const auto db = Database::open(catalogue);
    const CsvReader source = CsvReader::fromFile(csv);
    Importer importer(*db, source, ColumnMapping::match(source.columns()));
    return importer.run();
}

void BM_ImportCollection(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const QString csv = collectionExport(rows);
    const QString plain = workFolder().filePath(QStringLiteral("plain.db"));
    const QString catalogue = workFolder().filePath(QStringLiteral("catalogue.mdb"));
    int added = 0;
    MeasureBeside(
        state, [&] { return shellImport(plain, csv); },
        [&] {
            QFile::remove(catalogue);
            Catalogue::create(catalogue);
            const auto start = std::chrono::steady_clock::now();
            added = importFile(catalogue, csv).added;
            return SecondsSince(start);
        });
    if (added != rows)
        state.SkipWithError("the import did not add every row");
    state.counters["recordings"] = rows;
}

// The same export imported again into the catalogue it filled: every row is found present.
void BM_ReimportCollection(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const QString csv = collectionExport(rows);
    const QString plain = workFolder().filePath(QStringLiteral("plain.db"));
    const QString catalogue = workFolder().filePath(QStringLiteral("filled.mdb"));
    QFile::remove(catalogue);
    Catalogue::create(catalogue);
    importFile(catalogue, csv);
    int present = 0;
    MeasureBeside(
        state, [&] { return shellImport(plain, csv); },
        [&] {
            const auto start = std::chrono::steady_clock::now();
            present = importFile(catalogue, csv).present;
            return SecondsSince(start);
        });
    if (present != rows)
        state.SkipWithError("the import found not every row present");
    state.counters["recordings"] = rows;
}

void BM_ExportDisplay(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const auto db = Database::open(BenchCatalogue::folder(recordings) + QStringLiteral("/varolin.mdb"));
    const QString jetSql = BenchCatalogue::displayStatement();
    const QByteArray sqliteSql = Database::translate(jetSql).toUtf8();
    const QString target = workFolder().filePath(QStringLiteral("export.csv"));
    MeasureBeside(
        state,
        [&] {
            std::FILE* out = std::fopen(QFile::encodeName(target).constData(), "wb");
            sqlite3_stmt* statement = nullptr;
            sqlite3_prepare_v2(db->handle(), sqliteSql.constData(), -1, &statement, nullptr);
            const int columns = sqlite3_column_count(statement);
            while (sqlite3_step(statement) == SQLITE_ROW) {
                for (int c = 1; c < columns; ++c) {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                    std::fputs(text ? text : "", out);
                    std::fputc(c + 1 < columns ? ',' : '\n', out);
                }
            }
            sqlite3_finalize(statement);
            std::fclose(out);
        },
        [&] { benchmark::DoNotOptimize(Exporter::exportStatement(*db, jetSql, target)); });
    state.counters["recordings"] = recordings;
}

} // namespace

BENCHMARK(BM_ImportCollection)->Apply(CollectionSizes);
BENCHMARK(BM_ReimportCollection)->Apply(CollectionSizes);
BENCHMARK(BM_ExportDisplay)->Apply(CollectionSizes);
