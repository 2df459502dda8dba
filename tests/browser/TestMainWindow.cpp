#include "browser/frmMain.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/StatusPanel.h"
#include "platform/Twips.h"
#include "shared/modVarolin.h"
#include "shared/Session.h"
#include "store/Database.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QFrame>
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

const QString kIni = QStringLiteral("[SQL]\n"
                                    "1=Everything\n"
                                    "2=By Artist,Artist Like '??',Artist,Year\n"
                                    "3=Two Questions,Year >= '??' AND Year <= '??',Year\n"
                                    "4=This Year,Year = '~~Year~~'\n"
                                    "5=Typed Condition,??\n"
                                    "6=Broken,Artst = 'x'\n"
                                    "7=Nothing,Artist = 'Nobody'\n");

class MainWindow : public ::testing::Test
{
protected:
    void SetUp() override { Dialogs::setScripted(true); }
    void TearDown() override
    {
        window.reset();
        Dialogs::setScripted(false);
    }

    // Starts the program in the test folder, a portable copy: its varolin.ini is there, if empty.
    bool start(const QString& ini, const QString& defaultEntry = QString(), bool withCatalogue = true)
    {
        if (withCatalogue)
            TestFolder::addRecordings(folder.createCatalogue(), kRecordings);
        return restart(ini + defaultEntry);
    }
    bool startWithMany(int count, const QString& ini)
    {
        QList<TestFolder::Recording> many;
        for (int i = 1; i <= count; ++i)
            many.append({QStringLiteral("Artist %1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("T%1").arg(i)});
        TestFolder::addRecordings(folder.createCatalogue(), many);
        return restart(ini);
    }
    bool restart(const QString& ini)
    {
        folder.writeIni(ini);
        window.reset();
        session = std::make_unique<Session>();
        window = std::make_unique<frmMain>(*session);
        window->setProgramDirectory(folder.path());
        return window->Form_Load();
    }

    template <typename T>
    T* control(const char* name) const
    {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    Grid* grid() const { return control<Grid>("grdData"); }
    QComboBox* selections() const { return control<QComboBox>("cboSQL"); }
    QString status() const { return control<StatusPanel>("pnlStatus")->caption(); }
    QAction* action(const char* name) const { return control<QAction>(name); }

    void choose(int index)
    {
        selections()->setCurrentIndex(index);
        emit selections()->activated(index);
    }
    QStringList column(int col) const
    {
        QStringList cells;
        for (int r = 1; r < grid()->rows(); ++r)
            cells << grid()->textAt(r, col);
        return cells;
    }

    QStringList wheres() const
    {
        QStringList list;
        for (const SelectionList::Selection& selection : session->selections)
            list << selection.where;
        return list;
    }
    QStringList orders() const
    {
        QStringList list;
        for (const SelectionList::Selection& selection : session->selections)
            list << selection.order;
        return list;
    }
    QList<qint64> rowIDs() const
    {
        QList<qint64> ids;
        for (int r = 1; r < grid()->rows(); ++r)
            ids << grid()->idAt(r);
        return ids;
    }

    TestFolder folder;
    std::unique_ptr<Session> session;
    std::unique_ptr<frmMain> window;
};

TEST_F(MainWindow, StartsWithAnEmptyConfiguration)
{
    ASSERT_TRUE(start(QString()));
    EXPECT_TRUE(session->catalogue() && session->catalogue()->handle());
    EXPECT_EQ(session->iniFile(), folder.file(QStringLiteral("varolin.ini")));
    EXPECT_TRUE(session->autoRefresh);
    EXPECT_EQ(selections()->count(), 0);
    EXPECT_EQ(selections()->currentIndex(), -1);
    EXPECT_FALSE(grid()->isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Refreshing with no Selection chosen does nothing and does not fail.
    control<QToolButton>("cmdRefresh")->click();
    EXPECT_FALSE(grid()->isVisible());
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
}

TEST_F(MainWindow, ShowsTheDefaultSelectionAtStartUp)
{
    ASSERT_TRUE(start(kIni, QStringLiteral("Default=1\n")));
    EXPECT_EQ(selections()->currentIndex(), 0);
    ASSERT_TRUE(grid()->isVisible());
    EXPECT_EQ(column(1), (QStringList{"Waterloo", "Arrival", "Parklife", "Celtic"}));
    EXPECT_EQ(status(), QStringLiteral(" 4 records found"));
    EXPECT_EQ(rowIDs(), (QList<qint64>{1, 4, 2, 3}));
    EXPECT_EQ(grid()->row(), 1);
    EXPECT_EQ(grid()->col(), 0);
    EXPECT_EQ(grid()->selStartRow(), 1);
    EXPECT_EQ(grid()->selEndCol(), 7);
    EXPECT_TRUE(control<QToolButton>("cmdAmend")->isEnabled());
    EXPECT_EQ(control<StatusPanel>("pnlStatus")->barStyle(), StatusPanel::BarStyle::None);
    EXPECT_EQ(control<StatusPanel>("pnlStatus")->textColor(), QColor(Qt::black));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindow, StarterSelectionsAllRun)
{
    QFile starter(QStringLiteral(VAROLIN_STARTER_INI));
    ASSERT_TRUE(starter.open(QIODevice::ReadOnly));
    ASSERT_TRUE(start(QString::fromUtf8(starter.readAll())));
    ASSERT_GT(selections()->count(), 1);
    EXPECT_EQ(selections()->currentIndex(), 0);
    EXPECT_EQ(session->hotKeys.count(), 2);
    for (int k = 0; k < selections()->count(); ++k) {
        for (int answer = 0; answer < 3; ++answer)
            Dialogs::scriptInputAnswer(QStringLiteral("a"));
        choose(k);
        for (const Dialogs::Shown& box : Dialogs::takeShown())
            EXPECT_TRUE(box.input) << selections()->itemText(k).toStdString() << ": " << box.text.toStdString();
        EXPECT_TRUE(status().endsWith(QLatin1String(" records found"))) << selections()->itemText(k).toStdString();
    }
}

TEST_F(MainWindow, LoadsSelectionsAsWritten)
{
    ASSERT_TRUE(start(QStringLiteral("[SQL]\n"
                                     "1=Plain\n"
                                     "2= Spaced , Year = '1974' ,,Title, Artist\n"
                                     "4=Never listed\n"
                                     "Default=7\n")));
    ASSERT_EQ(selections()->count(), 2);
    // Leading spaces of a value are dropped as it is read; every other space stays.
    EXPECT_EQ(selections()->itemText(1), QStringLiteral("Spaced "));
    EXPECT_EQ(wheres(), (QStringList{QString(), QStringLiteral(" Year = '1974' ")}));
    EXPECT_EQ(orders(), (QStringList{QString(), QStringLiteral("Title,  Artist")}));
    EXPECT_EQ(selections()->currentIndex(), -1) << "a Default beyond the list chooses nothing";

    ASSERT_TRUE(restart(QStringLiteral("[SQL]\n1=Eleven,,a,b,c,d,e,f,g,h,i,j\n")));
    EXPECT_EQ(orders().value(0), QStringLiteral("a, b, c, d, e, f, g, h"));
}

TEST_F(MainWindow, AsksForEachPlaceholderInTurn)
{
    ASSERT_TRUE(start(kIni));
    Dialogs::scriptInputAnswer(QStringLiteral("1975"));
    Dialogs::scriptInputAnswer(QStringLiteral("1995"));
    choose(2);
    const QList<Dialogs::Shown> shown = Dialogs::takeShown();
    ASSERT_EQ(shown.size(), 2);
    for (const Dialogs::Shown& box : shown) {
        EXPECT_TRUE(box.input);
        EXPECT_EQ(box.title, QStringLiteral("Two Questions"));
        EXPECT_EQ(box.text, QStringLiteral("Enter a value for this Selection.\r\n"
                                           "Note that wildcard characters (* and ?) may be used. "));
    }
    EXPECT_EQ(column(1), (QStringList{"Arrival", "Parklife"}));

    // An answer holding "??" is taken as typed, not asked about again.
    Dialogs::scriptInputAnswer(QStringLiteral("??"));
    Dialogs::scriptInputAnswer(QStringLiteral("1995"));
    choose(2);
    EXPECT_EQ(Dialogs::takeShown().size(), 2);

    // Cancelling leaves the placeholder empty and the refresh goes on.
    Dialogs::scriptInputAnswer(QString());
    choose(1);
    EXPECT_EQ(status(), QStringLiteral(" 0 records found"));

    // The current year needs no question.
    const QString thisYear = QString::number(QDate::currentDate().year());
    TestFolder::addRecordings(folder.file(QStringLiteral("varolin.mdb")), {{"New", "Fresh", thisYear}});
    choose(3);
    EXPECT_EQ(Dialogs::takeShown().size(), 1); // only the cancelled one above
    EXPECT_EQ(column(1), (QStringList{"Fresh"}));
}

TEST_F(MainWindow, AnswersWithQuotesFindWhatWasTyped)
{
    ASSERT_TRUE(start(kIni));
    Dialogs::scriptInputAnswer(QStringLiteral("O'Brien"));
    choose(1);
    EXPECT_EQ(column(1), (QStringList{"Celtic"}));
    EXPECT_TRUE(Dialogs::takeShown().size() == 1) << "no engine error";

    // Outside a quoted literal the answer is part of the condition as typed.
    Dialogs::scriptInputAnswer(QStringLiteral("Year > '1975' AND Label <> 'Food'"));
    choose(4);
    EXPECT_EQ(column(1), (QStringList{"Arrival"}));

    // The quote around a placeholder is found as the dialect reads the condition: a quote in a
    // comment, a #date# or a [name] before it does not count.
    ASSERT_TRUE(restart(QStringLiteral("[SQL]\n"
                                       "1=Comment,/* it's */ Artist Like '??'\n"
                                       "2=Date,#1/1/1990# < Date() AND [Artist] Like \"??\"\n"
                                       "3=Doubled,Title <> 'Don''t' AND Artist = '??'\n")));
    for (int k = 0; k < 3; ++k) {
        Dialogs::scriptInputAnswer(QStringLiteral("O'Brien"));
        choose(k);
        EXPECT_EQ(column(1), (QStringList{"Celtic"})) << k;
    }
    EXPECT_EQ(Dialogs::takeShown().size(), 4) << "answers only, no engine error";
}

TEST_F(MainWindow, SelectionsCutOnlyAtCommasOutsideQuotesAndParentheses)
{
    ASSERT_TRUE(start(QStringLiteral("[SQL]\n"
                                     "1=Initial,UCase(Left(Artist,1)) = \"A\",Mid(Title, 2, 3),Year\n"
                                     "2=Quoted,Label = 'Polar, Sweden' OR [Artist] = \"Bl,ur\",Artist\n"
                                     "3=Plain,Year > '1975',Year,Artist\n"
                                     "4=Commented,Year > '1975' /* don't, please */,Title\n"
                                     "5=Unclosed,Artist = 'x,Title\n")));
    EXPECT_EQ(wheres().mid(0, 5),
              (QStringList{"UCase(Left(Artist,1)) = \"A\"", "Label = 'Polar, Sweden' OR [Artist] = \"Bl,ur\"",
                           "Year > '1975'", "Year > '1975' /* don't, please */", "Artist = 'x,Title"}));
    EXPECT_EQ(orders().mid(0, 4), (QStringList{"Mid(Title, 2, 3), Year", "Artist", "Year, Artist", "Title"}));
    choose(0);
    EXPECT_EQ(column(1), (QStringList{"Waterloo", "Arrival"})) << "ordered by Mid(Title, 2, 3)";
    choose(1);
    EXPECT_EQ(column(1), (QStringList{""})) << "runs, and finds nothing";
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
}

TEST_F(MainWindow, ProgressRisesOnWholeStepsAndTurnsTheTextWhite)
{
    ASSERT_TRUE(startWithMany(200, QStringLiteral("[SQL]\n1=All\n")));

    auto* panel = control<StatusPanel>("pnlStatus");
    QList<int> percents;
    int percentAtWhite = -1;
    QObject::connect(panel, &StatusPanel::percentChanged, [&](int percent) { percents << percent; });
    QObject::connect(panel, &StatusPanel::textColorChanged, [&](const QColor& color) {
        if (color == QColor(Qt::white) && percentAtWhite < 0)
            percentAtWhite = panel->percent();
    });
    choose(0);
    // 0 at the start, each whole step from 1 to 100 once (every second record), 100 at the end.
    QList<int> expected{0};
    for (int p = 1; p <= 100; ++p)
        expected << p;
    expected << 100;
    EXPECT_EQ(percents, expected);
    EXPECT_EQ(percentAtWhite, 50);
    EXPECT_EQ(panel->textColor(), QColor(Qt::black));
    EXPECT_EQ(status(), QStringLiteral(" 200 records found"));
}

TEST_F(MainWindow, StatusMessagesTimeOutOnlyWhenAsked)
{
    ASSERT_TRUE(start(kIni, QStringLiteral("Default=1\n")));
    ShowStatusMessage(window.get(), QStringLiteral("brief"), 1);
    EXPECT_EQ(status(), QStringLiteral(" brief"));
    QTRY_COMPARE_WITH_TIMEOUT(status(), QString(), 3000);
    ShowStatusMessage(window.get(), QStringLiteral("stays"), 0);
    QTest::qWait(1200);
    EXPECT_EQ(status(), QStringLiteral(" stays"));

    // Typing into the Selection list runs nothing.
    QApplication::setActiveWindow(window.get());
    selections()->setFocus();
    QTest::keyClicks(selections(), QStringLiteral("Nothing"));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Tab}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(status(), QStringLiteral(" stays"));
        EXPECT_EQ(selections()->currentIndex(), 0);
        EXPECT_EQ(selections()->currentText(), QStringLiteral("Everything")) << "the chosen name shows again";
        selections()->setFocus();
        QTest::keyClicks(selections(), QStringLiteral("Nothing"));
    }
    EXPECT_TRUE(Dialogs::takeShown().isEmpty());
}

TEST_F(MainWindow, EmptyResultDisablesAmendAndDelete)
{
    ASSERT_TRUE(start(kIni, QStringLiteral("Default=7\n")));
    EXPECT_EQ(grid()->rows(), 2);
    EXPECT_EQ(grid()->textAt(1, 0), QStringLiteral("(No Recordings Found)"));
    EXPECT_EQ(status(), QStringLiteral(" 0 records found"));
    EXPECT_FALSE(window->hasRecords());
    EXPECT_EQ(window->maxTopRow(), 1);
    EXPECT_FALSE(control<QToolButton>("cmdAmend")->isEnabled());
    EXPECT_FALSE(control<QToolButton>("cmdDelete")->isEnabled());
    EXPECT_FALSE(action("mnuEditItem3")->isEnabled());
    EXPECT_FALSE(action("mnuEditItem4")->isEnabled());

    choose(0);
    EXPECT_TRUE(control<QToolButton>("cmdDelete")->isEnabled());
    EXPECT_TRUE(action("mnuEditItem3")->isEnabled());
}

TEST_F(MainWindow, RejectedSelectionLeavesTheWindowUsable)
{
    ASSERT_TRUE(start(kIni, QStringLiteral("Default=1\n")));
    choose(5);
    const QList<Dialogs::Shown> shown = Dialogs::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().title, QStringLiteral("Varolin"));
    EXPECT_TRUE(shown.first().text.contains(QStringLiteral("no such column: Artst")))
        << shown.first().text.toStdString();
    EXPECT_TRUE(shown.first().text.contains(QStringLiteral("\"Broken\"")));
    EXPECT_TRUE(grid()->isVisible());
    EXPECT_EQ(grid()->textAt(1, 0), QStringLiteral("(The Selection could not be run)")) << "not an empty collection";
    EXPECT_FALSE(control<QToolButton>("cmdAmend")->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(control<StatusPanel>("pnlStatus")->barStyle(), StatusPanel::BarStyle::None);

    choose(0);
    EXPECT_EQ(status(), QStringLiteral(" 4 records found"));
}

TEST_F(MainWindow, CellsKeepTheirOwnTabs)
{
    ASSERT_TRUE(start(kIni, QStringLiteral("Default=1\n")));
    TestFolder::addRecordings(folder.file(QStringLiteral("varolin.mdb")),
                              {{"Zz", "Tabbed", "2000", 9, "L", "C", "side\tone", "INT"}});
    choose(0);
    EXPECT_EQ(grid()->textAt(5, 6), QStringLiteral("side\tone"));
    EXPECT_EQ(grid()->textAt(5, 7), QStringLiteral("INT"));
}

TEST_F(MainWindow, RefreshSelectsTheCurrentRecording)
{
    ASSERT_TRUE(start(kIni, QStringLiteral("Default=1\n")));
    window->setCurrentID(2); // Parklife, row 3
    control<QToolButton>("cmdRefresh")->click();
    EXPECT_EQ(grid()->row(), 3);
    EXPECT_EQ(grid()->selStartRow(), 3);
    EXPECT_EQ(grid()->textAt(grid()->row(), 1), QStringLiteral("Parklife"));

    window->setCurrentID(99); // not shown: row 1 stays current
    control<QToolButton>("cmdRefresh")->click();
    EXPECT_EQ(grid()->row(), 1);
    EXPECT_EQ(grid()->topRow(), 1);
}

TEST_F(MainWindow, CurrentRecordingScrollsIntoView)
{
    ASSERT_TRUE(startWithMany(60, QStringLiteral("[SQL]\n1=All\nDefault=1\n")));
    ASSERT_GT(window->visibleRows(), 0);
    ASSERT_EQ(window->maxTopRow(), 60 - window->visibleRows());

    window->setCurrentID(5); // row 5 comes to the top
    control<QToolButton>("cmdRefresh")->click();
    EXPECT_EQ(grid()->row(), 5);
    EXPECT_EQ(grid()->topRow(), 5);

    window->setCurrentID(58); // below the last full page: the top row stops at the highest worth scrolling to
    control<QToolButton>("cmdRefresh")->click();
    EXPECT_EQ(grid()->row(), 58);
    EXPECT_GT(grid()->topRow(), 5);
    EXPECT_LE(grid()->topRow(), window->maxTopRow()); // the view stops where its last page is full
    EXPECT_TRUE(grid()->viewport()->rect().contains(grid()->visualRect(grid()->currentIndex())));

    // Choosing a Selection shows its first rows again.
    choose(0);
    EXPECT_EQ(grid()->topRow(), 1);
    EXPECT_EQ(grid()->row(), 1);
}

TEST_F(MainWindow, LayoutFollowsTheWindow)
{
    EXPECT_EQ(frmMain::VisibleRowsFor(4860, 225, 15), 17);
    EXPECT_EQ(frmMain::VisibleRowsFor(4680, 225, 15), 16); // 16.5 goes to the even neighbour

    ASSERT_TRUE(start(kIni, QStringLiteral("Default=1\n")));
    window->setWindowState(Qt::WindowNoState);
    window->resize(Twips::toPixels(7000), Twips::toPixels(4000));
    QApplication::processEvents();
    EXPECT_GE(window->frameGeometry().width(), Twips::toPixels(9000) - 1);
    EXPECT_GE(window->frameGeometry().height(), Twips::toPixels(6000) - 1);

    window->resize(Twips::toPixels(12000), Twips::toPixels(8000));
    QApplication::processEvents();
    auto* buttons = control<QFrame>("fraButtons");
    EXPECT_NEAR(buttons->width(), window->frameGeometry().width() - Twips::toPixels(120), 1);
    EXPECT_NEAR(selections()->x(), buttons->width() - Twips::toPixels(3690), 1);
    EXPECT_NEAR(grid()->width(), control<QFrame>("fraMain")->width() - Twips::toPixels(60), 1);
    EXPECT_GT(window->visibleRows(), 0);
    auto* status = control<StatusPanel>("pnlStatus");
    EXPECT_LE(status->geometry().bottom(), window->centralWidget()->height());
}

TEST_F(MainWindow, CopiesTheWholeGridFromEveryRoute)
{
    ASSERT_TRUE(start(kIni, QStringLiteral("Default=1\n")));
    grid()->setRow(2);
    grid()->setCol(3);
    const QString expected =
        QStringLiteral("Artist\tTitle\tYear\tFormat\tLabel\tCatalogue No.\tNotes\tInternational Catalogue No.\r\n"
                       "Abba\tWaterloo\t1974\tCD\tPolar\tPOLS 252\t\tSE-1\r\n"
                       "Abba\tArrival\t1976\tLP\tPolar\tPOLS 272\t\t\r\n"
                       "Blur\tParklife\t1994\tLP\tFood\tFOODCD 10\tTwo\r\nlines\t\r\n"
                       "O'Brien\tCeltic\t\tCD\t\t\t\t\r\n");

    const auto checkCopied = [&](const char* route) {
        EXPECT_EQ(QApplication::clipboard()->text(), expected) << route;
        EXPECT_TRUE(QApplication::clipboard()->mimeData()->html().contains(QStringLiteral("<td>Two<br>lines</td>")))
            << route;
        EXPECT_EQ(status(), QStringLiteral(" Grid contents copied to clipboard")) << route;
        EXPECT_EQ(grid()->row(), 2) << route;
        EXPECT_EQ(grid()->col(), 3) << route;
        QApplication::clipboard()->clear();
        ShowStatusMessage(window.get(), QString(), 0);
    };
    control<QToolButton>("cmdCopy")->click();
    checkCopied("button");
    action("mnuEditItem0")->trigger();
    checkCopied("menu");

    QApplication::setActiveWindow(window.get());
    grid()->setFocus();
    QTest::keyClick(grid(), Qt::Key_C, Qt::ControlModifier);
    checkCopied("Ctrl+C in the grid");
}

TEST_F(MainWindow, CatalogueThatCannotBeOpenedEndsTheProgram)
{
    Dialogs::scriptMessageAnswer(QMessageBox::No);
    EXPECT_FALSE(start(kIni, QString(), false));
    EXPECT_TRUE(window->isEnded());
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("varolin.mdb"))));
    Dialogs::takeShown();

    folder.writeFile(QStringLiteral("garbage.mdb"), QByteArray(4096, 'x'));
    EXPECT_FALSE(
        restart(QStringLiteral("[Initialisation]\nDatabase=%1\n").arg(folder.file(QStringLiteral("garbage.mdb")))));
    const QList<Dialogs::Shown> shown = Dialogs::takeShown();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().title, QStringLiteral("Varolin"));
    EXPECT_TRUE(shown.first().text.contains(QStringLiteral("not a database")));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindow, EveryWayOutClosesTheCatalogue)
{
    const QList<std::function<void(frmMain*)>> ways = {
        [](frmMain* w) { w->findChild<QToolButton*>(QStringLiteral("cmdExit"))->click(); },
        [](frmMain* w) { w->findChild<QAction*>(QStringLiteral("mnuFileItem99"))->trigger(); },
        [](frmMain* w) { w->close(); },
    };
    for (const auto& leave : ways) {
        ASSERT_TRUE(start(kIni, QStringLiteral("Default=1\n")));
        leave(window.get());
        EXPECT_TRUE(window->isEnded());
        EXPECT_EQ(session->catalogue(), nullptr);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(Dialogs::takeShown().isEmpty()) << "nothing is asked";
        folder.writeFile(QStringLiteral("varolin.mdb"), QByteArray());
        QFile::remove(folder.file(QStringLiteral("varolin.mdb")));
    }
}

TEST_F(MainWindow, TabVisitsTheControlsInOrder)
{
    ASSERT_TRUE(start(kIni, QStringLiteral("Default=1\n")));
    QApplication::setActiveWindow(window.get());
    const char* const order[] = {"cmdCopy", "cmdNew",  "cmdAmend",   "cmdDelete",   "cmdFind",   "cboSQL",
                                 "grdData", "cmdExit", "cmdRefresh", "cmdSettings", "cmdFormats"};
    control<QWidget>(order[0])->setFocus();
    for (size_t i = 1; i < std::size(order); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        while (focus && focus->objectName().isEmpty())
            focus = focus->parentWidget(); // the combo box's line edit
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->objectName(), QLatin1String(order[i]));
    }
}

} // namespace
