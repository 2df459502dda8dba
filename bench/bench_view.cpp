// The filter and the sort over the display, each beside its floor.
#include "BenchCatalogue.h"
#include "BenchWindow.h"
#include "Beside.h"

#include "browser/frmMain.h"
#include "platform/Grid.h"
#include "shared/DisplayModel.h"
#include "shared/Session.h"
#include "shared/ShownRecordings.h"
#include "shared/TextFolding.h"

#include <algorithm>
#include <numeric>
#include <QHeaderView>
#include <QLineEdit>
#include <vector>

namespace {

// One keystroke in the filter box, the display's texts folded already by the first, beside a plain
// scan of the same folded cells held as strings.
void BM_FilterKeystroke(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const auto opened = OpenWindow(recordings);
    auto* box = opened.window->findChild<QLineEdit*>(QStringLiteral("txtFilter"));
    const DisplayModel* display = opened.window->display();
    std::vector<QString> cells;
    cells.reserve(size_t(display->rowCount()) * DisplayModel::kColumns);
    for (int r = 0; r < display->rowCount(); ++r) {
        for (int c = 0; c < DisplayModel::kColumns; ++c)
            cells.push_back(TextFolding::fold(display->cellText(r, c)));
    }
    box->setText(QStringLiteral("q")); // the folding, once for the display
    const QString typed[] = {QStringLiteral("zqx"), QStringLiteral("zqxj")};
    int keystroke = 0;
    MeasureBeside(
        state,
        [&] {
            const QString& word = typed[keystroke % 2];
            int shown = 0;
            for (size_t i = 0; i < cells.size(); i += DisplayModel::kColumns) {
                bool found = false;
                for (size_t c = i; c < i + DisplayModel::kColumns && !found; ++c)
                    found = cells[c].contains(word);
                shown += found ? 1 : 0;
            }
            benchmark::DoNotOptimize(shown);
        },
        [&] { box->setText(typed[keystroke++ % 2]); });
    state.counters["recordings"] = recordings;
}

// A click on the Title heading, each time the other way round, beside std::stable_sort of the same
// keys.
void BM_SortByHeading(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const auto opened = OpenWindow(recordings);
    auto* grid = opened.window->findChild<Grid*>(QStringLiteral("grdData"));
    const DisplayModel* display = opened.window->display();
    std::vector<QString> keys;
    for (int r = 0; r < display->rowCount(); ++r)
        keys.push_back(ShownRecordings::sortKey(display->cellText(r, 1), 1));
    // Both start from the order the last sort left, as a second click does.
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
    grid->horizontalHeader()->setSortIndicator(1, Qt::AscendingOrder); // the keys, once for the display
    int click = 0;
    int floorClick = 0;
    MeasureBeside(
        state,
        [&] {
            const bool descending = floorClick++ % 2 == 0;
            std::stable_sort(order.begin(), order.end(),
                             [&](int a, int b) { return descending ? keys[b] < keys[a] : keys[a] < keys[b]; });
            benchmark::DoNotOptimize(order.data());
        },
        [&] {
            // As a click on the heading does.
            grid->horizontalHeader()->setSortIndicator(1, click++ % 2 == 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
        });
    state.counters["recordings"] = recordings;
}

} // namespace

BENCHMARK(BM_FilterKeystroke)->Apply(CollectionSizes);
BENCHMARK(BM_SortByHeading)->Apply(CollectionSizes);
