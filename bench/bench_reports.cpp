// The statistics beside plain GROUP BY statements of the same columns, and the PDF of the display
// beside the CSV export of it.
#include "BenchCatalogue.h"
#include "Beside.h"

#include "interchange/DisplayPages.h"
#include "interchange/Exporter.h"
#include "interchange/PdfExport.h"
#include "shared/CollectionStatistics.h"
#include "shared/DisplayModel.h"
#include "store/Database.h"
#include "store/SnapshotRecordset.h"
#include "store/Statement.h"

#include <QFile>

namespace {

void BM_Statistics(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const auto db = Database::open(BenchCatalogue::folder(recordings) + QStringLiteral("/varolin.mdb"));
    MeasureBeside(
        state,
        [&] {
            for (const char* column : {"Artist", "Label", "Format", "Year"}) {
                Statement groups(db->handle(), QStringLiteral("SELECT %1, COUNT(*) FROM Expanded_Recording GROUP BY %1")
                                                   .arg(QLatin1String(column)));
                int n = 0;
                while (groups.step())
                    n += static_cast<int>(groups.int64(1));
                benchmark::DoNotOptimize(n);
            }
        },
        [&] { benchmark::DoNotOptimize(CollectionStatistics::ofCatalogue(*db).recordings()); });
    state.counters["recordings"] = recordings;
}

void BM_PdfOfDisplay(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const QString folder = BenchCatalogue::folder(recordings);
    const auto db = Database::open(folder + QStringLiteral("/varolin.mdb"));
    DisplayModel display;
    display.setRecordings(db->openSnapshot(BenchCatalogue::displayStatement()));
    const QString csv = folder + QStringLiteral("/bench.csv");
    const QString pdf = folder + QStringLiteral("/bench.pdf");
    int pages = 0;
    MeasureBeside(
        state, [&] { benchmark::DoNotOptimize(Exporter::exportShown(display, csv, QString(), QString())); },
        [&] {
            DisplayPages layout(display, DisplayPages::defaultColumns(), {});
            PdfExport::write(layout, pdf, PdfExport::defaultLayout());
            pages = layout.pageCount();
        });
    state.counters["recordings"] = recordings;
    state.counters["pages"] = pages;
    QFile::remove(csv);
    QFile::remove(pdf);
}

} // namespace

BENCHMARK(BM_Statistics)->Apply(CollectionSizes);
BENCHMARK(BM_PdfOfDisplay)
    ->Arg(1000)
    ->Arg(8192)
    ->Arg(32767)
    ->UseManualTime()
    ->MinTime(2)
    ->Unit(benchmark::kMillisecond);
