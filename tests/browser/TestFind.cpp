#include "browser/frmFind.h"
#include "browser/frmMain.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "shared/Session.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {

const QString kIni = QStringLiteral("[SQL]\n1=All\nDefault=1\n");

// Shown by artist: row 1 Alpha, row 2 Beta, row 3 Gamma.
const QList<TestFolder::Recording> kRecordings = {
    {"Beta", "Night Harbour", "1990", 9, "Harbour Records"},
    {"Alpha", "Harbour Lights", "1980", 9, "Harbour"},
    {"Gamma", "Dry Land", "", 1, "Inland"},
};

class Find : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(program.start(kIni, kRecordings)); }
    Grid* grid() const { return program.grid(); }
    std::pair<int, int> cell() const { return {grid()->row(), grid()->col()}; }

    // Answers the find dialog with keys, as a person would.
    void find(const QString& text, bool matchCase = false, bool wholeCell = false)
    {
        program.whenShows<frmFind>({[=](frmFind* dialog) {
            EXPECT_EQ(ProgramWindow::focus(), ProgramWindow::findControl<QLineEdit>(dialog, "txtFind"));
            ProgramWindow::type(text);
            // The access keys press their boxes as a click does, a moment later.
            const std::tuple<const char*, bool, Qt::Key> options[] = {{"chkCase", matchCase, Qt::Key_C},
                                                                      {"chkCell", wholeCell, Qt::Key_W}};
            for (const auto& [name, wanted, key] : options) {
                auto* check = ProgramWindow::findControl<QCheckBox>(dialog, name);
                if (check->isChecked() != wanted)
                    ProgramWindow::press(key, Qt::AltModifier);
                EXPECT_TRUE(QTest::qWaitFor([&] { return check->isChecked() == wanted; })) << name;
            }
            ProgramWindow::press(Qt::Key_Return);
        }});
        program.control<QToolButton>("cmdFind")->click();
        EXPECT_FALSE(program.stepsLeft());
        QApplication::setActiveWindow(program.window.get());
    }
    void findNext() { program.control<QAction>("mnuFindItem1")->trigger(); }
    // The "Sorry" message, if one was shown since the last look.
    QString sorry() const { return Dialogs::takeShown().value(0).text; }

    ProgramWindow program;
};

TEST_F(Find, MatchesByTheFourRules)
{
    const struct
    {
        QString text;
        bool matchCase;
        bool wholeCell;
        std::pair<int, int> found; // {0, 0}: not found
    } cases[] = {
        {"harbour", false, false, {1, 1}},      // "Harbour Lights", before the Label of row 1
        {"harbour", true, false, {0, 0}},       // the case counts
        {"night harbour", false, true, {2, 1}}, // the whole cell, in any case
        {"Harbour", true, true, {1, 4}},        // both: the Label, not the Title
        {"Artist", false, true, {0, 0}},        // only in the heading row, which is never searched
    };
    for (const auto& c : cases) {
        grid()->setRow(3);
        grid()->setCol(2);
        find(c.text, c.matchCase, c.wholeCell);
        SCOPED_TRACE(c.text.toStdString());
        if (c.found.first == 0) {
            EXPECT_EQ(sorry(), QStringLiteral("Sorry - no match found on '%1'.").arg(c.text));
            EXPECT_EQ(cell(), std::make_pair(3, 2)) << "the current cell is put back";
            continue;
        }
        EXPECT_TRUE(sorry().isEmpty());
        // Found: the whole row is highlighted and the grid has the focus.
        EXPECT_EQ(std::make_tuple(cell(), grid()->selStartRow(), grid()->selEndCol(), program.window->focusWidget()),
                  std::make_tuple(c.found, c.found.first, 7, static_cast<QWidget*>(grid())));
    }
}

TEST_F(Find, FindNextGoesOnNeverWrapsAndCancelForgetsTheText)
{
    find(QStringLiteral("harbour"));
    EXPECT_EQ(cell(), std::make_pair(1, 1));
    // The right-hand match of the same row comes first; the last step finds nothing.
    const std::pair<int, int> steps[] = {{1, 4}, {2, 1}, {2, 4}, {2, 4}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        i == 1 ? QTest::keyClick(grid(), Qt::Key_F3) : findNext();
        EXPECT_EQ(cell(), steps[i]) << i;
        EXPECT_EQ(sorry().isEmpty(), i < 3) << i;
    }

    // From the very last cell there is nothing left to search.
    grid()->setRow(3);
    grid()->setCol(7);
    findNext();
    EXPECT_FALSE(sorry().isEmpty());
    EXPECT_EQ(cell(), std::make_pair(3, 7));

    find(QStringLiteral("Inland"), false, true);
    EXPECT_EQ(cell(), std::make_pair(3, 4));
    grid()->setRow(1);
    grid()->setCol(0);

    // Reopened: the last text, all selected, and the options as they were; Escape cancels.
    program.whenShows<frmFind>({[](frmFind* dialog) {
        auto* box = ProgramWindow::findControl<QLineEdit>(dialog, "txtFind");
        EXPECT_EQ(box->selectedText(), QStringLiteral("Inland"));
        EXPECT_FALSE(ProgramWindow::findControl<QCheckBox>(dialog, "chkCase")->isChecked());
        EXPECT_TRUE(ProgramWindow::findControl<QCheckBox>(dialog, "chkCell")->isChecked());
        const char* const order[] = {"chkCase", "chkCell", "chkAccents", "cmdCancel", "cmdOK", "txtFind"};
        for (const char* name : order) {
            ProgramWindow::press(Qt::Key_Tab);
            EXPECT_EQ(ProgramWindow::focus()->objectName(), QLatin1String(name));
        }
        ProgramWindow::press(Qt::Key_Escape);
    }});
    grid()->setFocus();
    ProgramWindow::press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_FALSE(program.stepsLeft());
    EXPECT_EQ(program.unexpectedEditors(), 0) << "one key press opens the dialog once";
    EXPECT_EQ(program.session->lastFind.text, QString());
    EXPECT_EQ(cell(), std::make_pair(1, 0));
    EXPECT_TRUE(sorry().isEmpty());

    // Find Next of the empty text: with Match Whole Cell, the next empty cell (Notes of row 1).
    findNext();
    EXPECT_EQ(cell(), std::make_pair(1, 5));

    // A match below the last page keeps the page full.
    QList<TestFolder::Recording> many;
    for (int i = 1; i <= 80; ++i)
        many.append({QStringLiteral("A%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("T%1").arg(i)});
    TestFolder::addRecordings(program.catalogue(), many);
    program.control<QToolButton>("cmdRefresh")->click();
    grid()->setRow(1);
    find(QStringLiteral("T79"), false, false);
    EXPECT_EQ(grid()->textAt(grid()->row(), 1), QStringLiteral("T79"));
    EXPECT_GT(grid()->topRow(), 40);
    EXPECT_LE(grid()->topRow(), program.window->maxTopRow());
    EXPECT_TRUE(grid()->viewport()->rect().contains(grid()->visualRect(grid()->currentIndex())));
}

TEST_F(Find, IgnoreAccentsIsAskedForAndKept)
{
    TestFolder::addRecordings(program.catalogue(), {{"Émilie Simon", "Végétal", "2006", 9}});
    program.control<QToolButton>("cmdRefresh")->click();
    program.whenShows<frmFind>({[](frmFind* dialog) {
        ProgramWindow::type(QStringLiteral("VEGETAL"));
        ProgramWindow::press(Qt::Key_A, Qt::AltModifier);
        auto* accents = ProgramWindow::findControl<QCheckBox>(dialog, "chkAccents");
        EXPECT_TRUE(QTest::qWaitFor([&] { return accents->isChecked(); }));
        ProgramWindow::press(Qt::Key_Return);
    }});
    program.control<QToolButton>("cmdFind")->click();
    EXPECT_EQ(cell(), std::make_pair(3, 1));
    EXPECT_TRUE(program.folder.readFile("varolin.ini").contains("Find-Ignore-Accents=1"));
    // Off by default at the next start, read back from the file here.
    program.session->lastFind = {};
    program.session->LoadSettings();
    EXPECT_TRUE(program.session->lastFind.ignoreAccents);
}

} // namespace
