// The main window's refresh, start-up and copy, each beside its floor.
#include "BenchCatalogue.h"
#include "BenchWindow.h"
#include "Beside.h"

#include "browser/frmMain.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/DisplayModel.h"
#include "shared/Session.h"
#include "store/Database.h"

#include <chrono>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QToolButton>

namespace {

void BM_RefreshGrid(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const auto window = OpenWindow(recordings);
    auto* refresh = window->findChild<QToolButton*>(QStringLiteral("cmdRefresh"));
    const QString sqliteSql = Database::translate(BenchCatalogue::displayStatement());
    MeasureBeside(
        state,
        [&] { benchmark::DoNotOptimize(BenchCatalogue::plainRead(window.session->catalogue()->handle(), sqliteSql)); },
        [&] { refresh->click(); });
    state.counters["recordings"] = recordings;
}

void BM_StartUp(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    OpenWindow(recordings); // the catalogue exists and is in the disk cache
    const QString path = BenchCatalogue::folder(recordings) + QStringLiteral("/varolin.mdb");
    const QString sqliteSql = Database::translate(BenchCatalogue::displayStatement());
    OpenedWindow window;
    // The window before is closed first, unmeasured, by whichever goes first; the start-up ends
    // with the rows painted, as the user sees them. Its floor is a plain program's read at its own
    // start, which opens the catalogue as the window must, rather than reading through a connection
    // whose page cache is already warm.
    const auto timedAfterClosing = [&](const auto& work) {
        window.window.reset();
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    MeasureBeside(
        state,
        [&] {
            return timedAfterClosing(
                [&] { benchmark::DoNotOptimize(BenchCatalogue::plainReadAtStart(path, sqliteSql)); });
        },
        [&] {
            return timedAfterClosing([&] {
                window = OpenWindow(recordings);
                QCoreApplication::processEvents();
            });
        });
    state.counters["recordings"] = recordings;
}

// The floor: every cell joined with tabs and line ends, as a plain program would.
QString PlainJoin(const DisplayModel& display)
{
    QStringList lines;
    lines << DisplayModel::headings().join(QLatin1Char('\t'));
    for (int r = 0; r < display.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < DisplayModel::kColumns; ++c)
            cells << display.cellText(r, c);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

void BM_CopyGrid(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const auto window = OpenWindow(recordings);
    auto* copy = window->findChild<QToolButton*>(QStringLiteral("cmdCopy"));
    const DisplayModel* display = window->display();
    MeasureBeside(
        state, [&] { benchmark::DoNotOptimize(PlainJoin(*display)); }, [&] { copy->click(); });
    QApplication::clipboard()->clear();
    state.counters["recordings"] = recordings;
}

// A Find that matches nothing, through every cell of the display, beside a plain scan of the same
// cell texts already held as strings.
void BM_FindNothing(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const auto window = OpenWindow(recordings);
    Dialogs::setScripted(true); // the "no match" message is answered at once
    auto* findNext = window->findChild<QAction*>(QStringLiteral("mnuFindItem1"));
    auto* grid = window->findChild<Grid*>(QStringLiteral("grdData"));
    const DisplayModel* display = window->display();
    QStringList cells;
    for (int r = 0; r < display->rowCount(); ++r) {
        for (int c = 0; c < DisplayModel::kColumns; ++c)
            cells << display->cellText(r, c);
    }
    const QString sFind = QStringLiteral("zqxj"); // short enough that every cell is searched
    window.session->lastFind = {sFind, false, false};
    MeasureBeside(
        state,
        [&] {
            int found = 0;
            for (const QString& cell : cells)
                found += cell.contains(sFind, Qt::CaseInsensitive) ? 1 : 0;
            benchmark::DoNotOptimize(found);
        },
        [&] {
            grid->setRow(1);
            grid->setCol(0);
            findNext->trigger();
        });
    if (Dialogs::takeShown().size() != static_cast<qsizetype>(state.iterations()))
        state.SkipWithError("the search found something or said nothing");
    Dialogs::setScripted(false);
    state.counters["recordings"] = recordings;
}

} // namespace

BENCHMARK(BM_RefreshGrid)->Apply(CollectionSizes);
BENCHMARK(BM_StartUp)->Apply(CollectionSizes);
BENCHMARK(BM_CopyGrid)->Apply(CollectionSizes);
BENCHMARK(BM_FindNothing)->Apply(CollectionSizes);
