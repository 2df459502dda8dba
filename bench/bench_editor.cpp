// The recording editor: an Amend saved and shown, and the editor's opening as the collection grows.
#include "BenchCatalogue.h"
#include "Beside.h"

#include "browser/frmMain.h"
#include "editor/frmRecord.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/DuplicateFinder.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "store/SnapshotRecordset.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace {

using Clock = std::chrono::steady_clock;

// A main window with its own session.
struct OpenedWindow
{
    std::unique_ptr<Session> session = std::make_unique<Session>();
    std::unique_ptr<frmMain> window;
    frmMain* operator->() const { return window.get(); }
};

OpenedWindow OpenWindow(int recordings)
{
    Dialogs::setScripted(true); // a message would wait for a person; it fails the run instead
    OpenedWindow opened;
    opened.window = std::make_unique<frmMain>(*opened.session);
    opened.window->setProgramDirectory(BenchCatalogue::folder(recordings));
    opened.window->Form_Load();
    return opened;
}

// Runs `inEditor` once the editor shows, from its own event loop, as a person's key press would.
class EditorDriver : public QObject
{
public:
    explicit EditorDriver(std::function<void(frmRecord*)> inEditor) : m_inEditor(std::move(inEditor))
    {
        QApplication::instance()->installEventFilter(this);
    }
    ~EditorDriver() override { QApplication::instance()->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (auto* editor = qobject_cast<frmRecord*>(watched))
                QTimer::singleShot(0, editor, [this, editor] { m_inEditor(editor); });
        }
        return false;
    }

private:
    std::function<void(frmRecord*)> m_inEditor;
};

// From OK in the editor to the display refreshed with the amended recording selected, beside a
// plain read of the display statement.
void BM_AmendSaved(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const auto window = OpenWindow(recordings);
    auto* grid = window->findChild<Grid*>(QStringLiteral("grdData"));
    auto* amend = window->findChild<QToolButton*>(QStringLiteral("cmdAmend"));
    const QString sqliteSql = Database::translate(BenchCatalogue::displayStatement());

    Clock::time_point okPressed;
    int edits = 0;
    EditorDriver driver([&](frmRecord* editor) {
        editor->findChild<QLineEdit*>(QStringLiteral("txtTitle"))->setText(QStringLiteral("Edit %1").arg(++edits));
        okPressed = Clock::now();
        editor->findChild<QToolButton*>(QStringLiteral("cmdOK"))->click();
    });
    const int row = recordings / 2;
    MeasureBeside(
        state,
        [&] { benchmark::DoNotOptimize(BenchCatalogue::plainRead(window.session->catalogue()->handle(), sqliteSql)); },
        [&] {
            grid->setRow(row);
            amend->click();
            const double seconds = std::chrono::duration<double>(Clock::now() - okPressed).count();
            if (grid->row() != row || !Dialogs::takeShown().isEmpty())
                state.SkipWithError("the amended recording is not selected after the refresh");
            return seconds;
        });
    state.counters["recordings"] = recordings;
}

// Opening the editor on a recording of a large collection beside the same at 1,000 recordings: the
// cost must not grow with the collection. Each opening is timed from the call to the editor shown
// and loaded (seek, fields, format list), leaving out its closing.
void BM_EditorOpening(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    Session session;
    auto smallDb = Database::open(BenchCatalogue::folder(1000) + QStringLiteral("/varolin.mdb"));
    auto largeDb = Database::open(BenchCatalogue::folder(recordings) + QStringLiteral("/varolin.mdb"));
    frmRecord editor(session);

    Clock::time_point start;
    double opened = 0;
    EditorDriver driver([&](frmRecord* shown) {
        opened = std::chrono::duration<double>(Clock::now() - start).count();
        shown->findChild<QToolButton*>(QStringLiteral("cmdCancel"))->click();
    });
    auto openOn = [&](std::unique_ptr<Database>& db, int rows) {
        session.setCatalogue(std::move(db));
        start = Clock::now();
        if (editor.ShowModal({EditMode::Amend, rows / 2}).load != frmRecord::LoadResult::Loaded)
            state.SkipWithError("the recording could not be opened");
        db = session.takeCatalogue();
        return opened;
    };
    MeasureBeside(
        state, [&] { return openOn(smallDb, 1000); }, [&] { return openOn(largeDb, recordings); });
    state.counters["recordings"] = recordings;
}

// The check for a recording owned already, once its keys are made, beside a plain hash lookup of
// the same key.
void BM_DuplicateCheck(benchmark::State& state)
{
    const int recordings = static_cast<int>(state.range(0));
    const auto db = Database::open(BenchCatalogue::folder(recordings) + QStringLiteral("/varolin.mdb"));
    const auto first = db->openSnapshot(QStringLiteral("SELECT Artist, Title FROM Recording WHERE ID = 1"));
    const QString artist = first->text(0);
    const QString title = first->text(1);
    DuplicateFinder finder;
    finder.find(*db, artist, title); // the keys, once
    QHash<QString, qint64> plain;
    plain.insert(DuplicateFinder::key(artist, title), 1);
    MeasureBeside(
        state, [&] { benchmark::DoNotOptimize(plain.value(DuplicateFinder::key(artist, title))); },
        [&] { benchmark::DoNotOptimize(finder.find(*db, artist, title, 1)); });
    state.counters["recordings"] = recordings;
}

} // namespace

BENCHMARK(BM_DuplicateCheck)->Apply(CollectionSizes);
BENCHMARK(BM_AmendSaved)->Apply(CollectionSizes);
BENCHMARK(BM_EditorOpening)->Apply(CollectionSizes);
