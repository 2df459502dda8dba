#include "browser/frmMain.h"
#include "editor/frmRecord.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QToolButton>

#include <tuple>

namespace {

const QString kIni = QStringLiteral("[SQL]\n1=All\n2=By Artist,Artist Like '??',Artist,Title\nDefault=1\n");

// Recordings shown in this order by the default Selection (by artist, then year).
QList<TestFolder::Recording> Recordings(int count = 10)
{
    QList<TestFolder::Recording> list;
    for (int i = 1; i <= count; ++i)
        list.append({QStringLiteral("Artist %1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("Title %1").arg(i),
                     QString::number(1960 + i), i % 2 ? 9 : 1});
    return list;
}

const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = {}) { ProgramWindow::press(key, modifiers); };
const auto type = [](const QString& text) { ProgramWindow::type(text); };

class RecordCommands : public ::testing::Test
{
protected:
    static QLineEdit* box(frmRecord* e, const char* name) { return ProgramWindow::findControl<QLineEdit>(e, name); }
    static QToolButton* button(frmRecord* e, const char* n) { return ProgramWindow::findControl<QToolButton>(e, n); }
    // An editor step: the text typed into the box, then Return.
    static ProgramWindow::EditorStep typeAndSave(const char* name, const QString& text)
    {
        return [=](frmRecord* editor) { box(editor, name)->setFocus(), type(text), press(Qt::Key_Return); };
    }
    Grid* grid() const { return program.grid(); }
    void click(const char* name) const { program.control<QToolButton>(name)->click(); }
    QVariant query(const QString& sql) const { return TestFolder::query(program.catalogue(), sql); }
    QVariant field(qint64 id, const char* name = "Title") const
    {
        return query(QStringLiteral("SELECT %1 FROM Recording WHERE ID = %2").arg(QLatin1String(name)).arg(id));
    }
    int recordings() const { return query(QStringLiteral("SELECT count(*) FROM Recording")).toInt(); }
    void focusGrid() const { QApplication::setActiveWindow(program.window.get()), grid()->setFocus(); }
    // Runs a command while the editor takes the steps, and checks that it took them all.
    using Steps = QList<ProgramWindow::EditorStep>;
    void run(const std::function<void()>& command, const Steps& steps)
    {
        program.whenEditorShows(steps);
        command();
        EXPECT_FALSE(program.stepsLeft()) << "the editor showed fewer times than expected";
        EXPECT_EQ(program.unexpectedEditors(), 0);
    }
    void run(const char* name, const Steps& steps)
    {
        run([&] { click(name); }, steps);
    }

    ProgramWindow program;
};

TEST_F(RecordCommands, NewSavesOnlyWhatWasTyped)
{
    ASSERT_TRUE(program.start(kIni, Recordings()));
    // Opened and left at once: nothing is created, whatever the route.
    const QList<std::function<void()>> routes = {
        [&] { click("cmdNew"); },
        [&] { program.control<QAction>("mnuEditItem2")->trigger(); },
        [&] { press(Qt::Key_N, Qt::ControlModifier); },
        [&] { press(Qt::Key_Insert); },
    };
    for (const auto& route : routes) {
        focusGrid();
        run(route, {[&](frmRecord* editor) {
                EXPECT_EQ(editor->windowTitle(), QStringLiteral("New Recording"));
                EXPECT_EQ(ProgramWindow::focus(), box(editor, "txtArtist"));
                EXPECT_EQ(box(editor, "txtYear")->text(), QString::number(QDate::currentDate().year()));
                EXPECT_EQ(ProgramWindow::findControl<QComboBox>(editor, "cboFormat")->currentText(), "CD");
                EXPECT_TRUE(button(editor, "cmdPrevious")->isEnabled() && button(editor, "cmdNext")->isEnabled());
                // Next leaves a new recording without stepping on to another.
                &route == &routes.last() ? button(editor, "cmdNext")->click() : press(Qt::Key_Return);
            }});
    }
    EXPECT_EQ(recordings(), 10);
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());

    focusGrid();
    run([&] { press(Qt::Key_Insert); },
        {[&](frmRecord*) { type("Zappa"), press(Qt::Key_Tab), type("Hot Rats"), press(Qt::Key_Return); }});
    EXPECT_EQ(recordings(), 11);
    EXPECT_EQ(program.window->currentID(), 11);
    // The display follows, with the new recording current and the focus back on it.
    EXPECT_EQ(grid()->textAt(grid()->row(), 1), QStringLiteral("Hot Rats"));
    EXPECT_EQ(grid()->selStartRow(), grid()->row());
    EXPECT_EQ(program.window->focusWidget(), grid());

    // Another program holds the catalogue for writing: a refused save loses nothing.
    program.session->setCatalogue(Database::open(program.catalogue(), false, false, 50));
    const auto other = Database::open(program.catalogue());
    other->beginTrans();
    run("cmdNew", {[&](frmRecord* editor) {
            type(QStringLiteral("Kept"));
            press(Qt::Key_Return);
            const QString said = ProgramWindow::said();
            EXPECT_TRUE(said.contains("in use by another program") && !said.contains(" | ")) << said.toStdString();
            ASSERT_TRUE(editor->isVisible()) << "the editor stays open with the edits";
            EXPECT_EQ(box(editor, "txtArtist")->text(), QStringLiteral("Kept"));
            // The other program finishes; the same OK now saves, once.
            other->rollback();
            press(Qt::Key_Return);
        }});
    EXPECT_TRUE(program.column(0).contains(QStringLiteral("Kept")));
    EXPECT_EQ(recordings(), 12);
}

TEST_F(RecordCommands, AmendSavesOrDiscardsAsAnswered)
{
    ASSERT_TRUE(program.start(kIni, Recordings()));
    program.clickRow(4);
    const qint64 id = grid()->idAt(4);
    // Escape after a change asks; No drops the edit.
    run("cmdAmend", {[&](frmRecord* editor) {
            EXPECT_EQ(box(editor, "txtTitle")->text(), QStringLiteral("Title 4"));
            type(QStringLiteral("Changed"));
            Dialogs::scriptMessageAnswer(QMessageBox::No);
            press(Qt::Key_Escape);
        }});
    const QList<Dialogs::Shown> asked = Dialogs::takeShown();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(std::make_pair(asked.first().icon, asked.first().buttons),
              std::make_pair(QMessageBox::Question, QMessageBox::Yes | QMessageBox::No));
    EXPECT_EQ(field(id, "Artist"), QStringLiteral("Artist 04"));

    // Cancel after a change, Yes: saved, and the display shows it on the same row.
    run([&] { program.control<QAction>("mnuEditItem3")->trigger(); }, {[&](frmRecord* editor) {
            box(editor, "txtTitle")->setFocus();
            type(QStringLiteral("Renamed"));
            Dialogs::scriptMessageAnswer(QMessageBox::Yes);
            button(editor, "cmdCancel")->click();
        }});
    EXPECT_EQ(Dialogs::takeShown().size(), 1);
    EXPECT_EQ(field(id), QStringLiteral("Renamed"));
    EXPECT_EQ(program.column(1).at(3), QStringLiteral("Renamed"));
    EXPECT_EQ(grid()->row(), 4);

    // Without a change Cancel asks nothing; OK saves without asking, and with auto-refresh off
    // the change waits for the next refresh.
    program.session->autoRefresh = false;
    run([&] { emit grid()->cellDoubleClicked(); }, {[&](frmRecord*) { press(Qt::Key_Escape); }});
    run([&] { program.control<QAction>("mnuEditItem3")->trigger(); }, {typeAndSave("txtTitle", "Quiet")});
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
    EXPECT_EQ(field(id), QStringLiteral("Quiet"));
    EXPECT_EQ(program.column(1).at(3), QStringLiteral("Renamed"));
}

TEST_F(RecordCommands, PreviousAndNextStepThroughTheDisplay)
{
    ASSERT_TRUE(program.start(kIni, Recordings()));
    program.clickRow(1);
    auto enabled = [&](frmRecord* editor) {
        return std::make_pair(button(editor, "cmdPrevious")->isEnabled(), button(editor, "cmdNext")->isEnabled());
    };
    run("cmdAmend", {[&](frmRecord* editor) {
                         EXPECT_EQ(enabled(editor), std::make_pair(false, true));
                         button(editor, "cmdNext")->click();
                     },
                     [&](frmRecord* editor) {
                         EXPECT_EQ(box(editor, "txtArtist")->text(), QStringLiteral("Artist 02"));
                         // A change asks before the move; the move stands whatever the answer.
                         type(QStringLiteral("Edited"));
                         Dialogs::scriptMessageAnswer(QMessageBox::Yes);
                         button(editor, "cmdNext")->click();
                     },
                     [&](frmRecord* editor) {
                         EXPECT_EQ(box(editor, "txtArtist")->text(), QStringLiteral("Artist 03"));
                         EXPECT_EQ(enabled(editor), std::make_pair(true, true));
                         EXPECT_EQ(std::make_pair(grid()->row(), grid()->selStartRow()), std::make_pair(3, 3));
                         // The grid keeps its old values until the editor is finally closed.
                         EXPECT_EQ(grid()->textAt(2, 0), QStringLiteral("Artist 02"));
                         button(editor, "cmdPrevious")->click();
                     },
                     [&](frmRecord* editor) {
                         EXPECT_EQ(box(editor, "txtArtist")->text(), QStringLiteral("Edited"));
                         button(editor, "cmdCancel")->click();
                     }});
    // The saved recording is selected where the refresh sorted it.
    EXPECT_EQ(grid()->row(), 10);
    EXPECT_EQ(grid()->textAt(10, 0), QStringLiteral("Edited"));
    // On the last row of the display, Next is off.
    program.clickRow(10);
    run("cmdAmend", {[&](frmRecord* editor) {
            EXPECT_EQ(enabled(editor), std::make_pair(true, false));
            press(Qt::Key_Escape);
        }});
}

TEST_F(RecordCommands, DeleteShowsTheNeighbourNext)
{
    ASSERT_TRUE(program.start(kIni, Recordings(5)));
    const struct
    {
        int row;
        bool autoRefresh;
        QStringList titlesAfter;
        QString currentTitle;
    } cases[] = {
        {2, false, {"Title 1", "Title 2", "Title 3", "Title 4", "Title 5"}, "Title 2"}, // until the next refresh
        {2, true, {"Title 1", "Title 4", "Title 5"}, "Title 4"},                        // the one below moves up
        {3, true, {"Title 1", "Title 4"}, "Title 4"},                                   // after the last, the one above
        {1, true, {"Title 4"}, "Title 4"},
        {1, true, {""}, ""}, // the only one
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.currentTitle.toStdString());
        program.session->autoRefresh = c.autoRefresh;
        program.clickRow(c.row);
        const qint64 deleted = grid()->idAt(c.row);
        const int rows = grid()->rows() - 1;
        Dialogs::scriptMessageAnswer(QMessageBox::No);
        click("cmdDelete");
        EXPECT_EQ(recordings(), rows);

        Dialogs::scriptMessageAnswer(QMessageBox::Yes);
        focusGrid();
        const QString named = grid()->textAt(grid()->row(), 0) + " - " + grid()->textAt(grid()->row(), 1);
        press(Qt::Key_Delete);
        const QString said = ProgramWindow::said(); // the question of the click, then the key's
        EXPECT_EQ(said.mid(said.indexOf(" | ")),
                  " | Varolin: Are you sure you want to delete this Recording?\r\n\r\n" + named);
        EXPECT_FALSE(field(deleted).isValid());
        EXPECT_EQ(program.column(1), c.titlesAfter);
        EXPECT_EQ(grid()->textAt(grid()->row(), 1), c.currentTitle);
        EXPECT_EQ(grid()->selStartRow(), grid()->row());
        if (!c.autoRefresh)
            click("cmdRefresh");
    }
    // Nothing left: Amend and Delete are off, and Enter, double click and Delete do nothing.
    EXPECT_FALSE(program.control<QToolButton>("cmdAmend")->isEnabled());
    EXPECT_FALSE(program.control<QAction>("mnuEditItem4")->isEnabled());
    run([&] { press(Qt::Key_Return), press(Qt::Key_Delete), emit grid()->cellDoubleClicked(); }, {});
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
}

TEST_F(RecordCommands, TheDisplayFollowsChangesWithoutAskingAgain)
{
    ASSERT_TRUE(program.start(kIni, Recordings()));
    auto* selections = program.control<QComboBox>("cboSQL");
    Dialogs::scriptInputAnswer(QStringLiteral("Artist 0*"));
    selections->setCurrentIndex(1);
    emit selections->activated(1);
    ASSERT_EQ(program.column(0).size(), 9);
    Dialogs::takeShown();

    Dialogs::scriptMessageAnswer(QMessageBox::Yes);
    click("cmdDelete");
    run("cmdNew", {typeAndSave("txtArtist", "Artist 00")});
    // Only the Delete question: the Selection's answer stands for both refreshes.
    EXPECT_EQ(Dialogs::takeShown().size(), 1);
    EXPECT_EQ(program.column(0).first(), QStringLiteral("Artist 00"));
    EXPECT_EQ(program.column(0).size(), 9);
}

TEST_F(RecordCommands, GridKeysMoveAndRememberTheColumn)
{
    ASSERT_TRUE(program.start(kIni, Recordings(80)));
    focusGrid();
    program.clickRow(5);
    grid()->setCol(4);
    run([&] { press(Qt::Key_Return); }, {typeAndSave("txtTitle", "x")});
    EXPECT_EQ(program.window->focusWidget(), grid());
    EXPECT_EQ(std::make_pair(grid()->row(), grid()->col()), std::make_pair(5, 0)) << "the refresh's first column";
    focusGrid();
    press(Qt::Key_Down);
    EXPECT_EQ(std::make_pair(grid()->row(), grid()->col()), std::make_pair(6, 4)) << "the first move after Enter";
    press(Qt::Key_Left);
    EXPECT_EQ(grid()->col(), 3) << "only the first move";

    press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(std::make_tuple(grid()->row(), grid()->col(), grid()->selStartRow(), grid()->leftCol()),
              std::make_tuple(80, 7, 80, 0));
    EXPECT_GT(grid()->topRow(), 1);
    EXPECT_LE(grid()->topRow(), program.window->maxTopRow());
    press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(std::make_tuple(grid()->row(), grid()->col(), grid()->topRow(), grid()->selStartRow()),
              std::make_tuple(1, 0, 1, 1));
}

TEST_F(RecordCommands, AmendOfARecordAnotherProgramDeletedRefreshes)
{
    ASSERT_TRUE(program.start(kIni, Recordings()));
    const auto deleteRow = [&](int row) {
        TestFolder::execute(program.catalogue(),
                            QStringLiteral("DELETE FROM Recording WHERE ID = %1").arg(grid()->idAt(row)));
    };
    program.clickRow(3);
    deleteRow(3);
    run("cmdAmend", {});
    EXPECT_EQ(program.editorsShown(), 0);
    EXPECT_EQ(ProgramWindow::said(), "Varolin: This Recording is no longer in the catalogue; another program may have "
                                     "deleted it. The display will be refreshed.");
    EXPECT_EQ(program.column(0).size(), 9);

    // Deleted while the editor was open: the save says so and keeps the edits.
    program.clickRow(1);
    run("cmdAmend", {[&](frmRecord* editor) {
            deleteRow(1);
            type(QStringLiteral("Lost?"));
            press(Qt::Key_Return);
            EXPECT_TRUE(editor->isVisible());
            EXPECT_TRUE(Dialogs::takeShown().value(0).text.contains(QStringLiteral("no longer in the catalogue")));
            Dialogs::scriptMessageAnswer(QMessageBox::No);
            press(Qt::Key_Escape);
        }});
    EXPECT_EQ(recordings(), 8);

    // Next onto a recording another program deleted: the display is refreshed on the recording
    // the user came from.
    click("cmdRefresh");
    program.clickRow(1);
    run("cmdAmend", {[&](frmRecord* editor) {
            deleteRow(2);
            button(editor, "cmdNext")->click();
        }});
    EXPECT_EQ(program.editorsShown(), 2) << "the editor did not open on the missing recording";
    EXPECT_EQ(program.column(0).size(), 7);
    EXPECT_EQ(std::make_pair(grid()->row(), grid()->selStartRow()), std::make_pair(1, 1));
}

TEST_F(RecordCommands, ANewCopyOfARecordingIsAskedAboutAndTheEditStays)
{
    ASSERT_TRUE(program.start(kIni, Recordings(2)));
    run("cmdNew", {[&](frmRecord* editor) {
            type(QStringLiteral("artist 01")), press(Qt::Key_Tab), type(QStringLiteral("TITLE 1!"));
            Dialogs::scriptMessageAnswer(QMessageBox::No);
            press(Qt::Key_Return);
            EXPECT_TRUE(editor->isVisible()) << "back to the edit";
            EXPECT_TRUE(Dialogs::takeShown().value(0).text.contains(QStringLiteral("Artist 01 - Title 1 (CD)")));
            Dialogs::scriptMessageAnswer(QMessageBox::Yes); // a second copy
            press(Qt::Key_Return);
        }});
    EXPECT_EQ(recordings(), 3);
}

TEST_F(RecordCommands, CtrlZBringsADeletedRecordingBackAndCtrlYTakesItAgain)
{
    ASSERT_TRUE(program.start(kIni, Recordings(3)));
    auto* undo = program.control<QAction>("mnuEditItem10");
    EXPECT_EQ(std::make_pair(undo->text(), undo->isEnabled()), std::make_pair(QStringLiteral("&Undo"), false));
    program.clickRow(2);
    const qint64 id = grid()->idAt(2);
    Dialogs::scriptMessageAnswer(QMessageBox::Yes);
    focusGrid();
    press(Qt::Key_Delete);
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Delete of \"Artist 02 – Title 2\""));
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(program.column(1), QStringList({"Title 1", "Title 2", "Title 3"}));
    EXPECT_EQ(std::make_pair(grid()->idAt(grid()->row()), grid()->selStartRow()), std::make_pair(id, 2));
    press(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(program.column(1), QStringList({"Title 1", "Title 3"}));
}

} // namespace
