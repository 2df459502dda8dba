#include "browser/frmMain.h"
#include "editor/frmRecord.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/ItemRoles.h"
#include "shared/DisplayClipboard.h"
#include "shared/DisplayModel.h"
#include "shared/DisplayNavigation.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "store/SnapshotRecordset.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QToolButton>

namespace {

const QList<TestFolder::Recording> kRecordings{
    {"Abba", "Waterloo", "1974", 9, "Polar", "", "line 1\r\nline 2"},
    {"Blur", "Parklife", "1994", 1, "<b>&", "\""},
    {"Can", "Tago Mago", "", 9, "United Artists", "-1"},
};

std::unique_ptr<SnapshotRecordset> Snapshot(const QString& path)
{
    return Database::open(path)->openSnapshot(Catalogue::displayStatement(QString(), QStringLiteral("Artist")));
}

// Descending by Artist: the grid shows the display's rows in the other order.
std::unique_ptr<QSortFilterProxyModel> Reversed()
{
    auto proxy = std::make_unique<QSortFilterProxyModel>();
    proxy->sort(0, Qt::DescendingOrder);
    return proxy;
}

TEST(Display, RowsCarryTheirIdsThroughAProxy)
{
    TestFolder folder;
    const QString path = folder.createCatalogue();
    TestFolder::addRecordings(path, kRecordings);
    DisplayModel display;
    QAbstractItemModelTester tester(&display, QAbstractItemModelTester::FailureReportingMode::Fatal);
    display.setRecordings(Snapshot(path));
    ASSERT_EQ(display.rowCount(), 3);
    EXPECT_EQ(display.cellText(1, 4), QStringLiteral("<b>&"));
    EXPECT_EQ(display.index(2, 0).data(ItemRoles::RecordingId).toLongLong(), 3);
    EXPECT_EQ(display.rowOfId(2), 1);
    EXPECT_EQ(display.index(0, 6).data(Qt::ToolTipRole).toString(), QStringLiteral("line 1\r\nline 2"));

    const auto proxy = Reversed();
    proxy->setSourceModel(&display);
    EXPECT_EQ(DisplayModel::shownRows(*proxy), (QList<int>{2, 1, 0}));
    EXPECT_EQ(DisplayModel::behind(proxy.get()), &display);
    EXPECT_EQ(DisplayModel::shownRowOf(*proxy, 3), 0);
    EXPECT_EQ(DisplayModel::shownRowOf(*proxy, 99), -1);
    // Find counts in the rows as shown, from the cell after the one given.
    const DisplayModel::Cell found =
        DisplayModel::find(*proxy, 0, 1, QStringLiteral("united"), Qt::CaseInsensitive, false);
    EXPECT_EQ(std::make_pair(found.row, found.col), std::make_pair(0, 4)) << "United Artists";
    const DisplayModel::Cell whole = DisplayModel::find(*proxy, 0, 0, QStringLiteral("ABBA"), Qt::CaseSensitive, true);
    EXPECT_EQ(whole.row, -1);

    // The copy follows the shown order, and holds its rows after the display moves on.
    const DisplayModel::Rows rows = display.rows();
    const QList<int> order = DisplayModel::shownRows(*proxy);
    display.showNotice(QStringLiteral("(No Recordings Found)"));
    EXPECT_EQ(display.rowCount(), 1);
    EXPECT_FALSE(display.index(0, 0).data(ItemRoles::RecordingId).isValid());
    const QString text = DisplayClipboard::plainText(rows, order);
    EXPECT_TRUE(text.startsWith(DisplayModel::headings().join(QLatin1Char('\t')) +
                                QStringLiteral("\r\nCan\tTago Mago\t\tCD\tUnited Artists\t'-1\t")))
        << "a formula is marked as text";
    // A cell holding a line break is quoted, or a pasted sheet would shift its columns.
    EXPECT_TRUE(text.endsWith(QStringLiteral("Abba\tWaterloo\t1974\tCD\tPolar\t\t\"line 1\r\nline 2\"\t\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\t<b>&\t\"\"\"\"\t"))) << "a lone quote opens no quoted cell";
    const QString html = DisplayClipboard::html(rows, order);
    EXPECT_TRUE(html.contains(QStringLiteral("<td>&lt;b&gt;&amp;</td><td>&quot;</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>line 1<br>line 2</td>")));
    EXPECT_EQ(DisplayClipboard::plainText(display.rows(), {}),
              DisplayModel::headings().join(QLatin1Char('\t')) +
                  QStringLiteral("\r\n(No Recordings Found)\t\t\t\t\t\t\t\r\n"));
}

TEST(Display, TheNeighbourOfAGoneRowIsBelowItThenAboveIt)
{
    const int cases[][3] = {{2, 4, 3}, {4, 4, 3}, {1, 4, 2}, {1, 1, 1}}; // row, rows, neighbour
    for (const auto& c : cases)
        EXPECT_EQ(DisplayNavigation::neighbourRow(c[0], c[1]), c[2]) << c[0] << " of " << c[1];
}

TEST(Display, EveryCommandActsOnTheRowAsShownBehindAProxy)
{
    ProgramWindow program;
    ASSERT_TRUE(program.start(QStringLiteral("[SQL]\n1=All,,Artist\nDefault=1\n"), kRecordings));
    const auto proxy = Reversed();
    program.window->setDisplayProxy(proxy.get());
    ASSERT_EQ(program.column(0), (QStringList{"Can", "Blur", "Abba"}));

    // Amend opens the row shown, and Next steps to the row shown below it, the last one.
    program.clickRow(2);
    QStringList opened;
    QList<bool> nextEnabled;
    const ProgramWindow::EditorStep step = [&](frmRecord* editor) {
        opened << ProgramWindow::findControl<QLineEdit>(editor, "txtArtist")->text();
        auto* next = ProgramWindow::findControl<QToolButton>(editor, "cmdNext");
        nextEnabled << next->isEnabled();
        next->isEnabled() ? next->click() : ProgramWindow::press(Qt::Key_Escape);
    };
    program.whenEditorShows({step, step});
    program.control<QToolButton>("cmdAmend")->click();
    EXPECT_EQ(opened, (QStringList{"Blur", "Abba"}));
    EXPECT_EQ(nextEnabled, (QList<bool>{true, false}));
    EXPECT_EQ(program.grid()->row(), 3);

    // Delete removes the recording shown, and the row shown below it becomes current.
    program.clickRow(1);
    Dialogs::scriptMessageAnswer(QMessageBox::Yes);
    program.control<QToolButton>("cmdDelete")->click();
    EXPECT_EQ(
        TestFolder::query(program.catalogue(), QStringLiteral("SELECT count(*) FROM Recording WHERE Artist = 'Can'"))
            .toInt(),
        0);
    EXPECT_EQ(program.column(0), (QStringList{"Blur", "Abba"}));
    EXPECT_EQ(program.grid()->textAt(program.grid()->row(), 0), QStringLiteral("Blur"));
}

} // namespace
