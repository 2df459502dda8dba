// A collection the original platform could not hold: 131,072 recordings whose IDs run past 32,767
// and past 2^31. Every command still works on it, and no count or ID wraps.
#include "browser/frmMain.h"
#include "editor/frmRecord.h"
#include "interchange/Exporter.h"
#include "platform/Dialogs.h"
#include "platform/Grid.h"
#include "platform/StatusPanel.h"
#include "shared/Session.h"
#include "store/Catalogue.h"
#include "store/Database.h"
#include "support/ProgramWindow.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

const int kRecordings = 131072;
const qint64 kFirstId = 2147483648LL - 65536; // the IDs cross 2^31 halfway

TEST(LargeCollection, EveryCommandWorksPastTheOldLimits)
{
    ProgramWindow program;
    program.folder.writeIni("[SQL]\n1=All,,ID\nDefault=1\n");
    program.folder.createCatalogue();
    TestFolder::execute(program.catalogue(),
                        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                                       "INSERT INTO Recording (ID, Artist, Title, Year, Format, Label, Catalogue_No, "
                                       "Notes, International_Catalogue_No) SELECT %2 + i, 'Artist ' || (i % 997), "
                                       "'Title ' || i, 1950 + i % 70, 1 + i % 14, 'Label', 'C' || i, '', '' FROM n")
                            .arg(kRecordings - 1)
                            .arg(kFirstId));
    ASSERT_TRUE(program.start());
    EXPECT_EQ(program.control<StatusPanel>("pnlStatus")->caption(), QStringLiteral(" 131072 records found"));
    EXPECT_EQ(program.grid()->rows() - 1, kRecordings);
    EXPECT_EQ(program.grid()->idAt(kRecordings), kFirstId + kRecordings - 1);

    // Ctrl+End reaches the last recording; Find Next finds one past 2^31 from the top.
    QApplication::setActiveWindow(program.window.get());
    program.grid()->setFocus();
    QTest::keyClick(program.grid(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(program.grid()->row(), kRecordings);
    program.session->lastFind.text = QStringLiteral("Title 131000");
    program.grid()->setRow(1);
    QTest::keyClick(program.grid(), Qt::Key_F3);
    EXPECT_EQ(program.grid()->idAt(program.grid()->row()), kFirstId + 131000);

    // Amend with Previous: the recording before is shown, amended and saved under its own ID.
    const qint64 before = program.grid()->idAt(program.grid()->row() - 1);
    program.whenEditorShows(
        {[](frmRecord* editor) { ProgramWindow::findControl<QToolButton>(editor, "cmdPrevious")->click(); },
         [](frmRecord* editor) {
             auto* title = ProgramWindow::findControl<QLineEdit>(editor, "txtTitle");
             title->setFocus();
             title->selectAll();
             ProgramWindow::type(QStringLiteral("Amended"));
             ProgramWindow::press(Qt::Key_Return);
         }});
    program.control<QToolButton>("cmdAmend")->click();
    const QString title = "SELECT Title FROM Recording WHERE ID = " + QString::number(before);
    EXPECT_EQ(TestFolder::query(program.catalogue(), title).toString(), "Amended");
    EXPECT_EQ(program.window->currentID(), before);

    // Delete and New: the count and the next ID go on past the old limits.
    Dialogs::scriptMessageAnswer(QMessageBox::Yes);
    program.control<QToolButton>("cmdDelete")->click();
    EXPECT_EQ(program.grid()->rows() - 1, kRecordings - 1);
    program.whenEditorShows({[](frmRecord*) {
        ProgramWindow::type(QStringLiteral("Newest"));
        ProgramWindow::press(Qt::Key_Return);
    }});
    program.control<QToolButton>("cmdNew")->click();
    EXPECT_EQ(program.window->currentID(), kFirstId + kRecordings);
    EXPECT_EQ(program.grid()->rows() - 1, kRecordings);

    // Copy, export and the format editor over the whole collection.
    program.control<QToolButton>("cmdCopy")->click();
    EXPECT_EQ(QApplication::clipboard()->text().count(QStringLiteral("\r\n")), kRecordings + 1);
    EXPECT_EQ(Exporter::exportStatement(*program.session->catalogue(), Catalogue::displayStatement(QString(), "ID"),
                                        program.folder.file("all.csv")),
              kRecordings);
    program.whenShows<QDialog>({[](QDialog*) { ProgramWindow::press(Qt::Key_Return); }});
    program.control<QToolButton>("cmdFormats")->click();
    EXPECT_FALSE(program.stepsLeft());

    // An import adds after the highest ID.
    program.folder.writeFile("one.csv", "Artist,Title\nLast,One\n");
    Dialogs::scriptInputAnswer(program.folder.file("one.csv"));
    program.whenShows<QDialog>({[](QDialog*) { ProgramWindow::press(Qt::Key_Return); }});
    program.control<QAction>("mnuFileItem0")->trigger();
    EXPECT_EQ(TestFolder::query(program.catalogue(), "SELECT ID FROM Recording WHERE Artist = 'Last'").toLongLong(),
              kFirstId + kRecordings + 1);
    EXPECT_EQ(program.grid()->rows() - 1, kRecordings + 1);
}
