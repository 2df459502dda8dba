#include "browser/frmMain.h"
#include "statistics/ChartPanel.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QChartView>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QValueAxis>

namespace {

TEST(StatisticsWindow, CountsTheFilteredDisplayOrAllAndCopiesAndSavesByKeyboard)
{
    ProgramWindow program;
    ASSERT_TRUE(program.start(QStringLiteral("[SQL]\n1=All\nDefault=1\n"), {{"Can", "Tago Mago", "1971", 1, "UA"},
                                                                            {"Can", "Future Days", "1973", 9, "UA"},
                                                                            {"Neu!", "Neu!", "1972", 1, "Brain"}}));
    program.control<QLineEdit>("txtFilter")->setText(QStringLiteral("can"));
    const QString png = program.folder.file("formats.png");
    const QString svg = program.folder.file("formats.svg");
    program.whenShows<QDialog>({[&](QDialog* window) {
        auto* totals = ProgramWindow::findControl<QLabel>(window, "lblTotals");
        EXPECT_EQ(ProgramWindow::focus(), ProgramWindow::findControl<QComboBox>(window, "cboShow"));
        EXPECT_TRUE(totals->text().startsWith("Recordings: 2    Artists: 1")) << totals->text().toStdString();
        // The charts take the window's width, however wide it is made.
        auto* charts = window->findChild<QScrollArea*>();
        window->resize(window->width() + 200, window->height());
        QCoreApplication::processEvents();
        EXPECT_EQ(charts->widget()->width(), charts->viewport()->width());
        // Tab goes on to the first chart, then to its numbers.
        ProgramWindow::press(Qt::Key_Tab);
        ProgramWindow::press(Qt::Key_Tab);
        EXPECT_TRUE(qobject_cast<QChartView*>(ProgramWindow::focus()));
        ProgramWindow::press(Qt::Key_C, Qt::ControlModifier);
        const QMimeData* copied = QApplication::clipboard()->mimeData();
        EXPECT_TRUE(copied->hasImage());
        EXPECT_EQ(copied->text(), QStringLiteral("Recordings by format\tRecordings\r\nCD\t1\r\nLP\t1\r\n"));
        ProgramWindow::press(Qt::Key_Tab);
        auto* numbers = qobject_cast<QTableWidget*>(ProgramWindow::focus());
        ASSERT_TRUE(numbers);
        EXPECT_EQ(numbers->rowCount(), 2);
        // The whole catalogue, from the first control.
        ProgramWindow::press(Qt::Key_S, Qt::AltModifier);
        ProgramWindow::press(Qt::Key_Down);
        EXPECT_TRUE(totals->text().startsWith("Recordings: 3    Artists: 2")) << totals->text().toStdString();
        EXPECT_EQ(numbers->item(0, 0)->text(), QStringLiteral("LP"));
        // Save Chart acts on the chart the focus was in last.
        for (const QString& file : {png, svg}) {
            Dialogs::scriptInputAnswer(file);
            ProgramWindow::findControl<QPushButton>(window, "cmdSave")->click();
        }
        ProgramWindow::press(Qt::Key_Escape);
    }});
    ProgramWindow::press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(program.stepsLeft());
    EXPECT_TRUE(QImage(png).width() > 100);
    EXPECT_TRUE(program.folder.readFile("formats.svg").contains("<svg"));
    EXPECT_TRUE(program.folder.readFile("formats.svg").contains(">LP<")) << "the chart's names are text";
}

// Each bar on a place of its own (two names cut alike, "(none)" twice), against whole numbers.
TEST(ChartPanel, ShowsEveryBarAgainstWholeNumbers)
{
    const QString cut(40, QLatin1Char('x'));
    for (const QList<CollectionStatistics::Bar>& bars : QList<QList<CollectionStatistics::Bar>>{
             {}, {{"1971", 1}}, {{"(none)", 5}, {cut + "a", 3}, {cut + "b", 2}, {"(none)", 1}}}) {
        ChartPanel panel(QStringLiteral("Chart"), ChartPanel::Shape::Bars);
        panel.setBars(bars);
        const QList<QAbstractAxis*> axes = panel.chartView()->chart()->axes();
        EXPECT_EQ(static_cast<QBarCategoryAxis*>(axes.first())->count(), bars.size());
        EXPECT_EQ(static_cast<QValueAxis*>(axes.last())->tickInterval(), 1);
    }
}

} // namespace
