#include "platform/Grid.h"
#include "platform/GridClipboard.h"
#include "platform/GridModel.h"

#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QSignalSpy>

namespace {

void addRow(Grid& grid, const QStringList& cells)
{
    QList<QByteArray> utf8;
    QList<QUtf8StringView> views;
    for (const QString& cell : cells)
        utf8 << cell.toUtf8();
    for (const QByteArray& cell : utf8)
        views << QUtf8StringView(cell.constData(), cell.size());
    grid.addRow(views.constData(), static_cast<int>(views.size()));
}

TEST(Grid, KeepsCellsInGridCoordinates)
{
    Grid grid;
    QAbstractItemModelTester tester(grid.gridModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    grid.setCols(3);
    grid.setRows(2);
    grid.setRow(0);
    grid.setCol(1);
    grid.setText(QStringLiteral("Title"));
    EXPECT_EQ(grid.gridModel()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Title"));

    grid.setRow(1);
    grid.setText(QStringLiteral("emptied"));
    addRow(grid, {QStringLiteral("a"), QStringLiteral("b\twith tab"), QStringLiteral("c")});
    grid.addItem(QStringLiteral("x\ty\tz\textra"));
    addRow(grid, {QStringLiteral("short")});
    ASSERT_EQ(grid.rows(), 5);
    EXPECT_EQ(grid.textAt(2, 1), QStringLiteral("b\twith tab"));
    EXPECT_EQ(grid.textAt(3, 2), QStringLiteral("z"));
    EXPECT_EQ(grid.textAt(4, 2), QString());

    // Removing row 1 moves the rows below up, and the highlight with them.
    grid.setSelection(3, 0, 3, 2);
    grid.removeItem(1);
    EXPECT_EQ(grid.textAt(1, 0), QStringLiteral("a"));
    EXPECT_EQ(grid.selStartRow(), 2);
    EXPECT_EQ(grid.textAt(2, 0), QStringLiteral("x"));

    // A cell changed in the middle leaves its neighbours whole.
    grid.setRow(1);
    grid.setCol(0);
    grid.setText(QStringLiteral("longer text"));
    EXPECT_EQ(grid.textAt(1, 0), QStringLiteral("longer text"));
    EXPECT_EQ(grid.textAt(1, 1), QStringLiteral("b\twith tab"));
    EXPECT_EQ(grid.textAt(2, 0), QStringLiteral("x"));

    grid.setRows(2);
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.row(), 1);
}

TEST(Grid, RowsGatheredWhileHiddenArriveInOneReset)
{
    Grid grid;
    grid.setCols(2);
    grid.show();
    grid.hide();
    QSignalSpy resets(grid.gridModel(), &QAbstractItemModel::modelReset);
    QSignalSpy inserts(grid.gridModel(), &QAbstractItemModel::rowsInserted);
    for (int i = 0; i < 1000; ++i)
        addRow(grid, {QString::number(i), QStringLiteral("x")});
    grid.setRow(500);
    grid.setSelection(500, 0, 500, 1);
    EXPECT_EQ(resets.count(), 0);
    grid.show();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(inserts.count(), 0);
    EXPECT_EQ(grid.currentIndex().row(), 499);
    // Column widths outlive the reset.
    grid.hide();
    grid.setColWidth(1, 321);
    addRow(grid, {QStringLiteral("more")});
    grid.show();
    EXPECT_EQ(grid.colWidth(1), 321);
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(499, QModelIndex()));
}

TEST(Grid, ClipboardTextAndTable)
{
    Grid grid;
    grid.setCols(3);
    grid.setRows(1);
    grid.setRow(0);
    for (int c = 0; c < 3; ++c) {
        grid.setCol(c);
        grid.setText(QStringLiteral("H%1").arg(c));
    }
    addRow(grid, {QStringLiteral("a"), QString(), QStringLiteral("line 1\r\nline 2")});
    addRow(grid, {QStringLiteral("<b>&"), QStringLiteral("\""), QString::fromUtf8(" spacéd ")});
    const GridModel::Contents& contents = grid.gridModel()->contents();
    EXPECT_EQ(GridClipboard::plainText(contents),
              QString::fromUtf8("H0\tH1\tH2\r\na\t\tline 1\r\nline 2\r\n<b>&\t\"\t spacéd \r\n"));
    const QString html = GridClipboard::html(contents);
    EXPECT_TRUE(html.contains(QStringLiteral("<tr><td>a</td><td></td><td>line 1<br>line 2</td></tr>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>&lt;b&gt;&amp;</td><td>&quot;</td><td> spacéd </td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<th>H0</th><th>H1</th><th>H2</th>")));
}

} // namespace
