#include "browser/frmMain.h"
#include "editor/frmRecord.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/StatusPanel.h"
#include "platform/Twips.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <numeric>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

namespace {

const QList<TestFolder::Recording> kRecordings = {
    {"Abba", "Waterloo", "1974", 9, "Polar", "POLS 252", "", "SE-1"},
    {"Blur", "Parklife", "1994", 1, "Food", "FOODCD 10", "Two\r\nlines", ""},
    {"O'Brien", "Celtic", "", 9, "", "", "", ""},
    {"Abba", "Arrival", "1976", 1, "Polar", "POLS 272", "", ""},
};

const QString kIni =
    QStringLiteral("[SQL]\n1=Everything\n2=By Artist,Artist Like '??',Artist,Year\n"
                   "3=Two Questions,Year >= '??' AND Year <= '??',Year\n4=This Year,Year = '~~Year~~'\n"
                   "5=Typed Condition,??\n6=Broken,Artst = 'x'\n7=Nothing,Artist = 'Nobody'\n"
                   "8=Initial,UCase(Left([Artist],1)) = \"A\",Mid(Title, 2, 3),Year\n");
const QString kAll = QStringLiteral("[SQL]\n1=All\nDefault=1\n");

class MainWindow : public ::testing::Test
{
protected:
    bool start(const QString& ini, const QList<TestFolder::Recording>& recordings = kRecordings)
    {
        return program.start(ini, recordings);
    }
    frmMain* window() const { return program.window.get(); }
    Grid* grid() const { return program.grid(); }
    QComboBox* selections() const { return program.control<QComboBox>("cboSQL"); }
    QString status() const { return program.control<StatusPanel>("pnlStatus")->caption(); }
    // The Selection list's text, focused and all selected.
    QLineEdit* selectionText() const
    {
        selections()->lineEdit()->setFocus();
        selections()->lineEdit()->selectAll();
        return selections()->lineEdit();
    }
    void choose(int index)
    {
        selections()->setCurrentIndex(index);
        emit selections()->activated(index);
    }
    // Amend, Delete and their menu items.
    QList<bool> commandsOn() const
    {
        return {program.control<QToolButton>("cmdAmend")->isEnabled(),
                program.control<QToolButton>("cmdDelete")->isEnabled(),
                program.control<QAction>("mnuEditItem3")->isEnabled(),
                program.control<QAction>("mnuEditItem4")->isEnabled()};
    }

    ProgramWindow program;
};

TEST_F(MainWindow, SelectionsAskTheirQuestionsAndShowEachOutcome)
{
    // Without Selections nothing runs, not even a refresh.
    ASSERT_TRUE(start(QString()));
    EXPECT_EQ(std::make_pair(selections()->count(), selections()->currentIndex()), std::make_pair(0, -1));
    program.control<QToolButton>("cmdRefresh")->click();
    EXPECT_FALSE(grid()->isVisible());
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());

    program.folder.writeIni(kIni + QStringLiteral("Default=1\n"));
    ASSERT_TRUE(program.start());
    EXPECT_EQ(selections()->currentIndex(), 0);
    ASSERT_TRUE(grid()->isVisible());
    EXPECT_EQ(program.column(1), (QStringList{"Waterloo", "Arrival", "Parklife", "Celtic"}));
    EXPECT_EQ(status(), QStringLiteral(" 4 records found"));
    EXPECT_EQ(std::make_tuple(grid()->row(), grid()->col(), grid()->selStartRow(), grid()->selEndCol()),
              std::make_tuple(1, 0, 1, 7));
    EXPECT_EQ(commandsOn(), QList<bool>(4, true));

    choose(6);
    EXPECT_EQ(program.column(0), (QStringList{"(No Recordings Found)"}));
    EXPECT_EQ(status(), QStringLiteral(" 0 records found"));
    EXPECT_EQ(window()->maxTopRow(), 1);
    EXPECT_EQ(commandsOn(), QList<bool>(4, false));

    // Refused by the engine: its reason and the Selection's name, and a grid that does not claim "none found".
    choose(5);
    const QString said = ProgramWindow::said(); // one box
    EXPECT_TRUE(said.startsWith("Varolin: The Selection \"Broken\" could not be run:") && !said.contains(" | "));
    EXPECT_TRUE(said.contains("no such column: Artst")) << said.toStdString();
    EXPECT_TRUE(grid()->isVisible());
    EXPECT_EQ(program.column(0), (QStringList{"(The Selection could not be run)"}));
    EXPECT_EQ(commandsOn(), QList<bool>(4, false));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(program.control<StatusPanel>("pnlStatus")->barStyle(), StatusPanel::BarStyle::None);

    choose(0);
    EXPECT_EQ(status(), QStringLiteral(" 4 records found"));
    EXPECT_EQ(commandsOn(), QList<bool>(4, true));

    // Each "??" is asked in turn.
    const QString kPrompt =
        QStringLiteral("Enter a value for this Selection.\r\nNote that wildcard characters (* and ?) may be used. ");
    Dialogs::scriptInputAnswer(QStringLiteral("1975"));
    Dialogs::scriptInputAnswer(QStringLiteral("1995"));
    choose(2);
    const QList<Dialogs::Shown> asked = Dialogs::takeShown();
    ASSERT_EQ(asked.size(), 2);
    for (const Dialogs::Shown& box : asked)
        EXPECT_TRUE(box.input && box.title == QStringLiteral("Two Questions") && box.text == kPrompt)
            << box.text.toStdString();
    EXPECT_EQ(program.column(1), (QStringList{"Arrival", "Parklife"}));

    // An answer holding "??" is taken as typed, not asked about again.
    Dialogs::scriptInputAnswer(QStringLiteral("??"));
    Dialogs::scriptInputAnswer(QStringLiteral("1995"));
    choose(2);
    EXPECT_EQ(Dialogs::takeShown().size(), 2);

    // A quote in a literal finds what was typed; outside one the answer is the condition; a cancel asks for "".
    const std::tuple<int, QString, QString> answers[] = {
        {4, QStringLiteral("Year > '1975' AND Label <> 'Food'"), QStringLiteral("Abba")},
        {1, QString(), QStringLiteral("(No Recordings Found)")},
    };
    for (const auto& [selection, answer, found] : answers) {
        Dialogs::scriptInputAnswer(answer);
        choose(selection);
        EXPECT_EQ(program.column(0), QStringList{found}) << answer.toStdString();
        EXPECT_EQ(Dialogs::takeShown().size(), 1) << "no engine error";
    }

    // The current year needs no question.
    TestFolder::addRecordings(program.catalogue(), {{"New", "Fresh", QString::number(QDate::currentDate().year())}});
    choose(3);
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
    EXPECT_EQ(program.column(1), (QStringList{"Fresh"}));
}

TEST_F(MainWindow, StarterSelectionsAllRun)
{
    QFile starter(QStringLiteral(VAROLIN_STARTER_INI));
    ASSERT_TRUE(starter.open(QIODevice::ReadOnly));
    ASSERT_TRUE(start(QString::fromUtf8(starter.readAll())));
    ASSERT_GT(selections()->count(), 1);
    EXPECT_EQ(selections()->currentIndex(), 0);
    EXPECT_EQ(program.session->hotKeys.count(), 2);
    for (int k = 0; k < selections()->count(); ++k) {
        for (int answer = 0; answer < 3; ++answer)
            Dialogs::scriptInputAnswer(QStringLiteral("a"));
        choose(k);
        for (const Dialogs::Shown& box : Dialogs::takeShown())
            EXPECT_TRUE(box.input) << selections()->itemText(k).toStdString() << ": " << box.text.toStdString();
        EXPECT_TRUE(status().endsWith(QLatin1String(" records found"))) << selections()->itemText(k).toStdString();
    }
}

TEST_F(MainWindow, ProgressAndTheCurrentRecordingFollowARefresh)
{
    QList<TestFolder::Recording> many;
    for (int i = 1; i <= 200; ++i)
        many.append({QStringLiteral("Artist %1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("T%1").arg(i)});
    ASSERT_TRUE(start(QStringLiteral("[SQL]\n1=All\n"), many));
    auto* panel = program.control<StatusPanel>("pnlStatus");
    QList<int> percents;
    int percentAtWhite = -1;
    QObject::connect(panel, &StatusPanel::percentChanged, [&](int percent) { percents << percent; });
    QObject::connect(panel, &StatusPanel::textColorChanged, [&](const QColor& color) {
        if (color == QColor(Qt::white) && percentAtWhite < 0)
            percentAtWhite = panel->percent();
    });
    choose(0);
    // 0 at the start, each whole step from 1 to 100 once (every second record), 100 at the end.
    QList<int> expected(101);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(percents, expected << 100);
    EXPECT_EQ(percentAtWhite, 50);
    EXPECT_EQ(panel->textColor(), QColor(Qt::black));
    EXPECT_EQ(panel->barStyle(), StatusPanel::BarStyle::None);
    EXPECT_EQ(status(), QStringLiteral(" 200 records found"));

    ASSERT_EQ(window()->maxTopRow(), 200 - window()->visibleRows());
    // Row 5 comes to the top; an ID not shown leaves row 1 current.
    for (const auto& [id, row] : {std::pair{5, 5}, {999, 1}}) {
        window()->setCurrentID(id);
        program.control<QToolButton>("cmdRefresh")->click();
        EXPECT_EQ(std::make_tuple(grid()->row(), grid()->selStartRow(), grid()->topRow()),
                  std::make_tuple(row, row, row));
    }
    // Below the last full page the top row stops where that page is full.
    window()->setCurrentID(198);
    program.control<QToolButton>("cmdRefresh")->click();
    EXPECT_EQ(grid()->row(), 198);
    EXPECT_GT(grid()->topRow(), 5);
    EXPECT_LE(grid()->topRow(), window()->maxTopRow());
    EXPECT_TRUE(grid()->viewport()->rect().contains(grid()->visualRect(grid()->currentIndex())));
    // Choosing a Selection shows its first rows again.
    choose(0);
    EXPECT_EQ(std::make_pair(grid()->topRow(), grid()->row()), std::make_pair(1, 1));
}

TEST_F(MainWindow, StatusLineSelectionTextAndCopy)
{
    ASSERT_TRUE(start(kIni + QStringLiteral("Default=1\n")));
    ShowStatusMessage(window(), QStringLiteral("brief"), 1);
    EXPECT_EQ(status(), QStringLiteral(" brief"));
    QTRY_COMPARE_WITH_TIMEOUT(status(), QString(), 3000);
    ShowStatusMessage(window(), QStringLiteral("stays"), 0);
    QTest::qWait(1200);
    EXPECT_EQ(status(), QStringLiteral(" stays"));

    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Tab}) {
        selections()->setFocus();
        QTest::keyClicks(selections(), QStringLiteral("Nothing"));
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(status(), QStringLiteral(" stays"));
        EXPECT_EQ(selections()->currentIndex(), 0);
        EXPECT_EQ(selections()->currentText(), QStringLiteral("Everything")) << "the chosen name shows again";
    }
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
    program.whenEditorShows({[](frmRecord*) { ProgramWindow::press(Qt::Key_Escape); }});
    QTest::keyClick(selectionText(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(program.editorsShown(), 1);

    grid()->setRow(2);
    grid()->setCol(3);
    const QString expected =
        QStringLiteral("Artist\tTitle\tYear\tFormat\tLabel\tCatalogue No.\tNotes\tInternational Catalogue No.\r\n"
                       "Abba\tWaterloo\t1974\tCD\tPolar\tPOLS 252\t\tSE-1\r\n"
                       "Abba\tArrival\t1976\tLP\tPolar\tPOLS 272\t\t\r\n"
                       "Blur\tParklife\t1994\tLP\tFood\tFOODCD 10\t\"Two\r\nlines\"\t\r\n"
                       "O'Brien\tCeltic\t\tCD\t\t\t\t\r\n");
    const std::function<void()> routes[] = {
        [&] { program.control<QToolButton>("cmdCopy")->click(); },
        [&] { program.control<QAction>("mnuEditItem0")->trigger(); },
        [&] { QTest::keyClick(grid(), Qt::Key_C, Qt::ControlModifier); },
        [&] { QTest::keyClick(selectionText(), Qt::Key_C, Qt::ControlModifier); }, // not the line edit's copy
    };
    for (const auto& copy : routes) {
        QApplication::setActiveWindow(window()); // as it is again once the editor has gone
        QApplication::clipboard()->clear();
        ShowStatusMessage(window(), QString(), 0);
        copy();
        EXPECT_EQ(QApplication::clipboard()->text(), expected);
        EXPECT_TRUE(QApplication::clipboard()->mimeData()->html().contains(QStringLiteral("<td>Two<br>lines</td>")));
        EXPECT_EQ(status(), QStringLiteral(" Grid contents copied to clipboard"));
        EXPECT_EQ(std::make_pair(grid()->row(), grid()->col()), std::make_pair(2, 3));
    }
}

TEST_F(MainWindow, LayoutTabOrderAndTheOtherWindows)
{
    EXPECT_EQ(frmMain::VisibleRowsFor(4860, 225, 15), 17);
    EXPECT_EQ(frmMain::VisibleRowsFor(4680, 225, 15), 16); // 16.5 goes to the even neighbour

    ASSERT_TRUE(start(kAll));
    window()->setWindowState(Qt::WindowNoState);
    window()->resize(Twips::toPixels(7000), Twips::toPixels(4000));
    QApplication::processEvents();
    EXPECT_GE(window()->frameGeometry().width(), Twips::toPixels(9000) - 1);
    EXPECT_GE(window()->frameGeometry().height(), Twips::toPixels(6000) - 1);

    window()->resize(Twips::toPixels(12000), Twips::toPixels(8000));
    QApplication::processEvents();
    auto* buttons = program.control<QFrame>("fraButtons");
    EXPECT_NEAR(buttons->width(), window()->frameGeometry().width() - Twips::toPixels(120), 1);
    EXPECT_NEAR(selections()->x(), buttons->width() - Twips::toPixels(3690), 1);
    EXPECT_NEAR(grid()->width(), program.control<QFrame>("fraMain")->width() - Twips::toPixels(60), 1);
    EXPECT_GT(window()->visibleRows(), 0);
    EXPECT_LE(program.control<StatusPanel>("pnlStatus")->geometry().bottom(), window()->centralWidget()->height());

    const char* const order[] = {"cmdCopy",     "cmdNew",     "cmdAmend",     "cmdDelete", "cmdFind",
                                 "txtFilter",   "cboSQL",     "grdData",      "cmdExit",   "cmdRefresh",
                                 "cmdSettings", "cmdFormats", "cmdSelections"};
    program.control<QWidget>(order[0])->setFocus();
    for (size_t i = 1; i < std::size(order); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        while (focus && focus->objectName().isEmpty())
            focus = focus->parentWidget(); // the combo box's line edit
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->objectName(), QLatin1String(order[i]));
    }

    // Settings, Formats and About open from their routes.
    grid()->setFocus();
    program.whenShows<QDialog>({[](QDialog*) {
                                    ProgramWindow::press(Qt::Key_Space); // the focus starts on the check box
                                    ProgramWindow::press(Qt::Key_Return);
                                },
                                [](QDialog* d) {
                                    auto* list = ProgramWindow::findControl<QListWidget>(d, "lstFormats");
                                    list->setCurrentItem(list->findItems(QStringLiteral("CD"), Qt::MatchExactly)[0]);
                                    Dialogs::scriptInputAnswer(QStringLiteral("Compact Disc"));
                                    ProgramWindow::findControl<QToolButton>(d, "cmdAmend")->click();
                                    ProgramWindow::press(Qt::Key_Return);
                                },
                                [](QDialog* d) {
                                    EXPECT_EQ(d->windowTitle(), QStringLiteral("About Varolin"));
                                    ProgramWindow::press(Qt::Key_Return);
                                }});
    ProgramWindow::press(Qt::Key_T, Qt::ControlModifier);
    EXPECT_FALSE(program.session->autoRefresh);

    // Applied formats show at once, even without auto-refresh.
    window()->setCurrentID(2); // Parklife, row 3
    program.control<QAction>("mnuEditItem7")->trigger();
    EXPECT_EQ(program.column(3), (QStringList{"Compact Disc", "LP", "LP", "Compact Disc"}));
    EXPECT_EQ(grid()->row(), 3) << "the current recording stays selected";

    program.control<QAction>("mnuHelpItem")->trigger();
    EXPECT_FALSE(program.stepsLeft());
    EXPECT_EQ(program.unexpectedEditors(), 0);
}

TEST_F(MainWindow, EveryWayOutClosesTheCatalogue)
{
    const std::function<void(frmMain*)> ways[] = {
        [](frmMain* w) { w->findChild<QToolButton*>(QStringLiteral("cmdExit"))->click(); },
        [](frmMain* w) { w->findChild<QAction*>(QStringLiteral("mnuFileItem99"))->trigger(); },
        [](frmMain* w) { w->close(); },
        [](frmMain*) { ProgramWindow::press(Qt::Key_X, Qt::ControlModifier); }, // in the Selection text
    };
    ASSERT_TRUE(start(kAll));
    for (const auto& leave : ways) {
        ASSERT_TRUE(program.start());
        selectionText();
        leave(window());
        EXPECT_EQ(selections()->currentText(), QStringLiteral("All")) << "the text was not cut";
        EXPECT_TRUE(window()->isEnded());
        EXPECT_EQ(program.session->catalogue(), nullptr);
        EXPECT_FALSE(window()->isVisible());
        EXPECT_TRUE(Dialogs::takeShown().isEmpty()) << "nothing is asked";
    }
}

TEST_F(MainWindow, FilterAndSortFromTheKeyboard)
{
    ASSERT_TRUE(start(kAll));
    QApplication::setActiveWindow(window());
    grid()->setFocus();
    ProgramWindow::press(Qt::Key_K, Qt::ControlModifier);
    auto* filter = program.control<QLineEdit>("txtFilter");
    ASSERT_EQ(QApplication::focusWidget(), filter);
    ProgramWindow::type(QStringLiteral("abba"));
    EXPECT_EQ(program.column(1), (QStringList{"Waterloo", "Arrival"}));
    EXPECT_EQ(status(), QStringLiteral(" 2 of 4 recordings"));
    // Sorted by Title from the menu; choosing it again turns the order round.
    program.control<QAction>("mnuViewSortBy1")->trigger();
    EXPECT_EQ(program.column(1), (QStringList{"Arrival", "Waterloo"}));
    program.control<QAction>("mnuViewSortBy1")->trigger();
    EXPECT_EQ(program.column(1), (QStringList{"Waterloo", "Arrival"}));
    // Export writes what is shown, as shown.
    Dialogs::scriptInputAnswer(program.folder.file("shown.csv"));
    program.control<QAction>("mnuFileItem1")->trigger();
    EXPECT_TRUE(
        program.folder.readFile("shown.csv")
            .endsWith("\r\nAbba,Waterloo,1974,CD,Polar,POLS 252,,SE-1\r\nAbba,Arrival,1976,LP,Polar,POLS 272,,\r\n"))
        << program.folder.readFile("shown.csv").toStdString();
    Dialogs::takeShown();
    // Amend reaches the recording of the row as shown.
    program.clickRow(2);
    program.whenEditorShows({[](frmRecord* editor) {
        EXPECT_EQ(ProgramWindow::findControl<QLineEdit>(editor, "txtTitle")->text(), QStringLiteral("Arrival"));
        ProgramWindow::press(Qt::Key_Escape);
    }});
    program.control<QToolButton>("cmdAmend")->click();
    EXPECT_EQ(program.editorsShown(), 1);

    // What cannot be read marks the box, with no message; nothing shown turns the commands off.
    QApplication::setActiveWindow(window());
    filter->setFocus();
    filter->setText(QStringLiteral("year:abc zzz"));
    EXPECT_TRUE(filter->property("faulty").toBool());
    EXPECT_EQ(commandsOn(), QList<bool>(4, false));
    ProgramWindow::press(Qt::Key_Escape);
    EXPECT_EQ(filter->text(), QString());
    EXPECT_EQ(status(), QStringLiteral(" 4 records found"));
    EXPECT_EQ(commandsOn(), QList<bool>(4, true));
    // Refresh (F5) shows the Selection's own order again.
    ProgramWindow::press(Qt::Key_F5);
    EXPECT_EQ(program.column(1), (QStringList{"Waterloo", "Arrival", "Parklife", "Celtic"}));
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());

    // "&File" and "&Find" share Alt+F: pressed again, it moves on to the other.
    auto* file = program.control<QMenu>("mnuFile");
    auto* find = program.control<QMenu>("mnuFind");
    ProgramWindow::press(Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(file->isVisible(), 2000);
    QTest::keyClick(file, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(find->isVisible() && !file->isVisible(), 2000);
    QTest::keyClick(find, Qt::Key_Escape);
}

} // namespace

namespace {

TEST(MainWindowLayout, DraggedColumnWidthsAreRemembered)
{
    ProgramWindow program;
    const QString ini = QStringLiteral("[SQL]\n1=All\nDefault=1\n");
    ASSERT_TRUE(program.start(ini, {{"Abba", "Waterloo"}}));
    const auto titleWidth = [&] { return program.grid()->horizontalHeader()->sectionSize(1); };
    const int own = titleWidth();
    program.grid()->horizontalHeader()->resizeSection(1, own + 100);
    program.window->close();
    EXPECT_TRUE(program.folder.readFile("varolin.ini").contains("\nColumn-Widths="));
    ASSERT_TRUE(program.start());
    EXPECT_NEAR(titleWidth(), own + 100, 1);
    // An entry that is not eight widths leaves the grid's own.
    program.folder.writeIni(ini + QStringLiteral("[Initialisation]\nColumn-Widths=3000,3000,x\n"));
    ASSERT_TRUE(program.start());
    EXPECT_EQ(titleWidth(), own);
}

} // namespace
