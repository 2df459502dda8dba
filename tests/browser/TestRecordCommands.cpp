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
#include <QTest>
#include <QToolButton>

#include <tuple>

namespace {

const QString kIni = QStringLiteral("[SQL]\n1=All\n2=By Artist,Artist Like '??',Artist,Title\nDefault=1\n");

// Ten recordings, shown in this order by the default Selection (by artist, then year).
QList<TestFolder::Recording> TenRecordings()
{
    QList<TestFolder::Recording> ten;
    for (int i = 1; i <= 10; ++i)
        ten.append({QStringLiteral("Artist %1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("Title %1").arg(i),
                    QStringLiteral("19%1").arg(60 + i), i % 2 ? 9 : 1});
    return ten;
}

class RecordCommands : public ::testing::Test
{
protected:
    Grid* grid() const { return program.grid(); }
    QLineEdit* box(frmRecord* editor, const char* name) const
    {
        return ProgramWindow::findControl<QLineEdit>(editor, name);
    }
    QToolButton* button(frmRecord* editor, const char* name) const
    {
        return ProgramWindow::findControl<QToolButton>(editor, name);
    }
    static int Count(const ProgramWindow& in, const QString& where = QStringLiteral("1"))
    {
        return TestFolder::query(in.catalogue(), QStringLiteral("SELECT count(*) FROM Recording WHERE ") + where)
            .toInt();
    }
    int recordings() const { return Count(program); }
    QString fieldOf(qint64 id, const char* field = "Title") const
    {
        return TestFolder::query(
                   program.catalogue(),
                   QStringLiteral("SELECT %1 FROM Recording WHERE ID = %2").arg(QLatin1String(field)).arg(id))
            .toString();
    }
    void focusGrid() const
    {
        QApplication::setActiveWindow(program.window.get());
        grid()->setFocus();
    }
    // Runs a command while the editor takes the steps, and checks that it took them all.
    void run(const std::function<void()>& command, const QList<ProgramWindow::EditorStep>& steps)
    {
        program.whenEditorShows(steps);
        command();
        EXPECT_FALSE(program.stepsLeft()) << "the editor showed fewer times than expected";
        EXPECT_EQ(program.unexpectedEditors(), 0);
    }

    ProgramWindow program;
};

TEST_F(RecordCommands, NewSavesOnlyWhatWasTyped)
{
    ASSERT_TRUE(program.start(kIni, TenRecordings()));
    focusGrid();

    // Opened and left at once: nothing is created, whatever the route.
    const QList<std::function<void()>> routes = {
        [&] { program.control<QToolButton>("cmdNew")->click(); },
        [&] { program.control<QAction>("mnuEditItem2")->trigger(); },
        [&] { ProgramWindow::press(Qt::Key_N, Qt::ControlModifier); },
        [&] { ProgramWindow::press(Qt::Key_Insert); },
    };
    for (const auto& route : routes) {
        focusGrid();
        run(route, {[&](frmRecord* editor) {
                EXPECT_EQ(editor->windowTitle(), QStringLiteral("New Recording"));
                EXPECT_EQ(ProgramWindow::focus(), box(editor, "txtArtist"));
                EXPECT_EQ(box(editor, "txtYear")->text(), QString::number(QDate::currentDate().year()));
                EXPECT_EQ(ProgramWindow::findControl<QComboBox>(editor, "cboFormat")->currentText(), "CD");
                EXPECT_TRUE(button(editor, "cmdPrevious")->isEnabled());
                EXPECT_TRUE(button(editor, "cmdNext")->isEnabled());
                // Next leaves a new recording without stepping on to another.
                if (&route == &routes.last())
                    button(editor, "cmdNext")->click();
                else
                    ProgramWindow::press(Qt::Key_Return);
            }});
    }
    EXPECT_EQ(recordings(), 10);
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());

    focusGrid();
    run([&] { ProgramWindow::press(Qt::Key_Insert); }, {[&](frmRecord*) {
            ProgramWindow::type(QStringLiteral("Zappa"));
            ProgramWindow::press(Qt::Key_Tab);
            ProgramWindow::type(QStringLiteral("Hot Rats"));
            ProgramWindow::press(Qt::Key_Return);
        }});
    EXPECT_EQ(recordings(), 11);
    EXPECT_EQ(program.window->currentID(), 11);
    // The display follows, with the new recording current.
    EXPECT_EQ(grid()->textAt(grid()->row(), 1), QStringLiteral("Hot Rats"));
    EXPECT_EQ(grid()->selStartRow(), grid()->row());
    EXPECT_EQ(program.window->focusWidget(), grid());
    // Untouched boxes are zero-length strings, never Null.
    EXPECT_EQ(Count(program, "ID = 11 AND Label = '' AND Notes = '' AND Catalogue_No = '' AND Format = 9"), 1);
}

TEST_F(RecordCommands, AmendSavesOrDiscardsAsAnswered)
{
    ASSERT_TRUE(program.start(kIni, TenRecordings()));
    program.clickRow(4);
    const qint64 id = program.grid()->idAt((3) + 1);

    // Escape after a change asks; No drops the edit.
    run([&] { program.control<QToolButton>("cmdAmend")->click(); }, {[&](frmRecord* editor) {
            EXPECT_EQ(editor->windowTitle(), QStringLiteral("Amend Recording"));
            EXPECT_EQ(box(editor, "txtTitle")->text(), QStringLiteral("Title 4"));
            ProgramWindow::type(QStringLiteral("Changed"));
            Dialogs::scriptMessageAnswer(QMessageBox::No);
            ProgramWindow::press(Qt::Key_Escape);
        }});
    const QList<Dialogs::Shown> asked = Dialogs::takeShown();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked.first().text, QStringLiteral("Changes have been made; shall I save them?"));
    EXPECT_EQ(asked.first().icon, QMessageBox::Question);
    EXPECT_EQ(asked.first().buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(program.column(0).at(3), QStringLiteral("Artist 04"));
    EXPECT_EQ(fieldOf(id, "Artist"), QStringLiteral("Artist 04"));

    // Cancel after a change, Yes: saved, and the display shows it.
    run([&] { program.control<QAction>("mnuEditItem3")->trigger(); }, {[&](frmRecord* editor) {
            box(editor, "txtTitle")->setFocus();
            ProgramWindow::type(QStringLiteral("Renamed"));
            Dialogs::scriptMessageAnswer(QMessageBox::Yes);
            button(editor, "cmdCancel")->click();
        }});
    EXPECT_EQ(Dialogs::takeShown().size(), 1);
    EXPECT_EQ(fieldOf(id), QStringLiteral("Renamed"));
    EXPECT_EQ(program.window->currentID(), id);
    EXPECT_EQ(program.column(1).at(3), QStringLiteral("Renamed"));
    EXPECT_EQ(grid()->row(), 4);

    // Without a change Cancel asks nothing and writes nothing; with auto-refresh off a saved
    // change waits for the next refresh.
    program.session->autoRefresh = false;
    run([&] { program.window->findChild<Grid*>()->cellDoubleClicked(); },
        {[&](frmRecord*) { ProgramWindow::press(Qt::Key_Escape); }});
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
    run([&] { program.control<QAction>("mnuEditItem3")->trigger(); }, {[&](frmRecord* editor) {
            box(editor, "txtTitle")->setFocus();
            ProgramWindow::type(QStringLiteral("Quiet"));
            ProgramWindow::press(Qt::Key_Return);
        }});
    EXPECT_TRUE(Dialogs::takeShown().isEmpty()) << "OK saves without asking";
    EXPECT_EQ(fieldOf(id), QStringLiteral("Quiet"));
    EXPECT_EQ(program.column(1).at(3), QStringLiteral("Renamed"));
}

TEST_F(RecordCommands, PreviousAndNextStepThroughTheDisplay)
{
    ASSERT_TRUE(program.start(kIni, TenRecordings()));
    program.clickRow(1);
    auto enabled = [&](frmRecord* editor) {
        return std::make_pair(button(editor, "cmdPrevious")->isEnabled(), button(editor, "cmdNext")->isEnabled());
    };
    run([&] { program.control<QToolButton>("cmdAmend")->click(); },
        {[&](frmRecord* editor) {
             EXPECT_EQ(enabled(editor), std::make_pair(false, true));
             button(editor, "cmdNext")->click();
         },
         [&](frmRecord* editor) {
             EXPECT_EQ(box(editor, "txtArtist")->text(), QStringLiteral("Artist 02"));
             // A change asks before the move; the move stands whatever the answer.
             ProgramWindow::type(QStringLiteral("Edited"));
             Dialogs::scriptMessageAnswer(QMessageBox::Yes);
             button(editor, "cmdNext")->click();
         },
         [&](frmRecord* editor) {
             EXPECT_EQ(box(editor, "txtArtist")->text(), QStringLiteral("Artist 03"));
             EXPECT_EQ(enabled(editor), std::make_pair(true, true));
             EXPECT_EQ(grid()->row(), 3);
             EXPECT_EQ(grid()->selStartRow(), 3);
             // The grid keeps its old values until the editor is finally closed.
             EXPECT_EQ(grid()->textAt(2, 0), QStringLiteral("Artist 02"));
             button(editor, "cmdPrevious")->click();
         },
         [&](frmRecord* editor) {
             EXPECT_EQ(box(editor, "txtArtist")->text(), QStringLiteral("Edited"));
             button(editor, "cmdCancel")->click();
         }});
    // The saved recording is selected where the refresh sorted it.
    EXPECT_EQ(grid()->textAt(grid()->row(), 0), QStringLiteral("Edited"));
    EXPECT_EQ(grid()->row(), 10);

    program.clickRow(9);
    run([&] { program.control<QToolButton>("cmdAmend")->click(); },
        {[&](frmRecord* editor) { button(editor, "cmdNext")->click(); },
         [&](frmRecord* editor) {
             EXPECT_EQ(enabled(editor), std::make_pair(true, false));
             ProgramWindow::press(Qt::Key_Escape);
         }});
    EXPECT_EQ(grid()->row(), 10);
}

struct DeleteCase
{
    const char* name;
    int rows;
    int row;
    bool autoRefresh;
    QStringList titlesAfter;
    QString currentTitle;
};

TEST_F(RecordCommands, DeleteShowsTheNeighbourNext)
{
    const QList<DeleteCase> cases = {
        {"middle", 4, 2, true, {"Title 1", "Title 3", "Title 4"}, "Title 3"},
        {"last", 4, 4, true, {"Title 1", "Title 2", "Title 3"}, "Title 3"},
        {"only", 1, 1, true, {""}, ""},
        {"middle, no refresh", 4, 2, false, {"Title 1", "Title 2", "Title 3", "Title 4"}, "Title 2"},
    };
    for (const DeleteCase& c : cases) {
        ProgramWindow fresh;
        QList<TestFolder::Recording> some = TenRecordings().mid(0, c.rows);
        ASSERT_TRUE(fresh.start(kIni, some));
        fresh.session->autoRefresh = c.autoRefresh;
        fresh.clickRow(c.row);
        const qint64 deleted = fresh.grid()->idAt(c.row);

        Dialogs::scriptMessageAnswer(QMessageBox::No);
        fresh.control<QToolButton>("cmdDelete")->click();
        EXPECT_EQ(fresh.column(1).size(), c.rows) << c.name;

        Dialogs::scriptMessageAnswer(QMessageBox::Yes);
        QApplication::setActiveWindow(fresh.window.get());
        fresh.grid()->setFocus();
        ProgramWindow::press(Qt::Key_Delete);
        const QList<Dialogs::Shown> shown = Dialogs::takeShown();
        ASSERT_EQ(shown.size(), 2) << c.name;
        EXPECT_EQ(shown.at(1).text, QStringLiteral("Are you sure you want to delete this Recording?"));
        EXPECT_EQ(shown.at(1).title, QStringLiteral("Varolin"));
        EXPECT_EQ(Count(fresh, QStringLiteral("ID = %1").arg(deleted)), 0) << c.name;
        EXPECT_EQ(fresh.column(1), c.titlesAfter) << c.name;
        EXPECT_EQ(fresh.grid()->textAt(fresh.grid()->row(), 1), c.currentTitle) << c.name;
        EXPECT_EQ(fresh.grid()->selStartRow(), fresh.grid()->row()) << c.name;
        if (c.rows == 1) {
            // Nothing left: Amend and Delete are off, and Enter, double click and Delete do nothing.
            EXPECT_FALSE(fresh.control<QToolButton>("cmdAmend")->isEnabled());
            EXPECT_FALSE(fresh.control<QAction>("mnuEditItem4")->isEnabled());
            fresh.whenEditorShows({});
            ProgramWindow::press(Qt::Key_Return);
            ProgramWindow::press(Qt::Key_Delete);
            emit fresh.grid()->cellDoubleClicked();
            EXPECT_EQ(fresh.editorsShown(), 0);
            EXPECT_TRUE(Dialogs::takeShown().isEmpty());
        }
    }
}

TEST_F(RecordCommands, TheDisplayFollowsChangesWithoutAskingAgain)
{
    ASSERT_TRUE(program.start(kIni, TenRecordings()));
    auto* selections = program.control<QComboBox>("cboSQL");
    Dialogs::scriptInputAnswer(QStringLiteral("Artist 0*"));
    selections->setCurrentIndex(1);
    emit selections->activated(1);
    ASSERT_EQ(program.column(0).size(), 9);
    Dialogs::takeShown();

    Dialogs::scriptMessageAnswer(QMessageBox::Yes);
    program.control<QToolButton>("cmdDelete")->click();
    run([&] { program.control<QToolButton>("cmdNew")->click(); }, {[&](frmRecord*) {
            ProgramWindow::type(QStringLiteral("Artist 00"));
            ProgramWindow::press(Qt::Key_Return);
        }});
    // Only the Delete question: the Selection's answer stands for both refreshes.
    EXPECT_EQ(Dialogs::takeShown().size(), 1);
    EXPECT_EQ(program.column(0).first(), QStringLiteral("Artist 00"));
    EXPECT_EQ(program.column(0).size(), 9);
}

TEST_F(RecordCommands, GridKeysMoveAndRememberTheColumn)
{
    QList<TestFolder::Recording> many;
    for (int i = 1; i <= 80; ++i)
        many.append({QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("T%1").arg(i)});
    ASSERT_TRUE(program.start(kIni, many));
    focusGrid();
    program.clickRow(5);
    grid()->setCol(4);
    run([&] { ProgramWindow::press(Qt::Key_Return); }, {[&](frmRecord* editor) {
            box(editor, "txtTitle")->setFocus();
            ProgramWindow::type(QStringLiteral("x"));
            ProgramWindow::press(Qt::Key_Return);
        }});
    EXPECT_EQ(program.window->focusWidget(), grid());
    EXPECT_EQ(grid()->row(), 5);
    EXPECT_EQ(grid()->col(), 0) << "the refresh made the first column current";
    focusGrid();
    ProgramWindow::press(Qt::Key_Down);
    EXPECT_EQ(grid()->row(), 6);
    EXPECT_EQ(grid()->col(), 4) << "the first move after Enter lands in the remembered column";
    ProgramWindow::press(Qt::Key_Left);
    EXPECT_EQ(grid()->col(), 3) << "only the first move";

    ProgramWindow::press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid()->row(), 80);
    EXPECT_EQ(grid()->col(), 7);
    EXPECT_EQ(grid()->selStartRow(), 80);
    EXPECT_GT(grid()->topRow(), 1);
    EXPECT_LE(grid()->topRow(), program.window->maxTopRow());
    EXPECT_EQ(grid()->leftCol(), 0);
    ProgramWindow::press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(std::make_tuple(grid()->row(), grid()->col(), grid()->topRow(), grid()->selStartRow()),
              std::make_tuple(1, 0, 1, 1));
}

TEST_F(RecordCommands, IdsPastTwoToTheThirtyOneAreKeptWhole)
{
    // Two recordings whose IDs share their low 32 bits, and one ordinary one.
    ASSERT_TRUE(program.start(kIni, {}));
    TestFolder::execute(program.catalogue(), QStringLiteral("INSERT INTO Recording (ID, Artist, Title, Format) VALUES"
                                                            " (3000000000, 'Big', 'Three billion', 9),"
                                                            " (7294967296, 'Bigger', 'Same low bits', 9),"
                                                            " (2, 'Small', 'Two', 9)"));
    program.control<QToolButton>("cmdRefresh")->click();
    ASSERT_EQ((QList<qint64>{program.grid()->idAt(1), program.grid()->idAt(2), program.grid()->idAt(3)}),
              (QList<qint64>{3000000000, 7294967296, 2}));

    program.clickRow(1);
    run([&] { program.control<QToolButton>("cmdAmend")->click(); }, {[&](frmRecord* editor) {
            EXPECT_EQ(box(editor, "txtTitle")->text(), QStringLiteral("Three billion"));
            box(editor, "txtTitle")->setFocus();
            ProgramWindow::type(QStringLiteral("Amended"));
            ProgramWindow::press(Qt::Key_Return);
        }});
    EXPECT_EQ(fieldOf(3000000000), QStringLiteral("Amended"));
    EXPECT_EQ(fieldOf(7294967296), QStringLiteral("Same low bits"));
    EXPECT_EQ(program.window->currentID(), 3000000000);
    EXPECT_EQ(grid()->row(), 1);

    Dialogs::scriptMessageAnswer(QMessageBox::Yes);
    program.control<QToolButton>("cmdDelete")->click();
    EXPECT_EQ(program.column(1), (QStringList{"Same low bits", "Two"}));
    EXPECT_EQ(program.window->currentID(), 7294967296);

    // A new recording after them gets the next ID up, and is selected.
    run([&] { program.control<QToolButton>("cmdNew")->click(); }, {[&](frmRecord*) {
            ProgramWindow::type(QStringLiteral("Zed"));
            ProgramWindow::press(Qt::Key_Return);
        }});
    EXPECT_EQ(program.window->currentID(), 7294967297);
    EXPECT_EQ(grid()->textAt(grid()->row(), 0), QStringLiteral("Zed"));
}

TEST_F(RecordCommands, RefusedChangesLoseNothing)
{
    ASSERT_TRUE(program.start(kIni, TenRecordings()));
    // Another program holds the catalogue for writing.
    program.session->setCatalogue(Database::open(program.catalogue(), false, false, 50));
    const auto other = Database::open(program.catalogue());
    other->beginTrans();

    run([&] { program.control<QToolButton>("cmdNew")->click(); }, {[&](frmRecord* editor) {
            ProgramWindow::type(QStringLiteral("Kept"));
            ProgramWindow::press(Qt::Key_Return);
            const QList<Dialogs::Shown> shown = Dialogs::takeShown();
            ASSERT_EQ(shown.size(), 1);
            EXPECT_TRUE(shown.first().text.contains(QStringLiteral("in use by another program")))
                << shown.first().text.toStdString();
            ASSERT_TRUE(editor->isVisible()) << "the editor stays open with the edits";
            EXPECT_EQ(box(editor, "txtArtist")->text(), QStringLiteral("Kept"));
            // The other program finishes; the same OK now saves, once.
            other->rollback();
            ProgramWindow::press(Qt::Key_Return);
        }});
    EXPECT_TRUE(program.column(0).contains(QStringLiteral("Kept")));
    EXPECT_EQ(recordings(), 11);

    // A read-only catalogue refuses a Delete: nothing deleted, the display as it was.
    program.session->setCatalogue(Database::open(program.catalogue(), false, true));
    const QStringList before = program.column(0);
    Dialogs::scriptMessageAnswer(QMessageBox::Yes);
    program.control<QToolButton>("cmdDelete")->click();
    const QList<Dialogs::Shown> shown = Dialogs::takeShown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown.at(1).text.contains(QStringLiteral("read-only"))) << shown.at(1).text.toStdString();
    EXPECT_EQ(recordings(), 11);
    EXPECT_EQ(program.column(0), before);
    EXPECT_TRUE(program.control<QToolButton>("cmdAmend")->isEnabled());
}

TEST_F(RecordCommands, AmendOfARecordAnotherProgramDeletedRefreshes)
{
    ASSERT_TRUE(program.start(kIni, TenRecordings()));
    program.clickRow(3);
    TestFolder::execute(program.catalogue(),
                        QStringLiteral("DELETE FROM Recording WHERE ID = %1").arg(program.grid()->idAt((2) + 1)));
    run([&] { program.control<QToolButton>("cmdAmend")->click(); }, {});
    EXPECT_EQ(program.editorsShown(), 0);
    const QList<Dialogs::Shown> shown = Dialogs::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().text.contains(QStringLiteral("no longer in the catalogue")));
    EXPECT_EQ(program.column(0).size(), 9);

    // Deleted while the editor was open: the save says so and keeps the edits.
    program.clickRow(1);
    run([&] { program.control<QToolButton>("cmdAmend")->click(); }, {[&](frmRecord* editor) {
            TestFolder::execute(
                program.catalogue(),
                QStringLiteral("DELETE FROM Recording WHERE ID = %1").arg(program.grid()->idAt(program.grid()->row())));
            ProgramWindow::type(QStringLiteral("Lost?"));
            ProgramWindow::press(Qt::Key_Return);
            EXPECT_TRUE(editor->isVisible());
            EXPECT_TRUE(Dialogs::takeShown().value(0).text.contains(QStringLiteral("no longer in table")));
            Dialogs::scriptMessageAnswer(QMessageBox::No);
            ProgramWindow::press(Qt::Key_Escape);
        }});
    EXPECT_EQ(recordings(), 8);

    // Next onto a recording another program deleted: the display is refreshed on the recording
    // the user came from.
    program.control<QToolButton>("cmdRefresh")->click();
    program.clickRow(1);
    run([&] { program.control<QToolButton>("cmdAmend")->click(); }, {[&](frmRecord* editor) {
            TestFolder::execute(
                program.catalogue(),
                QStringLiteral("DELETE FROM Recording WHERE ID = %1").arg(program.grid()->idAt((1) + 1)));
            button(editor, "cmdNext")->click();
        }});
    EXPECT_EQ(program.editorsShown(), 2) << "the editor did not open on the missing recording";
    EXPECT_EQ(program.column(0).size(), 7);
    EXPECT_EQ(grid()->row(), 1);
    EXPECT_EQ(grid()->selStartRow(), 1);
}

} // namespace
